#include "browser/BrowserOutlineModel.h"

#include "browser/BrowserElementStore.h"
#include "kit/ImageUtil.h"
#include "resultset/Filter.h"

#include <QCoreApplication>
#include <QFont>
#include <QIcon>
#include <QMimeData>

namespace
{
// Element rows carry their section's row plus one; section rows carry none.
constexpr quintptr sectionId = 0;
} // namespace

BrowserOutlineModel::BrowserOutlineModel(QObject *parent) : QAbstractItemModel(parent) {}

QString BrowserOutlineModel::titleForSectionType(qint64 type)
{
    const char *title = "Other";
    switch (type) {
    case BrowserElementSection::Favourites:
        title = QT_TRANSLATE_NOOP("browser", "Favourites");
        break;
    case BrowserElementSection::Recent:
        title = QT_TRANSLATE_NOOP("browser", "Recent");
        break;
    case BrowserElementSection::TablesAndViews:
        title = QT_TRANSLATE_NOOP("browser", "Tables and Views");
        break;
    case BrowserElementSection::Indices:
        title = QT_TRANSLATE_NOOP("browser", "Indices");
        break;
    case BrowserElementSection::Constraints:
        title = QT_TRANSLATE_NOOP("browser", "Constraints");
        break;
    case BrowserElementSection::Routines:
        title = QT_TRANSLATE_NOOP("browser", "Functions and Procedures");
        break;
    case BrowserElementSection::Triggers:
        title = QT_TRANSLATE_NOOP("browser", "Triggers");
        break;
    case BrowserElementSection::Sequences:
        title = QT_TRANSLATE_NOOP("browser", "Sequences");
        break;
    case BrowserElementSection::OtherSynonyms:
        title = QT_TRANSLATE_NOOP("browser", "Synonyms");
        break;
    case BrowserElementSection::RecentDrops:
        title = QT_TRANSLATE_NOOP("browser", "Recent drops");
        break;
    case BrowserElementSection::ReferringTables:
        title = QT_TRANSLATE_NOOP("browser", "Tables with Referential Constraints");
        break;
    case BrowserElementSection::SimilarTables:
        title = QT_TRANSLATE_NOOP("browser", "Similar Tables and Views");
        break;
    case BrowserElementSection::SimilarTablesInFilter:
        title = QT_TRANSLATE_NOOP("browser", "Similar Tables and Views in Filter");
        break;
    case BrowserElementSection::ManagementDatabase:
        title = QT_TRANSLATE_NOOP("browser", "Database");
        break;
    case BrowserElementSection::ManagementActivity:
        title = QT_TRANSLATE_NOOP("browser", "Activity");
        break;
    case BrowserElementSection::ManagementObjects:
        title = QT_TRANSLATE_NOOP("browser", "Objects");
        break;
    default:
        title = QT_TRANSLATE_NOOP("browser", "Other");
    }
    return QCoreApplication::translate("browser", title);
}

void BrowserOutlineModel::setStore(BrowserElementStore *store)
{
    store_ = store;
    reload();
}

void BrowserOutlineModel::reload()
{
    beginResetModel();
    readStore();
    endResetModel();
}

void BrowserOutlineModel::readStore()
{
    sections_.clear();
    elements_.clear();
    if (!store_)
        return;
    sections_ = store_->sectionsOfSchema(store_->selectedSchema());
    for (const BrowserElementSectionPtr &section : std::as_const(sections_))
        elements_ << store_->filteredBrowserElementsForSection(*section);
}

void BrowserOutlineModel::applySectionUpdate(const BrowserElementSectionUpdate &update)
{
    const QModelIndex parent = indexOfSection(update.section.get());
    if (!parent.isValid() || !store_) {
        reload();
        return;
    }
    QList<BrowserElementPtr> &shown = elements_[parent.row()];
    const QList<BrowserElementPtr> now = store_->filteredBrowserElementsForSection(*update.section);
    const auto inRange = [&](qint64 position, qsizetype size) { return position >= 0 && position < size; };
    if (update.move) {
        const int from = int(update.oldPosition);
        const int to = int(update.newPosition);
        if (!inRange(from, shown.size()) || !inRange(to, shown.size())) {
            reload();
            return;
        }
        if (from != to && beginMoveRows(parent, from, from, parent, to > from ? to + 1 : to)) {
            shown.move(from, to);
            endMoveRows();
        }
    } else {
        if (inRange(update.oldPosition, shown.size())) {
            beginRemoveRows(parent, int(update.oldPosition), int(update.oldPosition));
            shown.removeAt(update.oldPosition);
            endRemoveRows();
        }
        if (update.newPosition >= 0 && update.newPosition <= shown.size() &&
            update.newPosition < now.size()) {
            beginInsertRows(parent, int(update.newPosition), int(update.newPosition));
            shown.insert(update.newPosition, now.at(update.newPosition));
            endInsertRows();
        }
    }
    // What the update described must be what the store holds; anything else is read again whole.
    if (shown != now)
        reload();
}

QModelIndex BrowserOutlineModel::indexOfSection(const BrowserElementSection *section) const
{
    for (int i = 0; i < sections_.size(); ++i) {
        if (sections_.at(i).get() == section)
            return index(i, 0);
    }
    return {};
}

QModelIndex BrowserOutlineModel::indexOfElement(const BrowserElement &element,
                                                const BrowserElementSection *section) const
{
    for (int i = 0; i < sections_.size(); ++i) {
        if (section && sections_.at(i).get() != section)
            continue;
        const QList<BrowserElementPtr> &shown = elements_.at(i);
        for (int row = 0; row < shown.size(); ++row) {
            if (shown.at(row)->isSameDatabaseElement(element))
                return index(row, 0, index(i, 0));
        }
    }
    return {};
}

BrowserElementSectionPtr BrowserOutlineModel::sectionAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() != sectionId || index.row() >= sections_.size())
        return nullptr;
    return sections_.at(index.row());
}

BrowserElementPtr BrowserOutlineModel::elementAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() == sectionId)
        return nullptr;
    const qsizetype section = qsizetype(index.internalId() - 1);
    if (section >= elements_.size() || index.row() >= elements_.at(section).size())
        return nullptr;
    return elements_.at(section).at(index.row());
}

BrowserElementSectionPtr BrowserOutlineModel::parentSectionAt(const QModelIndex &index) const
{
    return sectionAt(parent(index));
}

QList<BrowserElementPtr> BrowserOutlineModel::activeItems() const
{
    QList<BrowserElementPtr> items;
    for (const QList<BrowserElementPtr> &shown : elements_)
        items << shown;
    return items;
}

QModelIndex BrowserOutlineModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < sections_.size() ? createIndex(row, 0, sectionId) : QModelIndex();
    if (parent.internalId() != sectionId || parent.row() >= elements_.size() ||
        row >= elements_.at(parent.row()).size())
        return {};
    return createIndex(row, 0, quintptr(parent.row()) + 1);
}

QModelIndex BrowserOutlineModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == sectionId)
        return {};
    return createIndex(int(child.internalId() - 1), 0, sectionId);
}

int BrowserOutlineModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(sections_.size());
    if (parent.internalId() == sectionId && parent.row() < elements_.size())
        return int(elements_.at(parent.row()).size());
    return 0;
}

int BrowserOutlineModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant BrowserOutlineModel::data(const QModelIndex &index, int role) const
{
    if (const BrowserElementSectionPtr section = sectionAt(index)) {
        switch (role) {
        case Qt::DisplayRole:
            return titleForSectionType(section->type());
        case Qt::FontRole: {
            QFont font;
            font.setBold(true);
            return font;
        }
        case SectionTypeRole:
            return section->type();
        case IsSectionRole:
            return true;
        default:
            return {};
        }
    }
    const BrowserElementPtr element = elementAt(index);
    if (!element)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return element->name();
    case Qt::DecorationRole:
        return QIcon(ImageUtil::imageForBrowserElement(element->browserType(), element->subtype()));
    case IsSectionRole:
        return false;
    default:
        return {};
    }
}

Qt::ItemFlags BrowserOutlineModel::flags(const QModelIndex &index) const
{
    if (sectionAt(index))
        return Qt::ItemIsEnabled;
    if (elementAt(index))
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    return Qt::NoItemFlags;
}

QStringList BrowserOutlineModel::mimeTypes() const
{
    return {Filter::filterItemType};
}

QMimeData *BrowserOutlineModel::mimeData(const QModelIndexList &indexes) const
{
    // Only one schema object at a time is dragged.
    if (indexes.size() != 1 || !dragWriter_)
        return nullptr;
    const BrowserElementPtr element = elementAt(indexes.first());
    return element ? dragWriter_(element) : nullptr;
}
