#include "BrowserTestSupport.h"

#include "browser/BrowserElementStore.h"
#include "platform/Preferences.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

BrowserElementSectionPtr favouritesSection()
{
    return std::make_shared<BrowserElementSection>(BrowserElementSection::Favourites);
}

BrowserElementSectionPtr recentSection()
{
    return std::make_shared<BrowserElementSection>(BrowserElementSection::Recent);
}

QList<qint64> sectionTypes(const BrowserSectionList &list)
{
    QList<qint64> types;
    for (const BrowserElementSectionPtr &section : list)
        types << section->type();
    return types;
}

QStringList names(const QList<BrowserElementPtr> &elements)
{
    QStringList found;
    for (const BrowserElementPtr &element : elements)
        found << element->name();
    return found;
}

BrowserElementPtr table(const QString &name, const QString &schema = "HR")
{
    return std::make_shared<BrowserElement>(name, schema, "TABLE", BrowserElement::Table);
}

class BrowserElementStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserDefaults &defaults = UserDefaults::standard();
        defaults.setObject(5, PreferenceKey::browser_recent_count);
        defaults.setObject(true, PreferenceKey::browser_recent_enabled);
        defaults.setObject(true, PreferenceKey::browser_favourite_enabled);
    }

    std::unique_ptr<BrowserElementStore> dataStore()
    {
        return BrowserElementStore::browserElementStoreForVornBrowser(browser, favourites, recents);
    }

    FakeMetadataBrowser browser{std::make_shared<FakeLastAction>()};
    BrowserElementSectionPtr favourites = favouritesSection();
    BrowserElementSectionPtr recents = recentSection();
};

// Which section each type literal lands in, and the order of the sections after the shared ones.
TEST_F(BrowserElementStoreTest, PlacesTypesInSectionsInTheirOrder)
{
    using S = BrowserElementSection;
    struct Case {
        const char *what;
        QList<std::pair<QString, QString>> objects; // type, name
        QList<qint64> expected;
    };
    const QList<Case> cases = {
        {"table, index and an unknown type",
         {{"TABLE", "EMP"}, {"INDEX", "EMP_PK"}, {"QUEUE", "JOBS"}},
         {S::Favourites, S::Recent, S::TablesAndViews, S::Indices, S::OtherTypes}},
        {"every kind, listed backwards",
         {{"OPERATOR", "X"},
          {"CONSTRAINT", "C"},
          {"SEQUENCE", "Q"},
          {"INDEX", "I"},
          {"TRIGGER", "T"},
          {"PACKAGE", "P"},
          {"VIEW", "V"}},
         {S::Favourites, S::Recent, S::TablesAndViews, S::Routines, S::Triggers, S::Indices, S::Sequences,
          S::Constraints, S::OtherTypes}},
        {"system tables and views with tables",
         {{"SYSTEM TABLE", "A"}, {"SYSTEM VIEW", "B"}},
         {S::Favourites, S::Recent, S::TablesAndViews}},
        {"no types", {}, {S::Favourites, S::Recent}},
    };
    for (const Case &c : cases) {
        FakeMetadataBrowser scripted(std::make_shared<FakeLastAction>());
        scripted.setSchemaList({"HR"});
        scripted.setSelectedSchema("HR");
        for (const auto &[type, name] : c.objects)
            scripted.addObjects("HR", type, {name});
        if (c.objects.isEmpty())
            scripted.typesInSchema("HR"); // caches an empty schema
        const auto store =
            BrowserElementStore::browserElementStoreForVornBrowser(scripted, favourites, recents);
        EXPECT_EQ(sectionTypes(store->sectionsOfSchema("HR")), c.expected) << c.what;
    }
}

TEST_F(BrowserElementStoreTest, PlacesSynonymsByWhatTheyReferTo)
{
    browser.addObjects("HR", "SYNONYM", {"S_VIEW", "S_NONE", "S_PROC", "S_QUEUE"});
    browser.setSynonymTarget("S_VIEW", "VIEW");
    browser.setSynonymTarget("S_PROC", "PROCEDURE");
    browser.setSynonymTarget("S_QUEUE", "QUEUE");
    const auto store = dataStore();
    const BrowserSectionList list = store->sectionsOfSchema("HR");
    ASSERT_EQ(sectionTypes(list),
              (QList<qint64>{0, 1, BrowserElementSection::TablesAndViews, BrowserElementSection::Routines,
                             BrowserElementSection::OtherSynonyms}));
    EXPECT_EQ(names(list[2]->elements()), (QStringList{"S_NONE", "S_VIEW"}));
    EXPECT_EQ(list[2]->elements()[0]->subtype(), "table");
    EXPECT_EQ(list[2]->elements()[1]->subtype(), "view");
    EXPECT_EQ(list[2]->elements()[1]->browserType(), BrowserElement::Synonym);
    EXPECT_EQ(names(list[4]->elements()), QStringList{"S_QUEUE"});
}

TEST_F(BrowserElementStoreTest, OnlyCachedSchemasGetSectionsAndNamesAreSorted)
{
    browser.addObjects("HR", "TABLE", {"b", "EMP", "A", "a"});
    browser.addObjects("SALES", "TABLE", {"ORDERS"}, false);
    const auto store = dataStore();
    EXPECT_EQ(store->schemas(), (QStringList{"HR", "SALES"}));
    EXPECT_EQ(store->selectedSchema(), "HR");
    EXPECT_FALSE(store->sectionsPerSchema().contains("SALES"));
    EXPECT_EQ(names(store->sectionsOfSchema("HR")[2]->elements()), (QStringList{"A", "EMP", "a", "b"}));
}

TEST_F(BrowserElementStoreTest, DisabledFavouritesAndRecentsAreLeftOut)
{
    UserDefaults::standard().setObject(false, PreferenceKey::browser_recent_enabled);
    UserDefaults::standard().setObject(false, PreferenceKey::browser_favourite_enabled);
    browser.addObjects("HR", "TABLE", {"EMP"});
    const auto store = dataStore();
    EXPECT_EQ(sectionTypes(store->sectionsOfSchema("HR")),
              QList<qint64>{BrowserElementSection::TablesAndViews});
    EXPECT_FALSE(store->addItemToRecentHistory(table("EMP")));
}

TEST_F(BrowserElementStoreTest, WordFilterMatchesEveryWordAndSparesSharedSections)
{
    browser.addObjects("HR", "TABLE", {"EMP_DEPT_LINK", "DEPTEMP", "EMPLOYEES"});
    const auto store = dataStore();
    favourites->setElements({table("EMPLOYEES")});
    store->setFilter("  emp  dept ");
    const BrowserSectionList list = store->sectionsOfSchema("HR");
    EXPECT_EQ(names(store->filteredBrowserElementsForSection(*list[2])),
              (QStringList{"DEPTEMP", "EMP_DEPT_LINK"}));
    EXPECT_EQ(names(store->filteredBrowserElementsForSection(*list[0])), QStringList{"EMPLOYEES"});

    store->setFilter("   ");
    EXPECT_TRUE(store->filter().isNull());
    EXPECT_EQ(store->filteredBrowserElementsForSection(*list[2]).size(), 3);
    store->setFilter("LOYEE");
    EXPECT_EQ(names(store->filteredBrowserElementsForSection(*list[2])), QStringList{"EMPLOYEES"});
}

TEST_F(BrowserElementStoreTest, RecentListMovesInsertsAndTrimsToItsLimit)
{
    browser.addObjects("HR", "TABLE", {"T1", "T2", "T3", "T4", "T5", "T6"});
    const auto store = dataStore();
    for (const QString &name : QStringList{"T1", "T2", "T3", "T4", "T5"})
        store->addItemToRecentHistory(table(name));
    EXPECT_EQ(names(recents->elements()), (QStringList{"T5", "T4", "T3", "T2", "T1"}));

    const auto inserted = store->addItemToRecentHistory(table("T6"));
    ASSERT_TRUE(inserted);
    EXPECT_FALSE(inserted->move);
    EXPECT_EQ(inserted->oldPosition, 4);
    EXPECT_EQ(inserted->newPosition, 0);
    EXPECT_EQ(names(recents->elements()), (QStringList{"T6", "T5", "T4", "T3", "T2"}));
    EXPECT_TRUE(recents->elements().first()->historyItem());

    const auto moved = store->addItemToRecentHistory(table("T3"));
    ASSERT_TRUE(moved);
    EXPECT_TRUE(moved->move);
    EXPECT_EQ(moved->oldPosition, 3);
    EXPECT_EQ(names(recents->elements()), (QStringList{"T3", "T6", "T5", "T4", "T2"}));

    // Rebuilding the schema leaves the order of use alone.
    store->updateBrowserWithSchemaElements("HR", browser);
    EXPECT_EQ(names(recents->elements()), (QStringList{"T3", "T6", "T5", "T4", "T2"}));

    // A lowered limit trims the list down to it at once.
    store->setMaxRecent(2);
    store->addItemToRecentHistory(table("T1"));
    EXPECT_EQ(names(recents->elements()), (QStringList{"T1", "T3"}));
}

TEST_F(BrowserElementStoreTest, RecentListWithLimitZeroStaysEmpty)
{
    UserDefaults::standard().setObject(0, PreferenceKey::browser_recent_count);
    browser.addObjects("HR", "TABLE", {"T1"});
    const auto store = dataStore();
    const auto update = store->addItemToRecentHistory(table("T1"));
    ASSERT_TRUE(update);
    EXPECT_EQ(update->oldPosition, -1);
    EXPECT_TRUE(recents->elements().isEmpty());
    EXPECT_FALSE(store->addItemToRecentHistory(table("T1", QString())));
}

TEST_F(BrowserElementStoreTest, LookupsCompareNamesAsTheySay)
{
    browser.addObjects("HR", "TABLE", {"Employees"});
    browser.addObjects("HR", "SEQUENCE", {"EMP_SEQ"});
    const auto store = dataStore();
    favourites->setElements({table("ONLY_FAVOURITE")});
    EXPECT_EQ(store->findElementInStoreWithName("EMPLOYEES", "HR")->name(), "Employees");
    EXPECT_FALSE(store->findElementInStore(*table("EMPLOYEES")));
    const BrowserElementPtr found = store->findElementInStore(*table("Employees"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found, store->sectionsOfSchema("HR")[2]->elements().first());
    EXPECT_FALSE(store->findElementInStore(*table("ONLY_FAVOURITE")));
    EXPECT_FALSE(store->findElementInStoreWithName("EMPLOYEES", "SALES"));
    EXPECT_EQ(names(store->browserElementsOfType(BrowserElement::Sequence, "HR")), QStringList{"EMP_SEQ"});
    EXPECT_TRUE(store->browserElementsOfType(BrowserElement::Table, "SALES").isEmpty());
}

TEST_F(BrowserElementStoreTest, SelectingAnElementOfAnotherSchemaSwitchesTheSchema)
{
    browser.addObjects("HR", "TABLE", {"EMP"});
    const auto store = dataStore();
    store->setSelectedElement(table("ORDERS", "SALES"));
    EXPECT_EQ(store->selectedSchema(), "SALES");
}

TEST_F(BrowserElementStoreTest, ValidationDropsOnlyWhatALoadedSchemaLacks)
{
    browser.addObjects("HR", "TABLE", {"EMP"});
    browser.addObjects("SALES", "TABLE", {"ORDERS"}, false);
    const auto store = dataStore();
    const BrowserElementPtr dropped = table("DROPPED");
    const BrowserElementPtr kept = table("EMP");
    const BrowserElementPtr unloaded = table("ORDERS", "SALES");
    favourites->setElements({dropped, kept, unloaded});
    recents->setElements({dropped->cloneForHistory(dropped), kept->cloneForHistory(kept)});

    EXPECT_TRUE(store->validateRecentAndFavourites());
    EXPECT_EQ(names(favourites->elements()), (QStringList{"EMP", "ORDERS"}));
    EXPECT_EQ(names(recents->elements()), QStringList{"EMP"});
    EXPECT_FALSE(store->validateRecentAndFavourites());
}

TEST_F(BrowserElementStoreTest, AFailedSchemaLoadNeverErasesFavourites)
{
    browser.addObjects("HR", "TABLE", {"EMP"});
    browser.addObjects("SALES", "TABLE", {"ORDERS"}, false);
    browser.failSchemaLoad("SALES", "permission denied");
    const auto store = dataStore();
    favourites->setElements({table("ORDERS", "SALES")});
    browser.typesInSchema("SALES"); // fails: nothing is cached
    store->updateBrowserWithSchemaElements("SALES", browser);
    EXPECT_EQ(sectionTypes(store->sectionsOfSchema("SALES")), (QList<qint64>{0, 1}));
    EXPECT_FALSE(store->validateRecentAndFavourites());
    EXPECT_EQ(names(favourites->elements()), QStringList{"ORDERS"});
}

TEST_F(BrowserElementStoreTest, DropStoreOffersDropsKeysSimilarTablesAndTheBase)
{
    browser.addObjects("HR", "TABLE", {"EMP", "DEPT", "DEPT_HISTORY"});
    const auto base = dataStore();
    browser.setKeys("EMP", {{"EMP_DEPT_FK", "DEPTNO", "DEPT", "DEPTNO"}});
    browser.setSimilarTables({{"DEPT", "TABLE"}, {"DEPT_VIEW", "VIEW"}, {"EMP", "TABLE"}});
    const QList<BrowserElementPtr> drops{table("DEPT_HISTORY")};

    const auto store = BrowserElementStore::exportedBrowserElementStoreForVornBrowser(browser, "HR", "EMP",
                                                                                      "DEPTNO", *base, drops);
    using S = BrowserElementSection;
    BrowserSectionList list = store->sectionsOfSchema("HR");
    EXPECT_EQ(sectionTypes(list),
              (QList<qint64>{S::RecentDrops, S::ReferringTables, S::SimilarTables, S::TablesAndViews}));
    EXPECT_EQ(names(list[1]->elements()), QStringList{"DEPT"});
    EXPECT_EQ(list[2]->elements()[1]->browserType(), BrowserElement::View);
    EXPECT_EQ(list[3], base->sectionsOfSchema("HR")[2]);
    EXPECT_TRUE(store->disableFilter());

    // A search text that leaves some similar tables out adds the section of those it keeps.
    base->setFilter("dept");
    const auto filtered = BrowserElementStore::exportedBrowserElementStoreForVornBrowser(browser, "HR", "EMP",
                                                                                         "DEPTNO", *base, {});
    list = filtered->sectionsOfSchema("HR");
    EXPECT_EQ(sectionTypes(list), (QList<qint64>{S::ReferringTables, S::SimilarTablesInFilter,
                                                 S::SimilarTables, S::TablesAndViews}));
    EXPECT_EQ(names(list[1]->elements()), (QStringList{"DEPT", "DEPT_VIEW"}));
    EXPECT_EQ(filtered->filteredBrowserElementsForSection(*list[2]).size(), 3);
}

TEST_F(BrowserElementStoreTest, ManagementStoreReadsTheListOfTheConnectionType)
{
    QTemporaryDir folder;
    const QVariantList entries{
        QVariantMap{
            {"type", "BrowserElementSectionTypeManagementActivity"},
            {"elements", QVariantList{QVariantMap{{"name", "Locks"}, {"type", "LOCKS"}, {"query", "q1"}},
                                      QVariantMap{{"name", "Zed"}, {"type", "ZED"}, {"query", "q2"}}}}},
        QVariantMap{{"type", "Unheard of"}, {"elements", QVariantList{}}},
    };
    ASSERT_TRUE(PropertyList::writeFile(entries, folder.path() + "/ManagementPostgreSQL.plist"));
    const auto store = BrowserElementStore::managementBrowserElementStoreForVornBrowser(
        folder.path(), "PostgreSQL", favourites, recents);
    EXPECT_FALSE(store->enableFavourites());
    EXPECT_FALSE(store->enableRecent());
    const BrowserSectionList list = store->sectionsOfSchema(store->selectedSchema());
    ASSERT_EQ(sectionTypes(list), (QList<qint64>{BrowserElementSection::ManagementActivity, 0}));
    EXPECT_EQ(names(list[0]->elements()), (QStringList{"Locks", "Zed"})); // file order
    const BrowserElementPtr locks = list[0]->elements().first();
    EXPECT_EQ(locks->subtype(), "MANAGEMENT");
    EXPECT_EQ(locks->browserType(), BrowserElement::ManagementActivity);
    EXPECT_EQ(locks->options().value("query"), "q1");

    const auto missing = BrowserElementStore::managementBrowserElementStoreForVornBrowser(
        folder.path(), "Oracle", favourites, recents);
    EXPECT_EQ(missing->schemas().size(), 1);
    EXPECT_TRUE(missing->sectionsOfSchema(missing->selectedSchema()).isEmpty());
}

} // namespace
