#include "RealInputDesktop.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace
{

constexpr int startTimeoutMs = 10000;
constexpr int toolTimeoutMs = 10000;

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

RealInputDesktop::RealInputDesktop(Options options)
{
    if (const QStringList missing = missingTools(); !missing.isEmpty()) {
        error_ = "missing programs (scripts/install-deps installs them): " + missing.join(", ");
        return;
    }
    // Xvfb picks a free display itself and writes its number to the given descriptor: its output.
    const QString screen = QString("%1x%2x24").arg(options.screen.width()).arg(options.screen.height());
    QProcess *server = start("Xvfb", {"-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"});
    QDeadlineTimer deadline(startTimeoutMs);
    while (!server->canReadLine() && server->state() != QProcess::NotRunning && !deadline.hasExpired())
        server->waitForReadyRead(int(std::max<qint64>(deadline.remainingTime(), 1)));
    const QString number = QString::fromLatin1(server->readLine()).trimmed();
    if (number.isEmpty()) {
        error_ = "Xvfb did not start: " + QString::fromLocal8Bit(server->readAllStandardError());
        return;
    }
    display_ = ":" + number;
    if (options.windowManager) {
        start("openbox", {"--sm-disable"});
        if (!waitForWindowManager())
            error_ = "openbox did not take the display " + display_;
    }
}

RealInputDesktop::~RealInputDesktop()
{
    for (auto it = processes_.rbegin(); it != processes_.rend(); ++it)
        end(**it);
}

QStringList RealInputDesktop::missingTools()
{
    QStringList missing;
    for (const char *tool : {"Xvfb", "openbox", "xcompmgr", "xdotool", "xprop", "xwininfo", "import"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            missing << tool;
    }
    return missing;
}

QProcessEnvironment RealInputDesktop::environment(QProcessEnvironment base) const
{
    base.insert("DISPLAY", display_);
    base.insert("QT_QPA_PLATFORM", "xcb");
    base.remove("WAYLAND_DISPLAY");
    return base;
}

QProcess *RealInputDesktop::start(const QString &program, const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment());
    process->start(program, arguments);
    process->waitForStarted(startTimeoutMs);
    processes_.push_back(std::move(process));
    return processes_.back().get();
}

std::optional<QString> RealInputDesktop::run(const QString &program, const QStringList &arguments) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    if (!process.waitForFinished(toolTimeoutMs)) {
        end(process);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

bool RealInputDesktop::waitForWindowManager()
{
    QDeadlineTimer deadline(startTimeoutMs);
    while (!deadline.hasExpired()) {
        const std::optional<QString> check = run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
        if (check && check->contains("window id"))
            return true;
        QTest::qWait(50);
    }
    return false;
}

bool RealInputDesktop::startCompositor()
{
    QProcess *compositor = start("xcompmgr", {});
    return compositor->state() == QProcess::Running;
}

QProcess *RealInputDesktop::startVorn(const QString &home, const QStringList &arguments)
{
    QDir(home).mkpath(".config");
    QDir(home).mkpath(".local/share");
    QProcessEnvironment environment = this->environment();
    environment.insert("HOME", home);
    environment.insert("XDG_CONFIG_HOME", home + "/.config");
    environment.insert("XDG_DATA_HOME", home + "/.local/share");
    environment.insert("XDG_CACHE_HOME", home + "/.cache");
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(qEnvironmentVariable("VORN_BUILD_DIR") + "/bin/vorn", arguments);
    process->waitForStarted(startTimeoutMs);
    processes_.push_back(std::move(process));
    return processes_.back().get();
}

std::optional<QString> RealInputDesktop::xdotool(const QStringList &arguments) const
{
    return run("xdotool", arguments);
}

QList<quint64> RealInputDesktop::visibleWindowsOf(qint64 pid) const
{
    QList<quint64> windows;
    // No window found is an exit code of 1, the same as a failure: both are no windows.
    const std::optional<QString> found = xdotool({"search", "--onlyvisible", "--pid", QString::number(pid)});
    for (const QString &line : found.value_or(QString()).split('\n', Qt::SkipEmptyParts))
        windows << line.toULongLong();
    return windows;
}

QString RealInputDesktop::windowName(quint64 window) const
{
    return xdotool({"getwindowname", QString::number(window)}).value_or(QString());
}

QRect RealInputDesktop::windowGeometry(quint64 window) const
{
    // xwininfo gives where the window's own area is on the screen, inside any frame the window
    // manager put around it.
    const std::optional<QString> info = run("xwininfo", {"-id", QString::number(window)});
    if (!info)
        return {};
    auto field = [&](const QString &name) {
        const QRegularExpression pattern(QRegularExpression::escape(name) + ":\\s*(-?\\d+)");
        return pattern.match(*info).captured(1).toInt();
    };
    return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height")};
}

QImage RealInputDesktop::screenshot() const
{
    QProcess import;
    import.setProcessEnvironment(environment());
    import.start("import", {"-window", "root", "png:-"});
    if (!import.waitForFinished(toolTimeoutMs) || import.exitCode() != 0) {
        end(import);
        return {};
    }
    return QImage::fromData(import.readAllStandardOutput(), "PNG");
}
