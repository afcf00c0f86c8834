#include "kit/AdvancedWindow.h"

#include "kit/AdvancedWindowKeyAwareView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPropertyAnimation>
#include <QTimer>

AdvancedWindow::AdvancedWindow(QWidget *parent) : QMainWindow(parent) {}

AdvancedWindow::~AdvancedWindow() = default;

void AdvancedWindow::toggleFullScreen()
{
    if (!enableFullScreen_)
        return;
    if (isFullScreen(this))
        showNormal();
    else
        showFullScreen();
}

void AdvancedWindow::performClose()
{
    if (enableCloseTabOverride_)
        closeWindow();
    else if (delegate_)
        delegate_->closeAllTabs();
}

void AdvancedWindow::performCloseTab()
{
    if (enableCloseTabOverride_)
        performClose();
    else if (delegate_)
        delegate_->performCloseTab();
}

void AdvancedWindow::cancelOperation()
{
    if (enableCloseByCancel_)
        performClose();
}

void AdvancedWindow::callClosingDelegate()
{
    if (closingDelegate_)
        closingDelegate_->advancedWindowDidClose(this);
}

void AdvancedWindow::redrawKeyViews()
{
    redrawViewsRecursively(this, true);
}

void AdvancedWindow::redrawViewsRecursively(QWidget *view, bool newState)
{
    if (qobject_cast<QAbstractItemView *>(view))
        return;
    for (QObject *child : view->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow())
            redrawViewsRecursively(widget, newState);
    }
    if (auto *aware = dynamic_cast<AdvancedWindowKeyAwareView *>(view))
        aware->windowKeyChanged(newState);
}

bool AdvancedWindow::isFullScreen(const QWidget *window)
{
    return window && window->window()->windowState().testFlag(Qt::WindowFullScreen);
}

bool AdvancedWindow::windowShouldDrawAsActive(const QWidget *window)
{
    if (!window)
        return false;
    const QWidget *top = window->window();
    const bool applicationActive = QGuiApplication::applicationState() == Qt::ApplicationActive;
    if (applicationActive && top == QApplication::activeWindow())
        return true;
    // A sheet (window-modal dialog) that has the focus keeps its parent window in the active look.
    const QWidget *key = QApplication::activeWindow();
    if (key && key != top && key->parentWidget() && key->parentWidget()->window() == top &&
        key->windowModality() == Qt::WindowModal)
        return true;
    return top->windowType() == Qt::Tool;
}

bool AdvancedWindow::viewShouldDrawAsActive(const QWidget *view)
{
    return view && windowShouldDrawAsActive(view->window());
}

void AdvancedWindow::closeEvent(QCloseEvent *event)
{
    if (fadeFinished_) {
        fadeFinished_ = false;
        if (delegate_)
            delegate_->windowWillClose();
        event->accept();
        return;
    }
    // Any other close (the title bar's button, the window system) is Close: a tabbed window asks each
    // tab first and closes when all agreed.
    event->ignore();
    performClose();
}

void AdvancedWindow::closeWindow()
{
    if (fade_)
        return;
    fade_ = new QPropertyAnimation(this, "windowOpacity", this);
    fade_->setDuration(100);
    fade_->setEndValue(0.0);
    connect(fade_, &QPropertyAnimation::finished, this, [this] {
        fade_->deleteLater();
        fadeFinished_ = true;
        QMainWindow::close();
        fadeFinished_ = false;
        setWindowOpacity(1.0);
        if (closingDelegate_)
            QTimer::singleShot(0, this, &AdvancedWindow::callClosingDelegate);
    });
    fade_->start();
}

void AdvancedWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        redrawKeyViews();
        if (delegate_) {
            if (isActiveWindow())
                delegate_->windowDidBecomeMain();
            else
                delegate_->windowDidResignMain();
        }
    } else if (event->type() == QEvent::WindowStateChange) {
        const auto *change = static_cast<QWindowStateChangeEvent *>(event);
        const bool was = change->oldState().testFlag(Qt::WindowFullScreen);
        if (was != isFullScreen(this) && delegate_)
            delegate_->windowDidChangeFullScreen(!was);
    }
}

void AdvancedWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && enableCloseByCancel_) {
        cancelOperation();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
