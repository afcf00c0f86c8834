#include "connection/ConnectionEditor.h"

#include "connection/ConnectionHelper.h"
#include "connection/ConnectionListModel.h"
#include "connection/DatabaseTypeTraits.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace
{

QString connectionText(const char *text)
{
    return QCoreApplication::translate("connection", text);
}

} // namespace

ConnectionEditor::ConnectionEditor(ConnectionListModel &list, const DatabaseTypeTraits &traits)
    : list_(list), traits_(traits)
{
}

QString ConnectionEditor::defaultPortForType(const QString &type)
{
    if (type == QLatin1String("Oracle"))
        return QStringLiteral("1521");
    if (type == QLatin1String("MySQL"))
        return QStringLiteral("3306");
    if (type == QLatin1String("PostgreSQL"))
        return QStringLiteral("5432");
    if (type == QLatin1String("SQL Server"))
        return QStringLiteral("1433");
    return QString("");
}

QString ConnectionEditor::saveButtonTitle() const
{
    return creating_ ? connectionText("Create") : connectionText("Save");
}

void ConnectionEditor::createNew()
{
    creating_ = true;
    editingConnection_ = std::make_shared<ConnectionParameters>();
    form_ = ConnectionForm();
    localFile_ = false;
    form_.name = connectionText("New connection");
}

void ConnectionEditor::editConnection(const ConnectionParametersPtr &connection)
{
    if (!connection)
        return;
    creating_ = false;
    editingConnection_ = connection;
    fillFrom(*connection);
}

void ConnectionEditor::duplicateConnection(const ConnectionParametersPtr &connection)
{
    if (!connection)
        return;
    creating_ = true;
    editingConnection_ = std::make_shared<ConnectionParameters>(connection->dictionary());
    fillFrom(*editingConnection_);
    form_.name = QStringLiteral("%1 %2").arg(connection->connectionName(), connectionText("Copy"));
}

void ConnectionEditor::fillFrom(const ConnectionParameters &connection)
{
    form_ = ConnectionForm();
    form_.name = connection.connectionName();
    changeDatabaseType(connection.databaseType());
    if (localFile_) {
        form_.localFile = connection.database();
        form_.autoCommitLocal = connection.autoCommit();
        form_.labelLocal = connection.label();
        return;
    }
    form_.server = connection.server();
    form_.port = connection.port();
    form_.database = connection.database();
    form_.userName = connection.userName();
    form_.autoCommit = connection.autoCommit();
    form_.label = connection.label();
    const std::optional<QString> password = ConnectionHelper::passwordFromKeychainType(
        connection.databaseType(), connection.server(), connection.port(), connection.database(),
        connection.userName());
    form_.password = password.value_or(QString(""));
    editingConnection_->setPassword(form_.password);
}

void ConnectionEditor::changeDatabaseType(const QString &type)
{
    form_.type = type;
    if (type.isEmpty()) {
        localFile_ = false;
        return;
    }
    localFile_ = traits_.hasLocalDatabaseFileConnection(type);
    const quint64 autoCommit = traits_.hasDedicatedTransactionSupport(type) ? 0 : 2;
    if (localFile_) {
        form_.localFile.clear();
        form_.autoCommitLocal = autoCommit;
    } else {
        form_.server.clear();
        form_.database.clear();
        form_.userName.clear();
        form_.password.clear();
        form_.autoCommit = autoCommit;
    }
    form_.port = defaultPortForType(type);
}

QString ConnectionEditor::localFileUrl(const QString &typed)
{
    static const QRegularExpression url(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:/"));
    QString path = typed.trimmed();
    if (path.isEmpty() || url.match(path).hasMatch())
        return typed;
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

void ConnectionEditor::acceptTypedLocalFile()
{
    if (localFile_)
        form_.localFile = localFileUrl(form_.localFile);
}

bool ConnectionEditor::isComplete() const
{
    if (form_.type.isEmpty())
        return false;
    if (localFile_)
        return !form_.localFile.isEmpty();
    return !form_.server.isEmpty() && !form_.port.isEmpty() && !form_.database.isEmpty() &&
           !form_.userName.isEmpty();
}

void ConnectionEditor::writeInto(ConnectionParameters &connection) const
{
    connection.setConnectionName(form_.name);
    connection.setDatabaseType(form_.type);
    if (localFile_) {
        connection.setServer(QString(""));
        connection.setUserName(QString(""));
        connection.setPassword(QString(""));
        connection.setPort(QString(""));
        connection.setDatabase(form_.localFile);
        connection.setAutoCommit(form_.autoCommitLocal);
        connection.setLabel(form_.labelLocal);
        return;
    }
    connection.setServer(form_.server);
    connection.setDatabase(form_.database);
    connection.setUserName(form_.userName);
    connection.setPassword(form_.password);
    connection.setPort(form_.port);
    connection.setAutoCommit(form_.autoCommit);
    connection.setLabel(form_.label);
}

ConnectionEditor::SaveResult ConnectionEditor::save()
{
    if (!editingConnection_ || !isComplete())
        return SaveResult::NotSaved;
    acceptTypedLocalFile();
    ConnectionParameters &connection = *editingConnection_;
    writeInto(connection);
    const bool stored = ConnectionHelper::storePasswordInKeychainType(
        connection.databaseType(), connection.server(), connection.port(), connection.database(),
        connection.userName(), connection.password().value_or(""));
    list_.saveConnection(editingConnection_);
    editingConnection_ = nullptr;
    return stored || localFile_ ? SaveResult::Saved : SaveResult::PasswordNotStored;
}

void ConnectionEditor::cancel()
{
    editingConnection_ = nullptr;
}
