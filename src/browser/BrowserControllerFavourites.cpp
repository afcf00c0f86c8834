// Favourites and recent drop targets in the connection's settings, drops of dragged filters, the
// temporary drop store, selection routing, the restorable state and management mode.
#include "browser/BrowserController.h"

#include "browser/BrowserControllerDelegate.h"
#include "browser/BrowserSettingKeys.h"
#include "client/VornBrowserClient.h"
#include "platform/MainThread.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QLoggingCategory>

namespace
{

Q_LOGGING_CATEGORY(browserLog, "vorn.browser")

QStringList identifiersOf(const QVariant &value)
{
    return value.toStringList();
}

qint64 recentLimit()
{
    const UserDefaults &defaults = UserDefaults::standard();
    return defaults.contains(PreferenceKey::browser_recent_count)
               ? defaults.integerForKey(PreferenceKey::browser_recent_count)
               : 5;
}

// A name as a part of a drop-source key: the separator and the escape are escaped, and so is a
// leading "[", so that no table can pose as a statement's result.
QString escapedKeyPart(const QString &part)
{
    QString escaped = part;
    escaped.replace('\\', QLatin1String("\\\\")).replace('-', QLatin1String("\\-"));
    if (escaped.startsWith('['))
        escaped.prepend('\\');
    return escaped;
}

} // namespace

// Favourites.

bool BrowserController::itemIsFavourite(const BrowserElement &element)
{
    if (!dataStore_)
        return false;
    return identifiersOf(connectionSettingsWithName(BrowserSettingKey::favourites))
        .contains(element.serializableIdentifier());
}

void BrowserController::updateFavouriteStatus(bool favourite, const BrowserElement &element)
{
    QStringList identifiers = identifiersOf(connectionSettingsWithName(BrowserSettingKey::favourites));
    const QString identifier = element.serializableIdentifier();
    if (favourite && !identifiers.contains(identifier))
        identifiers.append(identifier);
    else if (!favourite)
        identifiers.removeAll(identifier);
    setConnectionSettingWithName(BrowserSettingKey::favourites, identifiers);
    NotificationCenter::defaultCenter().postNotification(browserFavouritesUpdatedNotification);
}

void BrowserController::storeFavouritesIntoElementStore()
{
    QStringList identifiers;
    for (const BrowserElementPtr &element : sharedFavourites_->elements())
        identifiers.append(element->serializableIdentifier());
    setConnectionSettingWithName(BrowserSettingKey::favourites, identifiers);
    NotificationCenter::defaultCenter().postNotification(browserFavouritesUpdatedNotification);
}

void BrowserController::loadFavouritesIntoElementStore()
{
    if (!dataStore_)
        return;
    const BrowserSectionList list = dataStore_->sectionsOfSchema(dataStore_->selectedSchema());
    if (list.isEmpty())
        return;
    QList<BrowserElementPtr> favourites;
    for (const QString &identifier :
         identifiersOf(connectionSettingsWithName(BrowserSettingKey::favourites))) {
        if (BrowserElementPtr element = BrowserElement::favouriteElementForIdentifier(identifier))
            favourites.append(element);
    }
    for (const BrowserElementSectionPtr &section : list) {
        if (section->type() == BrowserElementSection::Favourites)
            section->setElements(favourites);
    }
}

void BrowserController::favouritesUpdated()
{
    loadFavouritesIntoElementStore();
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserHasBeenUpdated();
}

// Recent drops.

QString BrowserController::dropSourceKey(const BrowserElement &source, const QString &column)
{
    if (source.browserType() == BrowserElement::StatementResult)
        return QStringLiteral("[[SQL-%1").arg(escapedKeyPart(column));
    return QStringLiteral("%1-%2").arg(escapedKeyPart(source.name()), escapedKeyPart(column));
}

void BrowserController::storeRecentDrop(const BrowserElement &source, const QString &column,
                                        const BrowserElement &target)
{
    QVariantMap drops = connectionSettingsWithName(BrowserSettingKey::quickfilterDrops).toMap();
    const QString key = dropSourceKey(source, column);
    QStringList targets = identifiersOf(drops.value(key));
    const QString identifier = target.serializableIdentifier();
    if (!targets.contains(identifier))
        targets.append(identifier);
    const quint64 limit = quint64(recentLimit());
    while (quint64(targets.size()) > limit)
        targets.removeFirst();
    drops.insert(key, targets);
    setConnectionSettingWithName(BrowserSettingKey::quickfilterDrops, drops);
}

QList<BrowserElementPtr> BrowserController::recentDropElements(const BrowserElement &source,
                                                               const QString &column)
{
    const QVariantMap drops = connectionSettingsWithName(BrowserSettingKey::quickfilterDrops).toMap();
    QList<BrowserElementPtr> elements;
    for (const QString &identifier : identifiersOf(drops.value(dropSourceKey(source, column)))) {
        if (BrowserElementPtr element = BrowserElement::elementForIdentifier(identifier))
            elements.append(element);
    }
    return elements;
}

// Drops of a dragged filter.

bool BrowserController::shouldAcceptDrop(const FilterPtr &filter, const BrowserElementPtr &target,
                                         const QString &column, bool newTab)
{
    if (!filter || !target)
        return false;
    if (filter->element())
        storeRecentDrop(*filter->element(), filter->columnName(), *target);
    filter->setElement(target);
    filter->setColumnName(column);
    if (newTab) {
        if (BrowserControllerDelegate *delegate = browserDelegate())
            delegate->browserRequestsNewDocumentFor(target, filter, false);
        return false;
    }
    MainThread::post([this, filter, alive = std::weak_ptr<const char>(alive_)] {
        if (!alive.expired())
            requestExternalLoadOfFilter(filter);
    });
    return true;
}

bool BrowserController::shouldAcceptDrop(const FilterPtr &filter, const BrowserElementPtr &target,
                                         bool newTab)
{
    const std::shared_ptr<VornBrowserClient> browser = backendBrowser();
    if (!filter || !target || !browser)
        return false;
    const QString column = filter->columnName();
    const QList<ForeignKeyEntry> keys =
        browser->exportedKeysForColumnInSchemaAndTable(column, target->schema(), target->name());
    const QStringList targetColumns = browser->allColumnsInTable(target->schema(), target->name());
    // A key from the target's column to the dragged table accepts the drop; so does a column of the
    // dragged name.
    const QString sourceName = filter->element() ? filter->element()->name() : QString();
    bool accepted = false;
    const auto byKey = std::find_if(keys.cbegin(), keys.cend(), [&sourceName](const ForeignKeyEntry &key) {
        return !sourceName.isNull() && key.foreignName == sourceName;
    });
    if (byKey != keys.cend())
        accepted = !byKey->foreignColumn.isEmpty();
    else
        accepted = !column.isNull() && targetColumns.contains(column);
    if (!accepted)
        return false;
    if (filter->element())
        storeRecentDrop(*filter->element(), column, *target);
    filter->setElement(target);
    if (newTab) {
        if (BrowserControllerDelegate *delegate = browserDelegate())
            delegate->browserRequestsNewDocumentFor(target, filter, false);
        return false;
    }
    requestExternalLoadOfFilter(filter);
    return true;
}

QStringList BrowserController::dropColumnsAvailableFor(const Filter &filter, const BrowserElement &target,
                                                       bool *hasDefault)
{
    const std::shared_ptr<VornBrowserClient> browser = backendBrowser();
    if (!browser)
        return {};
    const BrowserElementPtr source = filter.element();
    const QString sourceName = source ? source->name() : QString();
    const QList<ForeignKeyEntry> keys = browser->exportedKeysForColumnInSchemaAndTable(
        filter.columnName(), source ? source->schema() : QString(), sourceName);
    const QStringList targetColumns = browser->allColumnsInTable(target.schema(), target.name());
    QStringList columns;
    // A key between the dragged column and the target table names the target's column.
    for (const ForeignKeyEntry &key : keys) {
        if (key.foreignName == target.name() && !key.foreignColumn.isEmpty())
            columns.append(key.foreignColumn);
    }
    if (targetColumns.contains(filter.columnName()))
        columns.append(filter.columnName());
    if (!columns.isEmpty()) {
        if (hasDefault)
            *hasDefault = true;
        columns.append(QString(""));
    }
    return columns + targetColumns;
}

// The temporary drop store.

void BrowserController::setTemporaryStoreConstraintedElement(const BrowserElementPtr &source,
                                                             const QString &column)
{
    const std::shared_ptr<VornBrowserClient> browser = backendBrowser();
    BrowserElementStore *base = browserElementStore();
    if (!source || !browser || !base)
        return;
    const QList<BrowserElementPtr> drops = recentDropElements(*source, column);
    const bool statement = source->browserType() == BrowserElement::StatementResult;
    temporaryStore_ = BrowserElementStore::exportedBrowserElementStoreForVornBrowser(
        *browser, statement ? base->selectedSchema() : source->schema(),
        statement ? QString() : source->name(), column, *base, drops);
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserHasBeenUpdated();
}

void BrowserController::clearTemporaryStore()
{
    temporaryStore_.reset();
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserHasBeenUpdated();
}

void BrowserController::setActiveElementStoreSelection(const BrowserElementPtr &element,
                                                       const BrowserElementSection *section)
{
    if (temporaryStore_)
        return;
    BrowserElementStore *active = browserElementStore();
    BrowserElementStore *other = active == managementStore_.get() ? dataStore_.get() : managementStore_.get();
    if (active) {
        active->setSelectedElement(element);
        active->setSelectedElementSectionType(section ? section->type() : 0);
    }
    if (other) {
        other->setSelectedElement(nullptr);
        other->setSelectedElementSectionType(0);
    }
}

// Names and requests.

QString BrowserController::qualifiedNameOfBrowserElement(const BrowserElement &element) const
{
    const std::shared_ptr<VornBrowserClient> browser = backendBrowser();
    return browser ? browser->qualifiedTableNameOfElement(element.type(), element.schema(), element.name())
                   : QString();
}

QString BrowserController::fullyQualifiedNameOfBrowserElement(const BrowserElement &element) const
{
    const std::shared_ptr<VornBrowserClient> browser = backendBrowser();
    return browser
               ? browser->fullyQualifiedTableNameOfElement(element.type(), element.schema(), element.name())
               : QString();
}

void BrowserController::shouldSelectElementInNewTab(const BrowserElementPtr &element, bool newWindow)
{
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserRequestsNewDocumentFor(element, nullptr, newWindow);
}

void BrowserController::shouldOpenInfoOfElement(const BrowserElementPtr &element)
{
    BrowserControllerDelegate *delegate = browserDelegate();
    if (element && delegate)
        delegate->browserWantsInfoOfElement(element);
}

DDLController *BrowserController::ddlController() const
{
    BrowserControllerDelegate *delegate = browserDelegate();
    return delegate ? delegate->browserWantsDDLController() : nullptr;
}

void BrowserController::loadSettingsIfNecessary()
{
    if (!delegate())
        qCWarning(browserLog) << "BrowserController has no delegate (self" << this << ")";
    ConnectedController::loadSettingsIfNecessary();
}

// Restorable state.

QVariantMap BrowserController::restorableDocumentInfo() const
{
    QVariantMap info;
    if (const BrowserElementStore *store = browserElementStore(); store && !store->selectedSchema().isNull())
        info.insert(QStringLiteral("selectedSchema"), store->selectedSchema());
    if (sharedRecentItems_) {
        QStringList recents;
        for (const BrowserElementPtr &element : sharedRecentItems_->elements())
            recents.prepend(element->serializableIdentifier());
        info.insert(QStringLiteral("recents"), recents);
    }
    if (managementMode_)
        info.insert(QStringLiteral("managementMode"), true);
    return info;
}

void BrowserController::restoreWithInfo(const QVariantMap &info)
{
    managementMode_ = info.value(QStringLiteral("managementMode")).toBool();
    if (!managementMode_) {
        const QString schema = info.value(QStringLiteral("selectedSchema")).toString();
        BrowserElementStore *store = browserElementStore();
        if (store && !schema.isEmpty() && store->schemas().contains(schema) &&
            browserShouldChangeSchemaSelection(schema)) {
            store->setSelectedSchema(schema);
            browserDidChangeSchemaSelection(schema);
        }
        for (const QString &identifier : identifiersOf(info.value(QStringLiteral("recents")))) {
            const BrowserElementPtr element = BrowserElement::elementForIdentifier(identifier);
            if (element && store && store->findElementInStore(*element))
                addItemToRecentHistory(element);
        }
    }
    if (BrowserControllerDelegate *delegate = browserDelegate())
        delegate->browserHasBeenUpdated();
}

bool BrowserController::canToggleManagementMode() const
{
    return vornRoot()->hasConnection() && !vornRoot()->reserved();
}

void BrowserController::toggleManagementMode()
{
    managementMode_ = !managementMode_;
    if (BrowserControllerDelegate *delegate = browserDelegate()) {
        delegate->browserHasBeenUpdated();
        delegate->browserUpdatedManagementMode();
    }
}
