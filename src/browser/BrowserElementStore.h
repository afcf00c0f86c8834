#pragma once

#include "browser/BrowserElementSection.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class VornBrowserClient;

using BrowserSectionList = QList<BrowserElementSectionPtr>;

// The browser's model: per schema an ordered list of sections of elements, the selected schema and
// element, the search text, and the shared favourites and recent sections in front of each list.
// Three kinds: the data store (the schema objects), the management store (the management views of
// the database type) and the drop store (the tables a dragged grid column may be dropped on). It
// reads the backend's object lists and never writes to the database. Main thread.
class BrowserElementStore
{
public:
    BrowserElementStore(BrowserElementSectionPtr favourites, BrowserElementSectionPtr recents);

    // The schemas of the backend browser; the schemas whose types are cached get their sections now.
    static std::unique_ptr<BrowserElementStore>
    browserElementStoreForVornBrowser(VornBrowserClient &browser, BrowserElementSectionPtr favourites,
                                      BrowserElementSectionPtr recents);
    // One schema, "Management", with the sections of the management list of the connection type
    // (a property list in the resource folder); without favourites or recent items.
    static std::unique_ptr<BrowserElementStore>
    managementBrowserElementStoreForVornBrowser(const QString &resourceFolder, const QString &connectionType,
                                                BrowserElementSectionPtr favourites,
                                                BrowserElementSectionPtr recents);
    // The drop targets for a grid column C dragged from table T (null for a statement's result):
    // recent drops, tables with foreign keys on C, tables with a column named C, then the base
    // store's tables and views.
    static std::unique_ptr<BrowserElementStore> exportedBrowserElementStoreForVornBrowser(
        VornBrowserClient &browser, const QString &schema, const QString &table, const QString &column,
        const BrowserElementStore &base, const QList<BrowserElementPtr> &recentDrops);

    // Rebuilds the sections of the schema from the backend's cached lists.
    void updateBrowserWithSchemaElements(const QString &schema, VornBrowserClient &browser);
    // Sorts every section by name, but the recent items, which keep their order of use.
    void sortBrowserElementStoreSectionElements();

    QString filter() const { return filter_; }
    // Blank text clears the filter.
    void setFilter(const QString &filter);
    QList<BrowserElementPtr> filteredBrowserElementsForSection(BrowserElementSection &section) const;

    BrowserElementPtr selectedElement() const { return selectedElement_; }
    // Switches the selected schema to the element's when it names another one.
    void setSelectedElement(const BrowserElementPtr &element);
    qint64 selectedElementSectionType() const { return selectedElementSectionType_; }
    void setSelectedElementSectionType(qint64 type) { selectedElementSectionType_ = type; }

    // Moves a listed element to the top of the recent section, or inserts a copy there and trims
    // the list to its limit. Nothing without a recent section for the element's schema.
    std::optional<BrowserElementSectionUpdate> addItemToRecentHistory(const BrowserElementPtr &element);

    // The store's own element naming the same object (exact comparison), or null.
    BrowserElementPtr findElementInStore(const BrowserElement &element) const;
    // The first element of the schema's own sections with the name, compared case-insensitively.
    BrowserElementPtr findElementInStoreWithName(const QString &name, const QString &schema) const;
    QList<BrowserElementPtr> browserElementsOfType(qint64 browserType, const QString &schema) const;

    // Drops favourites and recent items whose object is gone from their schema; true when any went.
    // Items of schemas whose objects were not (or not successfully) read stay.
    bool validateRecentAndFavourites();

    QStringList schemas() const { return schemas_; }
    void setSchemas(const QStringList &schemas) { schemas_ = schemas; }
    const QHash<QString, BrowserSectionList> &sectionsPerSchema() const { return sectionsPerSchema_; }
    BrowserSectionList sectionsOfSchema(const QString &schema) const
    {
        return sectionsPerSchema_.value(schema);
    }
    QString selectedSchema() const { return selectedSchema_; }
    void setSelectedSchema(const QString &schema) { selectedSchema_ = schema; }
    qint64 maxRecent() const { return maxRecent_; }
    void setMaxRecent(qint64 maxRecent) { maxRecent_ = maxRecent; }
    bool enableRecent() const { return enableRecent_; }
    void setEnableRecent(bool enable) { enableRecent_ = enable; }
    bool enableFavourites() const { return enableFavourites_; }
    void setEnableFavourites(bool enable) { enableFavourites_ = enable; }
    bool disableFilter() const { return disableFilter_; }
    const BrowserElementSectionPtr &sharedFavourites() const { return sharedFavourites_; }
    const BrowserElementSectionPtr &sharedRecent() const { return sharedRecent_; }

private:
    void readPreferences();
    bool isSharedSection(const BrowserElementSection *section) const;

    QString filter_;
    QStringList schemas_;
    QHash<QString, BrowserSectionList> sectionsPerSchema_;
    // Schemas built from the backend's complete lists of their objects.
    QSet<QString> loadedSchemas_;
    QString selectedSchema_;
    BrowserElementPtr selectedElement_;
    qint64 selectedElementSectionType_ = 0;
    qint64 maxRecent_ = 5;
    bool enableRecent_ = true;
    bool enableFavourites_ = true;
    BrowserElementSectionPtr sharedFavourites_;
    BrowserElementSectionPtr sharedRecent_;
    bool disableFilter_ = false;
};
