// The completion popup in the real program on a private X desktop, driven with real keys: typing opens
// it below the word, Return takes the suggestion, Escape leaves what was typed, and a key that matches
// nothing closes it and stays in the text. The editor's text is read from the saved document. The screen
// with the popup open is saved as "CompletionPopupUnderX.png" in the build's test folder for a look.
#include "ProgramHome.h"
#include "WaitFor.h"
#include "XvfbDesktop.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace
{

constexpr int startMs = 90000;

QString savedSql(const QString &path)
{
    QFile file(path);
    QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    ConnectionParametersPtr parameters;
    std::optional<QVariantMap> arguments, options;
    DocumentHelper::obtainStoredSettingsFromSql(text, parameters, arguments, options);
    return text;
}

class CompletionPopupUnderXTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(desktop.error().isEmpty()) << desktop.error().toStdString();
        const QString made = home.make("demo", "Demo", {}, R"("syntaxAutoComplete": true)");
        ASSERT_TRUE(made.isEmpty()) << made.toStdString();
    }

    QList<quint64> visibleWindows() const { return desktop.visibleWindowsOf(vorn->processId()); }
    bool popupShown() const { return visibleWindows().contains(popup); }

    // Types over the whole text and waits for the popup. The program first settles to its document
    // window alone (the welcome window goes in its own time); the popup is then its other window.
    void typeUntilPopup(const QString &text)
    {
        ASSERT_WAIT_FOR(visibleWindows() == QList<quint64>{documentWindow});
        ASSERT_TRUE(desktop.key("ctrl+a"));
        ASSERT_TRUE(desktop.type(text));
        auto otherWindow = [&] {
            for (quint64 window : visibleWindows()) {
                if (window != documentWindow)
                    return window;
            }
            return quint64(0);
        };
        ASSERT_WAIT_FOR(otherWindow() != 0);
        popup = otherWindow();
    }

    // Types over the whole text until the popup comes for it: names the program reads in the background
    // are offered from a later keystroke on, so each round asks again.
    void retypeUntilPopup(const QString &text)
    {
        ASSERT_WAIT_FOR(visibleWindows() == QList<quint64>{documentWindow});
        for (int round = 0; round < 20 && popup == 0; ++round) {
            ASSERT_TRUE(desktop.key("ctrl+a"));
            ASSERT_TRUE(desktop.type(text));
            VORN_WAIT_UNTIL(visibleWindows().size() > 1, 1500);
            for (quint64 window : visibleWindows()) {
                if (window != documentWindow)
                    popup = window;
            }
        }
        ASSERT_NE(popup, 0u) << "no popup for " << text.toStdString();
    }

    // Saves and waits for the saved text.
    void expectSaved(const QString &text)
    {
        ASSERT_TRUE(desktop.key("ctrl+s"));
        VORN_WAIT_UNTIL(savedSql(home.documentPath()) == text, 10000);
        EXPECT_EQ(savedSql(home.documentPath()), text);
    }

    XvfbDesktop desktop;
    ProgramHome home;
    QProcess *vorn = nullptr;
    quint64 documentWindow = 0;
    quint64 popup = 0;
};

TEST_F(CompletionPopupUnderXTest, KeysSteerThePopupInTheRunningProgram)
{
    vorn = desktop.startVorn(home.path(), {home.documentPath()});
    const quint64 window = desktop.waitForWindow("demo\\.sql", startMs);
    ASSERT_NE(window, 0u);
    documentWindow = window;
    ASSERT_TRUE(desktop.focus(window));

    typeUntilPopup("sel");
    desktop.screenshot().save(qEnvironmentVariable("VORN_BUILD_DIR") + "/tests/CompletionPopupUnderX.png");
    EXPECT_EQ(desktop.focusedWindow(), window) << "the popup leaves the keyboard to the editor";
    ASSERT_TRUE(desktop.key("Return"));
    ASSERT_WAIT_FOR(!popupShown());
    expectSaved("select");

    typeUntilPopup("upd");
    ASSERT_TRUE(desktop.key("Escape"));
    ASSERT_WAIT_FOR(!popupShown());
    expectSaved("upd");

    typeUntilPopup("ins");
    ASSERT_TRUE(desktop.type("q"));
    ASSERT_WAIT_FOR(!popupShown());
    expectSaved("insq");
}

// The tables of the connected database, then the columns of the table named, are offered and taken.
TEST_F(CompletionPopupUnderXTest, TableAndColumnNamesOfTheDatabaseAreOffered)
{
    ASSERT_FALSE(home.sqlite("create table customers (id integer, surname text);").isNull())
        << "sqlite3 could not make the database";
    vorn = desktop.startVorn(home.path(), {home.documentPath()});
    documentWindow = desktop.waitForWindow("demo\\.sql", startMs);
    ASSERT_NE(documentWindow, 0u);
    ASSERT_TRUE(desktop.focus(documentWindow));

    retypeUntilPopup("select * from cust");
    ASSERT_TRUE(desktop.key("Return"));
    ASSERT_WAIT_FOR(!popupShown());
    expectSaved("select * from customers");

    popup = 0;
    retypeUntilPopup("select * from customers where surn");
    ASSERT_TRUE(desktop.key("Return"));
    ASSERT_WAIT_FOR(!popupShown());
    expectSaved("select * from customers where surname");
}

} // namespace
