// A management session in its info panel over the real backend and the test servers: choosing another
// connection's session shows its pages, and its confirmed Cancel action, pressed in the panel, stops
// that connection's running query.
#include "BackendTestSupport.h"
#include "SessionRoots.h"
#include "WaitFor.h"
#include "bridge/ThreadController.h"
#include "browser/IndependantInfoColumnViewController.h"
#include "browser/InfoColumnDataView.h"
#include "browser/InfoColumnViewController.h"
#include "browser/InfoController.h"
#include "browser/InfoControllerDelegate.h"
#include "client/SqlConnectionClient.h"
#include "client/VornResultset.h"
#include "client/VornRootClient.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QToolButton>
#include <gtest/gtest.h>

#include <atomic>

namespace
{
// Stands in for the document: each session chosen opens a real floating panel.
class PanelOpener : public InfoControllerDelegate
{
public:
    bool infoControllerShouldLoadExtendedInfo(InfoController *) override { return true; }
    void infoHasBeenUpdated(qint64) override {}
    void requestSeparatedViewOfInfoController(std::shared_ptr<InfoController> controller) override
    {
        auto opened = IndependantInfoColumnViewController::create(std::move(controller), nullptr);
        opened->showWithSuggestedOrigin(QPoint(20, 20));
        panel = opened;
    }
    qint64 infoControllerNeedsTabLabel(InfoController *) override { return 0; }
    QString infoControllerNeedsActiveConnectionName(InfoController *) override { return "Vorn session test"; }

    // The panel keeps itself alive while open; the test only looks at it.
    std::weak_ptr<IndependantInfoColumnViewController> panel;
};

QMessageBox *visibleMessageBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

class SessionInfoBackendTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        if (target_.type == "SQLite")
            GTEST_SKIP() << "a SQLite file has no sessions";
        ASSERT_TRUE(startedBackend());
        root_ = connectedSessionRoot(target_, "Vorn session test");
        other_ = connectedSessionRoot(target_, "Vorn session test");
        ASSERT_TRUE(root_ && other_);
    }

    void TearDown() override
    {
        if (auto panel = opener_.panel.lock())
            panel->performCloseTab(nullptr);
        ASSERT_WAIT_FOR_MS(opener_.panel.expired(), 20000);
        endSessionRoots({root_, other_});
    }

    QVariant otherSessionId() { return sessionIdOf(*other_, target_.type); }

    VornRootClientPtr root_;
    VornRootClientPtr other_;
    PanelOpener opener_;
};

TEST_P(SessionInfoBackendTest, TheConfirmedCancelActionStopsTheOtherConnectionsQuery)
{
    const QVariant otherId = otherSessionId();
    ASSERT_TRUE(otherId.isValid());
    std::atomic<bool> done{false};
    JavaThread sleeper([&] {
        other_->sqlConnection()->executeQuery(
            target_.type == "PostgreSQL" ? "SELECT pg_sleep(60)" : "SELECT SLEEP(60)", {});
        done = true;
    });

    auto threads = std::make_shared<ThreadController>();
    InfoController column(root_);
    column.setThreadController(threads);
    column.setInfoDelegate(&opener_);
    column.setResourceFolder(qEnvironmentVariable("VORN_BUILD_DIR") + "/share/vorn/resources");
    column.setManagementMode(true);
    column.referToManagement({otherId});
    const std::shared_ptr<IndependantInfoColumnViewController> panel = opener_.panel.lock();
    ASSERT_NE(panel, nullptr);
    const std::shared_ptr<InfoController> info = panel->infoController();
    ASSERT_WAIT_FOR_MS(info->fullyLoaded() && !info->loading(), 20000);
    EXPECT_EQ(info->name(), "Process: " + otherId.toString());

    // The general page shows the session's own id, and offers its actions.
    const InfoItemSectionPtr general = info->findSection(InfoItemSection::General);
    ASSERT_NE(general, nullptr);
    QStringList lines;
    for (const InfoItemGroup &group : general->groups)
        for (const InfoItem &item : group.items)
            lines << item.name + "=" + item.value;
    EXPECT_TRUE(lines.contains((target_.type == "PostgreSQL" ? "Process=" : "Id=") + otherId.toString()))
        << lines.join(", ").toStdString();

    // The Cancel action's button in the panel, confirmed in its sheet.
    InfoColumnDataView *cancel = nullptr;
    VORN_WAIT_UNTIL(([&] {
                        for (InfoColumnDataView *row : panel->viewController()->dataViews())
                            if (row && row->referingAction().isValid() && !cancel)
                                cancel = row;
                        return cancel != nullptr;
                    }()),
                    10000);
    ASSERT_NE(cancel, nullptr);
    ASSERT_NE(cancel->referButton(), nullptr);
    cancel->referButton()->click();
    ASSERT_WAIT_FOR(visibleMessageBox() != nullptr);
    QMessageBox *confirm = visibleMessageBox();
    confirm->buttons().value(0)->click();
    ASSERT_WAIT_FOR_MS(done.load(), 20000);
    sleeper.join();
    EXPECT_EQ(visibleMessageBox(), nullptr) << "the action was reported as failed";
    ASSERT_WAIT_FOR_MS(threads->numberOfRegisteredThreads(true) == 0, 20000);
    panel->performCloseTab(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Databases, SessionInfoBackendTest, ::testing::Values("PostgreSQL", "MySQL"),
                         [](const auto &info) { return info.param.toStdString(); });
} // namespace
