#pragma once

#include "elements/BrowserElement.h"
#include "resultset/ExtendedFilter.h"
#include "resultset/Filter.h"

#include <memory>
#include <mutex>

class BrowserControllerLoadingElement;
using BrowserControllerLoadingElementPtr = std::shared_ptr<BrowserControllerLoadingElement>;

// One load request of the browser: an element with a plain column filter or with quick filters and
// sorts, never both. Requests compare by identity: the history holds the requests themselves, and a
// later change of an entry's extended filter is what a return to it loads. Any thread.
class BrowserControllerLoadingElement
{
public:
    static BrowserControllerLoadingElementPtr elementWithElement(BrowserElementPtr element, FilterPtr filter)
    {
        auto request = std::make_shared<BrowserControllerLoadingElement>();
        request->element_ = std::move(element);
        request->filter_ = std::move(filter);
        return request;
    }
    static BrowserControllerLoadingElementPtr elementWithElement(BrowserElementPtr element,
                                                                 ExtendedFilterPtr extendedFilter)
    {
        auto request = std::make_shared<BrowserControllerLoadingElement>();
        request->element_ = std::move(element);
        request->extendedFilter_ = std::move(extendedFilter);
        return request;
    }

    BrowserElementPtr element() const
    {
        std::lock_guard lock(mutex_);
        return element_;
    }
    FilterPtr filter() const
    {
        std::lock_guard lock(mutex_);
        return filter_;
    }
    ExtendedFilterPtr extendedFilter() const
    {
        std::lock_guard lock(mutex_);
        return extendedFilter_;
    }
    void setExtendedFilter(ExtendedFilterPtr extendedFilter)
    {
        std::lock_guard lock(mutex_);
        extendedFilter_ = std::move(extendedFilter);
    }
    // A filter on a named column, or quick filters and sorts.
    bool carriesFilter() const
    {
        std::lock_guard lock(mutex_);
        return extendedFilter_ || (filter_ && !filter_->columnName().isNull());
    }

private:
    mutable std::mutex mutex_;
    BrowserElementPtr element_;
    FilterPtr filter_;
    ExtendedFilterPtr extendedFilter_;
};
