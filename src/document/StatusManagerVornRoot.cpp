#include "document/StatusManagerVornRoot.h"

StatusManagerVornRoot::StatusManagerVornRoot(QoJavaObjectPtr vornRoot) : vornRoot_(std::move(vornRoot)) {}

QoJavaObjectPtr StatusManagerVornRoot::resultset() const
{
    return vornRoot_->call(QStringLiteral("resultset")).value<QoJavaObjectPtr>();
}

// The result set may be cleared between two questions: a missing one answers like an empty one.
QVariant StatusManagerVornRoot::askResultset(const QString &selector) const
{
    const QoJavaObjectPtr current = resultset();
    return current ? current->call(selector) : QVariant();
}

bool StatusManagerVornRoot::hasResultset() const
{
    return resultset() != nullptr;
}

qint32 StatusManagerVornRoot::resultsetRowCount() const
{
    return askResultset(QStringLiteral("rowCount")).toInt();
}

bool StatusManagerVornRoot::resultsetFullyLoaded() const
{
    return askResultset(QStringLiteral("fullyLoaded")).toBool();
}

bool StatusManagerVornRoot::resultsetReadOnly() const
{
    return askResultset(QStringLiteral("readOnly")).toBool();
}

QString StatusManagerVornRoot::resultsetReadOnlyReason() const
{
    return askResultset(QStringLiteral("readOnlyReason")).toString();
}

QString StatusManagerVornRoot::connectionType() const
{
    return vornRoot_->call(QStringLiteral("connectionType")).toString();
}
