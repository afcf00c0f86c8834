#include "resultset/QuickFilterController.h"

#include "resultset/ResultsetController.h"

#include <QCoreApplication>
#include <QGraphicsOpacityEffect>
#include <QLineEdit>
#include <QMenu>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace
{
const QString customFilter = QStringLiteral("__CUSTOM_FILTER__");

QString text(const char *key)
{
    return QCoreApplication::translate("quickfilter", key);
}

bool isNullTest(const QString &code)
{
    return code == QLatin1String("IS NULL") || code == QLatin1String("NOT IS NULL");
}

int rowHeight(const QuickFilterItem *row)
{
    return row->isCustomFilter() ? QuickFilterItem::customFilterHeight : QuickFilterItem::ordinaryHeight;
}
} // namespace

QuickFilterController::QuickFilterController(QuickFilterView *view, QScrollArea *scrollArea, QObject *parent)
    : QObject(parent), view_(view), scrollArea_(scrollArea)
{
    view_->setDelegate(this);
}

QuickFilterController::~QuickFilterController()
{
    if (view_)
        view_->setDelegate(nullptr);
    qDeleteAll(items_);
}

QList<QuickFilterItem *> QuickFilterController::rows() const
{
    QList<QuickFilterItem *> rows;
    for (QObject *item : items_) {
        if (auto *row = qobject_cast<QuickFilterItem *>(item))
            rows.append(row);
    }
    return rows;
}

void QuickFilterController::resultsetReset()
{
    if (layoutAnimation_)
        layoutAnimation_->stop();
    qDeleteAll(items_);
    items_.clear();
    columnInfo_.clear();
    if (!view_)
        return;
    const QList<QWidget *> children = view_->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (auto child = children.crbegin(); child != children.crend(); ++child)
        delete *child;
}

QuickFilterItem *QuickFilterController::newRow()
{
    auto *row = new QuickFilterItem(columnInfo_, this);
    row->setDelegate(this);
    return row;
}

void QuickFilterController::addEntry(QObject *item, QWidget *itemView)
{
    items_.append(item);
    itemView->setParent(view_);
    itemView->show();
}

void QuickFilterController::loadFromController(ResultsetController *resultsetController)
{
    if (!resultsetController) {
        load({}, {}, false, {});
        return;
    }
    load(resultsetController->quickFilterColumnInfo(),
         {resultsetController->quickFilterColumnColumns(), resultsetController->quickFilterColumnOperators(),
          resultsetController->quickFilterColumnValues()},
         resultsetController->management(), resultsetController->managementConfig());
}

void QuickFilterController::load(const QVariantList &columnInfo, const QuickFilterRequest &current,
                                 bool management, const QVariantMap &managementConfig)
{
    managementMode_ = management;
    resultsetReset();
    columnInfo_ = columnInfo;
    view_->setManagementMode(managementMode_);
    if (managementMode_) {
        managementConfig_ = managementConfig;
        loadManagementEntries(current.columns, current.values);
    } else if (!columnInfo_.isEmpty()) {
        if (current.columns.isEmpty()) {
            QuickFilterItem *row = newRow();
            addEntry(row, row->view());
        }
        for (qsizetype i = 0; i < current.columns.size(); ++i) {
            QuickFilterItem *row = newRow();
            row->setSelectionColumn(current.columns[i].toString(), current.operators.value(i).toString(),
                                    current.values.value(i).toString());
            addEntry(row, row->view());
        }
    }
    layoutItems(false);
    verifyInput();
    if (!managementMode_)
        addOptionsButton();
}

void QuickFilterController::loadManagementEntries(const QVariantList &currentColumns,
                                                  const QVariantList &currentValues)
{
    for (const QVariant &entry : managementConfig_.value(QStringLiteral("options")).toList()) {
        const QVariantMap option = entry.toMap();
        const QString name = option.value(QStringLiteral("name")).toString();
        const QVariant choices = option.value(QStringLiteral("values"));
        const QVariant field = option.value(QStringLiteral("field"));
        Q_ASSERT_X(!name.isNull(), "QuickFilterController", "Name cannot be nil");
        Q_ASSERT_X(choices.isValid() != field.isValid(), "QuickFilterController",
                   "Exactly 1 of values or field must be set");
        if (choices.isValid()) {
            QString selection;
            for (const QVariant &choice : choices.toList()) {
                const QString value = choice.toMap().value(QStringLiteral("value")).toString();
                if (currentValues.contains(value))
                    selection = value;
            }
            auto *radio = new QuickFilterRadioItem(name, choices.toList(), selection,
                                                   option.value(QStringLiteral("select")).toString(), this);
            radio->setDelegate(this);
            addEntry(radio, radio->view());
        } else {
            const QString column = field.toString();
            const qsizetype position = currentColumns.indexOf(column);
            auto *search = new QuickFilterSearchItem(
                name, column, position >= 0 ? currentValues.value(position).toString() : QString(), this);
            search->setNumeric(option.value(QStringLiteral("numeric")).toBool());
            search->setDelegate(this);
            addEntry(search, search->view());
        }
    }
}

void QuickFilterController::addOptionsButton()
{
    optionsButton_ = new MouseDownActionButton(view_);
    optionsButton_->setObjectName(QStringLiteral("FilterOptions"));
    optionsButton_->setText(QStringLiteral("\u2699"));
    optionsButton_->setToolTip(text("Filter Options"));
    optionsButton_->setFlat(true);
    optionsButton_->adjustSize();
    optionsButton_->resize(std::max(optionsButton_->width(), 28), 20);
    optionsButton_->move(10, 5);
    optionsButton_->setExternalContextMenuDelegate(this);
    optionsButton_->show();
}

void QuickFilterController::updateFromController(ResultsetController *resultsetController)
{
    if (resultsetController)
        columnInfo_ = resultsetController->quickFilterColumnInfo();
    verifyInput();
}

int QuickFilterController::requiredHeight() const
{
    if (items_.isEmpty())
        return emptyHeight;
    if (!managementMode_) {
        int height = 4;
        for (const QuickFilterItem *row : rows())
            height += rowHeight(row);
        return height;
    }
    int radioHeight = 0;
    int searchHeight = 0;
    for (QObject *item : items_) {
        if (auto *radio = qobject_cast<QuickFilterRadioItem *>(item))
            radioHeight = std::max(radioHeight, radio->view()->height());
        else if (auto *search = qobject_cast<QuickFilterSearchItem *>(item))
            searchHeight = std::max(searchHeight, search->view()->height());
    }
    return radioHeight + searchHeight + 8;
}

void QuickFilterController::layoutItems(bool animate)
{
    if (!view_)
        return;
    if (layoutAnimation_)
        layoutAnimation_->stop();
    const int width = scrollArea_ ? scrollArea_->viewport()->width() : view_->width();
    view_->resize(width, requiredHeight());
    auto *group = animate ? new QParallelAnimationGroup(this) : nullptr;
    auto place = [&](QWidget *itemView, const QPoint &to) {
        if (!group || itemView->pos() == to) {
            itemView->move(to);
            return;
        }
        auto *move = new QPropertyAnimation(itemView, "pos", group);
        move->setDuration(animationMs);
        move->setEasingCurve(QEasingCurve::InOutQuad);
        move->setEndValue(to);
        group->addAnimation(move);
    };
    if (!managementMode_) {
        int y = 2;
        for (QuickFilterItem *row : rows()) {
            place(row->view(), QPoint(width - row->view()->width() - 10, y));
            y += rowHeight(row);
            row->setEnableRemoval(true);
        }
    } else {
        int radioLine = 0;
        for (QObject *item : items_) {
            if (auto *radio = qobject_cast<QuickFilterRadioItem *>(item))
                radioLine = std::max(radioLine, radio->view()->height());
        }
        int radioX = 4;
        int searchX = 4;
        for (QObject *item : items_) {
            if (auto *radio = qobject_cast<QuickFilterRadioItem *>(item)) {
                radio->view()->move(radioX, 4);
                radioX += radio->view()->width() + 2;
            } else if (auto *search = qobject_cast<QuickFilterSearchItem *>(item)) {
                search->view()->move(searchX, radioLine + 4);
                searchX += search->view()->width() + 2;
            }
        }
    }
    if (group) {
        layoutAnimation_ = group;
        group->start(QAbstractAnimation::DeleteWhenStopped);
    }
}

QVariantList QuickFilterController::columns() const
{
    QVariantList list;
    for (QObject *item : items_) {
        if (auto *row = qobject_cast<QuickFilterItem *>(item)) {
            if (!row->columnValue().isNull())
                list.append(row->columnValue());
        } else if (qobject_cast<QuickFilterRadioItem *>(item)) {
            list.append(customFilter);
        } else if (auto *search = qobject_cast<QuickFilterSearchItem *>(item)) {
            list.append(search->value());
        }
    }
    return list;
}

QVariantList QuickFilterController::operators() const
{
    QVariantList list;
    for (QObject *item : items_) {
        if (auto *row = qobject_cast<QuickFilterItem *>(item)) {
            if (!row->columnValue().isNull())
                list.append(row->operatorValue());
        } else if (qobject_cast<QuickFilterRadioItem *>(item)) {
            list.append(customFilter);
        } else if (auto *search = qobject_cast<QuickFilterSearchItem *>(item)) {
            list.append(search->numeric() ? QStringLiteral("=") : QStringLiteral("LIKE"));
        }
    }
    return list;
}

QVariantList QuickFilterController::values() const
{
    QVariantList list;
    for (QObject *item : items_) {
        if (auto *row = qobject_cast<QuickFilterItem *>(item)) {
            if (!row->columnValue().isNull())
                list.append(row->value());
        } else if (auto *radio = qobject_cast<QuickFilterRadioItem *>(item)) {
            list.append(radio->selection().isNull() ? QStringLiteral("") : radio->selection());
        } else if (auto *search = qobject_cast<QuickFilterSearchItem *>(item)) {
            list.append(search->selection());
        }
    }
    return list;
}

QuickFilterRequest QuickFilterController::request() const
{
    return {columns(), operators(), values()};
}

void QuickFilterController::verifyInput()
{
    if (managementMode_ || !delegate_)
        return;
    for (QuickFilterItem *row : rows())
        row->setValid(delegate_->quickFilter(this, row->columnValue(), row->value(), row->operatorValue(),
                                             row->columnType()));
}

void QuickFilterController::handleUpdate()
{
    verifyInput();
    if (delegate_)
        delegate_->quickFilterWasUpdated(this);
}

void QuickFilterController::selectQuickFilter()
{
    if (items_.isEmpty())
        return;
    if (auto *row = qobject_cast<QuickFilterItem *>(items_.first())) {
        row->selectSearchfield();
        return;
    }
    // A management view: its first search entry, else its first radio button.
    for (QObject *item : items_) {
        if (auto *search = qobject_cast<QuickFilterSearchItem *>(item)) {
            search->search()->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
    if (auto *radio = qobject_cast<QuickFilterRadioItem *>(items_.first());
        radio && !radio->options().isEmpty())
        radio->options().first()->setFocus(Qt::ShortcutFocusReason);
}

void QuickFilterController::quickFilterItemWasUpdated(QuickFilterItem *item)
{
    if (items_.contains(item))
        handleUpdate();
    layoutItems(true);
    if (delegate_)
        delegate_->quickFilterRequestsRelayout(this);
}

void QuickFilterController::fadeIn(QWidget *itemView)
{
    auto *effect = new QGraphicsOpacityEffect(itemView);
    effect->setOpacity(0);
    itemView->setGraphicsEffect(effect);
    auto *fade = new QPropertyAnimation(effect, "opacity", effect);
    fade->setDuration(animationMs);
    fade->setEndValue(1.0);
    // Widgets under an effect draw through a pixmap: the row goes back to drawing itself.
    connect(fade, &QPropertyAnimation::finished, itemView,
            [itemView] { itemView->setGraphicsEffect(nullptr); });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void QuickFilterController::settleAfterChange(QWidget *fadingView, bool animate)
{
    layoutItems(animate);
    handleUpdate();
    if (fadingView)
        fadeIn(fadingView);
    if (delegate_)
        delegate_->quickFilterRequestsRelayout(this);
}

void QuickFilterController::quickFilterItemWantsToAddANewItem(QuickFilterItem *item)
{
    if (!items_.contains(item))
        return;
    QuickFilterItem *row = newRow();
    const int width = scrollArea_ ? scrollArea_->viewport()->width() : view_->width();
    row->view()->move(width - row->view()->width() - 10, view_->height());
    addEntry(row, row->view());
    settleAfterChange(row->view(), true);
}

void QuickFilterController::quickFilterItemWantsToBeRemoved(QuickFilterItem *item)
{
    if (!items_.contains(item))
        return;
    const bool removedWasTall = rowHeight(item) > 40;
    items_.removeOne(item);
    // The row's own button is still reporting the click: the row goes once that is done.
    item->view()->hide();
    item->setDelegate(nullptr);
    item->deleteLater();
    bool animate = true;
    if (items_.isEmpty()) {
        QuickFilterItem *row = newRow();
        row->view()->move(view_->width() - row->view()->width(), view_->height() - row->view()->height() - 2);
        addEntry(row, row->view());
        animate = removedWasTall != (rowHeight(row) > 40);
    }
    settleAfterChange(nullptr, animate);
}

void QuickFilterController::quickFilterRadioItemUpdatedSelectionFrom(const QString &, const QString &)
{
    handleUpdate();
}

void QuickFilterController::quickFilterSearchItemUpdatedSelectionFrom(const QString &, const QString &)
{
    handleUpdate();
}

bool QuickFilterController::canReceiveFilterItem(const Filter &filter)
{
    // A management view's entries are fixed by its configuration: drops would have nowhere to go.
    if (managementMode_ || filter.columnName().isEmpty())
        return false;
    return std::any_of(columnInfo_.cbegin(), columnInfo_.cend(), [&](const QVariant &entry) {
        return entry.toMap().value(QStringLiteral("name")).toString() == filter.columnName();
    });
}

void QuickFilterController::quickFilterReceivedFilterItem(const Filter &filter)
{
    QuickFilterItem *target = nullptr;
    QWidget *fading = nullptr;
    const QList<QuickFilterItem *> current = rows();
    if (!current.isEmpty()) {
        QuickFilterItem *last = current.last();
        if (!isNullTest(last->operatorValue()) && last->value().trimmed().isEmpty())
            target = last;
    }
    if (!target) {
        target = newRow();
        target->view()->move(view_->width() - target->view()->width(), view_->height());
        addEntry(target, target->view());
        fading = target->view();
    }
    const QStringList values = filter.values();
    if (values.size() == 1)
        target->setSelectionColumn(
            filter.columnName(), filter.isNot() ? QStringLiteral("!=") : QStringLiteral("="), values.first());
    else if (values.size() > 1)
        target->setSelectionColumn(customFilter, customFilter,
                                   delegate_ ? delegate_->quickFilterNeedsCustomFilterForColumn(
                                                   filter.columnName(), values, filter.isNot())
                                             : QString());
    else
        target->setSelectionColumn(filter.columnName(),
                                   filter.isNot() ? QStringLiteral("NOT IS NULL") : QStringLiteral("IS NULL"),
                                   {});
    target->setDelegate(this);
    settleAfterChange(fading, true);
}

ResultsetController *QuickFilterController::storage() const
{
    return delegate_ ? delegate_->quickFilterNeedsResultsetControllerForFilterStorage() : nullptr;
}

QMenu *QuickFilterController::generateContextMenu()
{
    ResultsetController *model = storage();
    auto *menu = new QMenu;
    QMenu *stored = menu->addMenu(text("Load Stored Filter"));
    stored->setObjectName(QStringLiteral("storedfiltermenu"));
    const QStringList names = model ? model->availableStoredFilter() : QStringList();
    for (const QString &name : names) {
        QAction *entry = stored->addAction(name);
        // Stored filters are addressed by name, not by their place in a list that may change meanwhile.
        entry->setData(name);
        connect(entry, &QAction::triggered, this, [this, entry] { loadStoredFilter(entry); });
    }
    stored->menuAction()->setEnabled(!names.isEmpty());
    menu->addSeparator();
    const QString current = model ? model->currentStoredFilter() : QString();
    if (!current.isNull()) {
        QAction *update = menu->addAction(text("Update '%1' Filter").arg(current));
        update->setObjectName(QStringLiteral("updateCurrentFilter"));
        update->setEnabled(model->canStoreFilterChanges());
        connect(update, &QAction::triggered, this, &QuickFilterController::updateCurrentFilter);
    }
    const bool canStore = model && model->canStoreCurrentFilter();
    QAction *store = menu->addAction(canStore && !current.isNull() ? text("Store Current Filter As ...")
                                                                   : text("Store Current Filter"));
    store->setObjectName(QStringLiteral("storeCurrentFilter"));
    store->setEnabled(canStore);
    connect(store, &QAction::triggered, this, [this] {
        if (delegate_)
            delegate_->quickFilterWantsToStoreCurrentFilter(this);
    });
    QAction *edit = menu->addAction(text("Edit Stored Filters"));
    edit->setObjectName(QStringLiteral("editStoredFilters"));
    edit->setEnabled(!names.isEmpty());
    connect(edit, &QAction::triggered, this, [this] {
        if (delegate_)
            delegate_->quickFilterWantsToEditStoredFilters(this);
    });
    menu->addSeparator();
    QAction *clear = menu->addAction(text("Clear Sort and Filter"));
    clear->setObjectName(QStringLiteral("clearFilterAndSort"));
    connect(clear, &QAction::triggered, this, &QuickFilterController::clearFilterAndSort);
    return menu;
}

void QuickFilterController::loadStoredFilter(QAction *item)
{
    if (ResultsetController *model = storage())
        model->loadStoredFilter(item->data().toString());
}

void QuickFilterController::updateCurrentFilter()
{
    if (ResultsetController *model = storage())
        model->updateCurrentStoredFilter();
}

void QuickFilterController::clearFilterAndSort()
{
    if (delegate_)
        delegate_->quickFilterWantsToClearFilterAndSort(this);
}
