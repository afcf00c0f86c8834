#include "DocumentTestSupport.h"

#include "BackendTestSupport.h"
#include "bridge/QoJavaBridge.h"
#include "document/VornDocument.h"
#include "platform/Bundle.h"
#include "status/LoggerController.h"
#include "status/StatusManager.h"
#include "tabs/TabbedWindowController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QTest>

ConnectionParametersPtr parametersFor(const DatabaseTarget &target, quint64 autoCommit)
{
    auto parameters = std::make_shared<ConnectionParameters>();
    parameters->setConnectionName("Test " + target.type);
    parameters->setDatabaseType(target.type);
    parameters->setServer(target.server);
    parameters->setPort(target.port);
    parameters->setDatabase(target.database);
    parameters->setUserName(target.user);
    parameters->setPassword(target.password);
    parameters->setAutoCommit(autoCommit);
    return parameters;
}

QoJavaBridge *startedDocumentBackend()
{
    static QoJavaBridge *bridge = [] {
        const Bundle build(qEnvironmentVariable("VORN_BUILD_DIR"));
        QVariantMap info = build.infoDictionary();
        QVariantMap settings = info.value("QoJavaBridge").toMap();
        QVariantList libraries = settings.value("Libraries").toList();
        libraries << QStringLiteral(VORN_DOCUMENT_TEST_JAR);
        settings.insert("Libraries", libraries);
        info.insert("QoJavaBridge", settings);
        QoJavaBridge::setSharedConfiguration(info, build.bundlePath());
        Bundle::setMainBundlePrefix(build.bundlePath());
        return QoJavaBridge::javaBridge();
    }();
    return bridge;
}

QMessageBox *waitForMessageBox()
{
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        for (QWidget *widget : QApplication::allWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (box && box->isVisible())
                return box;
        }
        QTest::qWait(10);
    }
    return nullptr;
}

bool answerMessageBox(const QString &buttonTitle, QString *text)
{
    QMessageBox *box = waitForMessageBox();
    if (!box)
        return false;
    if (text)
        *text = box->text() + '\n' + box->informativeText();
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == buttonTitle) {
            button->click();
            return true;
        }
    }
    return false;
}

QStringList logEntries(const VornDocument &document)
{
    QStringList entries;
    for (const QString &entry : document.statusManager()->loggerController()->latestEntries().entries)
        entries << entry.section(' ', 1);
    return entries;
}
