#include "kit/ShortcutVisualizer.h"

#include "kit/AdvancedWindow.h"
#include "kit/DesktopCompositing.h"
#include "kit/ShortcutView.h"
#include "kit/ShortcutWindow.h"

#include <QAction>
#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QHash>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QScreen>
#include <QToolBar>

#include <algorithm>

namespace
{

QHash<const QWidget *, QPointer<QObject>> &viewDelegates()
{
    static QHash<const QWidget *, QPointer<QObject>> delegates;
    return delegates;
}

// The Qt key of a key equivalent, or 0 when it names no single key.
int keyFor(const QString &keyEquivalent)
{
    if (keyEquivalent.size() != 1)
        return 0;
    const QChar c = keyEquivalent.at(0);
    switch (c.unicode()) {
    case '\r':
    case '\n':
        return Qt::Key_Return;
    case 0x1b:
        return Qt::Key_Escape;
    case '\t':
        return Qt::Key_Tab;
    case 0x7f:
    case '\b':
        return Qt::Key_Backspace;
    case ' ':
        return Qt::Key_Space;
    default:
        break;
    }
    if (c.isLetterOrNumber() && c.unicode() < 0x80)
        return c.toUpper().unicode();
    if (c.isPrint() && c.unicode() < 0x80)
        return c.unicode();
    return 0;
}

// The label moved left and up as far as it takes to show whole in the layer: labels of controls
// near the right or bottom edge would be cut off there (the layer drawn inside a window ends at the
// window's edge).
QRect keptInside(QRect label, const QRect &layer)
{
    label.moveRight(std::min(label.right(), layer.right()));
    label.moveBottom(std::min(label.bottom(), layer.bottom()));
    label.moveLeft(std::max(label.left(), layer.left()));
    label.moveTop(std::max(label.top(), layer.top()));
    return label;
}

} // namespace

ShortcutVisualizer::ShortcutVisualizer(QObject *parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &ShortcutVisualizer::startVisualizer);
}

ShortcutVisualizer::~ShortcutVisualizer()
{
    if (watching_ && qApp)
        qApp->removeEventFilter(this);
    delete windowDisplayingShortcuts_;
}

void ShortcutVisualizer::initialize(double timeInterval)
{
    timeInterval_ = timeInterval;
    if (watching_)
        return;
    watching_ = true;
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            registerOtherEvent();
    });
}

QWidget *ShortcutVisualizer::windowDisplayingShortcuts() const
{
    return windowDisplayingShortcuts_;
}

bool ShortcutVisualizer::eventFilter(QObject *watched, QEvent *event)
{
    // Only what reaches widgets: the window system hands each input event to the window first.
    if (!watched->isWidgetType())
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->isAutoRepeat())
            break;
        if (key->key() == Qt::Key_Control)
            registerCommandKeyEvent();
        else
            registerOtherEvent();
        break;
    }
    case QEvent::ShortcutOverride: {
        // The key of a shortcut never arrives as a key press when the shortcut takes it.
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat() && key->key() != Qt::Key_Control)
            registerOtherEvent();
        break;
    }
    case QEvent::KeyRelease:
        if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
            registerOtherEvent();
        break;
    case QEvent::Show:
        // A sheet or dialog that opens waits for an answer: nothing may lie over it.
        if (const auto *widget = static_cast<QWidget *>(watched); widget->isWindow() && widget->isModal())
            registerOtherEvent();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        if (button == Qt::LeftButton || button == Qt::RightButton)
            registerOtherEvent();
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
            registerOtherEvent();
        break;
    default:
        break;
    }
    return false;
}

void ShortcutVisualizer::registerCommandKeyEvent()
{
    if (windowDisplayingShortcuts_ || timer_.isActive())
        return;
    timer_.start(int(timeInterval_ * 1000));
}

void ShortcutVisualizer::registerOtherEvent()
{
    timer_.stop();
    if (!windowDisplayingShortcuts_)
        return;
    ShortcutWindow *fading = windowDisplayingShortcuts_;
    windowDisplayingShortcuts_ = nullptr;
    fading->fadeOut();
}

void ShortcutVisualizer::startVisualizer()
{
    timer_.stop();
    // Ctrl's release may have gone to another window or program: only the keyboard knows for sure.
    if (!(QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier))
        return;
    QWidget *window = QApplication::activeWindow();
    if (QWidget *focus = QApplication::focusWidget())
        window = focus->window();
    if (auto *overlay = qobject_cast<ShortcutWindow *>(window))
        window = overlay->parentWidget() ? overlay->parentWidget()->window() : nullptr;
    // Never over a sheet or dialog that waits for an answer, unless the labels are its own.
    if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != window)
        return;
    if (window)
        recursiveDisplayShortcuts(window);
}

void ShortcutVisualizer::recursiveCollectVisualShortcut(QList<VisualShortcutAdopter *> &adopters,
                                                        QWidget *view)
{
    if (view->isHidden())
        return;
    for (QObject *child : view->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow())
            recursiveCollectVisualShortcut(adopters, widget);
    }
    if (auto *adopter = dynamic_cast<VisualShortcutAdopter *>(view))
        adopters.append(adopter);
    if (auto *delegate = dynamic_cast<VisualShortcutAdopter *>(delegateForView(view));
        delegate && !adopters.contains(delegate))
        adopters.append(delegate);
}

void ShortcutVisualizer::recursiveDisplayShortcuts(QWidget *window)
{
    QList<VisualShortcutAdopter *> adopters;
    recursiveCollectVisualShortcut(adopters, window);
    if (auto *advanced = qobject_cast<AdvancedWindow *>(window)) {
        if (auto *delegate = dynamic_cast<VisualShortcutAdopter *>(advanced->delegate()))
            adopters.append(delegate);
    }
    QRect base = window->frameGeometry();
    if (AdvancedWindow::isFullScreen(window) && window->screen())
        base = window->screen()->geometry();
    // Room for labels that hang below or right of the window's edge.
    const QRect frame(base.topLeft(), base.size() + QSize(50, 50));
    delete windowDisplayingShortcuts_;
    windowDisplayingShortcuts_ = new ShortcutWindow(window, frame, DesktopCompositing::isActive());

    for (QToolBar *toolbar : window->findChildren<QToolBar *>()) {
        if (!toolbar->isVisible())
            continue;
        for (QAction *item : toolbar->actions()) {
            if (auto *adopter = dynamic_cast<VisualShortcutAdopter *>(item); adopter && item->isVisible())
                adopters.append(adopter);
        }
    }
    QList<VisualShortcut> shortcuts;
    for (VisualShortcutAdopter *adopter : std::as_const(adopters))
        shortcuts += adopter->visualShortcuts();
    displayShortCuts(shortcuts, windowDisplayingShortcuts_);
    windowDisplayingShortcuts_->show();
    windowDisplayingShortcuts_->raise();
    windowDisplayingShortcuts_->repaint();
}

void ShortcutVisualizer::displayShortCuts(const QList<VisualShortcut> &shortcuts, QWidget *view)
{
    QList<VisualShortcut> bumped;
    QList<VisualShortcut> plain;
    for (auto it = shortcuts.crbegin(); it != shortcuts.crend(); ++it) {
        if (it->enabled)
            (it->shouldBump ? bumped : plain).append(*it);
    }
    // Labels made later lie above: the plain ones cover the bumped ones.
    for (const VisualShortcut &shortcut : bumped + plain) {
        QWidget *target = shortcut.view;
        if (!target || !target->isVisible())
            continue;
        QRect rect = shortcut.frame.isNull() ? target->geometry() : shortcut.frame;
        const QWidget *parent = target->isWindow() ? nullptr : target->parentWidget();
        const QPoint global = parent ? parent->mapToGlobal(rect.topLeft()) : rect.topLeft();
        rect.moveTopLeft(view->mapFromGlobal(global));

        auto *label = new ShortcutView(view);
        label->setString(stringForShortcut(shortcut));
        label->setSubtitle(shortcut.subTitle);
        label->setArrowLength(shortcut.shouldBump ? 34 : 8);
        label->sizeToFit();
        // The arrow's tip (the label's top-left) at a quarter across a wide control, the middle of a
        // narrow one, half-way down it.
        const double x = rect.x() + (rect.width() > 50 ? rect.width() * 0.25 : rect.width() * 0.5);
        const double y = rect.y() + rect.height() * 0.5;
        const QRect fitted = keptInside(QRect(QPoint(int(x), int(y)), label->size()), view->rect());
        label->setGeometry(fitted.adjusted(-5, -5, 5, 5));
        auto *opacity = new QGraphicsOpacityEffect(label);
        opacity->setOpacity(0.85);
        label->setGraphicsEffect(opacity);
        label->show();
        auto *settle = new QPropertyAnimation(label, "geometry", label);
        settle->setDuration(150);
        settle->setEndValue(fitted);
        settle->start(QAbstractAnimation::DeleteWhenStopped);
    }
}

QString ShortcutVisualizer::stringForShortcut(const VisualShortcut &shortcut)
{
    const Qt::KeyboardModifiers modifiers = shortcut.modifierFlags;
    if (const int key = keyFor(shortcut.keyEquivalent))
        return QKeySequence(QKeyCombination(modifiers, Qt::Key(key))).toString(QKeySequence::NativeText);
    // A glyph or a text of several keys: the modifiers as the platform writes them, then the text.
    QString prefix;
    if (modifiers != Qt::NoModifier) {
        prefix = QKeySequence(QKeyCombination(modifiers, Qt::Key_A)).toString(QKeySequence::NativeText);
        prefix.chop(1);
    }
    return prefix + shortcut.keyEquivalent.toUpper();
}

void ShortcutVisualizer::setDelegateForView(QWidget *view, QObject *delegate)
{
    if (!view)
        return;
    if (!delegate) {
        viewDelegates().remove(view);
        return;
    }
    if (!viewDelegates().contains(view))
        QObject::connect(view, &QObject::destroyed, [view] { viewDelegates().remove(view); });
    viewDelegates().insert(view, delegate);
}

QObject *ShortcutVisualizer::delegateForView(const QWidget *view)
{
    return viewDelegates().value(view);
}
