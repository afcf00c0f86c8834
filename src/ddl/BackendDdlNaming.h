#pragma once

#include "client/VornAssistantClient.h"
#include "client/VornBrowserClient.h"
#include "ddl/DdlNaming.h"

#include <memory>

// The script builders' questions answered by the root's browser and assistant. Any thread that may
// call Java.
class BackendDdlNaming : public DdlNaming
{
public:
    BackendDdlNaming(std::shared_ptr<VornBrowserClient> browser,
                     std::shared_ptr<VornAssistantClient> assistant);

    QString qualifiedName(const QString &type, const QString &schema, const QString &name) override;
    QString quotedIdentifier(const QString &name) override;
    QString indexedTableName(const QString &schema, const QString &table) override;
    bool indexesAreLocalOnTable() override;
    bool indexesSupportDirection() override;
    QString identifierQuoteString() override;
    QString autoNumberClause() override;
    QString tableOptionsScript(const QVariantMap &options) override;
    QString indexOptionsScript(const QVariantMap &options) override;
    QString constraintOptionsScript(const QVariantMap &options) override;
    QString commentSql(const QString &qualifiedTable, const QString &comment) override;

private:
    std::shared_ptr<VornBrowserClient> browser_;
    std::shared_ptr<VornAssistantClient> assistant_;
};
