#pragma once

#include <QMainWindow>
#include <QPointer>

class AdvancedWindow;
class QPropertyAnimation;

// What a window hands on to its controller (the tabbed window controller of a tabbed window).
class AdvancedWindowDelegate
{
public:
    virtual ~AdvancedWindowDelegate() = default;
    virtual void closeAllTabs() {}
    virtual void performCloseTab() {}
    virtual void windowWillClose() {}
    virtual void windowDidBecomeMain() {}
    virtual void windowDidResignMain() {}
    virtual void windowDidChangeFullScreen(bool /*isFullScreen*/) {}
};

class AdvancedWindowClosingDelegate
{
public:
    virtual ~AdvancedWindowClosingDelegate() = default;
    virtual void advancedWindowDidClose(AdvancedWindow *window) = 0;
};

// The window of the tabbed windows and of several single windows. Close and Close Tab go either to
// the delegate (tabbed windows: each tab is asked) or close the window with a short fade; Escape can
// close it; views that follow the window's active state are told when it changes.
class AdvancedWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit AdvancedWindow(QWidget *parent = nullptr);
    ~AdvancedWindow() override;

    bool enableFullScreen() const { return enableFullScreen_; }
    void setEnableFullScreen(bool enable) { enableFullScreen_ = enable; }
    // YES for windows without tabs: Close Tab closes the window.
    bool enableCloseTabOverride() const { return enableCloseTabOverride_; }
    void setEnableCloseTabOverride(bool enable) { enableCloseTabOverride_ = enable; }
    bool enableCloseByCancel() const { return enableCloseByCancel_; }
    void setEnableCloseByCancel(bool enable) { enableCloseByCancel_ = enable; }
    AdvancedWindowClosingDelegate *closingDelegate() const { return closingDelegate_; }
    void setClosingDelegate(AdvancedWindowClosingDelegate *delegate) { closingDelegate_ = delegate; }
    AdvancedWindowDelegate *delegate() const { return delegate_; }
    void setDelegate(AdvancedWindowDelegate *delegate) { delegate_ = delegate; }

    // Closes the window now, with a short fade; then tells the closing delegate.
    void closeWindow();
    void toggleFullScreen();
    void performClose();
    void performCloseTab();
    void cancelOperation();
    void callClosingDelegate();
    void redrawKeyViews();
    // Depth first, skipping item views and everything inside them.
    static void redrawViewsRecursively(QWidget *view, bool newState);

    static bool isFullScreen(const QWidget *window);
    static bool windowShouldDrawAsActive(const QWidget *window);
    static bool viewShouldDrawAsActive(const QWidget *view);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool enableFullScreen_ = true;
    bool enableCloseTabOverride_ = false;
    bool enableCloseByCancel_ = false;
    AdvancedWindowClosingDelegate *closingDelegate_ = nullptr;
    AdvancedWindowDelegate *delegate_ = nullptr;
    QPointer<QPropertyAnimation> fade_;
    bool fadeFinished_ = false;
};
