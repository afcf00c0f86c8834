// Whether the target database fills columns from sequences is asked of the backend once, off the main
// thread and without the root's reservation, when the first target is chosen; the mapping page's
// redraws read the answer and call nothing.
#include "FakeVornRootClient.h"
#include "WaitFor.h"

#include "bridge/ThreadController.h"
#include "connection/ConnectedControllerDelegate.h"
#include "transfer/ImportColumnMappingViewController.h"
#include "transfer/ImportController.h"
#include "transfer/ImportControllerDelegate.h"

#include <QDialog>
#include <QPushButton>
#include <gtest/gtest.h>

namespace
{
class Document : public ConnectedControllerDelegate, public ImportControllerDelegate
{
public:
    explicit Document(std::shared_ptr<FakeVornRootClient> root) : root_(std::move(root)) {}

    bool connectedControllerWantsRootReservationFor(ConnectedController *, const QString &activity) override
    {
        return root_->reserveRoot(activity);
    }
    void connectedControllerWantsEndRootReservation(ConnectedController *) override
    {
        root_->releaseReservedRoot();
    }
    bool connectedControllerWantsToChangeFocus(ConnectedController *, bool) override { return true; }
    bool connectedControllerWantsClearRootSelection(ConnectedController *) override { return true; }
    ConnectionParametersPtr connectedControllerWantsConnectionParameters(ConnectedController *) override
    {
        return nullptr;
    }
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *) override { return "T"; }
    void importControllerHasUpdatedPreview(ImportController *) override {}
    void importControllerStatusUpdated(ImportController *) override { ++statusUpdates; }

    int statusUpdates = 0;

private:
    std::shared_ptr<FakeVornRootClient> root_;
};

class ImportSequenceSupportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root_->importerClient->columns = {{"id", "N"}, {"name", "S"}};
        controller_.setDelegate(&document_);
        controller_.setImportDelegate(&document_);
        controller_.setThreadController(threads_);
        controller_.reset();
    }
    void TearDown() override { ASSERT_WAIT_FOR_MS(threads_->numberOfRegisteredThreads(true) == 0, 10000); }

    static BrowserElementPtr table(const QString &name)
    {
        return std::make_shared<BrowserElement>(name, QString(), "TABLE", BrowserElement::Table);
    }
    FakeVornImporterClient &importer() { return *root_->importerClient; }

    std::shared_ptr<FakeVornRootClient> root_ = std::make_shared<FakeVornRootClient>();
    Document document_{root_};
    std::shared_ptr<ThreadController> threads_ = std::make_shared<ThreadController>();
    ImportController controller_{root_};
};
} // namespace

TEST_F(ImportSequenceSupportTest, AskedOnceOffTheMainThreadAndRedrawsCallNothing)
{
    ImportColumnMappingViewController page;
    page.setImportController(&controller_);
    EXPECT_FALSE(controller_.supportSequences()) << "no until the database has answered";
    EXPECT_EQ(importer().sequenceSupportCalls, 0) << "no target yet, no question";

    controller_.setSelectedBrowserElement(table("orders"));
    ASSERT_WAIT_FOR(controller_.supportSequences());
    EXPECT_EQ(importer().sequenceSupportCalls, 1);
    EXPECT_FALSE(importer().sequenceSupportOnMainThread);
    EXPECT_GE(document_.statusUpdates, 1) << "the pages redraw with the answer";

    for (int redraw = 0; redraw < 5; ++redraw)
        page.updateInterface();
    EXPECT_TRUE(page.useSequenceButton()->isVisibleTo(page.view()));
    controller_.setSelectedBrowserElement(table("customers"));
    controller_.reset();
    controller_.setSelectedBrowserElement(table("orders"));
    page.updateInterface();
    EXPECT_EQ(importer().sequenceSupportCalls, 1) << "the database's answer holds for every table";
    EXPECT_FALSE(importer().sequenceSupportOnMainThread);
}

TEST_F(ImportSequenceSupportTest, TheQuestionLeavesTheRootToTheTableLookups)
{
    importer().sequencesSupported = false;
    // Choosing, clearing and choosing again before anything else happens: each choice reads the table's
    // columns under the root's reservation, which the question must not hold.
    controller_.setSelectedBrowserElement(table("orders"));
    controller_.setSelectedBrowserElement(nullptr);
    controller_.setSelectedBrowserElement(table("orders"));
    EXPECT_EQ(controller_.importOptions().target_column_names, (QStringList{"id", "name"}));
    ASSERT_WAIT_FOR(importer().sequenceSupportCalls == 1 && document_.statusUpdates >= 1);
    ImportColumnMappingViewController page;
    page.setImportController(&controller_);
    EXPECT_FALSE(controller_.supportSequences());
    EXPECT_FALSE(page.useSequenceButton()->isVisibleTo(page.view()));
}
