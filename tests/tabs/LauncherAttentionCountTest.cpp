// The launcher's attention count as a desktop sees it: the program's own notifier sends it on the
// session bus, counted from the documents the document controller holds, with nothing set up by
// the test but a private bus.
#include "TabsTestSupport.h"
#include "WaitFor.h"

#include "kit/UserNotifier.h"
#include "tabs/TabbedDocumentController.h"

#include <QDBusConnection>
#include <QProcess>
#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

class LauncherListener : public QObject
{
    Q_OBJECT
public:
    QList<qint64> counts;
public slots:
    void update(const QString &, const QVariantMap &properties)
    {
        if (properties.contains("count"))
            counts.append(properties.value("count").toLongLong());
    }
};

TEST(LauncherAttentionCount, CountsTheOpenDocumentsInAlertOrSuccessAndForgetsClosedOnes)
{
    // A bus of the test's own becomes the session bus before anything uses one.
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
    ASSERT_TRUE(daemon.waitForStarted() && daemon.waitForReadyRead(5000)) << "dbus-daemon did not start";
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    setenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8().constData(), 1);
    QDBusConnection desktop = QDBusConnection::connectToBus(address, "desktop");
    ASSERT_TRUE(desktop.isConnected());
    LauncherListener launcher;
    ASSERT_TRUE(desktop.connect(QString(), QString(), "com.canonical.Unity.LauncherEntry", "Update",
                                &launcher, SLOT(update(QString, QVariantMap))));

    TabbedDocumentController controller;
    const struct {
        const char *name;
        TabbedDocumentState state;
    } documents[] = {
        {"alert", TabbedDocumentStateAlert}, {"success", TabbedDocumentStateSuccess},
        {"busy", TabbedDocumentStateBusy},   {"dirty", TabbedDocumentStateDirty},
        {"quiet", TabbedDocumentStateNone},
    };
    QList<TestDocument *> made;
    for (const auto &d : documents) {
        auto *document = new TestDocument(d.name);
        document->state = d.state;
        controller.addDocument(document);
        made.append(document);
    }

    // As a document's status manager does when its attention flag changes.
    UserNotifier::instance().updateApplicationAlertCount();
    ASSERT_WAIT_FOR(!launcher.counts.isEmpty() && launcher.counts.last() == 2);

    made[0]->close();
    ASSERT_WAIT_FOR(launcher.counts.last() == 1);
    made[1]->state = TabbedDocumentStateNone;
    UserNotifier::instance().updateApplicationAlertCount();
    ASSERT_WAIT_FOR(launcher.counts.last() == 0);

    QDBusConnection::disconnectFromBus("desktop");
    daemon.kill();
    daemon.waitForFinished();
}

} // namespace

#include "LauncherAttentionCountTest.moc"
