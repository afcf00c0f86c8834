#include "XvfbDesktop.h"

#include "WaitFor.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

namespace
{

constexpr int startTimeoutMs = 10000;

void end(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

} // namespace

XvfbDesktop::XvfbDesktop(Options options)
{
    if (const QStringList missing = missingTools(); !missing.isEmpty()) {
        error_ = "missing programs (scripts/install-deps installs them): " + missing.join(", ");
        return;
    }
    // Xvfb picks a free display itself and writes its number to the given descriptor: its output.
    const QString screen = QString("%1x%2x24").arg(options.screen.width()).arg(options.screen.height());
    QProcess *server = start("Xvfb", {"-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"},
                             QProcessEnvironment::systemEnvironment());
    VORN_WAIT_UNTIL(server->canReadLine() || server->state() == QProcess::NotRunning, startTimeoutMs);
    const QString number = QString::fromLatin1(server->readLine()).trimmed();
    if (!QRegularExpression("^\\d+$").match(number).hasMatch()) {
        error_ = "Xvfb did not start: " + QString::fromLocal8Bit(server->readAllStandardError());
        return;
    }
    display_ = ":" + number;
    if (!options.windowManager)
        return;
    // Under a heavy load openbox now and then ends before it takes a fresh display; a second one does.
    QString failures;
    for (int attempt = 0; attempt < 3 && !windowManager_; ++attempt) {
        QProcess *openbox = start("openbox", {"--sm-disable"}, environment(), QProcess::MergedChannels);
        windowManager_ = waitForWindowManager(*openbox);
        if (!windowManager_) {
            failures += QString("\n  attempt %1: %2; %3")
                            .arg(attempt + 1)
                            .arg(openbox->state() == QProcess::NotRunning ? "ended" : "still running")
                            .arg(QString::fromLocal8Bit(openbox->readAll()).trimmed());
            end(*openbox);
        }
    }
    if (!windowManager_)
        error_ = "openbox did not take the display " + display_ + failures;
}

XvfbDesktop::~XvfbDesktop()
{
    for (auto it = processes_.rbegin(); it != processes_.rend(); ++it)
        end(**it);
}

QStringList XvfbDesktop::missingTools()
{
    QStringList missing;
    for (const char *tool : {"Xvfb", "openbox", "xcompmgr", "xdotool", "xprop", "xwininfo", "import"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            missing << tool;
    }
    return missing;
}

QProcessEnvironment XvfbDesktop::environment(const QString &home) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display_);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.remove("WAYLAND_DISPLAY");
    if (!home.isEmpty()) {
        for (const char *folder : {".config", ".local/share", ".cache", "Documents"})
            QDir(home).mkpath(folder);
        environment.insert("HOME", home);
        environment.insert("XDG_CONFIG_HOME", home + "/.config");
        environment.insert("XDG_DATA_HOME", home + "/.local/share");
        environment.insert("XDG_CACHE_HOME", home + "/.cache");
    }
    return environment;
}

QProcess *XvfbDesktop::start(const QString &program, const QStringList &arguments,
                             const QProcessEnvironment &environment, QProcess::ProcessChannelMode channels)
{
    auto process = std::make_unique<QProcess>();
    // A test that dies on the way (a crash, a time-out) takes what it started with it: a server or a
    // program left behind would hold the test runner's output open and keep it waiting.
    process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(channels);
    if (channels == QProcess::ForwardedErrorChannel)
        process->setStandardOutputFile(QProcess::nullDevice());
    process->start(program, arguments);
    process->waitForStarted(startTimeoutMs);
    processes_.push_back(std::move(process));
    return processes_.back().get();
}

std::optional<QString> XvfbDesktop::run(const QString &program, const QStringList &arguments,
                                        int timeoutMs) const
{
    if (display_.isEmpty())
        return std::nullopt;
    // A window that goes away while a tool walks the window tree ends the tool with an X error
    // (BadWindow): a race with the program, not an answer, so the tool asks again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(program, arguments);
        if (!process.waitForFinished(timeoutMs)) {
            end(process);
            return std::nullopt;
        }
        if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
        if (!process.readAllStandardError().contains("X Error of failed request"))
            return std::nullopt;
    }
    return std::nullopt;
}

bool XvfbDesktop::waitForWindowManager(const QProcess &windowManager) const
{
    const auto managed = [this] {
        const std::optional<QString> check = run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
        return check && check->contains("window id");
    };
    VORN_WAIT_UNTIL(managed() || windowManager.state() == QProcess::NotRunning, 3 * startTimeoutMs);
    return managed();
}

bool XvfbDesktop::startCompositor()
{
    return start("xcompmgr", {}, environment())->state() == QProcess::Running;
}

QProcess *XvfbDesktop::startVorn(const QString &home, const QStringList &arguments)
{
    // What the program reports on its error channel shows in the test's output.
    return start(qEnvironmentVariable("VORN_BUILD_DIR") + "/bin/vorn", arguments, environment(home),
                 QProcess::ForwardedErrorChannel);
}

std::optional<QString> XvfbDesktop::xdotool(const QStringList &arguments, int timeoutMs) const
{
    return run("xdotool", arguments, timeoutMs);
}

quint64 XvfbDesktop::waitForWindow(const QString &titlePattern, int timeoutMs) const
{
    const QStringList search{"search", "--onlyvisible", "--name", titlePattern};
    quint64 window = 0;
    VORN_WAIT_UNTIL((window = xdotool(search).value_or(QString()).section('\n', 0, 0).toULongLong()) != 0,
                    timeoutMs);
    return window;
}

QList<quint64> XvfbDesktop::visibleWindowsOf(qint64 pid) const
{
    QList<quint64> windows;
    // No window found is an exit code of 1, the same as a failure: both are no windows.
    const std::optional<QString> found = xdotool({"search", "--onlyvisible", "--pid", QString::number(pid)});
    for (const QString &line : found.value_or(QString()).split('\n', Qt::SkipEmptyParts))
        windows << line.toULongLong();
    return windows;
}

QString XvfbDesktop::windowName(quint64 window) const
{
    return xdotool({"getwindowname", QString::number(window)}).value_or(QString());
}

QRect XvfbDesktop::windowGeometry(quint64 window) const
{
    const std::optional<QString> info = run("xwininfo", {"-id", QString::number(window)});
    if (!info)
        return {};
    auto field = [&](const QString &name) {
        const QRegularExpression pattern(QRegularExpression::escape(name) + ":\\s*(-?\\d+)");
        return pattern.match(*info).captured(1).toInt();
    };
    return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height")};
}

quint64 XvfbDesktop::focusedWindow() const
{
    return xdotool({"getwindowfocus"}).value_or(QString()).toULongLong();
}

bool XvfbDesktop::focus(quint64 window) const
{
    // A window just found by its name may not be mapped and managed yet, and then refuses activation:
    // ask again until it has the keyboard.
    const QString how = windowManager_ ? "windowactivate" : "windowfocus";
    const QDeadlineTimer deadline(startTimeoutMs);
    do {
        if (xdotool({how, QString::number(window)})) {
            VORN_WAIT_UNTIL(focusedWindow() == window, 2000);
            if (focusedWindow() == window)
                return true;
        } else {
            QTest::qWait(100);
        }
    } while (!deadline.hasExpired());
    return false;
}

bool XvfbDesktop::key(const QString &chords) const
{
    return xdotool(QStringList{"key", "--clearmodifiers", "--delay", "30"} + chords.split(' ')).has_value();
}

bool XvfbDesktop::type(const QString &text) const
{
    return xdotool({"type", "--delay", "15", text}, 60000).has_value();
}

bool XvfbDesktop::drag(const QPoint &from, const QPoint &to) const
{
    const auto at = [](const QPoint &point) {
        return QStringList{"mousemove", QString::number(point.x()), QString::number(point.y())};
    };
    if (!xdotool(at(from)) || !xdotool({"mousedown", "1"}))
        return false;
    constexpr int steps = 12;
    for (int step = 1; step <= steps; ++step) {
        if (!xdotool(at(from + (to - from) * step / steps)))
            return false;
        QTest::qWait(60);
    }
    QTest::qWait(300);
    return xdotool({"mouseup", "1"}).has_value();
}

QImage XvfbDesktop::screenshot() const
{
    if (display_.isEmpty())
        return {};
    QProcess import;
    import.setProcessEnvironment(environment());
    import.start("import", {"-window", "root", "png:-"});
    if (!import.waitForFinished(20000) || import.exitCode() != 0) {
        end(import);
        return {};
    }
    return QImage::fromData(import.readAllStandardOutput(), "PNG");
}
