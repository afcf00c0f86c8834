#include "browser/BrowserElementStore.h"

#include "client/VornBrowserClient.h"
#include "platform/MainThread.h"
#include "platform/Preferences.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>

#include <algorithm>

namespace
{

const char *const mainThreadMessage =
    "Modifying the BrowserElementStore structure should only happen on the mainthread.";
const QString synonymType = QStringLiteral("SYNONYM");
const QString viewType = QStringLiteral("VIEW");

void assertMainThread()
{
    Q_ASSERT_X(MainThread::isMainThread(), "BrowserElementStore", mainThreadMessage);
}

// The section of an element by its type literal; a synonym goes by the type it refers to.
qint64 sectionTypeForElement(const QString &type, const QString &subtype)
{
    using S = BrowserElementSection;
    static const QHash<QString, qint64> byType = {
        {"TABLE", S::TablesAndViews},       {"VIEW", S::TablesAndViews}, {"SYSTEM TABLE", S::TablesAndViews},
        {"SYSTEM VIEW", S::TablesAndViews}, {"INDEX", S::Indices},       {"CONSTRAINT", S::Constraints},
        {"SEQUENCE", S::Sequences},         {"TRIGGER", S::Triggers},    {"FUNCTION", S::Routines},
        {"PROCEDURE", S::Routines},         {"PACKAGE", S::Routines},
    };
    static const QHash<QString, qint64> bySubtype = {
        {"table", S::TablesAndViews},   {"view", S::TablesAndViews}, {"index", S::Indices},
        {"constraint", S::Constraints}, {"sequence", S::Sequences},  {"trigger", S::Triggers},
        {"function", S::Routines},      {"procedure", S::Routines},  {"package", S::Routines},
    };
    if (type == synonymType)
        return bySubtype.value(subtype, S::OtherSynonyms);
    return byType.value(type, S::OtherTypes);
}

bool preferenceFlag(const QString &key)
{
    const UserDefaults &defaults = UserDefaults::standard();
    return defaults.contains(key) ? defaults.boolForKey(key) : true;
}

qint64 managementSectionType(const QString &name)
{
    if (name == QLatin1String("BrowserElementSectionTypeManagementDatabase"))
        return BrowserElementSection::ManagementDatabase;
    if (name == QLatin1String("BrowserElementSectionTypeManagementActivity"))
        return BrowserElementSection::ManagementActivity;
    if (name == QLatin1String("BrowserElementSectionTypeManagementObjects"))
        return BrowserElementSection::ManagementObjects;
    return 0;
}

qint64 managementBrowserType(qint64 sectionType)
{
    switch (sectionType) {
    case BrowserElementSection::ManagementDatabase:
        return BrowserElement::ManagementDatabase;
    case BrowserElementSection::ManagementActivity:
        return BrowserElement::ManagementActivity;
    case BrowserElementSection::ManagementObjects:
        return BrowserElement::ManagementObjects;
    default:
        return BrowserElement::Table;
    }
}

// The titles of management items that have a translation of their own.
QString managementTitle(const QString &name)
{
    static const QStringList translated = {"Version",
                                           "Collations",
                                           "Engines",
                                           "Process overview",
                                           "Session overview",
                                           "Tables",
                                           "Views",
                                           "Functions & Procedures",
                                           "Triggers",
                                           "Database info",
                                           "Instance info",
                                           "Processes",
                                           "Locks",
                                           "Long Operations",
                                           "Objects",
                                           "Tablespaces and Datafiles"};
    if (!translated.contains(name))
        return name;
    return QCoreApplication::translate("infopanel", name.toUtf8().constData());
}

BrowserElementPtr tableElement(const QString &schema, const QString &name, const QString &type)
{
    return std::make_shared<BrowserElement>(name, schema, type,
                                            type == viewType ? BrowserElement::View : BrowserElement::Table);
}

} // namespace

BrowserElementStore::BrowserElementStore(BrowserElementSectionPtr favourites,
                                         BrowserElementSectionPtr recents)
    : sharedFavourites_(std::move(favourites)), sharedRecent_(std::move(recents))
{
}

void BrowserElementStore::readPreferences()
{
    const UserDefaults &defaults = UserDefaults::standard();
    maxRecent_ = defaults.contains(PreferenceKey::browser_recent_count)
                     ? defaults.integerForKey(PreferenceKey::browser_recent_count)
                     : 5;
    enableRecent_ = preferenceFlag(PreferenceKey::browser_recent_enabled);
    enableFavourites_ = preferenceFlag(PreferenceKey::browser_favourite_enabled);
}

std::unique_ptr<BrowserElementStore> BrowserElementStore::browserElementStoreForVornBrowser(
    VornBrowserClient &browser, BrowserElementSectionPtr favourites, BrowserElementSectionPtr recents)
{
    auto store = std::make_unique<BrowserElementStore>(std::move(favourites), std::move(recents));
    store->readPreferences();
    store->schemas_ = browser.schemas();
    store->selectedSchema_ = browser.selectedSchema();
    for (const QString &schema : std::as_const(store->schemas_)) {
        if (browser.hasCachedTypesOfSchema(schema))
            store->updateBrowserWithSchemaElements(schema, browser);
    }
    store->sortBrowserElementStoreSectionElements();
    return store;
}

void BrowserElementStore::updateBrowserWithSchemaElements(const QString &schema, VornBrowserClient &browser)
{
    assertMainThread();
    using S = BrowserElementSection;
    // Only a schema whose objects the backend has read is known well enough to judge favourites by.
    const bool loaded = browser.hasCachedTypesOfSchema(schema);
    if (loaded)
        loadedSchemas_.insert(schema);
    else
        loadedSchemas_.remove(schema);
    const QStringList types = loaded ? browser.typesInSchema(schema) : QStringList();
    QHash<qint64, BrowserElementSectionPtr> sections;
    for (qint64 type : {S::TablesAndViews, S::Indices, S::Constraints, S::Triggers, S::Routines, S::Sequences,
                        S::OtherSynonyms, S::OtherTypes})
        sections.insert(type, std::make_shared<BrowserElementSection>(type));
    for (const QString &type : types) {
        for (const QString &name : browser.elementsOfTypeInSchemaLike(type, schema, QString(""))) {
            auto element = std::make_shared<BrowserElement>(name, schema, type,
                                                            BrowserElement::browserTypeForType(type));
            if (type == synonymType) {
                const QString target =
                    browser.referringTypeOfElementOfTypeInSchemaWithName(schema, type, name);
                element->setSubtype(target.isEmpty() ? QStringLiteral("table") : target.toLower());
            }
            sections.value(sectionTypeForElement(type, element->subtype()))->elements().append(element);
        }
    }
    BrowserSectionList list;
    if (enableFavourites_)
        list.append(sharedFavourites_);
    if (enableRecent_)
        list.append(sharedRecent_);
    for (qint64 type : {S::TablesAndViews, S::Routines, S::Triggers, S::Indices, S::Sequences, S::Constraints,
                        S::OtherSynonyms, S::OtherTypes}) {
        if (!sections.value(type)->elements().isEmpty())
            list.append(sections.value(type));
    }
    sectionsPerSchema_.insert(schema, list);
    sortBrowserElementStoreSectionElements();
}

void BrowserElementStore::sortBrowserElementStoreSectionElements()
{
    const auto byName = [](const BrowserElementPtr &a, const BrowserElementPtr &b) {
        return a->compare(*b) < 0;
    };
    for (const BrowserSectionList &list : std::as_const(sectionsPerSchema_)) {
        for (const BrowserElementSectionPtr &section : list) {
            // The recent items stay newest first: the list's limit drops its oldest item.
            if (section->type() == BrowserElementSection::Recent)
                continue;
            QList<BrowserElementPtr> elements = section->elements();
            std::stable_sort(elements.begin(), elements.end(), byName);
            section->setElements(std::move(elements));
        }
    }
}

std::unique_ptr<BrowserElementStore> BrowserElementStore::managementBrowserElementStoreForVornBrowser(
    const QString &resourceFolder, const QString &connectionType, BrowserElementSectionPtr favourites,
    BrowserElementSectionPtr recents)
{
    auto store = std::make_unique<BrowserElementStore>(std::move(favourites), std::move(recents));
    store->readPreferences();
    store->enableFavourites_ = false;
    store->enableRecent_ = false;
    const QString schema = QCoreApplication::translate("browser", "Management");
    store->selectedSchema_ = schema;
    store->schemas_ = {schema};
    BrowserSectionList list;
    const QVariantList entries =
        PropertyList::readFile(QStringLiteral("%1/Management%2.plist").arg(resourceFolder, connectionType))
            .toList();
    for (const QVariant &entryValue : entries) {
        const QVariantMap entry = entryValue.toMap();
        const qint64 type = managementSectionType(entry.value(QStringLiteral("type")).toString());
        auto section = std::make_shared<BrowserElementSection>(type);
        for (const QVariant &itemValue : entry.value(QStringLiteral("elements")).toList()) {
            const QVariantMap item = itemValue.toMap();
            auto element = std::make_shared<BrowserElement>(
                managementTitle(item.value(QStringLiteral("name")).toString()), schema,
                item.value(QStringLiteral("type")).toString(), managementBrowserType(type),
                QStringLiteral("MANAGEMENT"));
            element->setOptions(item);
            section->elements().append(element);
        }
        list.append(section);
    }
    store->sectionsPerSchema_.insert(schema, list);
    return store;
}

std::unique_ptr<BrowserElementStore> BrowserElementStore::exportedBrowserElementStoreForVornBrowser(
    VornBrowserClient &browser, const QString &schema, const QString &table, const QString &column,
    const BrowserElementStore &base, const QList<BrowserElementPtr> &recentDrops)
{
    using S = BrowserElementSection;
    QList<BrowserElementPtr> referring;
    for (const ForeignKeyEntry &key : browser.exportedKeysForColumnInSchemaAndTable(column, schema, table))
        referring.append(std::make_shared<BrowserElement>(key.foreignName, schema, QStringLiteral("TABLE"),
                                                          BrowserElement::Table));
    QList<BrowserElementPtr> similar;
    for (const BrowserTableName &found : browser.tablesWithColumnsNamed(schema, column))
        similar.append(tableElement(schema, found.name, found.type));
    QList<BrowserElementPtr> similarInFilter;
    const QList<BrowserElementPtr> kept =
        BrowserElementSection::filteredBrowserElementsForElement(similar, base.filter());
    if (kept.size() < similar.size()) {
        for (const BrowserElementPtr &element : kept)
            similarInFilter.append(tableElement(schema, element->name(), element->type()));
    }

    auto store = std::make_unique<BrowserElementStore>(base.sharedFavourites_, base.sharedRecent_);
    store->disableFilter_ = true;
    store->selectedSchema_ = browser.selectedSchema();
    BrowserSectionList list;
    if (!recentDrops.isEmpty())
        list.append(std::make_shared<S>(S::RecentDrops, recentDrops));
    if (!referring.isEmpty())
        list.append(std::make_shared<S>(S::ReferringTables, referring));
    if (!similarInFilter.isEmpty())
        list.append(std::make_shared<S>(S::SimilarTablesInFilter, similarInFilter));
    list.append(std::make_shared<S>(S::SimilarTables, similar));
    for (const BrowserElementSectionPtr &section : base.sectionsOfSchema(base.selectedSchema_)) {
        if (section->type() == S::TablesAndViews)
            list.append(section);
    }
    if (!store->selectedSchema_.isEmpty()) {
        store->sectionsPerSchema_.insert(store->selectedSchema_, list);
        store->schemas_ = {store->selectedSchema_};
    }
    store->filter_ = base.filter_;
    // The base's own sections are shared: they keep their order, so only the new ones are sorted.
    const auto byName = [](const BrowserElementPtr &a, const BrowserElementPtr &b) {
        return a->compare(*b) < 0;
    };
    for (const BrowserElementSectionPtr &section : list) {
        if (section->type() == S::TablesAndViews)
            continue;
        QList<BrowserElementPtr> elements = section->elements();
        std::stable_sort(elements.begin(), elements.end(), byName);
        section->setElements(std::move(elements));
    }
    return store;
}

void BrowserElementStore::setFilter(const QString &filter)
{
    filter_ = filter.trimmed().isEmpty() ? QString() : filter;
}

QList<BrowserElementPtr>
BrowserElementStore::filteredBrowserElementsForSection(BrowserElementSection &section) const
{
    assertMainThread();
    if (disableFilter_)
        return section.elements();
    section.setFilter(filter_);
    return section.filteredBrowserElements();
}

void BrowserElementStore::setSelectedElement(const BrowserElementPtr &element)
{
    selectedElement_ = element;
    if (element && !selectedSchema_.isNull() && !element->schema().isNull() &&
        element->schema() != selectedSchema_)
        selectedSchema_ = element->schema();
}

std::optional<BrowserElementSectionUpdate>
BrowserElementStore::addItemToRecentHistory(const BrowserElementPtr &element)
{
    assertMainThread();
    if (!element)
        return std::nullopt;
    const BrowserElementPtr copy = element->cloneForHistory(element);
    if (selectedSchema_.isNull() || copy->schema().isNull())
        return std::nullopt;
    BrowserElementSectionPtr recent;
    for (const BrowserElementSectionPtr &section : sectionsPerSchema_.value(selectedSchema_)) {
        if (section->type() == BrowserElementSection::Recent) {
            recent = section;
            break;
        }
    }
    if (!recent)
        return std::nullopt;
    BrowserElementSectionUpdate update;
    update.section = recent;
    QList<BrowserElementPtr> elements = recent->elements();
    const auto found =
        std::find_if(elements.cbegin(), elements.cend(), [&copy](const BrowserElementPtr &item) {
            return item->name() == copy->name() && item->type() == copy->type() &&
                   item->schema() == copy->schema();
        });
    if (found != elements.cend()) {
        const qsizetype index = found - elements.cbegin();
        elements.move(index, 0);
        update.move = true;
        update.oldPosition = index;
    } else {
        elements.prepend(copy);
        // A lowered limit leaves more than one too many.
        while (quint64(elements.size()) > quint64(maxRecent_) && !elements.isEmpty()) {
            elements.removeLast();
            update.oldPosition = maxRecent_ - 1;
        }
    }
    recent->setElements(std::move(elements));
    return update;
}

bool BrowserElementStore::isSharedSection(const BrowserElementSection *section) const
{
    return section == sharedFavourites_.get() || section == sharedRecent_.get();
}

BrowserElementPtr BrowserElementStore::findElementInStore(const BrowserElement &element) const
{
    for (const BrowserElementSectionPtr &section : sectionsPerSchema_.value(element.schema())) {
        if (!section->originalElementSection())
            continue;
        for (const BrowserElementPtr &candidate : section->elements()) {
            if (candidate->isSameDatabaseElement(element))
                return candidate;
        }
    }
    return nullptr;
}

BrowserElementPtr BrowserElementStore::findElementInStoreWithName(const QString &name,
                                                                  const QString &schema) const
{
    const QString wanted = name.toLower();
    for (const BrowserElementSectionPtr &section : sectionsPerSchema_.value(schema)) {
        if (!section->originalElementSection())
            continue;
        for (const BrowserElementPtr &candidate : section->elements()) {
            if (candidate->name().toLower() == wanted)
                return candidate;
        }
    }
    return nullptr;
}

QList<BrowserElementPtr> BrowserElementStore::browserElementsOfType(qint64 browserType,
                                                                    const QString &schema) const
{
    QList<BrowserElementPtr> found;
    for (const BrowserElementSectionPtr &section : sectionsPerSchema_.value(schema)) {
        if (!section->originalElementSection())
            continue;
        for (const BrowserElementPtr &candidate : section->elements()) {
            if (candidate->browserType() == browserType)
                found.append(candidate);
        }
    }
    return found;
}

bool BrowserElementStore::validateRecentAndFavourites()
{
    QList<BrowserElementPtr> candidates;
    if (sharedFavourites_)
        candidates += sharedFavourites_->elements();
    if (sharedRecent_)
        candidates += sharedRecent_->elements();
    bool removed = false;
    for (const BrowserElementPtr &candidate : std::as_const(candidates)) {
        const BrowserSectionList list = sectionsPerSchema_.value(candidate->schema());
        if (list.isEmpty() || !loadedSchemas_.contains(candidate->schema()))
            continue;
        const bool exists =
            std::any_of(list.cbegin(), list.cend(), [&](const BrowserElementSectionPtr &section) {
                if (isSharedSection(section.get()))
                    return false;
                return std::any_of(section->elements().cbegin(), section->elements().cend(),
                                   [&](const BrowserElementPtr &element) {
                                       return element->name() == candidate->name() &&
                                              element->isSameDatabaseElement(*candidate);
                                   });
            });
        if (exists)
            continue;
        for (const BrowserElementSectionPtr &shared : {sharedFavourites_, sharedRecent_}) {
            if (shared && shared->elements().removeAll(candidate) > 0) {
                shared->setElements(shared->elements());
                removed = true;
            }
        }
    }
    return removed;
}
