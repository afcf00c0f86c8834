#include "ddl/BackendDdlNaming.h"

BackendDdlNaming::BackendDdlNaming(std::shared_ptr<VornBrowserClient> browser,
                                   std::shared_ptr<VornAssistantClient> assistant)
    : browser_(std::move(browser)), assistant_(std::move(assistant))
{
    Q_ASSERT_X(browser_ && assistant_, "BackendDdlNaming", "Needs the root's browser and assistant");
}

QString BackendDdlNaming::qualifiedName(const QString &type, const QString &schema, const QString &name)
{
    return browser_->qualifiedTableNameOfElement(type, schema, name);
}

QString BackendDdlNaming::quotedIdentifier(const QString &name)
{
    return assistant_->quotedIdentifier(name);
}

QString BackendDdlNaming::indexedTableName(const QString &schema, const QString &table)
{
    return assistant_->indexedTableName(schema, table);
}

bool BackendDdlNaming::indexesAreLocalOnTable()
{
    return assistant_->indexesAreLocalOnTable();
}

bool BackendDdlNaming::indexesSupportDirection()
{
    return assistant_->indexesSupportDirection();
}

QString BackendDdlNaming::identifierQuoteString()
{
    return assistant_->identifierQuoteString();
}

QString BackendDdlNaming::autoNumberClause()
{
    return assistant_->autoNumberClause();
}

QString BackendDdlNaming::tableOptionsScript(const QVariantMap &options)
{
    return assistant_->scriptForOptions(options);
}

QString BackendDdlNaming::indexOptionsScript(const QVariantMap &options)
{
    return assistant_->scriptForIndexOptions(options);
}

QString BackendDdlNaming::constraintOptionsScript(const QVariantMap &options)
{
    return assistant_->scriptForConstraintOptions(options);
}

QString BackendDdlNaming::commentSql(const QString &qualifiedTable, const QString &comment)
{
    return assistant_->commentSql(qualifiedTable, comment);
}
