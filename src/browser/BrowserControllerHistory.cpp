// The browser's back/forward history: the loads in the order they succeeded and a pointer to the
// current one.
#include "browser/BrowserController.h"

#include "browser/BrowserControllerDelegate.h"

namespace
{
// 1 while the current entry's element is on screen (selected), else 0.
quint64 shown(const BrowserElementStore *store)
{
    return store && store->selectedElement() ? 1 : 0;
}
} // namespace

void BrowserController::addItemToHistory(const BrowserControllerLoadingElementPtr &request)
{
    const quint64 pointer = browserHistoryPointer_;
    if (pointer > 0 && browserHistory_.at(qsizetype(pointer - 1)) == request)
        return;
    truncateForwardHistory();
    browserHistory_.append(request);
    ++browserHistoryPointer_;
}

void BrowserController::truncateForwardHistory()
{
    while (quint64(browserHistory_.size()) > browserHistoryPointer_)
        browserHistory_.removeLast();
}

QList<BrowserElementPtr> BrowserController::backHistory() const
{
    QList<BrowserElementPtr> elements;
    const quint64 s = shown(activeElementStore());
    for (quint64 i = browserHistoryPointer_; i > s; --i)
        elements.append(browserHistory_.at(qsizetype(i - s - 1))->element());
    return elements;
}

QList<BrowserElementPtr> BrowserController::forwardHistory() const
{
    QList<BrowserElementPtr> elements;
    for (quint64 i = browserHistoryPointer_; i < quint64(browserHistory_.size()); ++i)
        elements.append(browserHistory_.at(qsizetype(i))->element());
    return elements;
}

bool BrowserController::canNavigateBack() const
{
    const VornRootClientPtr &root = vornRoot();
    return root->hasConnection() && !root->reserved() && browserHistoryPointer_ > shown(activeElementStore());
}

bool BrowserController::canNavigateForward() const
{
    const VornRootClientPtr &root = vornRoot();
    return root->hasConnection() && !root->reserved() &&
           browserHistoryPointer_ < quint64(browserHistory_.size());
}

void BrowserController::navigateBack()
{
    if (!requestFocusChange())
        return;
    const quint64 s = shown(activeElementStore());
    if (browserHistoryPointer_ <= s)
        return;
    if (s == 1)
        --browserHistoryPointer_;
    switchToHistoryEntry(browserHistoryPointer_);
}

void BrowserController::navigateForward()
{
    if (!requestFocusChange())
        return;
    if (browserHistoryPointer_ >= quint64(browserHistory_.size()))
        return;
    ++browserHistoryPointer_;
    switchToHistoryEntry(browserHistoryPointer_);
}

void BrowserController::selectItem(quint64 index, bool back)
{
    // The menu may have been built before the history changed.
    if (back) {
        const quint64 length = quint64(backHistory().size());
        if (index >= length)
            return;
        browserHistoryPointer_ = length - index;
    } else {
        if (index >= quint64(forwardHistory().size()))
            return;
        browserHistoryPointer_ += index + 1;
    }
    switchToHistoryEntry(browserHistoryPointer_);
}

void BrowserController::switchToHistoryEntry(quint64 pointer)
{
    if (pointer == 0 || pointer > quint64(browserHistory_.size()))
        return;
    const BrowserControllerLoadingElementPtr entry = browserHistory_.at(qsizetype(pointer - 1));
    ensureModePreElementSelection(*entry->element());
    if (BrowserElementStore *store = activeElementStore())
        store->setSelectedElement(entry->element());
    loadElement(entry);
}

void BrowserController::quickFilterUpdatedForCurrentSelection(const ExtendedFilterPtr &extendedFilter)
{
    const BrowserElementStore *store = activeElementStore();
    const BrowserElementPtr selected = store ? store->selectedElement() : nullptr;
    if (!selected || browserHistoryPointer_ == 0)
        return;
    // Only the entry whose element is on screen learns the grid's filter: after a failed load the
    // selection names another element than the current entry.
    const BrowserControllerLoadingElementPtr &entry =
        browserHistory_.at(qsizetype(browserHistoryPointer_ - 1));
    if (!entry->element()->isSameDatabaseElement(*selected))
        return;
    entry->setExtendedFilter(extendedFilter);
}

void BrowserController::nonBrowserResultWillBeLoaded()
{
    if (BrowserElementStore *store = activeElementStore())
        store->setSelectedElement(nullptr);
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserHasBeenUpdated();
    truncateForwardHistory();
}

void BrowserController::nonBrowserResultWasLoaded()
{
    nonBrowserResultWillBeLoaded();
}
