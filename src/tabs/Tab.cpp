#include "tabs/Tab.h"
#include "platform/Preferences.h"

#include "kit/AdvancedWindow.h"
#include "kit/ColorBox.h"
#include "kit/ImageUtil.h"
#include "kit/LabelImages.h"
#include "kit/MouseDownActionButton.h"
#include "platform/UserDefaults.h"
#include "tabs/TabDelegate.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSequentialAnimationGroup>
#include <QTimer>
#include <QToolButton>

namespace
{

const QRect badgeFrame(6, 6, 12, 13);
const QRect pulsedBadgeFrame(3, 3, 18, 19);

// The busy spinner: twelve spokes turning.
class Spinner : public QWidget
{
public:
    explicit Spinner(QWidget *parent) : QWidget(parent)
    {
        timer_.setInterval(80);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            step_ = (step_ + 1) % 12;
            update();
        });
    }
    void start() { timer_.start(); }
    void stop() { timer_.stop(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(width() / 2.0, height() / 2.0);
        const double radius = std::min(width(), height()) / 2.0;
        for (int spoke = 0; spoke < 12; ++spoke) {
            QColor color = palette().color(QPalette::WindowText);
            color.setAlphaF(float(((spoke + 12 - step_) % 12) + 1) / 12.0f);
            painter.setPen(QPen(color, 1.5, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius * 0.95));
            painter.rotate(30);
        }
    }

private:
    QTimer timer_;
    int step_ = 0;
};

} // namespace

Tab::Tab(const QRect &frame, QWidget *parent) : QWidget(parent)
{
    setGeometry(frame);
    setFocusPolicy(Qt::NoFocus);
    activationButton_ = new QPushButton(this);
    activationButton_->setGeometry(0, 0, 1, 1);
    activationButton_->setFlat(true);
    activationButton_->setFocusPolicy(Qt::NoFocus);
    activationButton_->setStyleSheet("background: transparent; border: none;");
    connect(activationButton_, &QPushButton::clicked, this, &Tab::activate);

    closeButton_ = new QToolButton(this);
    closeButton_->setGeometry(6, 6, 12, 13);
    closeButton_->setAutoRaise(true);
    closeButton_->setFocusPolicy(Qt::NoFocus);
    closeButton_->setStyleSheet("QToolButton { border: none; background: transparent; }");
    closeButton_->setIcon(ColorBox::colors().active().tabCloseImage);
    closeButton_->setIconSize(QSize(12, 13));
    closeButton_->hide();
    connect(closeButton_, &QToolButton::clicked, this, [this] {
        if (delegate_)
            delegate_->tabWantsToClose(this);
    });

    alertImage_ = new QLabel(this);
    alertImage_->setGeometry(badgeFrame);
    alertImage_->setScaledContents(true);
    alertImage_->setPixmap(ImageUtil::bundleImage("ActiveWindowInactiveTabAlert"));
    alertImage_->hide();

    progressIndicator_ = new Spinner(this);
    progressIndicator_->setGeometry(6, 5, 13, 13);
    progressIndicator_->hide();

    extendedButton_ = new MouseDownActionButton;
    extendedButton_->setFlat(true);
    extendedButton_->setFocusPolicy(Qt::NoFocus);
    extendedButton_->setText(QStringLiteral("»"));
    extendedButton_->setStyleSheet("QPushButton { border: none; background: transparent; }");
    connect(extendedButton_, &QPushButton::clicked, this, [this] {
        if (delegate_)
            delegate_->tabWantsToShowExtendedTabsWithEvent(QCursor::pos());
    });
}

Tab::~Tab()
{
    if (!extendedButton_->parent())
        delete extendedButton_;
}

QWidget *Tab::extendedButton() const
{
    return extendedButton_;
}

void Tab::setTitle(const QString &title)
{
    if (title == title_)
        return;
    title_ = title;
    update();
}

void Tab::setLabel(unsigned label)
{
    if (label == label_)
        return;
    label_ = label;
    update();
}

bool Tab::pointerInside() const
{
    return rect().contains(mapFromGlobal(QCursor::pos()));
}

void Tab::setActiveTab(bool active)
{
    activeTab_ = active;
    update();
    closeButton_->setVisible(pointerInside() && !hasAlert_ && !isBusy_ && closable_);
}

void Tab::badgeChanged(bool set, bool otherSet)
{
    if (set)
        alertImage_->show();
    else if (!otherSet) {
        alertImage_->hide();
        return;
    }
    updateAccesoriesStyle();
    if (animate_)
        animateAccessory();
}

void Tab::setHasAlert(bool hasAlert)
{
    if (hasAlert == hasAlert_)
        return;
    hasAlert_ = hasAlert;
    badgeChanged(hasAlert, hasSuccess_);
}

void Tab::setHasSuccess(bool hasSuccess)
{
    if (hasSuccess == hasSuccess_)
        return;
    hasSuccess_ = hasSuccess;
    badgeChanged(hasSuccess, hasAlert_);
}

void Tab::setIsBusy(bool busy)
{
    if (busy == isBusy_)
        return;
    isBusy_ = busy;
    auto *spinner = static_cast<Spinner *>(progressIndicator_);
    if (busy) {
        spinner->show();
        spinner->start();
    } else {
        spinner->stop();
        spinner->hide();
    }
}

void Tab::setCurrentlyBeingDragged(bool dragged)
{
    if (dragged == currentlyBeingDragged_)
        return;
    currentlyBeingDragged_ = dragged;
    closeButton_->hide();
    update();
}

void Tab::setExtensionTab(bool extension)
{
    extensionTab_ = extension;
    if (extension) {
        extendedButton_->setGeometry(width() - 20, 2, 20, 20);
        if (!extendedButton_->parent()) {
            extendedButton_->setParent(this);
            extendedButton_->show();
        }
    } else if (extendedButton_->parent()) {
        extendedButton_->setParent(nullptr);
    }
    update();
}

void Tab::setFrame(const QRect &frame)
{
    if (frame == geometry())
        return;
    setGeometry(frame);
    closeButton_->hide();
    extendedButton_->setGeometry(width() - 20, 2, 20, 20);
}

void Tab::setActivationKey(int key)
{
    activationKey_ = key;
    if (key == -2) {
        activationButton_->setShortcut({});
        keyEquivalent_.clear();
        return;
    }
    keyEquivalent_ = QString::number(key);
    // Ctrl+1 to Ctrl+9 are single key presses; a two-digit number matches none.
    activationButton_->setShortcut(key >= 1 && key <= 9 ? QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + key))
                                                        : QKeySequence());
}

void Tab::registerForExternalDragType(const QString &type)
{
    if (type.isEmpty() || externalTypes_.contains(type))
        return;
    externalTypes_ << type;
}

QString Tab::badgeImageName() const
{
    const bool active = AdvancedWindow::viewShouldDrawAsActive(this);
    const QString kind = hasSuccess_ ? "Check" : "Alert"; // the check mark wins over the alert
    return QStringLiteral("%1WindowInactiveTab%2").arg(active ? "Active" : "Inactive", kind);
}

bool Tab::isBadgeVisible() const
{
    return !alertImage_->isHidden();
}

bool Tab::isCloseButtonVisible() const
{
    return !closeButton_->isHidden();
}

bool Tab::isSpinnerVisible() const
{
    return !progressIndicator_->isHidden();
}

bool Tab::isPulsing() const
{
    return !pulse_.isNull();
}

void Tab::updateAccesoriesStyle()
{
    alertImage_->setPixmap(ImageUtil::bundleImage(badgeImageName()));
    closeButton_->setIcon(ColorBox::colors().forView(this).tabCloseImage);
}

void Tab::animateAccessory()
{
    delete pulse_;
    alertImage_->setGeometry(badgeFrame);
    auto *pulse = new QSequentialAnimationGroup(this);
    for (const QRect &to : {pulsedBadgeFrame, badgeFrame, pulsedBadgeFrame, badgeFrame}) {
        auto *step = new QPropertyAnimation(alertImage_, "geometry", pulse);
        step->setDuration(250);
        step->setEndValue(to);
        pulse->addAnimation(step);
    }
    pulse_ = pulse;
    pulse->start(QAbstractAnimation::DeleteWhenStopped);
}

void Tab::windowKeyChanged(bool)
{
    updateAccesoriesStyle();
    update();
}

void Tab::activate()
{
    if (!delegate_)
        return;
    if (addTabTab_)
        delegate_->tabWantsToAddTab();
    else
        delegate_->tabWantsToActivate(this);
}

void Tab::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (!hasAlert_ && !hasSuccess_ && !isBusy_ && closable_ && !currentlyBeingDragged_)
        closeButton_->show();
}

void Tab::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    closeButton_->hide();
}

void Tab::mouseReleaseEvent(QMouseEvent *event)
{
    if (addTabTab_ && delegate_) {
        delegate_->tabWantsToAddTab();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void Tab::contextMenuEvent(QContextMenuEvent *event)
{
    if (!delegate_ || addTabTab_)
        return;
    if (QMenu *menu = delegate_->tabWantsContextMenu(this)) {
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
    }
}

QString Tab::offeredExternalType(const QMimeData *data) const
{
    for (const QString &type : std::as_const(externalTypes_)) {
        if (data->hasFormat(type))
            return type;
    }
    return {};
}

bool Tab::externalDragEntered(const QMimeData *data)
{
    if (!delegate_ || offeredExternalType(data).isEmpty())
        return false;
    if (addTabTab_)
        return true;
    // Dragging over the tabs switches between them; the tab itself takes nothing.
    delegate_->tabWantsToActivate(this);
    delegate_->tabMightReceiveDrop(this);
    return false;
}

bool Tab::externalDrop(const QMimeData *data)
{
    const QString type = offeredExternalType(data);
    if (!addTabTab_ || !delegate_ || type.isEmpty())
        return false;
    delegate_->tabReceivedExternalDrop(type, data->data(type));
    return true;
}

QList<VisualShortcut> Tab::visualShortcuts()
{
    if (activationKey_ >= 1)
        return {VisualShortcut::visualShortCutWithView(this, keyEquivalent_, Qt::ControlModifier,
                                                       activationButton_->isEnabled())};
    if (activationKey_ == -2)
        return {VisualShortcut::visualShortCutWithView(this, "t", Qt::ControlModifier,
                                                       activationButton_->isEnabled())};
    return {};
}

QPixmap Tab::imageForLabel(unsigned label)
{
    return LabelImages::markForLabel(label);
}

QFont Tab::titleFont() const
{
    QFont font = QApplication::font();
    font.setPointSizeF(11);
    return font;
}

Tab::Layout Tab::layoutForDrawing() const
{
    Layout layout;
    const QFontMetricsF metrics(titleFont());
    if (addTabTab_) {
        layout.text = QRectF(0, 4, width(), height());
        return layout;
    }
    QRectF text(20, 0, width() - 26, height());
    const double natural = metrics.horizontalAdvance(title_) + 4;
    text.setWidth(std::min(text.width(), natural));
    text.moveLeft(std::max(20.0f, float(width()) / 2.0f - float(text.width()) / 2.0f));
    if (extensionTab_)
        text.setWidth(text.width() - 16);
    UserDefaults &defaults = UserDefaults::standard();
    if (defaults.boolForKey(PreferenceKey::showColorLabelTabs) && label_ != 0 && !isHidden()) {
        if (!defaults.boolForKey(PreferenceKey::showColorLabelTabsWide)) {
            QRectF dot(text.x() - 12, 6, 12, 12);
            if (dot.x() < 22) {
                const double shift = 22 - dot.x();
                dot.moveLeft(22);
                text.adjust(shift, 0, 0, 0);
            }
            layout.labelMark = dot;
        } else {
            const QSizeF size(std::min(text.width(), natural), metrics.height());
            if (size.width() >= 10 && size.height() >= 10) {
                layout.labelMark =
                    QRectF(text.x() + (text.width() - size.width()) / 2,
                           text.y() + (text.height() - size.height()) / 2, size.width(), size.height());
                layout.wideLabel = true;
            }
        }
    }
    layout.text = text;
    return layout;
}

void Tab::paintEvent(QPaintEvent *)
{
    if (currentlyBeingDragged_)
        return;
    const Colors &colors = ColorBox::colors().forView(this);
    QPainter painter(this);
    if (!addTabTab_) {
        QRectF body = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        if (hideLeftBorder_)
            body.adjust(-1, 0, 0, 0);
        if (hideRightBorder_)
            body.adjust(0, 0, 1, 0);
        painter.fillRect(body, activeTab_ ? colors.activeTabColor : colors.tabColor);
        painter.setPen(QPen(colors.tabBorder, 1));
        painter.drawRect(body);
    }
    const Layout layout = layoutForDrawing();
    if (!layout.labelMark.isNull()) {
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath mark;
        if (layout.wideLabel)
            mark.addRoundedRect(layout.labelMark, 4, 4);
        else
            mark.addEllipse(layout.labelMark);
        painter.fillPath(mark, colors.innerColorForTabLabel(label_));
        painter.strokePath(mark, QPen(colors.outerColorForTabLabel(label_), 1));
    }
    const QColor textColor = activeTab_ ? colors.activeTabTextColor : colors.tabTextColor;
    if (addTabTab_) {
        const QPixmap &plus = colors.tabAddImage;
        painter.drawPixmap(QPointF(layout.text.x() + (layout.text.width() - plus.width()) / 2, 6), plus);
        return;
    }
    painter.setFont(titleFont());
    painter.setPen(textColor);
    const QFontMetricsF metrics(titleFont());
    painter.drawText(layout.text, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(title_, Qt::ElideRight, layout.text.width()));
    if (extensionTab_) {
        QFont chevron = titleFont();
        chevron.setPointSizeF(12);
        extendedButton_->setFont(chevron);
        extendedButton_->setText(QStringLiteral("❯"));
        QPalette palette = extendedButton_->palette();
        palette.setColor(QPalette::ButtonText, textColor);
        extendedButton_->setPalette(palette);
    }
}
