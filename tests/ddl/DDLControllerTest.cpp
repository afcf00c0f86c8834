#include "DdlBackendSupport.h"
#include "WaitFor.h"
#include "client/VornBrowserClient.h"
#include "client/VornRootClient.h"
#include "ddl/DdlWaitWindow.h"
#include "status/StatusManager.h"
#include "status/StatusManagerMessage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QWidget>

// Truncate and drop through the controller, confirmed on a window, against each test database.
namespace
{

QMessageBox *openQuestion()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

void answer(const QString &button)
{
    QMessageBox *box = nullptr;
    ASSERT_WAIT_FOR((box = openQuestion()) != nullptr);
    for (QAbstractButton *candidate : box->buttons()) {
        if (candidate->text() == button) {
            candidate->click();
            return;
        }
    }
    FAIL() << "no button " << button.toStdString() << " on \"" << box->text().toStdString() << '"';
}

class DDLControllerTest : public DdlDatabaseTest
{
protected:
    void SetUp() override
    {
        DdlDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        dropTables({"t"});
        ASSERT_TRUE(testRoot->run("CREATE TABLE vddl_t (x INTEGER)"));
        ASSERT_TRUE(testRoot->run("INSERT INTO vddl_t VALUES (1)"));
        window.show();
    }
    void TearDown() override
    {
        if (testRoot)
            dropTables({"t"});
        DdlDatabaseTest::TearDown();
    }

    BrowserElementPtr element(const QString &tableName, const QString &type = "TABLE") const
    {
        return std::make_shared<BrowserElement>(tableName, root->browser()->selectedSchema(), type, 0);
    }
    bool finished() const { return document->releases == document->reservations && !root->reserved(); }
    QStringList alerts() const
    {
        QStringList texts;
        for (const auto &message : status->messageQueue())
            texts << message->title + ": " + message->message;
        return texts;
    }

    QWidget window;
};

TEST_P(DDLControllerTest, TruncateEmptiesTheTableAfterConfirmation)
{
    ASSERT_TRUE(controller->canTruncate(element("vddl_t")));
    EXPECT_FALSE(controller->canTruncate(element("vddl_t", "VIEW")));
    EXPECT_FALSE(controller->canTruncate(nullptr));

    controller->truncate(element("vddl_t"), &window);
    ASSERT_NO_FATAL_FAILURE(answer("Truncate"));
    ASSERT_WAIT_FOR(!document->performed.isEmpty());
    EXPECT_EQ(document->performed, QStringList{"Truncated vddl_t"});
    EXPECT_EQ(document->clearedResults, 1);
    EXPECT_EQ(document->backgroundReloads, 0);
    ASSERT_WAIT_FOR(finished());
    EXPECT_EQ(controller->waitWindow(), nullptr);
    EXPECT_EQ(firstValue("SELECT count(*) FROM vddl_t"), "0");
}

TEST_P(DDLControllerTest, DropRemovesTheObjectAndReloadsTheMetadata)
{
    EXPECT_FALSE(controller->canDrop(element("vddl_t", "CONSTRAINT")));
    controller->drop(element("vddl_t"), &window);
    ASSERT_NO_FATAL_FAILURE(answer("Drop"));
    ASSERT_WAIT_FOR(!document->performed.isEmpty());
    EXPECT_EQ(document->performed, QStringList{"Dropped vddl_t"});
    EXPECT_EQ(document->backgroundReloads, 1);
    ASSERT_WAIT_FOR(finished());
    EXPECT_TRUE(firstValue("SELECT count(*) FROM vddl_t").isNull()) << "the table is still there";
}

TEST_P(DDLControllerTest, FailureIsReportedAndNothingIsPerformed)
{
    const struct {
        bool truncate;
        const char *button;
        const char *text;
    } cases[] = {{true, "Truncate", "A database error occurred while trying to truncate the object."},
                 {false, "Drop", "A database error occurred while trying to drop the object."}};
    for (const auto &row : cases) {
        SCOPED_TRACE(row.button);
        const int alertsBefore = int(alerts().size());
        if (row.truncate)
            controller->truncate(element("vddl_missing"), &window);
        else
            controller->drop(element("vddl_missing"), &window);
        ASSERT_NO_FATAL_FAILURE(answer(row.button));
        ASSERT_WAIT_FOR(alerts().size() > alertsBefore);
        EXPECT_TRUE(alerts().last().startsWith(QStringLiteral("Database error: ") + row.text))
            << alerts().last().toStdString();
        ASSERT_WAIT_FOR(finished());
        EXPECT_TRUE(document->performed.isEmpty());
        EXPECT_EQ(document->backgroundReloads, 0);
    }
    EXPECT_EQ(firstValue("SELECT count(*) FROM vddl_t"), "1");
}

TEST_P(DDLControllerTest, CancelOrARefusedFocusChangesNothing)
{
    controller->truncate(element("vddl_t"), &window);
    ASSERT_NO_FATAL_FAILURE(answer("Cancel"));
    document->allowFocusChange = false;
    controller->drop(element("vddl_t"), &window);
    EXPECT_EQ(openQuestion(), nullptr) << "a refused focus change asks nothing";
    EXPECT_EQ(document->clearedResults, 0);
    EXPECT_EQ(document->reservations, 0);
    EXPECT_EQ(firstValue("SELECT count(*) FROM vddl_t"), "1");
}

TEST_P(DDLControllerTest, BusyRootDisablesEveryAction)
{
    EXPECT_TRUE(controller->canCreateNew("TABLE"));
    ASSERT_TRUE(root->reserveRoot("Another action"));
    EXPECT_FALSE(controller->canTruncate(element("vddl_t")));
    EXPECT_FALSE(controller->canDrop(element("vddl_t")));
    EXPECT_FALSE(controller->canCreateNew("TABLE"));
    // A confirmed truncate on a busy root ends without a wait sheet or a message.
    controller->truncate(element("vddl_t"), &window);
    ASSERT_NO_FATAL_FAILURE(answer("Truncate"));
    EXPECT_EQ(controller->waitWindow(), nullptr);
    root->releaseReservedRoot();
    EXPECT_EQ(firstValue("SELECT count(*) FROM vddl_t"), "1");
}

VORN_FOR_EVERY_DATABASE(DDLControllerTest);

} // namespace
