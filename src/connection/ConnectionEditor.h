#pragma once

#include "connection/ConnectionParameters.h"

#include <QString>

class ConnectionListModel;
class DatabaseTypeTraits;

// The values of the connection edit form: a server variant and a local-file variant, each with its
// own auto-commit choice (0 off, 1 on, 2 ask) and colour label.
struct ConnectionForm {
    QString name;
    // Empty while no type is chosen.
    QString type;
    QString server;
    QString port;
    QString database;
    QString userName;
    QString password;
    quint64 autoCommit = 0;
    quint64 label = 0;
    // The local file as a file URL string.
    QString localFile;
    quint64 autoCommitLocal = 0;
    quint64 labelLocal = 0;
};

// The rules of the connection edit form, without its widgets: which definition it edits, the
// variant and defaults of a type, when it is complete, and saving into the saved list and the
// keyring. Main thread only.
class ConnectionEditor
{
public:
    ConnectionEditor(ConnectionListModel &list, const DatabaseTypeTraits &traits);

    // "" for a type without a default port.
    static QString defaultPortForType(const QString &type);

    ConnectionForm &form() { return form_; }
    const ConnectionForm &form() const { return form_; }
    ConnectionParametersPtr editingConnection() const { return editingConnection_; }
    // "Create" for a new or duplicated connection, "Save" for an edited one.
    QString saveButtonTitle() const;
    bool isLocalFileType() const { return localFile_; }

    // A new connection named "New connection" without a type.
    void createNew();
    // Edits the connection itself, with its password from the keyring.
    void editConnection(const ConnectionParametersPtr &connection);
    // Edits a new copy named "<name> Copy"; it starts with the source's password.
    void duplicateConnection(const ConnectionParametersPtr &connection);
    // Switches the variant and resets its fields to the type's defaults; "" chooses no type.
    void changeDatabaseType(const QString &type);
    // The file field as the browse button fills it: a typed path ("/data/shop.db", "~/shop.db",
    // "shop.db") becomes its absolute file URL; a URL stays as it is.
    static QString localFileUrl(const QString &typed);
    // Turns a typed local file into its file URL, so it connects and is saved like a chosen one.
    void acceptTypedLocalFile();
    // Save and test need a type and, for a local-file type, a file, or else server, port,
    // database and user name.
    bool isComplete() const;
    enum class SaveResult { NotSaved, Saved, PasswordNotStored };
    // Writes the form into the edited connection, stores its password and the saved list, and
    // selects it there. An edited connection keeps its place; a new one goes last. The connection
    // is saved even when the keyring refuses its password (a local file has none to lose).
    SaveResult save();
    // Leaves the edited connection as it was.
    void cancel();

private:
    void fillFrom(const ConnectionParameters &connection);
    void writeInto(ConnectionParameters &connection) const;

    ConnectionListModel &list_;
    const DatabaseTypeTraits &traits_;
    ConnectionForm form_;
    ConnectionParametersPtr editingConnection_;
    bool creating_ = false;
    bool localFile_ = false;
};
