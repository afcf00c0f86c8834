#include "resultset/QuickFilterView.h"

#include "kit/ColorBox.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLinearGradient>
#include <QMimeData>
#include <QPainter>

QuickFilterView::QuickFilterView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("QuickFilterView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
}

void QuickFilterView::setManagementMode(bool managementMode)
{
    managementMode_ = managementMode;
    update();
}

FilterPtr QuickFilterView::filterItemOf(const QMimeData *data)
{
    return data && data->hasFormat(Filter::filterItemType)
               ? Filter::fromArchive(data->data(Filter::filterItemType))
               : nullptr;
}

bool QuickFilterView::accepts(const QMimeData *data) const
{
    const FilterPtr filter = filterItemOf(data);
    return filter && delegate_ && delegate_->canReceiveFilterItem(*filter);
}

void QuickFilterView::dragEnterEvent(QDragEnterEvent *event)
{
    if (accepts(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void QuickFilterView::dragMoveEvent(QDragMoveEvent *event)
{
    // The rows sit on the bar: the whole bar is one target.
    event->setDropAction(Qt::CopyAction);
    event->accept(rect());
}

void QuickFilterView::dropEvent(QDropEvent *event)
{
    const FilterPtr filter = filterItemOf(event->mimeData());
    if (!delegate_ || !filter) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    delegate_->quickFilterReceivedFilterItem(*filter);
}

void QuickFilterView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    const Colors &palette = ColorBox::colors().forView(this);
    QLinearGradient gradient(QPointF(0, height()), QPointF(0, 0));
    gradient.setStops(managementMode_ ? palette.quickFilterManagementGradient : palette.quickFilterGradient);
    painter.fillRect(rect(), gradient);
}

void QuickFilterView::windowKeyChanged(bool)
{
    update();
}

QList<VisualShortcut> QuickFilterView::visualShortcuts()
{
    VisualShortcut shortcut = VisualShortcut::visualShortCutWithView(
        this, QRect(width() - 150, height() - 20, 10, 10), QStringLiteral("f"),
        Qt::ControlModifier | Qt::AltModifier, true);
    shortcut.subTitle = QCoreApplication::translate("infopanel", "Select the QuickFilter");
    return {shortcut};
}
