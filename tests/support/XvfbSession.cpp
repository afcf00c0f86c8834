#include "XvfbSession.h"

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QTest>

namespace
{

constexpr int StartTimeoutMs = 10000;
constexpr int StopTimeoutMs = 5000;
constexpr int PollMs = 50;

void stop(QProcess *process)
{
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(StopTimeoutMs)) {
        process->kill();
        process->waitForFinished(StopTimeoutMs);
    }
}

} // namespace

bool XvfbSession::available()
{
    return !QStandardPaths::findExecutable("Xvfb").isEmpty() &&
           !QStandardPaths::findExecutable("xdotool").isEmpty();
}

XvfbSession::XvfbSession(int width, int height)
{
    if (!available())
        return;
    // The server writes the display number it chose to the descriptor given: here its output.
    server_ = std::make_unique<QProcess>();
    server_->start("Xvfb", {"-displayfd", "1", "-screen", "0",
                            QStringLiteral("%1x%2x24").arg(width).arg(height), "-nolisten", "tcp"});
    QByteArray number;
    QDeadlineTimer deadline(StartTimeoutMs);
    while (!number.contains('\n') && !deadline.hasExpired() && server_->state() != QProcess::NotRunning) {
        server_->waitForReadyRead(PollMs);
        number += server_->readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        stop(server_.get());
        return;
    }
    display_ = ':' + QString::fromLatin1(number.trimmed());

    if (QStandardPaths::findExecutable("openbox").isEmpty())
        return;
    windowManager_ = std::make_unique<QProcess>();
    windowManager_->setProcessEnvironment(environment());
    windowManager_->start("openbox", {});
    // Windows are managed once the manager has its own window up.
    QDeadlineTimer managed(StartTimeoutMs);
    while (!managed.hasExpired() && !xdotool({"search", "--name", "^Openbox$"}, nullptr, 2000))
        QTest::qWait(PollMs);
}

XvfbSession::~XvfbSession()
{
    stop(windowManager_.get());
    stop(server_.get());
}

QProcessEnvironment XvfbSession::environment(QProcessEnvironment base) const
{
    base.insert("DISPLAY", display_);
    base.insert("QT_QPA_PLATFORM", "xcb");
    base.remove("WAYLAND_DISPLAY");
    return base;
}

bool XvfbSession::xdotool(const QStringList &arguments, QString *output, int timeoutMs) const
{
    if (!isRunning())
        return false;
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start("xdotool", arguments);
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished(StopTimeoutMs);
        return false;
    }
    if (output)
        *output = QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

quint64 XvfbSession::waitForWindow(const QString &titlePattern, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    do {
        QString found;
        if (xdotool({"search", "--onlyvisible", "--name", titlePattern}, &found) && !found.isEmpty())
            return found.section('\n', 0, 0).toULongLong();
        QTest::qWait(PollMs);
    } while (!deadline.hasExpired());
    return 0;
}

QString XvfbSession::windowTitle(quint64 window) const
{
    QString title;
    xdotool({"getwindowname", QString::number(window)}, &title);
    return title;
}

bool XvfbSession::focus(quint64 window) const
{
    const QString id = QString::number(window);
    // Activation goes through the window manager when there is one.
    const QString how = windowManager_ ? "windowactivate" : "windowfocus";
    if (!xdotool({how, id}))
        return false;
    QDeadlineTimer deadline(StartTimeoutMs);
    QString active;
    while (!deadline.hasExpired()) {
        if (xdotool({"getwindowfocus"}, &active) && active == id)
            return true;
        QTest::qWait(PollMs);
    }
    return false;
}

bool XvfbSession::key(const QString &combination) const
{
    return xdotool({"key", "--clearmodifiers", combination});
}

bool XvfbSession::type(const QString &text) const
{
    return xdotool({"type", "--delay", "15", text}, nullptr, 30000);
}

bool XvfbSession::screenshot(const QString &path) const
{
    if (!isRunning() || QStandardPaths::findExecutable("import").isEmpty())
        return false;
    QProcess import;
    import.setProcessEnvironment(environment());
    import.start("import", {"-window", "root", path});
    return import.waitForFinished(StartTimeoutMs) && import.exitCode() == 0;
}
