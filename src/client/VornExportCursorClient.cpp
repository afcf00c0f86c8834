#include "client/VornExportCursorClient.h"

#include "bridge/JavaUtils.h"
#include "client/JavaCall.h"
#include "client/VornResultset.h"
#include "client/VornRootClient.h"

namespace
{
std::unique_ptr<VornExportCursorClient> made(const QoJavaObjectPtr &cursor)
{
    return cursor ? std::make_unique<VornExportCursorClient>(cursor) : nullptr;
}
} // namespace

std::unique_ptr<VornExportCursorClient> VornExportCursorClient::forQuery(const VornRootClient &root,
                                                                         const QString &sql)
{
    const QoJavaObjectPtr connection = JavaCall::object(root.object(), QStringLiteral("sqlConnection"));
    const QVariant noParameters = QVariant::fromValue(JavaUtils::vectorFromArray({}));
    return made(JavaCall::object(connection, QStringLiteral("exportCursorForQuery::"), {sql, noParameters}));
}

std::unique_ptr<VornExportCursorClient> VornExportCursorClient::forResultset(const VornResultset &resultset)
{
    return made(JavaCall::object(resultset.object(), QStringLiteral("exportCursor")));
}

VornExportCursorClient::VornExportCursorClient(QoJavaObjectPtr cursor) : cursor_(std::move(cursor))
{
    Q_ASSERT_X(cursor_, "VornExportCursorClient", "An export cursor needs its backend object");
}

bool VornExportCursorClient::begin()
{
    JavaCall::send(cursor_, QStringLiteral("begin"));
    columnCount_ = int(columnNames().size());
    return failure().isNull();
}

std::shared_ptr<const PackedRows> VornExportCursorClient::nextRows()
{
    return unpack("next");
}

std::shared_ptr<const PackedRows> VornExportCursorClient::nextSqlValues()
{
    return unpack("nextSqlValues");
}

std::shared_ptr<const PackedRows> VornExportCursorClient::unpack(const char *selector)
{
    if (columnCount_ < 0 || !localFailure_.isNull())
        return nullptr;
    const QString packed = JavaCall::send(cursor_, QString::fromLatin1(selector)).toString();
    if (packed.isEmpty())
        return nullptr;
    std::shared_ptr<const PackedRows> rows = PackedRows::unpack(packed, columnCount_, memory_);
    if (!rows)
        localFailure_ =
            QStringLiteral("The rows the database sent could not be read or kept (%1 characters).")
                .arg(packed.size());
    return rows;
}

void VornExportCursorClient::close()
{
    JavaCall::send(cursor_, QStringLiteral("close"));
}

QStringList VornExportCursorClient::columnNames() const
{
    return JavaCall::strings(JavaCall::send(cursor_, QStringLiteral("columnNames")));
}

QHash<QString, QString> VornExportCursorClient::columnTypes() const
{
    QHash<QString, QString> types;
    const QVariantMap table = JavaUtils::dictionaryFromHashtable(
        JavaCall::send(cursor_, QStringLiteral("columnTypes")).value<QoJavaObjectPtr>());
    for (auto it = table.begin(); it != table.end(); ++it)
        types.insert(it.key(), it.value().toString());
    return types;
}

QString VornExportCursorClient::safeTableIdentifier(const QString &name) const
{
    return JavaCall::send(cursor_, QStringLiteral("safeTableIdentifierForSqlExport:"), {name}).toString();
}

QString VornExportCursorClient::safeColumnIdentifier(const QString &name) const
{
    return JavaCall::send(cursor_, QStringLiteral("safeColumnIdentifierForSqlExport:"), {name}).toString();
}

QString VornExportCursorClient::failure() const
{
    // A bridge failure of this thread (an exception in a call) is the export's failure too; once
    // taken it is kept here like the cursor's own.
    if (localFailure_.isNull() && JavaCall::hasFailure())
        localFailure_ = JavaCall::takeFailure();
    if (!localFailure_.isNull())
        return localFailure_;
    return JavaCall::send(cursor_, QStringLiteral("failure")).toString();
}
