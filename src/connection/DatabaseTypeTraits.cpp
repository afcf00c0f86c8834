#include "connection/DatabaseTypeTraits.h"

#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"

namespace
{

bool askRootClass(const char *selector, const QString &type)
{
    QoJavaBridge *bridge = QoJavaBridge::javaBridge();
    QoJavaClass *root = bridge ? bridge->classForName(QStringLiteral("nl.dalmerik.vorn.VornRoot")) : nullptr;
    return root && root->callStatic(QLatin1String(selector), {type}).toBool();
}

} // namespace

bool DatabaseTypeTraits::hasLocalDatabaseFileConnection(const QString &type) const
{
    return askRootClass("databaseTypeHasLocalDatabaseFileConnection:", type);
}

bool DatabaseTypeTraits::hasDedicatedTransactionSupport(const QString &type) const
{
    return askRootClass("databaseTypeHasDedicatedTransactionSupport:", type);
}
