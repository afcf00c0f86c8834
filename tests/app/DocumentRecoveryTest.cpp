// Edits are never lost: the program in this process, offscreen, with documents connected to a real
// SQLite file. A crash is the run ending without closing anything; the next start restores what the
// previous one left.
#include "SqliteConnection.h"
#include "WaitFor.h"
#include "app/VornDocumentController.h"
#include "app/WelcomeScreenController.h"
#include "bridge/QoJavaBridge.h"
#include "document/DocumentHelper.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "platform/AppFolders.h"
#include "platform/Bundle.h"
#include "platform/PreferenceDefaults.h"
#include "platform/UserDefaults.h"
#include "tabs/TabbedWindowController.h"
#include "window/ContentSplitView.h"
#include "window/VornTabbedWindowController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

namespace
{

class QuitRecordingController : public VornDocumentController
{
public:
    QuitRecordingController()
        : VornDocumentController(Bundle(qEnvironmentVariable("VORN_BUILD_DIR")).infoDictionary())
    {
    }
    int quits = 0;

protected:
    void quitApplication() override { ++quits; }
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The document entries of the restoration file, window after window.
QVariantList restoredDocuments()
{
    QVariantList documents;
    const QVariantList windows = QJsonDocument::fromJson(contents(AppFolders::restorationFile()))
                                     .object()
                                     .toVariantMap()
                                     .value("tabbedWindowConfiguration")
                                     .toList();
    for (const QVariant &window : windows)
        documents << window.toMap().value("documents").toList();
    return documents;
}

bool restorationNamesCopy(const QString &copy)
{
    for (const QVariant &entry : restoredDocuments()) {
        if (QUrl(entry.toMap().value("autosavedContentsFileURL").toString()).toLocalFile() == copy)
            return true;
    }
    return false;
}

QMessageBox *visibleMessageBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

class DocumentRecoveryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // As the program's entry point does: every reader finds its preference.
        PreferenceDefaults::setDefaultPreferences(UserDefaults::standard());
        const Bundle build(qEnvironmentVariable("VORN_BUILD_DIR"));
        QoJavaBridge::setSharedConfiguration(build.infoDictionary(), build.bundlePath());
        UserDefaults::standard().setObject(999999, "last_auto_releasenotes");
        VornDocument::registerWindowPanes();
        // The test process goes on after its windows have closed.
        QApplication::setQuitOnLastWindowClosed(false);
        QFile::remove(AppFolders::restorationFile());
        QDir(AppFolders::autosave()).removeRecursively();
        ASSERT_TRUE(folder.isValid());
        parameters = sqliteConnection(folder.filePath("shop.db"), "Shop");
        ASSERT_NE(parameters, nullptr);
    }
    void TearDown() override { crash(); }

    // Starts as the program does, with the files given on its command line.
    void start(const QStringList &files = {})
    {
        controller = std::make_unique<QuitRecordingController>();
        controller->setFilesToOpen(files);
        controller->applicationDidFinishLaunching();
        ASSERT_WAIT_FOR_MS(!controller->isStarting(), 60000);
    }

    // Ends the run as a crash does: windows and documents go, nothing is closed or written.
    void crash()
    {
        for (TabbedWindowController *window : TabbedWindowController::allWindowControllers())
            delete window;
        controller.reset();
    }

    // A saved document whose header connects it to the SQLite file.
    QString writeDocument(const QString &name, const QString &sql)
    {
        QString text = sql;
        EXPECT_TRUE(DocumentHelper::createStorageSettingsForSQL(text, parameters.get(), {}, {}));
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        return path;
    }

    VornDocument *document(int index) const
    {
        return qobject_cast<VornDocument *>(controller->documents().value(index));
    }

    // An untitled document of the connection, opened as the welcome screen's connection list does.
    VornDocument *openUntitled()
    {
        return qobject_cast<VornDocument *>(controller->openUntitledDocumentAndDisplay(
            true, nullptr, true, true, {{"connectionParameters", QVariant::fromValue(parameters)}}, nullptr));
    }

    // Keys typed at the end of the document's editor.
    static void typeAtEnd(VornDocument *document, const QString &text)
    {
        VornTabbedWindowController *window = document->vornWindowController();
        ASSERT_NE(window, nullptr);
        // A new connection's window opens without the editor: the user shows it with its pane button.
        if (!window->contentSplitView()->viewAEnabled())
            window->toggleContentUpperView(nullptr);
        auto *editor = qobject_cast<SQLEditorViewController *>(
            window->pane(VornTabbedWindowController::Pane::SqlEditor));
        ASSERT_NE(editor, nullptr);
        editor->sqlTextView()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor->sqlTextView(), text);
    }

    // Presses the button of the sheet that asks now; its question, or nothing when none came.
    static QString answer(const QString &button)
    {
        VORN_WAIT_UNTIL(visibleMessageBox(), 10000);
        QMessageBox *box = visibleMessageBox();
        if (!box)
            return {};
        const QString question = box->text();
        for (QAbstractButton *candidate : box->buttons()) {
            if (candidate->text() == button) {
                candidate->click();
                return question;
            }
        }
        return {};
    }

    QTemporaryDir folder;
    ConnectionParametersPtr parameters;
    std::unique_ptr<QuitRecordingController> controller;
};

TEST_F(DocumentRecoveryTest, TypedWorkComesBackInItsOwnConnectedTabAfterACrash)
{
    for (const bool saved : {true, false}) {
        SCOPED_TRACE(saved ? "a saved document" : "untitled work");
        const QString path = writeDocument("demo.sql", "select 1;\n");
        const QByteArray onDisk = contents(path);
        if (saved) {
            start({path});
        } else {
            start();
            openUntitled();
        }
        ASSERT_EQ(controller->documents().size(), 1);
        VornDocument *before = document(0);
        ASSERT_WAIT_FOR_MS(before->connected(), 60000);
        const QString typed = before->sqlContents() + "select 2 as typed;";
        ASSERT_NO_FATAL_FAILURE(typeAtEnd(before, "select 2 as typed;"));
        ASSERT_EQ(before->sqlContents(), typed);
        // Copied a moment after the last key; the layout learns of the copy without another change.
        ASSERT_WAIT_FOR(!before->autosavedContentsFilePath().isEmpty());
        const QString copy = before->autosavedContentsFilePath();
        ASSERT_WAIT_FOR(restorationNamesCopy(copy));
        for (const QString &file : {copy, AppFolders::restorationFile()})
            EXPECT_EQ(QFile::permissions(file), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ReadUser | QFileDevice::WriteUser)
                << file.toStdString();

        crash();
        start();
        ASSERT_EQ(controller->documents().size(), 1) << "one tab, no window of recovered work";
        ASSERT_EQ(TabbedWindowController::allWindowControllers().size(), 1);
        VornDocument *after = document(0);
        EXPECT_EQ(after->sqlContents(), typed);
        EXPECT_EQ(after->filePath(), saved ? path : QString());
        EXPECT_EQ(after->autosavedContentsFilePath(), copy);
        EXPECT_TRUE(after->hasDirtyDocument());
        ASSERT_WAIT_FOR_MS(after->connected(), 60000);
        EXPECT_EQ(after->connectionParameters()->database(), parameters->database());
        // Recovery wrote nothing before the document had its connection: the copy still holds it.
        EXPECT_TRUE(contents(copy).contains("\"databaseType\":\"SQLite\"")) << contents(copy).toStdString();
        EXPECT_EQ(contents(path), onDisk) << "the file waits for the user to save";
        crash();
        QFile::remove(AppFolders::restorationFile());
        QDir(AppFolders::autosave()).removeRecursively();
    }
}

TEST_F(DocumentRecoveryTest, RevertedEditsDoNotComeBackAfterACrash)
{
    const QString path = writeDocument("reverted.sql", "select 1;\n");
    start({path});
    ASSERT_EQ(controller->documents().size(), 1);
    VornDocument *before = document(0);
    ASSERT_WAIT_FOR_MS(before->connected(), 60000);
    const QString saved = before->sqlContents();
    ASSERT_NO_FATAL_FAILURE(typeAtEnd(before, "drop table everything;"));
    ASSERT_WAIT_FOR(!before->autosavedContentsFilePath().isEmpty());
    const QString copy = before->autosavedContentsFilePath();
    ASSERT_WAIT_FOR(restorationNamesCopy(copy));

    before->revertDocumentToSaved(nullptr);
    EXPECT_TRUE(answer("Revert").contains("revert"));
    ASSERT_WAIT_FOR(!before->hasDirtyDocument());
    EXPECT_EQ(before->sqlContents(), saved);
    EXPECT_FALSE(QFile::exists(copy)) << "the reverted edits are not kept for recovery";
    EXPECT_TRUE(before->autosavedContentsFilePath().isEmpty());
    ASSERT_WAIT_FOR(!restorationNamesCopy(copy));

    crash();
    start();
    ASSERT_EQ(controller->documents().size(), 1);
    VornDocument *after = document(0);
    EXPECT_EQ(after->filePath(), path);
    EXPECT_EQ(after->sqlContents(), saved);
    EXPECT_FALSE(after->hasDirtyDocument());
}

TEST_F(DocumentRecoveryTest, ClosingTheLastTabLeavesNothingForTheNextStart)
{
    start({writeDocument("closed.sql", "select 1;\n")});
    ASSERT_EQ(controller->documents().size(), 1);
    VornDocument *open = document(0);
    ASSERT_WAIT_FOR_MS(open->connected(), 60000);
    ASSERT_WAIT_FOR(restoredDocuments().size() == 1);
    open->vornWindowController()->performCloseTab();
    ASSERT_WAIT_FOR(controller->documents().isEmpty());

    crash(); // the program ends as its last window closes, before any delayed write
    start();
    EXPECT_TRUE(controller->documents().isEmpty()) << "a closed document is neither reopened nor reconnected";
    EXPECT_TRUE(controller->welcomeScreenController()->isShowingList());
}

TEST_F(DocumentRecoveryTest, CancelledQuitKeepsEveryEditAndDontSaveDiscardsForGood)
{
    const QString path = writeDocument("kept.sql", "select 1;\n");
    const QByteArray onDisk = contents(path);
    start({path});
    VornDocument *untitled = openUntitled();
    ASSERT_EQ(controller->documents().size(), 2);
    const QList<VornDocument *> edited{untitled, document(0)};
    QStringList copies;
    for (VornDocument *each : edited) {
        ASSERT_WAIT_FOR_MS(each->connected(), 60000);
        ASSERT_NO_FATAL_FAILURE(typeAtEnd(each, "select 3;"));
        ASSERT_WAIT_FOR(!each->autosavedContentsFilePath().isEmpty());
        copies << each->autosavedContentsFilePath();
    }

    controller->terminate(nullptr);
    EXPECT_TRUE(answer("Don't Save").contains("save changes"));
    EXPECT_TRUE(answer("Cancel").contains("save changes"));
    QCoreApplication::processEvents();
    EXPECT_EQ(controller->quits, 0);
    for (VornDocument *each : edited)
        EXPECT_TRUE(each->hasDirtyDocument()) << "still edited, so the next quit asks again";
    for (const QString &copy : copies)
        EXPECT_TRUE(QFile::exists(copy)) << copy.toStdString();

    controller->terminate(nullptr);
    EXPECT_FALSE(answer("Don't Save").isEmpty());
    EXPECT_FALSE(answer("Don't Save").isEmpty()) << "both documents are asked again";
    ASSERT_WAIT_FOR_EQ(controller->quits, 1);
    EXPECT_TRUE(controller->documents().isEmpty()) << "what was not saved is closed";
    for (const QString &copy : copies)
        EXPECT_FALSE(QFile::exists(copy)) << copy.toStdString();
    EXPECT_TRUE(restoredDocuments().isEmpty());
    EXPECT_EQ(contents(path), onDisk);

    crash();
    start();
    EXPECT_TRUE(controller->documents().isEmpty()) << "discarded work does not come back";
}

} // namespace
