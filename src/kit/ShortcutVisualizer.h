#pragma once

#include "kit/VisualShortcut.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class ShortcutWindow;

// Holding Ctrl for a moment lays a clear layer over the active window with a label next to every
// control that has a keyboard shortcut. Any other key, click or modifier change, a sheet that opens,
// or the application losing focus, fades the labels out; they never lie over a sheet. One exists for
// the whole application; main thread only.
class ShortcutVisualizer : public QObject
{
    Q_OBJECT
public:
    explicit ShortcutVisualizer(QObject *parent = nullptr);
    ~ShortcutVisualizer() override;

    // Stores how long Ctrl must be held (seconds) and starts watching the application's input.
    void initialize(double timeInterval);
    double timeInterval() const { return timeInterval_; }
    bool isCounting() const { return timer_.isActive(); }
    QWidget *windowDisplayingShortcuts() const;

    void registerCommandKeyEvent();
    void registerOtherEvent();
    void startVisualizer();
    void recursiveDisplayShortcuts(QWidget *window);
    // Depth first: a hidden view and everything below it are skipped; children before the view
    // itself; then the view's delegate, once.
    static void recursiveCollectVisualShortcut(QList<VisualShortcutAdopter *> &adopters, QWidget *view);
    // The keys as the user presses them, in the platform's own words ("Ctrl+Return").
    static QString stringForShortcut(const VisualShortcut &shortcut);
    void displayShortCuts(const QList<VisualShortcut> &shortcuts, QWidget *view);

    // The object that answers for a view, as a delegate: asked for its shortcuts with the view.
    static void setDelegateForView(QWidget *view, QObject *delegate);
    static QObject *delegateForView(const QWidget *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    double timeInterval_ = 1.5;
    QTimer timer_;
    QPointer<ShortcutWindow> windowDisplayingShortcuts_;
    bool watching_ = false;
};
