#pragma once

#include "window/ToolbarDelegate.h"

#include <QObject>
#include <QPointer>

#include <memory>

class FeaturedToolbar;
class QAbstractButton;
class ToolbarItem;
class ToolbarItemAdjustableLayout;

// Toolbar feature bits: what the active document can do decides the toolbar's items.
namespace ToolbarFeature
{
constexpr qint64 CommitRollback = 0x1;
constexpr qint64 EditRows = 0x2;
constexpr qint64 Refresh = 0x4;
constexpr qint64 Execute = 0x8;
constexpr qint64 Cancel = 0x10;
constexpr qint64 Analyse = 0x20;
constexpr qint64 Compile = 0x40;
constexpr qint64 RecycleBin = 0x80;
constexpr qint64 RecycleBinFull = 0x100;
} // namespace ToolbarFeature

// Makes the items of one window's toolbar and re-configures that one toolbar for the active
// document's features. Keeps the items other code reaches: the pane buttons, the recycle-bin
// item and the adjustable spacer.
class ToolbarController : public QObject, public ToolbarDelegate
{
    Q_OBJECT
public:
    explicit ToolbarController(QObject *parent = nullptr);
    ~ToolbarController() override;

    FeaturedToolbar *toolbarWithFeatures(qint64 features);
    FeaturedToolbar *toolbar() const { return toolbar_; }
    ToolbarItem *trashItem() const { return trashItem_; }
    ToolbarItemAdjustableLayout *adjustableRightItem() const { return adjustableRightItem_; }
    QAbstractButton *topPaneButton() const { return topPaneButton_; }
    QAbstractButton *leftPaneButton() const { return leftPaneButton_; }
    QAbstractButton *bottomPaneButton() const { return bottomPaneButton_; }
    QAbstractButton *rightPaneButton() const { return rightPaneButton_; }

    void setRecycleBinFull(bool full);
    // Items whose target is this controller are always disabled.
    bool validateToolbarItem(ToolbarItem *item) const;

    ToolbarItem *itemForItemIdentifier(FeaturedToolbar *toolbar, const QString &identifier,
                                       bool willBeInserted) override;
    QStringList allowedItemIdentifiers(FeaturedToolbar *toolbar) override;
    QStringList defaultItemIdentifiers(FeaturedToolbar *toolbar) override;

private:
    struct DefaultItems;
    ToolbarItem *makeTrashItem(FeaturedToolbar *toolbar);
    ToolbarItem *makeViewGroup(FeaturedToolbar *toolbar);

    std::unique_ptr<DefaultItems> items_;
    QPointer<FeaturedToolbar> toolbar_;
    QPointer<ToolbarItem> trashItem_;
    QPointer<ToolbarItemAdjustableLayout> adjustableRightItem_;
    QPointer<QAbstractButton> topPaneButton_;
    QPointer<QAbstractButton> leftPaneButton_;
    QPointer<QAbstractButton> bottomPaneButton_;
    QPointer<QAbstractButton> rightPaneButton_;
};
