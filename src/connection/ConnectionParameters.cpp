#include "connection/ConnectionParameters.h"

#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDataStream>

namespace
{

const QString localDatabaseBookmarksKey = QStringLiteral("localDatabaseBookmarks");

// Text, or the text of a number or truth value: a hand-edited port of 5432 is the port "5432", not none.
std::optional<QString> stringValue(const QVariantMap &dictionary, const QString &key)
{
    const QVariant value = dictionary.value(key);
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::Double:
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Bool:
        return value.toString();
    default:
        return std::nullopt;
    }
}

// The integer value of a number, or of the leading digits of a string ("12abc" is 12).
std::optional<qint64> integerValue(const QVariantMap &dictionary, const QString &key)
{
    const auto it = dictionary.constFind(key);
    if (it == dictionary.constEnd())
        return std::nullopt;
    if (it->typeId() != QMetaType::QString)
        return it->toLongLong();
    const QString text = it->toString().trimmed();
    qsizetype end = 0;
    if (end < text.size() && (text[end] == '-' || text[end] == '+'))
        ++end;
    while (end < text.size() && text[end].isDigit())
        ++end;
    return text.left(end).toLongLong();
}

UserDefaults &defaultsOrStandard(UserDefaults *defaults)
{
    return defaults ? *defaults : UserDefaults::standard();
}

} // namespace

ConnectionParameters::ConnectionParameters(const QVariantMap &dictionary)
{
    fields_.connectionName = stringValue(dictionary, "name").value_or(QStringLiteral("Nameless connection"));
    fields_.databaseType =
        stringValue(dictionary, dictionary.contains("databaseType") ? "databaseType" : "databasetype")
            .value_or(QStringLiteral("Oracle"));
    fields_.server = stringValue(dictionary, "server").value_or(QString(""));
    fields_.port = stringValue(dictionary, "port").value_or(QString(""));
    fields_.database = stringValue(dictionary, "database").value_or(QString(""));
    fields_.userName = stringValue(dictionary, "username").value_or(QString(""));
    fields_.autoCommit = quint64(integerValue(dictionary, "autocommit").value_or(2));
    fields_.label = quint64(integerValue(dictionary, "label").value_or(0));
}

ConnectionParameters::ConnectionParameters(QDataStream &coder)
{
    QString databaseType, server, port, database, userName, password;
    qint64 autoCommit = 0;
    qint64 label = 0;
    coder >> databaseType >> server >> port >> database >> userName >> password >> autoCommit >> label;
    if (coder.status() != QDataStream::Ok)
        return;
    // QDataStream keeps null strings null: they are the unset fields.
    const auto unsetIfNull = [](const QString &text) {
        return text.isNull() ? std::nullopt : std::optional<QString>(text);
    };
    fields_.databaseType = unsetIfNull(databaseType);
    fields_.server = unsetIfNull(server);
    fields_.port = unsetIfNull(port);
    fields_.database = unsetIfNull(database);
    fields_.userName = unsetIfNull(userName);
    fields_.password = unsetIfNull(password);
    fields_.autoCommit = quint64(autoCommit);
    fields_.label = quint64(label);
}

ConnectionParameters::ConnectionParameters(const ConnectionParameters &other) : fields_(other.fields()) {}

ConnectionParameters &ConnectionParameters::operator=(const ConnectionParameters &other)
{
    if (this != &other) {
        const Fields copy = other.fields();
        std::lock_guard lock(mutex_);
        fields_ = copy;
    }
    return *this;
}

ConnectionParameters::Fields ConnectionParameters::fields() const
{
    std::lock_guard lock(mutex_);
    return fields_;
}

QString ConnectionParameters::text(TextField field) const
{
    std::lock_guard lock(mutex_);
    return (fields_.*field).value_or(QString());
}

void ConnectionParameters::setText(TextField field, const QString &value)
{
    std::lock_guard lock(mutex_);
    fields_.*field = value;
}

QString ConnectionParameters::connectionName() const
{
    return text(&Fields::connectionName);
}

void ConnectionParameters::setConnectionName(const QString &connectionName)
{
    setText(&Fields::connectionName, connectionName);
}

QString ConnectionParameters::databaseType() const
{
    return text(&Fields::databaseType);
}

void ConnectionParameters::setDatabaseType(const QString &databaseType)
{
    setText(&Fields::databaseType, databaseType);
}

QString ConnectionParameters::server() const
{
    return text(&Fields::server);
}

void ConnectionParameters::setServer(const QString &server)
{
    setText(&Fields::server, server);
}

QString ConnectionParameters::port() const
{
    return text(&Fields::port);
}

void ConnectionParameters::setPort(const QString &port)
{
    setText(&Fields::port, port);
}

QString ConnectionParameters::database() const
{
    return text(&Fields::database);
}

void ConnectionParameters::setDatabase(const QString &database)
{
    setText(&Fields::database, database);
}

QString ConnectionParameters::userName() const
{
    return text(&Fields::userName);
}

void ConnectionParameters::setUserName(const QString &userName)
{
    setText(&Fields::userName, userName);
}

std::optional<QString> ConnectionParameters::password() const
{
    std::lock_guard lock(mutex_);
    return fields_.password;
}

void ConnectionParameters::setPassword(const std::optional<QString> &password)
{
    std::lock_guard lock(mutex_);
    fields_.password = password;
}

quint64 ConnectionParameters::autoCommit() const
{
    std::lock_guard lock(mutex_);
    return fields_.autoCommit;
}

void ConnectionParameters::setAutoCommit(quint64 autoCommit)
{
    std::lock_guard lock(mutex_);
    fields_.autoCommit = autoCommit;
}

quint64 ConnectionParameters::label() const
{
    std::lock_guard lock(mutex_);
    return fields_.label;
}

void ConnectionParameters::setLabel(quint64 label)
{
    std::lock_guard lock(mutex_);
    fields_.label = label;
}

QVariantMap ConnectionParameters::dictionary() const
{
    const Fields f = fields();
    Q_ASSERT_X(f.connectionName && f.databaseType && f.server && f.port && f.database && f.userName,
               "ConnectionParameters::dictionary", "All text fields must be set before writing");
    return QVariantMap{
        {"name", f.connectionName.value_or(QString())}, {"databaseType", f.databaseType.value_or(QString())},
        {"server", f.server.value_or(QString())},       {"port", f.port.value_or(QString())},
        {"database", f.database.value_or(QString())},   {"username", f.userName.value_or(QString())},
        {"autocommit", qint64(f.autoCommit)},           {"label", qint64(f.label)},
    };
}

void ConnectionParameters::encodeWithCoder(QDataStream &coder) const
{
    const Fields f = fields();
    const auto nullIfUnset = [](const std::optional<QString> &text) { return text.value_or(QString()); };
    coder << nullIfUnset(f.databaseType) << nullIfUnset(f.server) << nullIfUnset(f.port)
          << nullIfUnset(f.database) << nullIfUnset(f.userName) << nullIfUnset(f.password)
          << qint64(f.autoCommit) << qint64(f.label);
}

QString ConnectionParameters::searchString() const
{
    const Fields f = fields();
    QString text =
        QStringLiteral("%1 %2 %3 %4 %5")
            .arg(f.server.value_or(QString()), f.database.value_or(QString()), f.userName.value_or(QString()),
                 f.databaseType.value_or(QString()), f.connectionName.value_or(QString()));
    if (f.label >= 1 && f.label <= 9)
        text = QStringLiteral("%1 %2").arg(text, labelName(f.label));
    return text.toLower();
}

bool ConnectionParameters::isEqualTo(const ConnectionParameters &other) const
{
    if (this == &other)
        return true;
    const Fields a = fields();
    const Fields b = other.fields();
    // An unset text field equals nothing; only the password may be unset on both sides.
    const auto same = [](const std::optional<QString> &x, const std::optional<QString> &y) {
        return x && y && *x == *y;
    };
    return same(a.connectionName, b.connectionName) && same(a.databaseType, b.databaseType) &&
           same(a.server, b.server) && same(a.port, b.port) && same(a.database, b.database) &&
           a.password == b.password && same(a.userName, b.userName) && a.autoCommit == b.autoCommit &&
           a.label == b.label;
}

QStringList ConnectionParameters::databaseTypes()
{
    return {"Oracle", "MySQL", "PostgreSQL", "SQL Server", "SQLite"};
}

QString ConnectionParameters::labelName(quint64 label)
{
    static const char *const names[] = {"Red",    "Orange", "Yellow", "Green", "Blue",
                                        "Purple", "Black",  "Gray",   "White"};
    if (label < 1 || label > 9)
        return {};
    return QCoreApplication::translate("connection", names[label - 1]);
}

void ConnectionParameters::storeBookmark(const QByteArray &bookmark, const QString &file,
                                         UserDefaults *defaults)
{
    UserDefaults &store = defaultsOrStandard(defaults);
    QVariantMap bookmarks = store.dictionaryForKey(localDatabaseBookmarksKey);
    bookmarks.insert(file, bookmark);
    store.setObject(bookmarks, localDatabaseBookmarksKey);
    store.synchronize();
}

QByteArray ConnectionParameters::bookmarkForFile(const QString &file, UserDefaults *defaults)
{
    const QVariant bookmark =
        defaultsOrStandard(defaults).dictionaryForKey(localDatabaseBookmarksKey).value(file);
    return bookmark.typeId() == QMetaType::QByteArray ? bookmark.toByteArray() : QByteArray();
}
