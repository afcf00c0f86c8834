#pragma once

#include "kit/AdvancedWindowKeyAwareView.h"
#include "kit/VisualShortcut.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class MouseDownActionButton;
class QLabel;
class QMimeData;
class QPushButton;
class QToolButton;
class TabDelegate;

// One tab of the tab bar, or (addTabTab) the bar's add button: title, colour label, a close button
// under the pointer, a badge place for the busy spinner or the alert and check marks, and on the last
// shown tab of an overflowing bar the overflow button. Ctrl+its number activates it.
class Tab : public QWidget, public AdvancedWindowKeyAwareView, public VisualShortcutAdopter
{
    Q_OBJECT
public:
    explicit Tab(const QRect &frame = {}, QWidget *parent = nullptr);
    ~Tab() override;

    bool activeTab() const { return activeTab_; }
    void setActiveTab(bool active);
    QString title() const { return title_; }
    void setTitle(const QString &title);
    unsigned label() const { return label_; }
    void setLabel(unsigned label);
    bool hasAlert() const { return hasAlert_; }
    void setHasAlert(bool hasAlert);
    bool hasSuccess() const { return hasSuccess_; }
    void setHasSuccess(bool hasSuccess);
    bool isBusy() const { return isBusy_; }
    void setIsBusy(bool busy);
    bool closable() const { return closable_; }
    void setClosable(bool closable) { closable_ = closable; }
    bool currentlyBeingDragged() const { return currentlyBeingDragged_; }
    void setCurrentlyBeingDragged(bool dragged);
    bool extensionTab() const { return extensionTab_; }
    void setExtensionTab(bool extension);
    bool hideLeftBorder() const { return hideLeftBorder_; }
    void setHideLeftBorder(bool hide) { hideLeftBorder_ = hide; }
    bool hideRightBorder() const { return hideRightBorder_; }
    void setHideRightBorder(bool hide) { hideRightBorder_ = hide; }
    bool animate() const { return animate_; }
    void setAnimate(bool animate) { animate_ = animate; }
    bool addTabTab() const { return addTabTab_; }
    void setAddTabTab(bool addTab) { addTabTab_ = addTab; }
    TabDelegate *delegate() const { return delegate_; }
    void setDelegate(TabDelegate *delegate) { delegate_ = delegate; }
    // 1-based tab number (Ctrl+1 to Ctrl+9 are single keys), -2 for the add button.
    void setActivationKey(int key);
    int activationKey() const { return activationKey_; }
    QString activationKeyEquivalent() const { return keyEquivalent_; }
    void registerForExternalDragType(const QString &type);
    // Items of the registered types reach a tab through its bar, which alone takes drops (a dragged
    // tab must reach the bar wherever the pointer is over it). entered: the item came over the tab;
    // a normal tab switches to itself and refuses it, the add button offers to take it. drop: whether
    // the tab took the item.
    bool externalDragEntered(const QMimeData *data);
    bool externalDrop(const QMimeData *data);
    void setFrame(const QRect &frame);

    // Which badge shows, for tests and drawing: "" (none), or the image name.
    QString badgeImageName() const;
    bool isBadgeVisible() const;
    bool isCloseButtonVisible() const;
    bool isSpinnerVisible() const;
    bool isPulsing() const;
    QWidget *extendedButton() const;

    QList<VisualShortcut> visualShortcuts() override;
    void windowKeyChanged(bool newState) override;
    static QPixmap imageForLabel(unsigned label);

    // Title and label geometry as drawn: the title rectangle and the label mark (null: none).
    struct Layout {
        QRectF text;
        QRectF labelMark;
        bool wideLabel = false;
    };
    Layout layoutForDrawing() const;

    void activate();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void updateAccesoriesStyle();
    void animateAccessory();
    void badgeChanged(bool set, bool otherSet);
    bool pointerInside() const;
    QFont titleFont() const;
    // The first registered type the item offers, or none.
    QString offeredExternalType(const QMimeData *data) const;

    bool activeTab_ = false;
    QString title_;
    unsigned label_ = 0;
    bool hasAlert_ = false;
    bool hasSuccess_ = false;
    bool closable_ = false;
    bool isBusy_ = false;
    bool currentlyBeingDragged_ = false;
    bool extensionTab_ = false;
    TabDelegate *delegate_ = nullptr;
    bool addTabTab_ = false;
    bool animate_ = true;
    bool hideLeftBorder_ = false;
    bool hideRightBorder_ = false;
    int activationKey_ = 0;
    QString keyEquivalent_;
    QStringList externalTypes_;
    QPushButton *activationButton_ = nullptr;
    QToolButton *closeButton_ = nullptr;
    QLabel *alertImage_ = nullptr;
    QWidget *progressIndicator_ = nullptr;
    MouseDownActionButton *extendedButton_ = nullptr;
    QPointer<QObject> pulse_;
};
