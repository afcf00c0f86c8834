#include "app/PreferenceDefaults.h"
#include "app/VornDocumentController.h"
#include "platform/Bundle.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

int main(int argc, char **argv)
{
    // Every reader finds every preference key, so the defaults go first.
    PreferenceDefaults::setDefaultPreferences(UserDefaults::standard());

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vorn"));
    QApplication::setApplicationName(QStringLiteral("Vorn"));
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

    VornDocumentController controller(info);
    QStringList files;
    for (const QString &path : parser.positionalArguments())
        files.append(QFileInfo(path).absoluteFilePath());
    controller.setFilesToOpen(files);
    // Launching has finished once the run loop turns.
    QTimer::singleShot(0, &controller, &VornDocumentController::applicationDidFinishLaunching);
    return app.exec();
}
