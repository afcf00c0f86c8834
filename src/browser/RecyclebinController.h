#pragma once

#include "connection/ConnectedController.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <atomic>
#include <optional>

class RecyclebinControllerDelegate;
class VornRecyclebinClient;

// Why an action on the recycle bin failed: a title and the database's message.
struct RecyclebinFailure {
    QString title;
    QString message;
};

// The recycle bin of a document's connection: the dropped objects the database keeps, listed when asked
// and after each restore or purge. Every action holds the root reservation from its start on the main
// thread until the bin has been listed again; a refused reservation does nothing. A failure is kept for
// the sheet to show and goes to the document's status and log; it is never taken for success. Main
// thread, but the runner's worker.
class RecyclebinController : public ConnectedController
{
public:
    explicit RecyclebinController(VornRootClientPtr vornRoot);
    ~RecyclebinController() override;

    RecyclebinControllerDelegate *recyclebinDelegate() const { return recyclebinDelegate_; }
    void setRecyclebinDelegate(RecyclebinControllerDelegate *delegate) { recyclebinDelegate_ = delegate; }

    // An action runs; the listing is empty meanwhile. Any thread.
    bool busy() const { return busy_; }
    // The bin as last listed: entries of "objectName", "originalName", "type", "dropTime", "canPurge",
    // "canUndrop" and, optionally, "children".
    const QVariantList &items() const { return items_; }

    void refresh();
    void restoreObject(const QString &objectName, const QString &type);
    void purgeObject(const QString &objectName, const QString &type);
    void purgeAll();

    // The entries under an entry, or the top-level ones for none.
    int numberOfChildrenOfItem(const QVariantMap *entry) const;
    QVariantMap itemAt(int index, const QVariantMap *parent) const;

    // The failure of the last action, once; none when it went well.
    std::optional<RecyclebinFailure> takeFailure();

private:
    enum class Action { Refresh, Restore, Purge, PurgeAll };
    void start(Action action, const QString &objectName, const QString &type);
    void finish(Action action, const QVariantList &listed, const std::optional<RecyclebinFailure> &failure);
    void postUpdate();

    RecyclebinControllerDelegate *recyclebinDelegate_ = nullptr;
    std::atomic<bool> busy_{false};
    QVariantList items_;
    std::optional<RecyclebinFailure> failure_;
};
