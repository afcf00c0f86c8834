#include "editor/SQLEditorVornRoot.h"

#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"

namespace
{
QStringList stringsFromVector(const QVariant &vector)
{
    QStringList strings;
    for (const QVariant &element : JavaUtils::arrayFromVector(vector.value<QoJavaObjectPtr>()))
        strings << element.toString();
    return strings;
}
} // namespace

SQLEditorVornRoot::SQLEditorVornRoot(QoJavaObjectPtr vornRoot) : vornRoot_(std::move(vornRoot)) {}

QoJavaObjectPtr SQLEditorVornRoot::sqlConnection() const
{
    QoJavaObjectPtr connection = vornRoot_->call(QStringLiteral("sqlConnection")).value<QoJavaObjectPtr>();
    Q_ASSERT_X(connection, "SQLEditorVornRoot", "Must have sqlConnection");
    return connection;
}

bool SQLEditorVornRoot::hasConnection() const
{
    return vornRoot_->call(QStringLiteral("hasConnection")).toBool();
}

bool SQLEditorVornRoot::isConnected() const
{
    return vornRoot_->call(QStringLiteral("isConnected")).toBool();
}

bool SQLEditorVornRoot::reserved() const
{
    return vornRoot_->call(QStringLiteral("reserved")).toBool();
}

QString SQLEditorVornRoot::connectionType() const
{
    return vornRoot_->call(QStringLiteral("connectionType")).toString();
}

QStringList SQLEditorVornRoot::metaDataWords(const QString &selector) const
{
    const auto metaData = vornRoot_->call(QStringLiteral("connectionMetaData")).value<QoJavaObjectPtr>();
    return metaData ? stringsFromVector(metaData->call(selector)) : QStringList();
}

QStringList SQLEditorVornRoot::reservedWords() const
{
    return metaDataWords(QStringLiteral("reservedWords"));
}

QStringList SQLEditorVornRoot::contextWords() const
{
    return metaDataWords(QStringLiteral("contextWords"));
}

QStringList SQLEditorVornRoot::defaultReservedWords() const
{
    const QoJavaClass *words =
        vornRoot_->bridge()->classForName(QStringLiteral("nl.dalmerik.vorn.ReservedWords"));
    return words ? stringsFromVector(words->callStatic(QStringLiteral("getReservedWords"))) : QStringList();
}

bool SQLEditorVornRoot::executable(const QString &sql)
{
    const QoJavaObjectPtr connection = sqlConnection();
    return connection && connection->call(QStringLiteral("executable:"), {sql}).toBool();
}

bool SQLEditorVornRoot::executeQuery(const QString &sql, const QVariantList &parameters)
{
    const QoJavaObjectPtr connection = sqlConnection();
    if (!connection)
        return false;
    const QVariant values = QVariant::fromValue(JavaUtils::vectorFromArray(parameters));
    return connection->call(QStringLiteral("executeQuery::"), {sql, values}).toBool();
}

bool SQLEditorVornRoot::lastActionSuccessful() const
{
    return vornRoot_->call(QStringLiteral("lastActionSuccessful")).toBool();
}

QString SQLEditorVornRoot::lastErrorMessage() const
{
    return vornRoot_->call(QStringLiteral("lastErrorMessage")).toString();
}

qint32 SQLEditorVornRoot::resultCount() const
{
    const QoJavaObjectPtr connection = sqlConnection();
    return connection ? connection->call(QStringLiteral("resultCount")).toInt() : -1;
}

QString SQLEditorVornRoot::statementType() const
{
    const QoJavaObjectPtr connection = sqlConnection();
    return connection ? connection->call(QStringLiteral("statementType")).toString() : QString();
}

void SQLEditorVornRoot::cancelQuery()
{
    if (const QoJavaObjectPtr connection = sqlConnection())
        connection->call(QStringLiteral("cancelQuery"));
}
