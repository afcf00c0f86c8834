#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <mutex>
#include <optional>

class QDataStream;
class UserDefaults;

// One saved database connection. Holders keep definitions by pointer (ConnectionParametersPtr)
// and find them by identity; isEqualTo compares values. Field accessors are thread-safe: a
// connecting worker reads a definition the main thread owns.
//
// A definition made with the default constructor has every text field unset (a group header
// of the connection list, or a fresh definition in the editor); unset fields read as null
// QStrings. The password is unset until filled from the keyring, and unset differs from "".
class ConnectionParameters
{
public:
    ConnectionParameters() = default;
    // Reads the dictionary form; missing keys fall back to defaults, the numbers may be numbers or
    // numeric strings, and the texts may be numbers or truth values. The password stays unset.
    explicit ConnectionParameters(const QVariantMap &dictionary);
    // Reads the sequential archive form; check coder.status() afterwards.
    explicit ConnectionParameters(QDataStream &coder);
    ConnectionParameters(const ConnectionParameters &other);
    ConnectionParameters &operator=(const ConnectionParameters &other);

    QString connectionName() const;
    void setConnectionName(const QString &connectionName);
    QString databaseType() const;
    void setDatabaseType(const QString &databaseType);
    QString server() const;
    void setServer(const QString &server);
    QString port() const;
    void setPort(const QString &port);
    QString database() const;
    void setDatabase(const QString &database);
    QString userName() const;
    void setUserName(const QString &userName);
    std::optional<QString> password() const;
    void setPassword(const std::optional<QString> &password);
    quint64 autoCommit() const;
    void setAutoCommit(quint64 autoCommit);
    quint64 label() const;
    void setLabel(quint64 label);

    // The eight keys of the stored form; never the password.
    QVariantMap dictionary() const;
    // Type, server, port, database, user name, password, auto-commit, label: no name.
    void encodeWithCoder(QDataStream &coder) const;

    // Lower-case text the connection list searches in.
    QString searchString() const;
    bool isEqualTo(const ConnectionParameters &other) const;

    // The database products, as the editor's type menu titles them.
    static QStringList databaseTypes();
    // "Red" … "White" for labels 1 to 9, translated; empty for anything else.
    static QString labelName(quint64 label);

    // Bookmarks of local database files, kept in the user defaults (standard ones when null) by
    // file string.
    static void storeBookmark(const QByteArray &bookmark, const QString &file,
                              UserDefaults *defaults = nullptr);
    // Null when no bookmark is stored for the file.
    static QByteArray bookmarkForFile(const QString &file, UserDefaults *defaults = nullptr);

private:
    struct Fields {
        std::optional<QString> connectionName;
        std::optional<QString> databaseType;
        std::optional<QString> server;
        std::optional<QString> port;
        std::optional<QString> database;
        std::optional<QString> userName;
        std::optional<QString> password;
        quint64 autoCommit = 0;
        quint64 label = 0;
    };
    using TextField = std::optional<QString> Fields::*;
    Fields fields() const;
    QString text(TextField field) const;
    void setText(TextField field, const QString &value);

    mutable std::mutex mutex_;
    Fields fields_;
};

using ConnectionParametersPtr = std::shared_ptr<ConnectionParameters>;
