// Save, Save As and Revert to Saved of a document in its window, with real files: the panels, the
// edited mark in the tab and the title, the recent documents and a save that cannot be written.
#include "BackendTestSupport.h"
#include "DocumentTestSupport.h"
#include "DocumentWindowFixture.h"
#include "WaitFor.h"
#include "document/DocumentHelper.h"
#include "document/DocumentSaving.h"
#include "document/VornDocument.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "kit/CommandRouter.h"
#include "tabs/RecentDocuments.h"
#include "window/VornTabbedWindowController.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

class VornDocumentSavingTest : public ::testing::Test, protected DocumentWindowFixture
{
protected:
    void SetUp() override
    {
        startedDocumentBackend();
        ASSERT_TRUE(folder.isValid());
        ASSERT_NO_FATAL_FAILURE(openDocumentWindow());
        auto parameters = std::make_shared<ConnectionParameters>();
        parameters->setConnectionName("Shop");
        parameters->setDatabaseType("SQLite");
        parameters->setDatabase(folder.filePath("shop.db"));
        document->setConnectionParameters(parameters);
    }

    void TearDown() override { closeDocumentWindow(); }

    // Typed at the end of the text, as a user edits.
    void typeAtEnd(const QString &text)
    {
        editor->sqlTextView()->moveCursor(QTextCursor::End);
        editor->sqlTextView()->insertPlainText(text);
    }

    bool send(const char *command)
    {
        return CommandRouter::shared().sendAction(command, nullptr, nullptr, window->window());
    }

    // The SQL text of a saved file, behind its header.
    static QString savedText(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return "<unreadable>";
        QString text = QString::fromUtf8(file.readAll());
        ConnectionParametersPtr parameters;
        std::optional<QVariantMap> arguments, options;
        EXPECT_TRUE(DocumentHelper::obtainStoredSettingsFromSql(text, parameters, arguments, options));
        return text;
    }

    QFileDialog *panel() const
    {
        QFileDialog *shown = nullptr;
        VORN_WAIT_UNTIL((shown = document->saving().savePanel()) && shown->isVisible(), 5000);
        return shown;
    }

    QString windowTitle() const { return window->window()->windowTitle(); }

    QTemporaryDir folder;
};

TEST_F(VornDocumentSavingTest, UntitledSaveAsksForAFreeNameInTheDocumentsFolderThenSavesWithoutAsking)
{
    const QString documents = QDir::homePath() + "/Documents";
    QFile taken(documents + "/Shop.sql");
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    typeAtEnd("select 1;");
    EXPECT_TRUE(windowTitle().startsWith('*')) << windowTitle().toStdString();
    EXPECT_TRUE(window->titleForTab(0).startsWith('*'));

    ASSERT_TRUE(send("saveDocument:"));
    QFileDialog *asked = panel();
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->windowModality(), Qt::WindowModal) << "a sheet on the document's window";
    EXPECT_EQ(asked->directory().absolutePath(), documents);
    const QString suggested = documents + "/Shop 2.sql";
    EXPECT_EQ(asked->selectedFiles(), QStringList{suggested});
    QMetaObject::invokeMethod(asked, "accept");

    EXPECT_EQ(document->filePath(), suggested);
    EXPECT_EQ(savedText(suggested), "select 1;");
    EXPECT_FALSE(document->hasDirtyDocument());
    EXPECT_FALSE(windowTitle().startsWith('*')) << windowTitle().toStdString();
    EXPECT_FALSE(window->titleForTab(0).startsWith('*'));
    EXPECT_EQ(RecentDocuments().documents().value(0), suggested);

    typeAtEnd("\nselect 2;");
    ASSERT_TRUE(send("saveDocument:"));
    EXPECT_EQ(document->saving().savePanel(), nullptr) << "a document with a file saves without asking";
    EXPECT_EQ(savedText(suggested), "select 1;\nselect 2;");
    EXPECT_FALSE(document->hasDirtyDocument());
}

TEST_F(VornDocumentSavingTest, SaveAsStartsFromTheFileAndMovesTheDocumentToTheNewOne)
{
    const QString first = folder.filePath("first.sql");
    typeAtEnd("select 1;");
    ASSERT_TRUE(document->saveToFile(first, nullptr));
    typeAtEnd(" -- more");

    ASSERT_TRUE(send("saveDocumentAs:"));
    QFileDialog *asked = panel();
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->selectedFiles(), QStringList{first});
    const QString second = folder.filePath("second.sql");
    asked->selectFile(second);
    QMetaObject::invokeMethod(asked, "accept");
    EXPECT_EQ(document->filePath(), second);
    EXPECT_EQ(savedText(second), "select 1; -- more");
    EXPECT_EQ(savedText(first), "select 1;") << "the first file is left as it was";

    // A cancelled panel changes nothing.
    typeAtEnd(" -- again");
    ASSERT_TRUE(send("saveDocumentAs:"));
    ASSERT_NE((asked = panel()), nullptr);
    asked->reject();
    EXPECT_EQ(document->filePath(), second);
    EXPECT_TRUE(document->hasDirtyDocument());
}

TEST_F(VornDocumentSavingTest, ASaveThatCannotBeWrittenIsReportedAndTheDocumentStaysEdited)
{
    QDir(folder.path()).mkdir("locked");
    QFile::setPermissions(folder.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    QFile blocker(folder.filePath("plain"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QStringList targets{folder.filePath("plain/inside.sql")}; // a file where a folder should be
    if (!QFileInfo(folder.filePath("locked")).isWritable())   // root writes everywhere
        targets.prepend(folder.filePath("locked/inside.sql"));

    typeAtEnd("select 1;");
    for (const QString &target : targets) {
        SCOPED_TRACE(target.toStdString());
        ASSERT_TRUE(send("saveDocumentAs:"));
        QFileDialog *asked = panel();
        ASSERT_NE(asked, nullptr);
        asked->selectFile(target);
        QMetaObject::invokeMethod(asked, "accept");
        QMessageBox *alert = waitForMessageBox();
        ASSERT_NE(alert, nullptr) << "the failure is shown";
        EXPECT_EQ(alert->text(), "The document could not be saved.");
        EXPECT_TRUE(alert->informativeText().contains(QDir::toNativeSeparators(target)));
        alert->buttons().first()->click();
        WAIT_FOR(!alert->isVisible());
        EXPECT_FALSE(QFile::exists(target));
        EXPECT_TRUE(document->hasDirtyDocument());
        EXPECT_TRUE(document->filePath().isEmpty());
        EXPECT_TRUE(windowTitle().startsWith('*'));
        EXPECT_EQ(document->sqlContents(), "select 1;");
    }
    QFile::setPermissions(folder.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(VornDocumentSavingTest, RevertAsksAndReadsTheFileAgain)
{
    EXPECT_FALSE(document->validateAction("revertDocumentToSaved:")) << "nothing to revert to";
    const QString path = folder.filePath("saved.sql");
    typeAtEnd("select 1;");
    ASSERT_TRUE(document->saveToFile(path, nullptr));
    EXPECT_FALSE(document->validateAction("revertDocumentToSaved:")) << "nothing changed since";
    typeAtEnd(" -- edit");
    ASSERT_TRUE(document->validateAction("revertDocumentToSaved:"));

    for (const QString &answer : {QString("Cancel"), QString("Revert")}) {
        ASSERT_TRUE(send("revertDocumentToSaved:"));
        QString question;
        ASSERT_TRUE(answerMessageBox(answer, &question));
        EXPECT_TRUE(
            question.contains("revert to the most recently saved version of the document “saved.sql”"))
            << question.toStdString();
    }
    WAIT_FOR(!document->hasDirtyDocument());
    EXPECT_EQ(document->sqlContents(), "select 1;");
    EXPECT_FALSE(windowTitle().startsWith('*'));
    EXPECT_FALSE(document->validateAction("revertDocumentToSaved:"));
    EXPECT_FALSE(document->connecting()) << "reverting does not connect";
}

TEST_F(VornDocumentSavingTest, ADocumentSavedWithoutConnectionOpensAndRevertsWithoutOne)
{
    document->setConnectionParameters(nullptr);
    typeAtEnd("select 1;");
    const QString path = folder.filePath("loose.sql");
    ASSERT_TRUE(document->saveToFile(path, nullptr));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    ASSERT_TRUE(saved.contains("\"connection\":{}"));

    VornDocument opened;
    ASSERT_TRUE(opened.readFromData(saved, nullptr));
    EXPECT_FALSE(opened.initializationInfo().contains("connectionParameters"));
    EXPECT_TRUE(opened.revertToContentsOfURL(path, nullptr));
    EXPECT_EQ(opened.connectionParameters(), nullptr);
    EXPECT_EQ(opened.contextDisplayName(), "Not connected");
}

} // namespace
