#include "window/FeaturedToolbar.h"

#include "window/ToolbarDelegate.h"
#include "window/ToolbarItem.h"

#include <QApplication>
#include <QTimer>

FeaturedToolbar::FeaturedToolbar(qint64 features, QWidget *parent) : QToolBar(parent), features_(features)
{
    setObjectName(QString::number(qint64(reinterpret_cast<quintptr>(this))));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(24, 24));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // Validation follows focus (the chain of responders changes with it) and, like a platform
    // toolbar's own, runs now and then for what changes without a focus change.
    connect(qApp, &QApplication::focusChanged, this,
            [this] { QTimer::singleShot(0, this, &FeaturedToolbar::validateVisibleItems); });
    validationTimer_.setInterval(ValidationIntervalMs);
    connect(&validationTimer_, &QTimer::timeout, this, [this] {
        if (isVisible())
            validateVisibleItems();
    });
    validationTimer_.start();
}

FeaturedToolbar::~FeaturedToolbar() = default;

QString FeaturedToolbar::identifierForFeatures(qint64 features)
{
    return QString("featured-toolbar-%1").arg(features);
}

QList<ToolbarItem *> FeaturedToolbar::items() const
{
    QList<ToolbarItem *> result;
    for (const QPointer<ToolbarItem> &item : items_) {
        if (item)
            result.append(item);
    }
    return result;
}

QStringList FeaturedToolbar::itemIdentifiers() const
{
    QStringList ids;
    for (ToolbarItem *item : items())
        ids.append(item->itemIdentifier());
    return ids;
}

ToolbarItem *FeaturedToolbar::makeSpace(bool flexible)
{
    auto *spacer = new QWidget;
    if (flexible)
        spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    else
        spacer->setFixedWidth(16);
    return new ToolbarItem(flexible ? FlexibleSpaceItemIdentifier : SpaceItemIdentifier, spacer, this);
}

void FeaturedToolbar::insertItemWithItemIdentifier(const QString &identifier, int index)
{
    ToolbarItem *item = nullptr;
    if (identifier == SpaceItemIdentifier || identifier == FlexibleSpaceItemIdentifier)
        item = makeSpace(identifier == FlexibleSpaceItemIdentifier);
    else if (delegate_)
        item = delegate_->itemForItemIdentifier(this, identifier, true);
    if (!item)
        return;
    index = std::clamp(index, 0, int(items_.size()));
    QAction *before = index < items_.size() ? items_[index].data() : nullptr;
    item->setToolbar(this);
    insertAction(before, item);
    items_.insert(index, item);
}

void FeaturedToolbar::removeItemAtIndex(int index)
{
    if (index < 0 || index >= items_.size())
        return;
    ToolbarItem *item = items_.takeAt(index);
    if (!item)
        return;
    removeAction(item);
    item->setToolbar(nullptr);
    if (item->parent() == this)
        item->deleteLater();
}

void FeaturedToolbar::updateFeatures(qint64 features)
{
    if (features == features_)
        return;
    features_ = features;
    if (items_.size() < 3) {
        loadDefaultItems();
        return;
    }
    const QStringList ids = delegate_ ? delegate_->defaultItemIdentifiers(this) : QStringList();
    while (items_.size() > 2)
        removeItemAtIndex(2);
    for (int i = 2; i < ids.size(); ++i)
        insertItemWithItemIdentifier(ids[i], i);
}

void FeaturedToolbar::loadDefaultItems()
{
    while (!items_.isEmpty())
        removeItemAtIndex(0);
    const QStringList ids = delegate_ ? delegate_->defaultItemIdentifiers(this) : QStringList();
    for (int i = 0; i < ids.size(); ++i)
        insertItemWithItemIdentifier(ids[i], i);
}

bool FeaturedToolbar::allItemsVisible() const
{
    for (ToolbarItem *item : items()) {
        QWidget *w = widgetForAction(item);
        if (!w || !w->isVisible())
            return false;
    }
    return true;
}

void FeaturedToolbar::validateVisibleItems()
{
    for (ToolbarItem *item : items())
        item->validate();
}
