#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// A private X display for tests that drive the program with real input events: Xvfb on a display
// number the server picks itself (so runs side by side never meet), and xdotool against it. Every wait
// is bounded; on a machine without Xvfb or xdotool, toolsAvailable() says so and the test skips.
class XvfbDisplay
{
public:
    XvfbDisplay();
    ~XvfbDisplay();

    static bool toolsAvailable();
    bool isRunning() const;
    // ":N"
    QString name() const { return name_; }
    // A program on this display with a home of its own: the XDG folders inside it, the X platform.
    QProcessEnvironment environment(const QString &home) const;

    // Runs xdotool with the arguments; its output, or nothing when it failed or ran past timeoutMs.
    std::optional<QString> xdotool(const QStringList &arguments, int timeoutMs = 10000) const;
    // The first visible window whose title contains text, waiting up to timeoutMs; empty when none came.
    QString waitForWindow(const QString &text, int timeoutMs) const;
    QString windowTitle(const QString &window) const;
    // Gives the window the keyboard focus; keys then go where a user's would.
    bool focus(const QString &window) const;
    // Types the text, or presses key chords ("ctrl+End Return"), as a keyboard does.
    bool type(const QString &text) const;
    bool keys(const QString &chords) const;
    // The whole screen as an image (ImageMagick's import); false when it could not be taken.
    bool screenshot(const QString &path) const;

private:
    std::unique_ptr<QProcess> server_;
    QString name_;
};
