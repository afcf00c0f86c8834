// The activity viewer panel over a fake activity singleton: polling, rows kept per connection, the
// summary and the stop buttons.
#include "document/ActivityViewerController.h"
#include "client/VornActivityClient.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include "WaitFor.h"

#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <atomic>

namespace
{

class FakeActivityClient : public VornActivityClient
{
public:
    bool changed() override { return std::exchange(changedFlag, false); }
    QVariantList rootSettings(bool includeParents) override
    {
        ++polls;
        askedIncludeParents = includeParents;
        return entries;
    }
    qint64 connectedCount() override { return connected; }
    qint64 activeCount() override { return active; }

    void set(QVariantList list)
    {
        entries = std::move(list);
        changedFlag = true;
    }

    QVariantList entries;
    bool changedFlag = false;
    int polls = 0;
    bool askedIncludeParents = false;
    qint64 connected = 0;
    qint64 active = 0;
};

QVariant entry(qint64 uid, const QString &state, const QVariantMap &more = {})
{
    QVariantMap settings{{"uid", uid}, {"state", state}};
    settings.insert(more);
    return QVariantMap{{"settings", settings}};
}

class ActivityViewerControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserDefaults::standard().setObject(true, PreferenceKey::activity_viewer_show_inactive);
    }

    ActivityView *row(int index) const { return viewer.documentStates().at(index).activityView; }

    std::shared_ptr<FakeActivityClient> source = std::make_shared<FakeActivityClient>();
    ActivityViewerController viewer{source, [](const QVariant &) -> VornDocument * { return nullptr; }};
};

TEST_F(ActivityViewerControllerTest, ActivatingPollsAtOnceThenOnlyOnChanges)
{
    source->set({entry(1, "IDLE", {{"connectionInfo", "SQLite a.db"}})});
    source->connected = 1;
    viewer.activate();
    EXPECT_EQ(source->polls, 1);
    EXPECT_TRUE(viewer.isOpen());
    EXPECT_TRUE(viewer.timer().isActive());
    EXPECT_EQ(viewer.timer().interval(), 100);
    EXPECT_EQ(viewer.connectionSummary()->text(), "Connections: 1 (0 active)");

    source->changedFlag = false;
    QTest::qWait(350); // several ticks without a change read nothing
    EXPECT_EQ(source->polls, 1);

    source->active = 1;
    source->set({entry(1, "EXECUTING_QUERY", {{"activity", "SELECT pg_sleep(5)"}})});
    ASSERT_WAIT_FOR_EQ(source->polls, 2);
    EXPECT_EQ(row(0)->statusLabel()->text(), "Executing SQL statement...");
    EXPECT_EQ(row(0)->messageLabel()->text(), "SELECT pg_sleep(5)");
    EXPECT_FALSE(row(0)->progress()->isHidden());
    EXPECT_EQ(viewer.connectionSummary()->text(), "Connections: 1 (1 active)");

    viewer.close();
    EXPECT_FALSE(viewer.isOpen());
    EXPECT_FALSE(viewer.timer().isActive());
    EXPECT_EQ(viewer.documentStates().size(), 1); // a closed viewer keeps its rows
}

TEST_F(ActivityViewerControllerTest, TheInactivePreferenceChoosesTheBackendsList)
{
    viewer.runUpdate();
    EXPECT_FALSE(source->askedIncludeParents);
    UserDefaults::standard().setObject(false, PreferenceKey::activity_viewer_show_inactive);
    viewer.runUpdate();
    EXPECT_TRUE(source->askedIncludeParents);
}

TEST_F(ActivityViewerControllerTest, RowsAreKeptPerConnectionAndVanishWithIt)
{
    source->set({entry(1, "IDLE"), entry(2, "IDLE"), entry(3, "CHECK_META_DATA", {{"parentUid", 1}})});
    viewer.runUpdate();
    ASSERT_EQ(viewer.documentStates().size(), 3);
    EXPECT_EQ(row(1)->uid(), 3); // the child under its parent
    QPointer<ActivityView> first = row(0);
    QPointer<ActivityView> child = row(1);
    QPointer<ActivityView> second = row(2);

    source->set({entry(1, "EXECUTING_QUERY"), entry(2, "IDLE")});
    viewer.runUpdate();
    ASSERT_EQ(viewer.documentStates().size(), 2);
    EXPECT_EQ(row(0), first.data()); // reused, not rebuilt
    EXPECT_EQ(row(1), second.data());
    ASSERT_WAIT_FOR(child.isNull());
}

TEST_F(ActivityViewerControllerTest, RowsWithoutADocumentCannotStop)
{
    source->set({entry(1, "IDLE"), entry(2, "CHECK_META_DATA", {{"parentUid", 1}}),
                 entry(3, "CHECK_META_DATA", {{"parentUid", 77}})});
    viewer.runUpdate();
    ASSERT_EQ(viewer.documentStates().size(), 3);
    // A top-level connection gets a full row with a disabled stop button.
    ASSERT_NE(row(0)->stopButton(), nullptr);
    EXPECT_FALSE(row(0)->stopButton()->isEnabled());
    EXPECT_EQ(row(0)->statusLabel()->text(), "Not connected");
    EXPECT_EQ(row(0)->messageLabel()->text(), "Idle");
    EXPECT_TRUE(row(0)->progress()->isHidden());
    // Helper connections have none.
    EXPECT_EQ(row(1)->stopButton(), nullptr);
    EXPECT_EQ(row(2)->stopButton(), nullptr);

    // A helper that is listed as a connection of its own gets a full row.
    source->set({entry(1, "IDLE"), entry(2, "IDLE")});
    viewer.runUpdate();
    ASSERT_NE(row(1)->stopButton(), nullptr);
}

} // namespace
