// The quit review over documents of the test's own: busy ones are disconnected one at a time, each
// after its own answer, and the ordinary review runs only when none is left.
#include "app/VornDocumentController.h"
#include "tabs/TabbedDocument.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

class BusyDocument : public TabbedDocument
{
public:
    explicit BusyDocument(bool busy) : busy(busy) {}
    bool busy;
};

class ReviewingController : public VornDocumentController
{
public:
    ReviewingController() : VornDocumentController(QVariantMap()) {}

    QList<TabbedDocument *> asked;
    QList<TabbedDocument *> disconnected;
    TabbedDocument::CloseCallback pendingAnswer;
    int ordinaryReviews = 0;

    void answer(bool shouldDisconnect)
    {
        ASSERT_TRUE(pendingAnswer);
        TabbedDocument *document = asked.last();
        std::exchange(pendingAnswer, nullptr)(document, shouldDisconnect);
    }

protected:
    bool documentNeedsDisconnect(TabbedDocument *document) const override
    {
        return static_cast<BusyDocument *>(document)->busy;
    }
    void askDocumentToDisconnect(TabbedDocument *document, TabbedDocument::CloseCallback answer) override
    {
        asked.append(document);
        pendingAnswer = std::move(answer);
    }
    void disconnectDocument(TabbedDocument *document) override
    {
        disconnected.append(document);
        static_cast<BusyDocument *>(document)->busy = false;
    }
    void reviewDocumentsAndQuit() override { ++ordinaryReviews; }
};

class QuitReviewTest : public ::testing::Test
{
protected:
    BusyDocument *addDocument(bool busy)
    {
        auto *document = new BusyDocument(busy);
        controller.addDocument(document);
        return document;
    }

    ReviewingController controller;
};

TEST_F(QuitReviewTest, TwoBusyDocumentsAreAskedOneAfterTheOtherThenTheOrdinaryReviewRuns)
{
    BusyDocument *idle = addDocument(false);
    BusyDocument *first = addDocument(true);
    BusyDocument *second = addDocument(true);
    ASSERT_EQ(controller.documents().size(), 3);

    controller.terminate(nullptr);
    EXPECT_EQ(controller.asked, QList<TabbedDocument *>{first}) << "only the first sheet shows";
    EXPECT_TRUE(controller.disconnected.isEmpty());
    EXPECT_EQ(controller.ordinaryReviews, 0);

    controller.answer(true);
    EXPECT_EQ(controller.disconnected, QList<TabbedDocument *>{first});
    EXPECT_EQ(controller.asked, (QList<TabbedDocument *>{first, second}));
    EXPECT_EQ(controller.ordinaryReviews, 0);

    controller.answer(true);
    EXPECT_EQ(controller.disconnected, (QList<TabbedDocument *>{first, second}));
    EXPECT_EQ(controller.ordinaryReviews, 1);
    EXPECT_FALSE(controller.disconnected.contains(idle));
}

TEST_F(QuitReviewTest, CancellingEitherSheetLeavesTheApplicationRunning)
{
    for (int cancelAt = 0; cancelAt < 2; ++cancelAt) {
        BusyDocument *first = addDocument(true);
        BusyDocument *second = addDocument(true);
        controller.asked.clear();
        controller.disconnected.clear();
        controller.terminate(nullptr);
        if (cancelAt == 1)
            controller.answer(true);
        controller.answer(false);
        EXPECT_EQ(controller.ordinaryReviews, 0) << "cancelled at sheet " << cancelAt;
        EXPECT_EQ(controller.disconnected.size(), cancelAt);
        EXPECT_TRUE(second->busy);
        EXPECT_EQ(first->busy, cancelAt == 0);
        EXPECT_FALSE(controller.pendingAnswer) << "no further sheet";
        first->busy = second->busy = false;
    }
}

TEST_F(QuitReviewTest, WithoutBusyDocumentsOnlyTheOrdinaryReviewRuns)
{
    addDocument(false);
    controller.terminate(nullptr);
    EXPECT_TRUE(controller.asked.isEmpty());
    EXPECT_EQ(controller.ordinaryReviews, 1);
}

} // namespace
