#include "browser/BrowserController.h"
#include "browser/BrowserElementStore.h"
#include "browser/BrowserOutlineModel.h"
#include "browser/BrowserViewController.h"
#include "kit/CommandRouter.h"
#include "resultset/FilterDragSource.h"
#include "tabs/TabbedDocument.h"
#include "tabs/TabbedWindowController.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QMimeData>

namespace
{
constexpr int chosenDropItemTag = 9393;

// Option in the design; Shift as well, for desktops whose window manager takes Alt-drags.
bool optionHeld(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::AltModifier | Qt::ShiftModifier);
}

FilterPtr filterOf(const QMimeData *data)
{
    return data && data->hasFormat(Filter::filterItemType)
               ? Filter::fromArchive(data->data(Filter::filterItemType))
               : nullptr;
}

// The grid's notification carries the filter itself or its archive.
FilterPtr filterOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QByteArray)
        return Filter::fromArchive(value.toByteArray());
    return qvariant_cast<FilterPtr>(value);
}
} // namespace

FilterPtr BrowserViewController::filterForElement(const BrowserElementPtr &element,
                                                  Qt::KeyboardModifiers modifiers) const
{
    auto filter = std::make_shared<Filter>();
    filter->setElement(element);
    if (!browserController_ || !element)
        return filter;
    if (element->browserType() == BrowserElement::Table || element->browserType() == BrowserElement::View) {
        const QString name = browserController_->qualifiedNameOfBrowserElement(*element);
        if ((modifiers & Qt::ControlModifier) && optionHeld(modifiers))
            filter->setTextDrop(QStringLiteral("UPDATE\n\t%1\nSET\n\t").arg(name));
        else if (optionHeld(modifiers))
            filter->setTextDrop(QStringLiteral("SELECT\n\t*\nFROM\n\t%1").arg(name));
    }
    // The drag's source is the document the window shows.
    if (auto *window = qobject_cast<TabbedWindowController *>(
            CommandRouter::shared().windowResponder(outline_ ? outline_->window() : nullptr)))
        filter->setSourceDocument(window->activeDocument());
    return filter;
}

QMimeData *BrowserViewController::pasteboardForElement(const BrowserElementPtr &element,
                                                       Qt::KeyboardModifiers modifiers) const
{
    if (!element || !browserController_)
        return nullptr;
    const FilterPtr filter = filterForElement(element, modifiers);
    auto *data = new QMimeData;
    data->setData(Filter::filterItemType, filter->archive());
    data->setText(filter->textDrop().isEmpty() ? browserController_->qualifiedNameOfBrowserElement(*element)
                                               : filter->textDrop());
    const FilterPtr select = filterForElement(element, Qt::AltModifier);
    if (!select->textDrop().isEmpty()) {
        data->setData(selectTextType, select->textDrop().toUtf8());
        data->setData(updateTextType,
                      filterForElement(element, Qt::AltModifier | Qt::ControlModifier)->textDrop().toUtf8());
    }
    return data;
}

DragAndDropItemSource *
BrowserViewController::dragAndDroppableOutlineViewItemFromPasteboard(DragAndDroppableOutlineView *,
                                                                     const QMimeData *data)
{
    const FilterPtr filter = filterOf(data);
    return filter ? new FilterDragSource(filter) : nullptr;
}

void BrowserViewController::dragAndDroppableOutlineViewNeedsUpdatedPasteboard(DragAndDroppableOutlineView *,
                                                                              QMimeData *data,
                                                                              Qt::KeyboardModifiers modifiers)
{
    const FilterPtr filter = filterOf(data);
    if (!filter || !filter->element())
        return;
    const std::unique_ptr<QMimeData> fresh(pasteboardForElement(filter->element(), modifiers));
    if (!fresh)
        return;
    for (const QString &format : fresh->formats())
        data->setData(format, fresh->data(format));
}

bool BrowserViewController::outlineValidateDrop(const QMimeData *data, const QModelIndex &target)
{
    if (!model_->elementAt(target))
        return false;
    const FilterPtr filter = filterOf(data);
    return filter && !filter->columnName().isEmpty();
}

bool BrowserViewController::outlineAcceptDrop(const QMimeData *data, const QModelIndex &target,
                                              const QPoint &position, Qt::KeyboardModifiers modifiers)
{
    const BrowserElementPtr element = model_->elementAt(target);
    const FilterPtr filter = filterOf(data);
    if (!element || !filter || filter->columnName().isEmpty() || !browserController_)
        return false;
    bool hasDefault = false;
    const QStringList columns = browserController_->dropColumnsAvailableFor(*filter, *element, &hasDefault);

    QMenu menu;
    menu.setTitle(QStringLiteral("DropMenu"));
    QAction *header = menu.addAction(
        QCoreApplication::translate("browser", "Select a column to drop '%1' on").arg(filter->columnName()));
    header->setEnabled(false);
    menu.addSeparator();
    QAction *first = nullptr;
    QList<QAction *> items;
    for (const QString &column : columns) {
        if (column.isEmpty()) {
            menu.addSeparator();
            continue;
        }
        QAction *item = menu.addAction(column);
        item->setData(column);
        QObject::connect(item, &QAction::triggered, item,
                         [item] { item->setProperty("tag", chosenDropItemTag); });
        items << item;
        if (!first) {
            first = item;
            if (hasDefault) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
        }
    }
    const QPoint point = outline_->viewport()->mapToGlobal(position) + QPoint(-50, -10);
    const int chosen = columnChooser_ ? columnChooser_(menu, first, point) : [&] {
        QAction *picked = menu.exec(point, first);
        if (picked)
            picked->trigger();
        return picked ? int(items.indexOf(picked)) : -1;
    }();
    if (chosen < 0 || chosen >= items.size())
        return false;
    return browserController_->shouldAcceptDrop(filter, element, items.at(chosen)->data().toString(),
                                                modifiers & Qt::ControlModifier);
}

void BrowserViewController::observeGridDrags()
{
    NotificationCenter &center = NotificationCenter::defaultCenter();
    observers_ << center.addObserver(
        beganDragNotification, nullptr, [this](const Notification &notification) {
            if (const FilterPtr filter = filterOf(notification.userInfo.value(QStringLiteral("filter"))))
                resultsetDragBegan(filter);
        });
    observers_ << center.addObserver(endedDragNotification, nullptr,
                                     [this](const Notification &) { resultsetDragEnded(); });
}

void BrowserViewController::resultsetDragBegan(const FilterPtr &filter)
{
    if (foldTimer_->isActive())
        endFold(false);
    dragModeElement_ = filter->element();
    dragModeColumn_ = filter->columnName();
    inDragMode_ = true;
    if (browserController_)
        browserController_->setTemporaryStoreConstraintedElement(dragModeElement_, dragModeColumn_);
    outline_->scrollToTop();
}

void BrowserViewController::resultsetDragEnded()
{
    if (!inDragMode_)
        return;
    inDragMode_ = false;
    if (browserController_)
        browserController_->clearTemporaryStore();
    scrollSelectionIntoView();
}
