#include "bridge/QoJavaBridge.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vorn"));
    QApplication::setApplicationName(QStringLiteral("Vorn"));

    // The first use of the bridge starts the Java VM; it must happen on the main thread.
    QoJavaBridge::javaBridge();

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Vorn"));
    window.show();
    return app.exec();
}
