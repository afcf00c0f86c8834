#include "app/SystemTimeZone.h"
#include "app/VornDocumentController.h"
#include "document/VornDocument.h"
#include "platform/Bundle.h"
#include "platform/PreferenceDefaults.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <unistd.h>

namespace
{

int terminationPipe[2] = {-1, -1};

void requestTermination(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(terminationPipe[1], &byte, 1);
}

// A termination request of the session or of `kill` quits as the Quit command does, with the review
// of busy and unsaved documents, instead of ending the process under open connections.
void quitOnTerminationSignal(VornDocumentController &controller)
{
    if (::pipe(terminationPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, &controller);
    QObject::connect(notifier, &QSocketNotifier::activated, &controller, [&controller] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(terminationPipe[0], &byte, 1);
        controller.terminate(nullptr);
    });
    struct sigaction action = {};
    action.sa_handler = requestTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

int main(int argc, char **argv)
{
    // Before any thread or the Java VM reads the zone.
    SystemTimeZone::nameInEnvironment();
    // Every reader finds every preference key, so the defaults go first.
    PreferenceDefaults::setDefaultPreferences(UserDefaults::standard());

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vorn"));
    QApplication::setApplicationName(QStringLiteral("Vorn"));
    // Ties the windows to the installed desktop entry (its icon, its launcher count).
    QGuiApplication::setDesktopFileName(QStringLiteral("vorn"));
    const QVariantMap info = Bundle::mainBundle().infoDictionary();
    QApplication::setApplicationVersion(info.value("CFBundleShortVersionString").toString());

    QCommandLineParser parser;
    parser.setApplicationDescription(QApplication::translate("main", "A desktop database client."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("files"),
        QApplication::translate("main", "SQL documents or connections backups to open."),
        QStringLiteral("[files...]"));
    parser.process(app);

    VornDocument::registerWindowPanes();
    VornDocumentController controller(info);
    QStringList files;
    for (const QString &path : parser.positionalArguments())
        files.append(QFileInfo(path).absoluteFilePath());
    controller.setFilesToOpen(files);
    quitOnTerminationSignal(controller);
    // Launching has finished once the run loop turns.
    QTimer::singleShot(0, &controller, &VornDocumentController::applicationDidFinishLaunching);
    return app.exec();
}
