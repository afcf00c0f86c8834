#pragma once

#include "bridge/QoJavaObject.h"

#include <QString>
#include <QVariantList>

// The root's recycle bin ("nl/dalmerik/vorn/VornRecyclebin"): the connected user's dropped objects, which
// can be restored or purged. Called from the worker that holds the root; each action's outcome is the
// root's lastOutcome(). Virtual for the fake.
class VornRecyclebinClient
{
public:
    explicit VornRecyclebinClient(QoJavaObjectPtr recyclebin);
    VornRecyclebinClient(const VornRecyclebinClient &) = delete;
    VornRecyclebinClient &operator=(const VornRecyclebinClient &) = delete;
    virtual ~VornRecyclebinClient();

    // Reads the bin again.
    virtual void update();
    // The bin as last read: per object a map of "objectName", "originalName", "type", "dropTime",
    // "canUndrop", "canPurge" ("YES" or "NO") and, for the objects that went with it, "children".
    virtual QVariantList items() const;
    // The bin held objects when last read.
    virtual bool isFilled() const;
    // Restores the object (type first, then its name in the bin) under its original name.
    virtual void flashBackObject(const QString &type, const QString &name);
    virtual void purgeObject(const QString &type, const QString &name);
    // Empties the bin.
    virtual void purgeBin();

protected:
    VornRecyclebinClient();

private:
    QoJavaObjectPtr recyclebin_;
};
