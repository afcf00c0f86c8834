// Saving, opening, reverting, restoring and duplicating connection documents, against SQLite files
// through the real backend.
#include "BackendTestSupport.h"
#include "DocumentTestSupport.h"
#include "WaitFor.h"
#include "bridge/ThreadController.h"
#include "connection/ClosingConnectionController.h"
#include "document/VornDocument.h"
#include "platform/UserDefaults.h"
#include "tabs/TabbedWindowController.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

class VornDocumentFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        startedDocumentBackend();
        ASSERT_TRUE(folder.isValid());
        target = sqliteTarget(folder, "shop.db");
    }

    ConnectionParametersPtr sqliteParameters() const
    {
        auto parameters = std::make_shared<ConnectionParameters>();
        parameters->setConnectionName("Shop");
        parameters->setDatabaseType("SQLite");
        parameters->setServer("");
        parameters->setPort("");
        parameters->setDatabase(target.database);
        parameters->setUserName("");
        parameters->setAutoCommit(1);
        return parameters;
    }

    QString write(const QByteArray &data, const QString &name = "script.sql") const
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        return path;
    }

    static void waitUntilConnectDone(VornDocument &document)
    {
        ASSERT_WAIT_FOR_MS(!document.connecting(), 30000);
        ASSERT_WAIT_FOR_EQ(document.threadController()->numberOfRegisteredThreads(true), 0);
    }

    QTemporaryDir folder;
    DatabaseTarget target;
};

TEST_F(VornDocumentFileTest, SavedDocumentOpensWithItsTextParametersAndConnection)
{
    const QString sql = QStringLiteral("\nSELECT * FROM t WHERE a = :a -- x--y#z\n");
    VornDocument saved;
    saved.setConnectionParameters(sqliteParameters());
    saved.setSqlContents(sql);
    saved.updateSqlParameterCache({{"a", "x--y#z"}});
    const QByteArray first = saved.dataOfType();
    ASSERT_TRUE(first.startsWith("/* Vorn Reconnect: server:"));
    const QVariantMap firstOptions = saved.documentOptions();
    const QString path = write(first);

    VornDocument opened;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString error;
    ASSERT_TRUE(opened.readFromData(file.readAll(), &error)) << error.toStdString();
    opened.setFilePath(path);
    EXPECT_EQ(opened.sqlContents(), sql) << "the text comes back unchanged, its leading empty line too";
    EXPECT_EQ(opened.sqlParameterCache().value("a"), "x--y#z");
    EXPECT_EQ(opened.documentOptions().value("created"), firstOptions.value("created"));
    EXPECT_EQ(opened.documentOptions().value("creator"), firstOptions.value("creator"));
    ASSERT_TRUE(opened.initializationInfo().contains("connectionParameters"));

    opened.showWindows();
    EXPECT_TRUE(opened.connecting()) << "an opened document reconnects";
    waitUntilConnectDone(opened);
    EXPECT_TRUE(opened.connected());
    EXPECT_EQ(opened.connectionParameters()->database(), target.database);
    EXPECT_EQ(opened.connectionParameters()->connectionName(), "Shop");
    EXPECT_FALSE(opened.hasDirtyDocument()) << "the text is the file's own";

    // Opening the file again only brings the tab forward: the text typed meanwhile stays.
    opened.setSqlContents("edited");
    opened.showWindows();
    EXPECT_EQ(opened.sqlContents(), "edited");
    EXPECT_FALSE(opened.connecting());

    const qint64 firstSave = QDateTime::currentMSecsSinceEpoch();
    ASSERT_WAIT_FOR(QDateTime::currentMSecsSinceEpoch() > firstSave + 1); // the next save is a later moment
    opened.dataOfType();
    EXPECT_EQ(opened.documentOptions().value("created"), firstOptions.value("created"));
    EXPECT_GT(opened.documentOptions().value("modified").toDouble(),
              firstOptions.value("modified").toDouble());
    opened.close();
}

TEST_F(VornDocumentFileTest, PlainSqlOpensAsTextWithoutConnecting)
{
    VornDocument document;
    QString error;
    ASSERT_TRUE(document.readFromData("SELECT 1;\n/* Vorn Reconnect: server: later */\n", &error));
    EXPECT_EQ(document.sqlContents(), QString());
    EXPECT_EQ(document.initializationInfo().value("sqlContent"),
              "SELECT 1;\n/* Vorn Reconnect: server: later */\n");
    EXPECT_FALSE(document.initializationInfo().contains("connectionParameters"));
    document.setPreventConnectionOnShowWindows(true);
    document.showWindows();
    EXPECT_FALSE(document.connecting());
    EXPECT_EQ(document.sqlContents(), "SELECT 1;\n/* Vorn Reconnect: server: later */\n");
}

TEST_F(VornDocumentFileTest, BytesThatAreNotUtf8AreRefusedWithAReason)
{
    VornDocument document;
    QString error;
    EXPECT_FALSE(document.readFromData(QByteArray("SELECT '") + char(0xE9) + "t\xE9';\n", &error));
    EXPECT_TRUE(error.contains("UTF-8")) << error.toStdString();
    EXPECT_TRUE(document.initializationInfo().isEmpty());

    const QString path = write(QByteArray("\xFF\xFE") + "S\0E\0L\0", "utf16.sql");
    document.setSqlContents("kept");
    error.clear();
    EXPECT_FALSE(document.revertToContentsOfURL(path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(document.sqlContents(), "kept") << "a refused revert loses nothing";
}

TEST_F(VornDocumentFileTest, SavingKeepsTheFilesLineEndingsThroughAutosaveAndRecoveryToo)
{
    // The header Vorn puts in front of the text ends in the file's own line break.
    const auto body = [](const QByteArray &saved) {
        const qsizetype end = saved.indexOf("*/");
        return saved.mid(end + (saved.mid(end + 2, 2) == "\r\n" ? 4 : 3));
    };
    const auto lineBreaksAre = [](const QByteArray &saved, bool crlf) {
        for (qsizetype i = 0; i < saved.size(); ++i) {
            if (saved.at(i) == '\n' && (i > 0 && saved.at(i - 1) == '\r') != crlf)
                return false;
        }
        return true;
    };
    const struct {
        const char *name;
        QByteArray file;
        QByteArray saved; // the text behind the header
        bool crlf;
    } cases[] = {
        {"CRLF, a string literal over two lines", "SELECT 'a\r\nb'\r\nFROM t;\r\n",
         "SELECT 'a\r\nb'\r\nFROM t;\r\n", true},
        {"LF", "SELECT 'a\nb'\nFROM t;\n", "SELECT 'a\nb'\nFROM t;\n", false},
        {"no line break", "SELECT 1", "SELECT 1", false},
        {"mixed, the first line CRLF", "SELECT 1\r\nFROM t\nWHERE x", "SELECT 1\r\nFROM t\r\nWHERE x", true},
        {"mixed, the first line LF", "SELECT 1\nFROM t\r\nWHERE x", "SELECT 1\nFROM t\nWHERE x", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = write(c.file);
        VornDocument opened;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QString error;
        ASSERT_TRUE(opened.readFromData(file.readAll(), &error)) << error.toStdString();
        file.close();
        opened.setFilePath(path);
        opened.setPreventConnectionOnShowWindows(true);
        opened.showWindows();
        EXPECT_FALSE(opened.sqlContents().contains('\r')) << "the editor holds LF alone";

        ASSERT_TRUE(opened.saveToFile(path, &error)) << error.toStdString();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        file.close();
        EXPECT_EQ(body(saved), c.saved);
        EXPECT_TRUE(lineBreaksAre(saved, c.crlf)) << saved.toStdString();

        // Unsaved work is copied aside and comes back from the copy in the same style.
        opened.setSqlContents(opened.sqlContents() + "\n-- typed");
        opened.setDocumentEdited(true);
        ASSERT_TRUE(opened.autosave(&error)) << error.toStdString();
        QFile copy(opened.autosavedContentsFilePath());
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        VornDocument recovered;
        ASSERT_TRUE(recovered.readFromData(copy.readAll(), &error)) << error.toStdString();
        copy.close();
        recovered.setPreventConnectionOnShowWindows(true);
        recovered.showWindows();
        const QString again = folder.filePath("recovered.sql");
        ASSERT_TRUE(recovered.saveToFile(again, &error)) << error.toStdString();
        QFile recoveredFile(again);
        ASSERT_TRUE(recoveredFile.open(QIODevice::ReadOnly));
        const QByteArray savedAgain = recoveredFile.readAll();
        EXPECT_EQ(body(savedAgain), c.saved + (c.crlf ? "\r\n-- typed" : "\n-- typed"));
        EXPECT_TRUE(lineBreaksAre(savedAgain, c.crlf)) << savedAgain.toStdString();
        opened.close();
        recovered.close();
    }
}

TEST_F(VornDocumentFileTest, RevertReadsTheFileWithoutConnecting)
{
    VornDocument saved;
    saved.setConnectionParameters(sqliteParameters());
    saved.setSqlContents("SELECT 2;");
    const QString path = write(saved.dataOfType());

    VornDocument document;
    document.setSqlContents("edited");
    QString error;
    ASSERT_TRUE(document.revertToContentsOfURL(path, &error)) << error.toStdString();
    EXPECT_EQ(document.sqlContents(), "SELECT 2;");
    ASSERT_TRUE(document.connectionParameters());
    EXPECT_EQ(document.connectionParameters()->database(), target.database);
    EXPECT_FALSE(document.connecting());
}

TEST_F(VornDocumentFileTest, RestorationReconnectsOnlyWhatWasConnected)
{
    for (const bool wasConnected : {true, false}) {
        VornDocument before;
        before.setConnectionParameters(sqliteParameters());
        before.setSqlContents("SELECT 3;");
        before.setTabTitleFormat(VornDocument::ConnectionName);
        if (wasConnected) {
            before.goStartupConnection();
            waitUntilConnectDone(before);
            ASSERT_TRUE(before.connected());
        }
        // The tab framework keeps the dictionary as JSON between runs.
        const QVariantMap stored =
            QJsonDocument::fromJson(
                QJsonDocument(QJsonObject::fromVariantMap(before.restorableDocumentInfo())).toJson())
                .object()
                .toVariantMap();
        EXPECT_EQ(stored.contains("connected"), wasConnected);

        VornDocument after;
        after.restoreDocumentWithInfo(stored);
        EXPECT_TRUE(after.preventConnectionOnShowWindows());
        after.showWindows();
        EXPECT_EQ(after.connecting(), wasConnected);
        waitUntilConnectDone(after);
        EXPECT_EQ(after.connected(), wasConnected);
        EXPECT_EQ(after.sqlContents(), "SELECT 3;");
        EXPECT_EQ(after.tabTitleFormat(), VornDocument::ConnectionName);
        EXPECT_FALSE(after.hasDirtyDocument());
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        EXPECT_FALSE(after.closingConnectionController()->currentSheet())
            << "no connection choice is offered";
        before.close();
        after.close();
    }
}

TEST_F(VornDocumentFileTest, SaveFromTheClosingChecksAsksForAFileWhenUntitled)
{
    VornDocument document;
    document.setSqlContents("SELECT 5;");
    document.setDocumentEdited(true);
    std::optional<bool> saved;
    document.saveDocumentWithDelegate([&](bool ok) { saved = ok; });
    QFileDialog *panel = nullptr;
    ASSERT_WAIT_FOR((panel = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())));
    const QString path = folder.filePath("chosen.sql");
    panel->selectFile(path);
    QMetaObject::invokeMethod(panel, "accept");
    ASSERT_WAIT_FOR(saved.has_value());
    EXPECT_TRUE(*saved);
    EXPECT_EQ(document.filePath(), path);
    EXPECT_FALSE(document.hasDirtyDocument());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().endsWith("*/\nSELECT 5;"));

    // With a file the save goes there without asking; cancelling the chooser saves nothing.
    document.setSqlContents("SELECT 6;");
    saved.reset();
    document.saveDocumentWithDelegate([&](bool ok) { saved = ok; });
    EXPECT_EQ(saved, true);
    VornDocument untitled;
    saved.reset();
    untitled.saveDocumentWithDelegate([&](bool ok) { saved = ok; });
    ASSERT_WAIT_FOR((panel = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())));
    panel->reject();
    ASSERT_WAIT_FOR(saved.has_value());
    EXPECT_FALSE(*saved);
}

TEST_F(VornDocumentFileTest, DuplicationCarriesTheConnectionAndOptionallyTheText)
{
    VornDocument empty;
    EXPECT_TRUE(empty.initializationInfoForTabDuplication().isEmpty());

    VornDocument document;
    document.setConnectionParameters(sqliteParameters());
    document.setSqlContents("SELECT 4;");
    UserDefaults::standard().setObject(false, "tabDuplicateSQL");
    QVariantMap info = document.initializationInfoForTabDuplication();
    EXPECT_EQ(VornDocument::connectionParametersFromInfo(info.value("connectionParameters")),
              document.connectionParameters());
    EXPECT_FALSE(info.contains("sqlContent"));
    UserDefaults::standard().setObject(true, "tabDuplicateSQL");
    info = document.initializationInfoForTabDuplication();
    EXPECT_EQ(info.value("sqlContent"), "SELECT 4;");

    VornDocument duplicate;
    duplicate.setInitializationInfo(info);
    duplicate.showWindows();
    waitUntilConnectDone(duplicate);
    EXPECT_TRUE(duplicate.connected());
    EXPECT_TRUE(duplicate.hasDirtyDocument()) << "copied text is unsaved work";
    duplicate.close();
}

} // namespace
