#pragma once

// A private X desktop for tests whose behaviour depends on real event delivery: Xvfb on a display
// number the server picks itself (so runs side by side never meet), openbox as window manager without
// a compositor (as on a plain desktop) unless asked otherwise, and on request a compositing manager
// (xcompmgr). Programs started here get real key and pointer events from xdotool, and screenshots
// show what a user would see. Everything it starts ends with it; every wait is bounded.
#include <QImage>
#include <QList>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class XvfbDesktop
{
public:
    struct Options {
        bool windowManager = true;
        QSize screen{1400, 900};
    };

    explicit XvfbDesktop(Options options);
    XvfbDesktop() : XvfbDesktop(Options{}) {}
    ~XvfbDesktop();
    XvfbDesktop(const XvfbDesktop &) = delete;
    XvfbDesktop &operator=(const XvfbDesktop &) = delete;

    // Empty once the display (and its window manager) is up; else what went wrong.
    QString error() const { return error_; }
    // ":N"
    QString display() const { return display_; }
    // The environment of a Qt program on this display; with a home, its configuration, data and cache
    // folders lie inside that home.
    QProcessEnvironment environment(const QString &home = {}) const;

    // A compositing manager from now on; false when it could not be started.
    bool startCompositor();
    // Starts build/bin/vorn on this display with home as its home folder. The process ends with the
    // desktop at the latest.
    QProcess *startVorn(const QString &home, const QStringList &arguments = {});

    // xdotool with the arguments; its output, trimmed, or nothing when it failed or ran past timeoutMs.
    std::optional<QString> xdotool(const QStringList &arguments, int timeoutMs = 10000) const;
    // The first visible window whose title matches the regular expression, once there is one; 0 when
    // none came within the time.
    quint64 waitForWindow(const QString &titlePattern, int timeoutMs) const;
    // The visible top-level windows of a process, a window's title, and its area on the screen (inside
    // any frame the window manager put around it).
    QList<quint64> visibleWindowsOf(qint64 pid) const;
    QString windowName(quint64 window) const;
    QRect windowGeometry(quint64 window) const;
    // The window that has the keyboard, or 0.
    quint64 focusedWindow() const;
    // Gives the window the keyboard, through the window manager when there is one, and waits until it
    // has it.
    bool focus(quint64 window) const;
    // Presses key chords ("ctrl+End Return") or types text as the keyboard does, into whatever has the
    // keyboard.
    bool key(const QString &chords) const;
    bool type(const QString &text) const;
    // Drags with the left button from one screen point to another in small real pointer moves, pausing
    // on the way so the program sees a drag start and hover; false when xdotool failed.
    bool drag(const QPoint &from, const QPoint &to) const;
    // The whole screen as the user sees it, or a null image.
    QImage screenshot() const;

    // The programs these tests need; the missing ones are named.
    static QStringList missingTools();

private:
    QProcess *start(const QString &program, const QStringList &arguments,
                    const QProcessEnvironment &environment,
                    QProcess::ProcessChannelMode channels = QProcess::SeparateChannels);
    std::optional<QString> run(const QString &program, const QStringList &arguments,
                               int timeoutMs = 10000) const;
    bool waitForWindowManager(const QProcess &windowManager) const;

    QString error_;
    QString display_;
    bool windowManager_ = false;
    std::vector<std::unique_ptr<QProcess>> processes_; // ended in reverse order
};
