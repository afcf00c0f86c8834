// The background checker with a clock moved by hand and fake documents on fake roots.
#include "document/BackgroundController.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/ThreadController.h"

#include "FakeVornRootClient.h"
#include "WaitFor.h"
#include "platform/PreferenceDefaults.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

#include <map>

namespace
{

// One-shot calls that fire when the test moves time past them.
class FakeTimers : public BackgroundCheckTimers
{
public:
    Cancel after(double seconds, std::function<void()> fire) override
    {
        const int id = nextId++;
        pending[id] = {now + seconds, std::move(fire)};
        return [this, id] { pending.erase(id); };
    }
    void advance(double seconds)
    {
        now += seconds;
        for (auto due = firstDue(); due != pending.end(); due = firstDue()) {
            auto fire = std::move(due->second.second);
            pending.erase(due);
            fire();
        }
    }
    // Seconds from now to the pending calls, soonest first.
    QList<double> delays() const
    {
        QList<double> list;
        for (const auto &[id, call] : pending)
            list << call.first - now;
        std::sort(list.begin(), list.end());
        return list;
    }

    double now = 0;
    int nextId = 0;
    std::map<int, std::pair<double, std::function<void()>>> pending;

private:
    std::map<int, std::pair<double, std::function<void()>>>::iterator firstDue()
    {
        return std::find_if(pending.begin(), pending.end(),
                            [this](const auto &p) { return p.second.first <= now; });
    }
};

class FakeDocument : public BackgroundControllerSupport
{
public:
    explicit FakeDocument(const QString &target = QStringLiteral("PostgreSQL vorn@db on localhost:5432"),
                          const QString &schema = QStringLiteral("public"))
    {
        root->metaDataDescription = target;
        root->browserClient->schemaName = schema;
    }
    VornRootClientPtr backgroundRoot() const override { return root; }
    bool backgroundConnected() const override { return connected; }
    bool backgroundControllerNeedsDDLDirtyFlag() override { return dirty.exchange(false); }
    void backgroundControllerRestoreDDLDirtyFlag() override { dirty = true; }
    void backgroundControllerCheckedRecyclebin(bool full) override { recyclebin = full ? 1 : 0; }
    void backgroundConnectionCheck() override { ++connectionChecks; }
    void metaDataExternalUpdateStart() override { ++starts; }
    void metaDataExternalUpdateEnd() override { ++ends; }
    void metaDataWasExternallyUpdated() override { ++renewals; }

    std::shared_ptr<FakeVornRootClient> root = std::make_shared<FakeVornRootClient>();
    std::atomic<bool> connected{true};
    std::atomic<bool> dirty{false};
    std::atomic<int> recyclebin{-1};
    int connectionChecks = 0;
    int starts = 0;
    int ends = 0;
    int renewals = 0;
};

class BackgroundControllerTest : public ::testing::Test
{
protected:
    // The recycle bin is offered only where the preferences say so (their default).
    void SetUp() override { PreferenceDefaults::setDefaultPreferences(UserDefaults::standard()); }
    void TearDown() override
    {
        for (const auto &document : documents)
            document->root->setHoldValidations(false);
        waitForPass();
    }

    std::shared_ptr<FakeDocument> add(std::shared_ptr<FakeDocument> document)
    {
        documents << document;
        return document;
    }
    void waitForPass() { ASSERT_WAIT_FOR_MS(!checker.isChecking(), 10000); }

    QoJavaBridge bridge{QVariantMap(), QString()};
    QList<std::shared_ptr<FakeDocument>> documents;
    FakeTimers *timers = new FakeTimers;
    BackgroundController checker{[this] {
                                     QList<BackgroundControllerSupportPtr> list;
                                     for (const auto &document : documents)
                                         list << document;
                                     return list;
                                 },
                                 std::unique_ptr<BackgroundCheckTimers>(timers),
                                 std::make_shared<ThreadController>(&bridge)};
};

TEST_F(BackgroundControllerTest, NothingRunsBeforeStartup)
{
    auto document = add(std::make_shared<FakeDocument>());
    document->dirty = true;
    checker.notifyOfNewDocument();
    checker.notifyOfDirtyDocument();
    EXPECT_FALSE(checker.started());
    EXPECT_FALSE(checker.isChecking());
    EXPECT_TRUE(timers->pending.empty());
    EXPECT_TRUE(document->root->validationsSoFar().isEmpty());
}

TEST_F(BackgroundControllerTest, FullPassesComeEvery600SecondsAfterTheLastOne)
{
    auto document = add(std::make_shared<FakeDocument>());
    checker.startup();
    checker.startup(); // once
    EXPECT_EQ(timers->delays(), QList<double>{600.0});
    timers->advance(599);
    EXPECT_FALSE(checker.isChecking());
    timers->advance(1);
    EXPECT_TRUE(checker.isChecking());
    waitForPass();
    EXPECT_EQ(checker.checkCounter(), 1);
    EXPECT_EQ(timers->delays(), QList<double>{600.0});
    const auto validations = document->root->validationsSoFar();
    ASSERT_EQ(validations.size(), 1);
    EXPECT_EQ(validations[0].activity, "Validating connection info");
    EXPECT_EQ(validations[0].schemas, QStringList{"public"});
    EXPECT_FALSE(validations[0].dirtyOnly);
    EXPECT_EQ(document->starts, 1);
    EXPECT_EQ(document->ends, 1);
    EXPECT_EQ(document->renewals, 1);
}

TEST_F(BackgroundControllerTest, TwoDocumentsOnOneTargetAreValidatedOnceThroughTheLater)
{
    auto first = add(std::make_shared<FakeDocument>("PostgreSQL vorn@db on h:5432", "public"));
    auto other = add(std::make_shared<FakeDocument>("MySQL vorn@shop on h:3306", "shop"));
    auto second = add(std::make_shared<FakeDocument>("PostgreSQL vorn@db on h:5432", "sales"));
    checker.startup();
    checker.notifyOfNewDocument(); // a full pass now
    waitForPass();
    EXPECT_TRUE(first->root->validationsSoFar().isEmpty());
    const auto validations = second->root->validationsSoFar();
    ASSERT_EQ(validations.size(), 1);
    EXPECT_EQ(validations[0].schemas, (QStringList{"public", "sales"}));
    EXPECT_EQ(other->root->validationsSoFar().size(), 1);
    for (const auto &document : {first, second}) {
        EXPECT_EQ(document->starts, 1);
        EXPECT_EQ(document->ends, 1);
        EXPECT_EQ(document->renewals, 1);
    }
    // The 600 seconds start again after the pass.
    EXPECT_EQ(timers->delays(), QList<double>{600.0});
}

TEST_F(BackgroundControllerTest, UnchangedMetadataTellsNoDocumentToReload)
{
    auto document = add(std::make_shared<FakeDocument>());
    document->root->renewMetaData = false;
    checker.startup();
    checker.backgroundUpdateCheck();
    waitForPass();
    EXPECT_EQ(document->starts, 1);
    EXPECT_EQ(document->ends, 1);
    EXPECT_EQ(document->renewals, 0);
}

TEST_F(BackgroundControllerTest, ADirtyPassLeavesCleanTargetsAloneButGathersTheDirtyOnesNeighbours)
{
    auto dirty = add(std::make_shared<FakeDocument>("PostgreSQL vorn@db on h:5432", "public"));
    auto neighbour = add(std::make_shared<FakeDocument>("PostgreSQL vorn@db on h:5432", "sales"));
    auto clean = add(std::make_shared<FakeDocument>("MySQL vorn@shop on h:3306", "shop"));
    checker.startup();
    dirty->dirty = true;
    checker.notifyOfDirtyDocument();
    waitForPass();
    EXPECT_FALSE(dirty->dirty);
    EXPECT_TRUE(clean->root->validationsSoFar().isEmpty());
    const auto validations = neighbour->root->validationsSoFar();
    ASSERT_EQ(validations.size(), 1);
    EXPECT_TRUE(validations[0].dirtyOnly);
    EXPECT_EQ(neighbour->renewals, 1);
    EXPECT_EQ(clean->starts, 0);
    // A dirty pass schedules no full pass of its own.
    EXPECT_EQ(checker.checkCounter(), 0);
    EXPECT_EQ(timers->delays(), QList<double>{600.0});
}

TEST_F(BackgroundControllerTest, ABusyRootIsNeverUsedForTheCheck)
{
    auto free = add(std::make_shared<FakeDocument>("PostgreSQL vorn@db on h:5432", "public"));
    auto busy = add(std::make_shared<FakeDocument>("PostgreSQL vorn@db on h:5432", "public"));
    busy->root->reservedByOther = true;
    busy->root->recycleBinSupported = true;
    busy->root->recyclebinFull = true;
    checker.startup();
    checker.backgroundUpdateCheck();
    waitForPass();
    EXPECT_TRUE(busy->root->validationsSoFar().isEmpty());
    EXPECT_EQ(free->root->validationsSoFar().size(), 1);
    EXPECT_EQ(busy->recyclebin, -1); // its recycle bin is not asked either
    EXPECT_EQ(busy->renewals, 1);    // but it hears of the renewal
}

TEST_F(BackgroundControllerTest, ATargetWhoseRootsAreAllBusyWaitsAndKeepsItsMark)
{
    auto busy = add(std::make_shared<FakeDocument>());
    busy->root->reservedByOther = true;
    busy->dirty = true;
    checker.startup();
    checker.notifyOfDirtyDocument();
    waitForPass();
    EXPECT_TRUE(busy->root->validationsSoFar().isEmpty());
    EXPECT_EQ(busy->starts, 0);
    EXPECT_TRUE(busy->dirty); // asked for again
    EXPECT_EQ(timers->delays(), (QList<double>{10.0, 600.0}));

    busy->root->reservedByOther = false;
    timers->advance(10);
    waitForPass();
    ASSERT_EQ(busy->root->validationsSoFar().size(), 1);
    EXPECT_TRUE(busy->root->validationsSoFar()[0].dirtyOnly);
    EXPECT_FALSE(busy->dirty);
}

TEST_F(BackgroundControllerTest, RequestsDuringAPassWaitTenSecondsAtATime)
{
    auto document = add(std::make_shared<FakeDocument>());
    document->root->setHoldValidations(true);
    checker.startup();
    checker.backgroundUpdateCheck();
    ASSERT_WAIT_FOR_EQ(document->root->validationsSoFar().size(), 1);
    ASSERT_TRUE(checker.isChecking());

    checker.notifyOfNewDocument(); // dropped: the running pass covers it
    document->dirty = true;
    checker.notifyOfDirtyDocument();
    checker.notifyOfDirtyDocument(); // one retry is enough
    EXPECT_EQ(timers->delays(), QList<double>{10.0});
    timers->advance(10); // still running: again in ten seconds
    EXPECT_EQ(timers->delays(), QList<double>{10.0});

    document->root->setHoldValidations(false);
    waitForPass();
    EXPECT_EQ(document->root->validationsSoFar().size(), 1); // not in parallel
    timers->advance(10);
    waitForPass();
    const auto validations = document->root->validationsSoFar();
    ASSERT_EQ(validations.size(), 2);
    EXPECT_TRUE(validations[1].dirtyOnly);
}

TEST_F(BackgroundControllerTest, LostConnectionsAreProbedThroughTheirDocument)
{
    auto lost = add(std::make_shared<FakeDocument>());
    auto fine = add(std::make_shared<FakeDocument>("MySQL vorn@shop on h:3306"));
    lost->root->connected = false; // the document still believes it is connected
    checker.startup();
    checker.backgroundUpdateCheck();
    waitForPass();
    EXPECT_EQ(lost->connectionChecks, 1);
    EXPECT_EQ(fine->connectionChecks, 0);
    EXPECT_TRUE(lost->root->validationsSoFar().isEmpty()); // a root without a connection is skipped
}

TEST_F(BackgroundControllerTest, RecycleBinsOfFreeRootsAreChecked)
{
    auto document = add(std::make_shared<FakeDocument>());
    document->root->recycleBinSupported = true;
    document->root->recyclebinFull = true;
    checker.startup();
    checker.backgroundUpdateCheck();
    waitForPass();
    EXPECT_EQ(document->recyclebin, 1);

    // Turned off in the preferences, the bin is not offered and so not asked.
    document->recyclebin = -1;
    UserDefaults::standard().setObject(false, PreferenceKey::recycleBinSupport);
    EXPECT_FALSE(document->root->supportsRecycleBin());
    checker.backgroundUpdateCheck();
    waitForPass();
    UserDefaults::standard().setObject(true, PreferenceKey::recycleBinSupport);
    EXPECT_EQ(document->recyclebin, -1);
}

} // namespace
