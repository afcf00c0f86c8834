#pragma once

#include "elements/BrowserElement.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

// One section of the browser's outline: favourites, recent items, tables and views, ... with its
// elements in display order and the search text last applied to it. Main thread.
class BrowserElementSection
{
public:
    enum Type : qint64 {
        Favourites = 0,
        Recent = 1,
        TablesAndViews = 2,
        Indices = 3,
        Constraints = 4,
        Routines = 5,
        Triggers = 6,
        Sequences = 7,
        OtherSynonyms = 8,
        OtherTypes = -1,
        RecentDrops = 20,
        ReferringTables = 21,
        SimilarTables = 22,
        SimilarTablesInFilter = 23,
        ManagementDatabase = 30,
        ManagementActivity = 31,
        ManagementObjects = 32,
    };

    explicit BrowserElementSection(qint64 type, QList<BrowserElementPtr> elements = {});

    qint64 type() const { return type_; }
    QList<BrowserElementPtr> &elements() { return elements_; }
    const QList<BrowserElementPtr> &elements() const { return elements_; }
    void setElements(QList<BrowserElementPtr> elements);
    bool expanded() const { return expanded_; }
    void setExpanded(bool expanded) { expanded_ = expanded; }

    // Every section but the shared favourites and recent ones: compared as unsigned, above 1.
    bool respondsToFilter() const { return quint64(type_) > 1; }
    // The section holds the schema's own objects rather than shared items.
    bool originalElementSection() const { return respondsToFilter(); }

    QString filter() const { return filter_; }
    // Drops the cached result unless the text is the same present text.
    void setFilter(const QString &filter);
    // The elements passing the filter (cached), or all of them when the section does not filter.
    QList<BrowserElementPtr> filteredBrowserElements();

    // The elements whose names hold every word of the text, case-insensitively, in their order.
    static QList<BrowserElementPtr>
    filteredBrowserElementsForElement(const QList<BrowserElementPtr> &elements, const QString &filter);

private:
    qint64 type_;
    QList<BrowserElementPtr> elements_;
    bool expanded_ = true;
    QString filter_;
    std::optional<QList<BrowserElementPtr>> filterResults_;
};

using BrowserElementSectionPtr = std::shared_ptr<BrowserElementSection>;

// One change of the recent list, for the outline to animate: an element moved to the top, or a new
// one inserted there (oldPosition is then the index of the element that fell off, or -1).
struct BrowserElementSectionUpdate {
    BrowserElementSectionPtr section;
    bool move = false;
    qint64 oldPosition = -1;
    qint64 newPosition = 0;
};
