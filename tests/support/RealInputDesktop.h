#pragma once

// A private X display for tests whose behaviour depends on real event delivery: Xvfb on a free
// display number, a window manager without a compositor (openbox) unless asked otherwise, and on
// request a compositing manager (xcompmgr). Programs started here get real pointer and key events
// from xdotool, and screenshots show what a user would see. Everything it starts ends with it;
// every wait is bounded.
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class RealInputDesktop
{
public:
    struct Options {
        bool windowManager = true;
        QSize screen{1400, 900};
    };

    explicit RealInputDesktop(Options options);
    RealInputDesktop() : RealInputDesktop(Options{}) {}
    ~RealInputDesktop();
    RealInputDesktop(const RealInputDesktop &) = delete;
    RealInputDesktop &operator=(const RealInputDesktop &) = delete;

    // Empty once the display (and its window manager) is up; else what went wrong.
    QString error() const { return error_; }
    QString display() const { return display_; }
    // The environment of a Qt program on this display.
    QProcessEnvironment
    environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

    // A compositing manager from now on; false when it could not be started.
    bool startCompositor();

    // Starts build/bin/vorn on this display with home as its home folder (configuration, data and
    // cache inside it). The process ends with the desktop at the latest.
    QProcess *startVorn(const QString &home, const QStringList &arguments = {});

    // xdotool with the arguments; its output, or nothing when it failed or took longer than 10 s.
    std::optional<QString> xdotool(const QStringList &arguments) const;
    // The visible top-level windows of a process, and a window's name and frame on the screen.
    QList<quint64> visibleWindowsOf(qint64 pid) const;
    QString windowName(quint64 window) const;
    QRect windowGeometry(quint64 window) const;
    // The whole screen as the user sees it, or a null image.
    QImage screenshot() const;

    // The programs these tests need; the missing ones are named.
    static QStringList missingTools();

private:
    QProcess *start(const QString &program, const QStringList &arguments);
    std::optional<QString> run(const QString &program, const QStringList &arguments) const;
    bool waitForWindowManager();

    QString error_;
    QString display_;
    std::vector<std::unique_ptr<QProcess>> processes_; // ended in reverse order
};
