#include "window/ToolbarController.h"

#include "kit/CommandRouter.h"
#include "window/FeaturedToolbar.h"
#include "window/ToolbarItemAdjustableLayout.h"
#include "window/ToolbarItemWithMenu.h"
#include "window/ToolbarItemWithMenu_button.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHash>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

namespace
{

// A 16 x 16 window outline with the pane of one side filled: the pane buttons' pictures.
QIcon paneImage(Qt::Edge side)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    const QRect frame(3, 5, 26, 22);
    p.drawRoundedRect(frame, 3, 3);
    QRect pane;
    switch (side) {
    case Qt::TopEdge:
        pane = QRect(3, 5, 26, 8);
        break;
    case Qt::LeftEdge:
        pane = QRect(3, 5, 9, 22);
        break;
    case Qt::BottomEdge:
        pane = QRect(3, 19, 26, 8);
        break;
    case Qt::RightEdge:
        pane = QRect(20, 5, 9, 22);
        break;
    }
    p.fillRect(pane, Qt::black);
    QIcon icon(pixmap);
    icon.setIsMask(true);
    return icon;
}

QIcon glyphImage(const QString &glyph)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font = QApplication::font();
    font.setPixelSize(36);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

QIcon standardImage(QStyle::StandardPixmap which)
{
    return QApplication::style()->standardIcon(which);
}

QIcon binImage(bool full)
{
    QPixmap pixmap = standardImage(QStyle::SP_TrashIcon).pixmap(32, 32);
    if (full) {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0xd0, 0x30, 0x30));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRect(20, 2, 11, 11));
    }
    return QIcon(pixmap);
}

QToolButton *itemButton(const QString &label, const QIcon &icon)
{
    auto *button = new QToolButton;
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setIcon(icon);
    button->setIconSize(QSize(24, 24));
    button->setText(label);
    return button;
}

} // namespace

// The thirteen items every toolbar of this controller shares; they are handed out as the same
// objects each time the toolbar asks for them.
struct ToolbarController::DefaultItems {
    QHash<QString, ToolbarItem *> byIdentifier;
};

ToolbarController::ToolbarController(QObject *parent)
    : QObject(parent), items_(std::make_unique<DefaultItems>())
{
    struct ItemLook {
        const char *identifier;
        const char *label;
        const char *action;
        QIcon icon;
    };
    const ItemLook plain[] = {
        {"commitItem", QT_TRANSLATE_NOOP("toolbar", "Commit"),
         "commit:", standardImage(QStyle::SP_DialogApplyButton)},
        {"rollbackItem", QT_TRANSLATE_NOOP("toolbar", "Rollback"),
         "rollback:", standardImage(QStyle::SP_DialogResetButton)},
        {"compileItem", QT_TRANSLATE_NOOP("toolbar", "Compile"), "compile:", glyphImage("{ }")},
        {"analyseItem", QT_TRANSLATE_NOOP("toolbar", "Analyse"),
         "analyseSql:", standardImage(QStyle::SP_FileDialogContentsView)},
        {"executeItem", QT_TRANSLATE_NOOP("toolbar", "Execute"),
         "executeSql:", standardImage(QStyle::SP_MediaPlay)},
        {"cancelItem", QT_TRANSLATE_NOOP("toolbar", "Cancel"),
         "cancelExecution:", standardImage(QStyle::SP_MediaStop)},
        {"refreshItem", QT_TRANSLATE_NOOP("toolbar", "Refresh"),
         "refresh:", standardImage(QStyle::SP_BrowserReload)},
        {"addItem", QT_TRANSLATE_NOOP("toolbar", "Add"), "addRow:", glyphImage("+")},
        {"removeItem", QT_TRANSLATE_NOOP("toolbar", "Remove"), "deleteRow:", glyphImage("\u2212")},
        {"filterItem", QT_TRANSLATE_NOOP("toolbar", "Filter"), "filter:", glyphImage("\u2261")},
        {"sortItem", QT_TRANSLATE_NOOP("toolbar", "Sort"), "sort:", glyphImage("\u21c5")},
    };
    for (const ItemLook &look : plain) {
        const QString label = QApplication::translate("toolbar", look.label);
        auto *item = new ToolbarItem(look.identifier, itemButton(label, look.icon), this);
        item->setLabel(label);
        item->setItemAction(look.action);
        items_->byIdentifier.insert(look.identifier, item);
    }
    const ItemLook history[] = {
        {"previousItem", QT_TRANSLATE_NOOP("toolbar", "Back"),
         "navigateBack:", standardImage(QStyle::SP_ArrowBack)},
        {"nextItem", QT_TRANSLATE_NOOP("toolbar", "Forward"),
         "navigateForward:", standardImage(QStyle::SP_ArrowForward)},
    };
    for (const ItemLook &look : history) {
        auto *button = new ToolbarItemWithMenu_button;
        button->setIcon(look.icon);
        button->setIconSize(QSize(24, 24));
        button->setAction(look.action);
        auto *item = new ToolbarItemWithMenu(look.identifier, button, this);
        item->setLabel(QApplication::translate("toolbar", look.label));
        item->setItemAction(look.action);
        items_->byIdentifier.insert(look.identifier, item);
    }
}

ToolbarController::~ToolbarController()
{
    // The toolbar belongs to its window; it must not ask a dead delegate for items.
    if (toolbar_)
        toolbar_->setDelegate(nullptr);
}

FeaturedToolbar *ToolbarController::toolbarWithFeatures(qint64 features)
{
    if (!toolbar_) {
        toolbar_ = new FeaturedToolbar(features);
        toolbar_->setDelegate(this);
        toolbar_->loadDefaultItems();
    } else {
        toolbar_->updateFeatures(features);
    }
    return toolbar_;
}

QStringList ToolbarController::allowedItemIdentifiers(FeaturedToolbar *toolbar)
{
    return defaultItemIdentifiers(toolbar);
}

QStringList ToolbarController::defaultItemIdentifiers(FeaturedToolbar *toolbar)
{
    using namespace ToolbarFeature;
    const qint64 f = toolbar->features();
    const QString space = FeaturedToolbar::SpaceItemIdentifier;
    QStringList ids{"previousItem", "nextItem"};
    if (f & CommitRollback)
        ids << space << "commitItem"
            << "rollbackItem";
    if (f & RecycleBin)
        ids << space << "trashItem";
    ids << FeaturedToolbar::FlexibleSpaceItemIdentifier;
    if (f & Compile)
        ids << "compileItem";
    if (f & Analyse)
        ids << "analyseItem";
    if (f & Execute)
        ids << "executeItem";
    if (f & Cancel)
        ids << "cancelItem";
    if (f & Refresh)
        ids << "refreshItem";
    ids << space;
    if (f & EditRows)
        ids << "addItem"
            << "removeItem"
            << "filterItem"
            << "sortItem";
    ids << "adjustableRightItem"
        << "viewToolbarItem";
    return ids;
}

ToolbarItem *ToolbarController::itemForItemIdentifier(FeaturedToolbar *toolbar, const QString &identifier,
                                                      bool)
{
    if (ToolbarItem *item = items_->byIdentifier.value(identifier))
        return item;
    if (identifier == "trashItem")
        return makeTrashItem(toolbar);
    if (identifier == "adjustableRightItem") {
        adjustableRightItem_ = new ToolbarItemAdjustableLayout("toolbarflexright", toolbar);
        return adjustableRightItem_;
    }
    if (identifier == "viewToolbarItem")
        return makeViewGroup(toolbar);
    return nullptr;
}

ToolbarItem *ToolbarController::makeTrashItem(FeaturedToolbar *toolbar)
{
    const QString label = tr("Recycle bin");
    auto *button = itemButton(label, binImage(false));
    button->setToolTip(QApplication::translate("toolbar", "Open the recycle bin"));
    trashItem_ = new ToolbarItem("trashItem", button, toolbar);
    trashItem_->setLabel(label);
    trashItem_->setItemAction("openRecycleBin:");
    return trashItem_;
}

ToolbarItem *ToolbarController::makeViewGroup(FeaturedToolbar *toolbar)
{
    auto *group = new QWidget;
    auto *layout = new QHBoxLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto paneButton = [layout](Qt::Edge side, int tag, const QString &toolTip) {
        auto *button = new QToolButton;
        button->setAutoRaise(true);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(paneImage(side));
        button->setIconSize(QSize(16, 16));
        button->setFixedSize(24, 22);
        button->setToolTip(toolTip);
        button->setProperty("tag", tag);
        button->setProperty("vornAction", QString("toggleSplitViews:"));
        QObject::connect(button, &QToolButton::clicked, button, [button] {
            CommandRouter::shared().sendAction("toggleSplitViews:", button, nullptr, button->window());
        });
        layout->addWidget(button);
        return button;
    };
    auto separator = [layout](bool line) {
        if (line) {
            auto *box = new QFrame;
            box->setFrameShape(QFrame::VLine);
            box->setFixedSize(1, 14);
            layout->addWidget(box);
        } else {
            layout->addSpacing(4);
        }
    };
    topPaneButton_ = paneButton(Qt::TopEdge, 1, QApplication::translate("toolbar", "Show SQL Editor"));
    separator(false);
    separator(true);
    separator(false);
    leftPaneButton_ = paneButton(Qt::LeftEdge, 2, QString());
    bottomPaneButton_ = paneButton(Qt::BottomEdge, 3, QString());
    rightPaneButton_ = paneButton(Qt::RightEdge, 4, QString());
    group->setFixedWidth(140);
    auto *item = new ToolbarItem("ViewGroup", group, toolbar);
    item->setLabel(QApplication::translate("toolbar", "Views"));
    item->setItemAction("toggleSplitViews:");
    return item;
}

void ToolbarController::setRecycleBinFull(bool full)
{
    if (!trashItem_)
        return;
    auto *button = qobject_cast<QToolButton *>(trashItem_->view());
    button->setIcon(binImage(full));
    button->setProperty("binFull", full);
    button->update();
}

bool ToolbarController::validateToolbarItem(ToolbarItem *) const
{
    return false;
}
