#pragma once

#include "bridge/QoJavaObject.h"
#include "status/StatusManagerRoot.h"

// The status manager's questions asked of the document's backend root ("nl/dalmerik/vorn/VornRoot")
// and its current result set, through the bridge. Main thread only, like the status bar.
class StatusManagerVornRoot : public StatusManagerRoot
{
public:
    explicit StatusManagerVornRoot(QoJavaObjectPtr vornRoot);

    bool hasResultset() const override;
    qint32 resultsetRowCount() const override;
    bool resultsetFullyLoaded() const override;
    bool resultsetReadOnly() const override;
    QString resultsetReadOnlyReason() const override;
    QString connectionType() const override;

private:
    QoJavaObjectPtr resultset() const;
    QVariant askResultset(const QString &selector) const;

    QoJavaObjectPtr vornRoot_;
};
