#include "TabsTestSupport.h"
#include "WaitFor.h"

#include "platform/UserDefaults.h"
#include "tabs/TabbedDocumentController.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace
{

// A document whose saved form is its text; its name and label come back through the restoration info.
class TextDocument : public TabbedDocument
{
public:
    QString name;
    QString text;
    TabbedWindowController *createTabbedWindowController() override
    {
        auto *made = new TestWindowController;
        made->realTabbar = true;
        return made;
    }
    void loadDocumentInWindowController(TabbedWindowController *) override {}
    TabbedDocumentState documentState() const override { return TabbedDocumentStateNone; }
    QString contextDisplayName() const override { return name; }
    QVariantMap restorableDocumentInfo() const override { return {{"name", name}, {"label", tabLabel()}}; }
    void restoreDocumentWithInfo(const std::optional<QVariantMap> &info) override
    {
        if (info) {
            name = info->value("name").toString();
            setTabLabel(info->value("label").toUInt());
        } else {
            name = "recovered";
        }
    }
    void documentRestorationComplete() override {}
    QByteArray dataOfType() const override { return text.toUtf8(); }
    bool readFromData(const QByteArray &data, QString *) override
    {
        text = QString::fromUtf8(data);
        return true;
    }
};

class TestDocumentController : public TabbedDocumentController
{
public:
    TabbedDocument *makeUntitledDocument(QString *) override { return new TextDocument; }
    TabbedWindowController *createEmptyWindowController() override
    {
        auto *made = new TestWindowController;
        made->realTabbar = true;
        return made;
    }
};

class TabbedDocumentControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(TabbedDocumentController::restorationFilePath());
        QDir(TabbedDocument::autosaveFolder()).removeRecursively();
        controller = std::make_unique<TestDocumentController>();
    }
    void TearDown() override { quit(); }

    // Ends the run as a crash or a quit does: windows go, documents are not closed.
    void quit()
    {
        for (TabbedWindowController *window : TabbedWindowController::allWindowControllers())
            delete window;
        controller.reset();
    }

    TextDocument *open(TabbedWindowController *window, const QString &name)
    {
        auto *document = static_cast<TextDocument *>(
            controller->openUntitledDocumentAndDisplay(true, window, false, true, {}, nullptr));
        document->name = name;
        return document;
    }

    static TestWindowController *windowOf(TabbedDocument *document)
    {
        return static_cast<TestWindowController *>(document->sharedWindowController());
    }

    static QStringList names(const TabbedWindowController *window)
    {
        QStringList result;
        for (const TabbedDocument *document : window->documents())
            result << document->contextDisplayName();
        return result;
    }

    // A saved document opened as a tab of the window.
    TextDocument *openFile(TabbedWindowController *window, const QString &path, const QString &name)
    {
        auto *document = static_cast<TextDocument *>(controller->makeDocumentForPath(path, path, nullptr));
        if (!document)
            return nullptr;
        controller->addDocument(document);
        document->makeWindowControllers(window, false);
        document->name = name;
        return document;
    }

    // The windows the restoration file lists; none while it is missing.
    static QVariantList restoredWindows()
    {
        QFile file(TabbedDocumentController::restorationFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll())
            .object()
            .toVariantMap()
            .value("tabbedWindowConfiguration")
            .toList();
    }

    static QStringList restoredAutosaves()
    {
        QStringList paths;
        for (const QVariant &window : restoredWindows()) {
            for (const QVariant &entry : window.toMap().value("documents").toList())
                paths << QUrl(entry.toMap().value("autosavedContentsFileURL").toString()).toLocalFile();
        }
        return paths;
    }

    // A plain file the program made in its autosave folder.
    static bool isOwnCopy(const QString &path)
    {
        const QFileInfo info(path);
        return info.isFile() && !info.isSymLink() &&
               info.absolutePath() == QFileInfo(TabbedDocument::autosaveFolder()).absoluteFilePath();
    }

    std::unique_ptr<TestDocumentController> controller;
};

} // namespace

TEST_F(TabbedDocumentControllerTest, TwoWindowsWithMovedTabsComeBackAfterARestart)
{
    TextDocument *a = open(nullptr, "A");
    TestWindowController *first = windowOf(a);
    open(first, "B");
    open(first, "C");
    TextDocument *d = open(nullptr, "D");
    TestWindowController *second = windowOf(d);
    open(second, "E");
    first->window()->setGeometry(50, 60, 700, 400);
    second->window()->setGeometry(300, 200, 640, 380);

    first->activateTab(1);
    first->field->setText("B's query");
    first->moveDocumentToController(1, second, 1); // B moves to the other window with its state
    EXPECT_EQ(names(second), (QStringList{"D", "B", "E"}));
    first->activateTab(1);
    first->field->setText("C's query");
    static_cast<TextDocument *>(first->documents().at(1))->setTabLabel(3);
    second->activateTab(2);
    second->field->setText("E's query");
    second->activateTab(1);
    EXPECT_EQ(second->field->text(), "B's query");
    ASSERT_TRUE(controller->writeRestorationFile());

    QFile file(TabbedDocumentController::restorationFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QVariantList windows = QJsonDocument::fromJson(file.readAll())
                                     .object()
                                     .toVariantMap()
                                     .value("tabbedWindowConfiguration")
                                     .toList();
    ASSERT_EQ(windows.size(), 2);
    const QVariantMap saved = windows.at(1).toMap().value("documents").toList().at(1).toMap();
    EXPECT_EQ(saved.value("windowState_version").toInt(), 5);
    EXPECT_TRUE(saved.contains("autosavedContentsFileURL") == false); // nothing was edited

    quit();
    controller = std::make_unique<TestDocumentController>();
    ASSERT_TRUE(controller->readRestorationFile());
    controller->restoreDocuments();
    const QList<TabbedWindowController *> restored = TabbedWindowController::allWindowControllers();
    ASSERT_EQ(restored.size(), 2);
    QStringList layouts;
    for (TabbedWindowController *window : restored)
        layouts << names(window).join(",");
    EXPECT_EQ(layouts.size(), 2);
    EXPECT_TRUE(layouts.contains("A,C"));
    EXPECT_TRUE(layouts.contains("D,B,E"));
    for (TabbedWindowController *window : restored) {
        auto *test = static_cast<TestWindowController *>(window);
        if (names(window).join(",") == "A,C") {
            EXPECT_EQ(window->activeTab(), 1);
            EXPECT_EQ(test->field->text(), "C's query");
            EXPECT_EQ(window->documents().at(1)->tabLabel(), 3u);
            EXPECT_EQ(window->window()->geometry(), QRect(50, 60, 700, 400));
        } else {
            EXPECT_EQ(window->activeTab(), 1);
            EXPECT_EQ(test->field->text(), "B's query");
            window->activateTab(2);
            EXPECT_EQ(test->field->text(), "E's query");
            EXPECT_EQ(window->window()->geometry(), QRect(300, 200, 640, 380));
        }
    }
    EXPECT_EQ(controller->documents().size(), 5);
}

TEST_F(TabbedDocumentControllerTest, OldStatesAreDroppedAndTheActiveTabIsClamped)
{
    const QByteArray state = TabbedWindowController::archiveInterfaceState({{"field", "kept?"}});
    auto tab = [&](const QString &name, int version) {
        QVariantMap entry{{"tabLabel", 0},
                          {"restorableDocumentInfo", QVariantMap{{"name", name}}},
                          {"windowState", QString::fromLatin1(state.toBase64())}};
        if (version)
            entry.insert("windowState_version", version);
        return entry;
    };
    const QVariantMap window{{"documents", QVariantList{tab("old", 4), tab("none", 0)}},
                             {"activeTab", 7},
                             {"isFullScreen", false},
                             {"windowRect", "{{10, 20}, {500, 300}}"}};
    QDir().mkpath(QFileInfo(TabbedDocumentController::restorationFilePath()).absolutePath());
    QFile file(TabbedDocumentController::restorationFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument::fromVariant(QVariantMap{{"tabbedWindowConfiguration", QVariantList{window}}})
                   .toJson());
    file.close();

    ASSERT_TRUE(controller->readRestorationFile());
    controller->restoreDocuments();
    ASSERT_EQ(TabbedWindowController::allWindowControllers().size(), 1);
    auto *restored =
        static_cast<TestWindowController *>(TabbedWindowController::allWindowControllers().first());
    EXPECT_EQ(names(restored), (QStringList{"old", "none"}));
    EXPECT_EQ(restored->activeTab(), 1); // 7 is past the tabs: the last one
    EXPECT_EQ(restored->field->text(), "");
    EXPECT_EQ(restored->window()->geometry(), QRect(10, 20, 500, 300));
    EXPECT_EQ(TabbedDocumentController::rectFromString("{{-5, 7.5}, {100, 50}}"), QRect(-5, 7, 100, 50));
}

TEST_F(TabbedDocumentControllerTest, UntitledWorkIsRecoveredAfterACrashAndGoneOnceFinished)
{
    TextDocument *draft = open(nullptr, "draft");
    draft->text = "select * from emp";
    draft->setDocumentEdited(true);
    WAIT_FOR(!draft->autosavedContentsFilePath().isEmpty()); // 2 s after the change
    const QString temporary = draft->autosavedContentsFilePath();
    EXPECT_TRUE(QFileInfo(temporary).fileName().startsWith("Vorn Temp "));
    EXPECT_TRUE(temporary.endsWith(".sql"));
    EXPECT_TRUE(temporary.startsWith(TabbedDocument::autosaveFolder()));

    TextDocument *finished = open(nullptr, "finished");
    finished->text = "select 1";
    finished->setDocumentEdited(true);
    ASSERT_TRUE(finished->autosave());
    const QString finishedTemporary = finished->autosavedContentsFilePath();
    const QString saved = QDir(QDir::tempPath()).filePath("tabs-finished.sql");
    ASSERT_TRUE(finished->saveToFile(saved, nullptr));
    EXPECT_FALSE(QFile::exists(finishedTemporary));

    TextDocument *discarded = open(nullptr, "discarded");
    discarded->text = "delete from emp";
    discarded->setDocumentEdited(true);
    ASSERT_TRUE(discarded->autosave());
    const QString discardedTemporary = discarded->autosavedContentsFilePath();
    windowOf(discarded)->closeTab(windowOf(discarded)->activeTab());
    EXPECT_FALSE(QFile::exists(discardedTemporary));

    quit(); // a crash: nothing is closed, nothing was written for restoration
    QFile::remove(TabbedDocumentController::restorationFilePath());
    ASSERT_TRUE(QFile::exists(temporary));
    controller = std::make_unique<TestDocumentController>();
    EXPECT_FALSE(controller->readRestorationFile());
    controller->restoreDocuments();
    ASSERT_EQ(controller->documents().size(), 1);
    auto *recovered = static_cast<TextDocument *>(controller->documents().first());
    EXPECT_EQ(recovered->text, "select * from emp");
    EXPECT_TRUE(recovered->filePath().isEmpty());
    EXPECT_EQ(recovered->autosavedContentsFilePath(), temporary);
    EXPECT_TRUE(recovered->isDocumentEdited());
    QFile::remove(saved);
}

TEST_F(TabbedDocumentControllerTest, FilesOpenInTabsOrWindowsByPreference)
{
    const QString path = QDir(QDir::tempPath()).filePath("tabs-open.sql");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("select 2");
    file.close();
    TextDocument *first = open(nullptr, "first");
    TestWindowController *window = windowOf(first);
    window->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window->window()));

    UserDefaults::standard().setObject(true, "openDocumentInTab");
    TabbedDocument *opened = nullptr;
    bool already = true;
    controller->openDocumentWithContentsOfURL(
        path, true, [&](TabbedDocument *document, bool alreadyOpen, const QString &) {
            opened = document;
            already = alreadyOpen;
        });
    ASSERT_NE(opened, nullptr);
    EXPECT_FALSE(already);
    EXPECT_EQ(opened->sharedWindowController(), window);
    EXPECT_EQ(static_cast<TextDocument *>(opened)->text, "select 2");
    controller->openDocumentWithContentsOfURL(
        path, true, [&](TabbedDocument *document, bool alreadyOpen, const QString &) {
            EXPECT_EQ(document, opened);
            already = alreadyOpen;
        });
    EXPECT_TRUE(already);

    window->closeTab(window->activeTab());
    UserDefaults::standard().setObject(false, "openDocumentInTab");
    controller->openDocumentWithContentsOfURL(
        path, true, [&](TabbedDocument *document, bool, const QString &) { opened = document; });
    ASSERT_NE(opened, nullptr);
    EXPECT_NE(opened->sharedWindowController(), window);
    QString error = "none";
    controller->openDocumentWithContentsOfURL("/nonexistent/file.sql", true,
                                              [&](TabbedDocument *document, bool, const QString &message) {
                                                  EXPECT_EQ(document, nullptr);
                                                  error = message;
                                              });
    EXPECT_FALSE(error.isEmpty());
    UserDefaults::standard().setObject(true, "openDocumentInTab");
    QFile::remove(path);
}

TEST_F(TabbedDocumentControllerTest, AFileOpenedWhileAnotherWindowIsInFrontComesToTheFront)
{
    const QString path = QDir(QDir::tempPath()).filePath("tabs-front.sql");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("select 3");
    file.close();
    TestWindowController *window = windowOf(open(nullptr, "first"));
    for (const bool inTab : {true, false}) {
        SCOPED_TRACE(inTab ? "in a tab" : "in a window");
        UserDefaults::standard().setObject(inTab, "openDocumentInTab");
        QWidget welcome; // a window of the program that has no tabs
        welcome.show();
        welcome.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&welcome));
        TabbedDocument *opened = nullptr;
        controller->openDocumentWithContentsOfURL(
            path, true, [&](TabbedDocument *document, bool, const QString &) { opened = document; });
        ASSERT_NE(opened, nullptr);
        ASSERT_NE(opened->windowController(), nullptr) << "the opened file is the active tab";
        EXPECT_EQ(opened->windowController() == window, inTab) << "the frontmost document window";
        EXPECT_TRUE(QTest::qWaitForWindowActive(opened->windowController()->window()));

        // Opening it again brings it to the front again.
        welcome.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&welcome));
        controller->openDocumentWithContentsOfURL(path, true, [](TabbedDocument *, bool, const QString &) {});
        EXPECT_TRUE(QTest::qWaitForWindowActive(opened->windowController()->window()));
        opened->windowController()->closeTab(opened->windowController()->activeTab());
    }
    UserDefaults::standard().setObject(true, "openDocumentInTab");
    QFile::remove(path);
}

TEST_F(TabbedDocumentControllerTest, WindowMenuListsWindowsAndTheirTabs)
{
    QMenu menu;
    menu.addAction("Minimize");
    menu.addSeparator();
    menu.addAction("Zoom");
    menu.addSeparator();
    menu.addAction("Bring All to Front");
    menu.addSeparator();
    menu.addAction("stale entry");
    controller->setWindowMenu(&menu);

    TextDocument *a = open(nullptr, "A");
    TestWindowController *pair = windowOf(a);
    TextDocument *b = open(pair, "B");
    b->setFilePath("/tmp/b.sql");
    open(nullptr, "solo");
    pair->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pair->window()));
    pair->activateDocument(a);
    controller->updateWindowMenu();

    QStringList titles;
    for (QAction *item : menu.actions())
        titles << (item->isSeparator() ? "-" : item->text());
    EXPECT_EQ(titles,
              (QStringList{"Minimize", "-", "Zoom", "-", "Bring All to Front", "-", "Window with 2 tabs",
                           "    A (Untitled)\tCtrl+1", "    B (b.sql)\tCtrl+2", "-", "solo (Untitled)"}));
    EXPECT_TRUE(menu.actions().at(7)->isChecked());
    menu.actions().at(8)->trigger();
    EXPECT_EQ(pair->activeDocument(), b);
}

TEST_F(TabbedDocumentControllerTest, NoNewTabWhileASheetIsShown)
{
    TextDocument *a = open(nullptr, "A");
    TestWindowController *window = windowOf(a);
    window->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window->window()));
    controller->newTab(nullptr);
    EXPECT_EQ(window->documents().size(), 2);
    QDialog sheet(window->window());
    sheet.setWindowModality(Qt::WindowModal);
    sheet.show();
    window->window()->activateWindow();
    WAIT_FOR((QApplication::activeWindow()) == (window->window()));
    EXPECT_FALSE(controller->canOpenNewTab());
    controller->newTab(nullptr);
    EXPECT_EQ(window->documents().size(), 2);
}

TEST_F(TabbedDocumentControllerTest, EditsOfFilesAndUntitledWorkComeBackInTheirOwnTabsAfterACrash)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("saved.sql");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("select 1");
    file.close();
    TextDocument *draft = open(nullptr, "draft");
    TestWindowController *window = windowOf(draft);
    TextDocument *saved = openFile(window, path, "saved");
    ASSERT_NE(saved, nullptr);
    ASSERT_WAIT_FOR(restoredWindows().size() == 1); // the tabs, before anything was typed

    draft->text = "select * from emp";
    draft->setDocumentEdited(true);
    saved->text = "select 2 -- edited";
    saved->setDocumentEdited(true);
    // Copied to the autosave folder a moment after the change; the layout follows without another
    // change of windows or tabs.
    ASSERT_WAIT_FOR(!draft->autosavedContentsFilePath().isEmpty() &&
                    !saved->autosavedContentsFilePath().isEmpty());
    const QStringList copies{draft->autosavedContentsFilePath(), saved->autosavedContentsFilePath()};
    ASSERT_WAIT_FOR(restoredAutosaves() == copies);
    for (const QString &copy : copies + QStringList{TabbedDocumentController::restorationFilePath()}) {
        EXPECT_EQ(QFile::permissions(copy), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadUser | QFileDevice::WriteUser)
            << "SQL text is the owner's alone: " << copy.toStdString();
    }
    EXPECT_EQ(QFileInfo(copies.at(1)).absolutePath(), TabbedDocument::autosaveFolder());

    quit(); // a crash: nothing is closed
    controller = std::make_unique<TestDocumentController>();
    ASSERT_TRUE(controller->readRestorationFile());
    controller->restoreDocuments();
    ASSERT_EQ(TabbedWindowController::allWindowControllers().size(), 1) << "no window of recovered work";
    TabbedWindowController *restored = TabbedWindowController::allWindowControllers().first();
    ASSERT_EQ(names(restored), (QStringList{"draft", "saved"}));
    auto *draftAgain = static_cast<TextDocument *>(restored->documents().at(0));
    auto *savedAgain = static_cast<TextDocument *>(restored->documents().at(1));
    EXPECT_EQ(draftAgain->text, "select * from emp");
    EXPECT_TRUE(draftAgain->filePath().isEmpty());
    EXPECT_EQ(savedAgain->text, "select 2 -- edited");
    EXPECT_EQ(savedAgain->filePath(), path);
    for (TabbedDocument *document : restored->documents()) {
        EXPECT_TRUE(document->isDocumentEdited());
        EXPECT_FALSE(document->hasUnautosavedChanges()) << "its copy holds what it shows";
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "select 1") << "the file waits for the user to save";
    file.close();

    // Saving puts the work in the file and its copy goes.
    ASSERT_TRUE(savedAgain->saveToFile(path, nullptr));
    EXPECT_FALSE(QFile::exists(copies.at(1)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "select 2 -- edited");
}

TEST_F(TabbedDocumentControllerTest, AFileWhoseCopyIsGoneComesBackFromTheFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("kept.sql");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("select 3");
    file.close();
    const QVariantMap entry{
        {"fileURL", QUrl::fromLocalFile(path).toString()},
        {"autosavedContentsFileURL", QUrl::fromLocalFile(folder.filePath("gone.sql")).toString()},
        {"restorableDocumentInfo", QVariantMap{{"name", "kept"}}}};
    QDir().mkpath(QFileInfo(TabbedDocumentController::restorationFilePath()).absolutePath());
    QFile restoration(TabbedDocumentController::restorationFilePath());
    ASSERT_TRUE(restoration.open(QIODevice::WriteOnly));
    restoration.write(QJsonDocument::fromVariant(
                          QVariantMap{{"tabbedWindowConfiguration",
                                       QVariantList{QVariantMap{{"documents", QVariantList{entry}}}}}})
                          .toJson());
    restoration.close();

    ASSERT_TRUE(controller->readRestorationFile());
    controller->restoreDocuments();
    ASSERT_EQ(controller->documents().size(), 1);
    auto *document = static_cast<TextDocument *>(controller->documents().first());
    EXPECT_EQ(document->filePath(), path);
    EXPECT_EQ(document->text, "select 3");
    EXPECT_EQ(document->name, "kept");
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(TabbedDocumentControllerTest, ClosingTheLastTabOrWindowWritesTheLayoutAtOnce)
{
    const QList<std::pair<const char *, std::function<void(TestWindowController *)>>> closings{
        {"last tab", [](TestWindowController *window) { window->closeTab(window->activeTab()); }},
        {"last window", [](TestWindowController *window) { window->window()->close(); }},
    };
    for (const auto &[what, close] : closings) {
        SCOPED_TRACE(what);
        TextDocument *document = open(nullptr, "closing");
        TestWindowController *window = windowOf(document);
        window->window()->show();
        ASSERT_TRUE(controller->writeRestorationFile());
        ASSERT_EQ(restoredWindows().size(), 1);

        close(window);
        ASSERT_TRUE(controller->documents().isEmpty());
        // The program may end right after: the file says so already.
        EXPECT_TRUE(restoredWindows().isEmpty());
        ASSERT_WAIT_FOR(TabbedWindowController::allWindowControllers().isEmpty());
    }
}

TEST_F(TabbedDocumentControllerTest, MovingOrResizingAWindowIsWrittenAMomentLater)
{
    TextDocument *document = open(nullptr, "framed");
    AdvancedWindow *window = windowOf(document)->window();
    window->show();
    const auto writtenFrame = [] {
        const QVariantList windows = restoredWindows();
        return windows.isEmpty() ? QString() : windows.first().toMap().value("windowRect").toString();
    };
    const QList<std::pair<const char *, std::function<void()>>> changes{
        {"placed", [&] { window->setGeometry(40, 50, 600, 400); }},
        {"moved", [&] { window->move(120, 90); }},
        {"resized", [&] { window->resize(700, 420); }},
    };
    for (const auto &[what, change] : changes) {
        SCOPED_TRACE(what);
        change();
        const QString frame = TabbedDocumentController::stringFromRect(window->geometry());
        ASSERT_WAIT_FOR_EQ(writtenFrame(), frame);
    }
}

TEST_F(TabbedDocumentControllerTest, ARestoredTemporaryFileOutsideTheAutosaveFolderIsNeverAdopted)
{
    QTemporaryDir home;
    const QString victim = home.filePath("precious.sql");
    const QString folder = TabbedDocument::autosaveFolder();
    QDir().mkpath(folder + "/sub");
    const QString link = folder + "/Vorn Temp 7.sql";
    const struct {
        const char *name;
        QString autosaved;
    } cases[] = {
        {"a file elsewhere", victim},
        {"a link in the folder pointing out", link},
        {"up and out of the folder", folder + "/../" + QFileInfo(folder).fileName() + "/../precious.sql"},
        {"into a subfolder and up out", folder + "/sub/../../precious.sql"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(victim);
        QFile::remove(folder + "/../precious.sql");
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("drop table users -- the user's own");
        file.close();
        QFile::copy(victim, folder + "/../precious.sql");
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(victim, link));
        const QVariantMap entry{{"autosavedContentsFileURL", QUrl::fromLocalFile(c.autosaved).toString()},
                                {"restorableDocumentInfo", QVariantMap{{"name", "restored"}}}};
        QDir().mkpath(QFileInfo(TabbedDocumentController::restorationFilePath()).absolutePath());
        QFile restoration(TabbedDocumentController::restorationFilePath());
        ASSERT_TRUE(restoration.open(QIODevice::WriteOnly));
        restoration.write(QJsonDocument::fromVariant(
                              QVariantMap{{"tabbedWindowConfiguration",
                                           QVariantList{QVariantMap{{"documents", QVariantList{entry}}}}}})
                              .toJson());
        restoration.close();

        ASSERT_TRUE(controller->readRestorationFile());
        controller->restoreDocuments();
        ASSERT_FALSE(controller->documents().isEmpty());
        for (TabbedDocument *document : controller->documents()) {
            EXPECT_TRUE(document->autosavedContentsFilePath().isEmpty())
                << document->autosavedContentsFilePath().toStdString();
            EXPECT_NE(static_cast<TextDocument *>(document)->text, "drop table users -- the user's own");
            // Typing, autosaving and closing unsaved touch only the program's own copy.
            static_cast<TextDocument *>(document)->text = "typed";
            document->setDocumentEdited(true);
            ASSERT_TRUE(document->autosave());
            EXPECT_TRUE(isOwnCopy(document->autosavedContentsFilePath()));
        }
        for (TabbedWindowController *window : TabbedWindowController::allWindowControllers()) {
            while (!window->documents().isEmpty())
                window->closeTab(0);
        }
        ASSERT_TRUE(controller->documents().isEmpty());
        ASSERT_WAIT_FOR(TabbedWindowController::allWindowControllers().isEmpty());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "drop table users -- the user's own");
        file.close();
        EXPECT_TRUE(QFile::exists(folder + "/../precious.sql"));
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << "the link is not the program's to remove either";
        quit();
        controller = std::make_unique<TestDocumentController>();
    }
    QFile::remove(folder + "/../precious.sql");
}
