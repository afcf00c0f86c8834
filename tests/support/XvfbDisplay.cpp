#include "XvfbDisplay.h"
#include "WaitFor.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

namespace
{

constexpr int serverStartMs = 15000;

// Runs a program to its end, at most timeoutMs; its output, or nothing when it failed.
std::optional<QString> run(const QString &program, const QStringList &arguments,
                           const QProcessEnvironment &environment, int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    VORN_WAIT_UNTIL(process.state() == QProcess::NotRunning, timeoutMs);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        VORN_WAIT_UNTIL(process.state() == QProcess::NotRunning, 5000);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

XvfbDisplay::XvfbDisplay() : server_(std::make_unique<QProcess>())
{
    if (!toolsAvailable())
        return;
    // -displayfd: the server takes the first free display and writes its number to standard output.
    server_->setProcessChannelMode(QProcess::SeparateChannels);
    server_->setStandardErrorFile(QProcess::nullDevice());
    server_->start(QStringLiteral("Xvfb"),
                   {"-displayfd", "1", "-screen", "0", "1400x900x24", "-nolisten", "tcp"});
    VORN_WAIT_UNTIL(server_->canReadLine() || server_->state() == QProcess::NotRunning, serverStartMs);
    const QString number = QString::fromLatin1(server_->readLine()).trimmed();
    if (server_->state() == QProcess::Running && QRegularExpression("^\\d+$").match(number).hasMatch())
        name_ = ':' + number;
}

XvfbDisplay::~XvfbDisplay()
{
    if (server_->state() == QProcess::NotRunning)
        return;
    server_->terminate();
    VORN_WAIT_UNTIL(server_->state() == QProcess::NotRunning, 5000);
    if (server_->state() != QProcess::NotRunning) {
        server_->kill();
        VORN_WAIT_UNTIL(server_->state() == QProcess::NotRunning, 5000);
    }
}

bool XvfbDisplay::toolsAvailable()
{
    return !QStandardPaths::findExecutable("Xvfb").isEmpty() &&
           !QStandardPaths::findExecutable("xdotool").isEmpty();
}

bool XvfbDisplay::isRunning() const
{
    return !name_.isEmpty() && server_->state() == QProcess::Running;
}

QProcessEnvironment XvfbDisplay::environment(const QString &home) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", name_);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("HOME", home);
    environment.insert("XDG_CONFIG_HOME", home + "/.config");
    environment.insert("XDG_DATA_HOME", home + "/.local/share");
    environment.insert("XDG_CACHE_HOME", home + "/.cache");
    QDir(home).mkpath("Documents");
    return environment;
}

std::optional<QString> XvfbDisplay::xdotool(const QStringList &arguments, int timeoutMs) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", name_);
    return run(QStringLiteral("xdotool"), arguments, environment, timeoutMs);
}

QString XvfbDisplay::waitForWindow(const QString &text, int timeoutMs) const
{
    const QStringList search{"search", "--onlyvisible", "--name", QRegularExpression::escape(text)};
    QString window;
    VORN_WAIT_UNTIL(!(window = xdotool(search).value_or(QString()).section('\n', 0, 0).trimmed()).isEmpty(),
                    timeoutMs);
    return window;
}

QString XvfbDisplay::windowTitle(const QString &window) const
{
    return xdotool({"getwindowname", window}).value_or(QString()).trimmed();
}

bool XvfbDisplay::focus(const QString &window) const
{
    return xdotool({"windowfocus", "--sync", window}).has_value();
}

bool XvfbDisplay::type(const QString &text) const
{
    return xdotool({"type", "--delay", "30", text}, 60000).has_value();
}

bool XvfbDisplay::keys(const QString &chords) const
{
    return xdotool(QStringList{"key", "--delay", "30"} + chords.split(' ')).has_value();
}

bool XvfbDisplay::screenshot(const QString &path) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", name_);
    return run(QStringLiteral("import"), {"-window", "root", path}, environment, 20000).has_value();
}
