#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>

// A private X display for tests that drive a program with real input: Xvfb on a display number the
// server picks itself, openbox as window manager when it is installed (no compositor, as on a plain
// desktop), and xdotool for windows, keys and the pointer. Every wait is bounded; the destructor
// stops what the session started.
class XvfbSession
{
public:
    // Xvfb and xdotool are installed.
    static bool available();

    explicit XvfbSession(int width = 1400, int height = 900);
    ~XvfbSession();
    XvfbSession(const XvfbSession &) = delete;
    XvfbSession &operator=(const XvfbSession &) = delete;

    bool isRunning() const { return !display_.isEmpty(); }
    QString display() const { return display_; }
    // The environment with this display, for a Qt program on X.
    QProcessEnvironment
    environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

    // Runs xdotool with the arguments on this display; its output, trimmed. False on failure.
    bool xdotool(const QStringList &arguments, QString *output = nullptr, int timeoutMs = 5000) const;
    // The first window whose title matches the regular expression, once there is one; 0 when none
    // came within the time.
    quint64 waitForWindow(const QString &titlePattern, int timeoutMs) const;
    QString windowTitle(quint64 window) const;
    // Gives the window the keyboard and waits until it has it.
    bool focus(quint64 window) const;
    // Presses key combinations ("ctrl+Return") and types text as the keyboard would, into whatever
    // has the keyboard.
    bool key(const QString &combination) const;
    bool type(const QString &text) const;
    // The whole screen as a PNG (ImageMagick's import); false when it is not installed.
    bool screenshot(const QString &path) const;

private:
    std::unique_ptr<QProcess> server_;
    std::unique_ptr<QProcess> windowManager_;
    QString display_;
};
