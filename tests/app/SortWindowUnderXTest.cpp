// The sort sheet of the real program on a private X desktop, driven with real input: a table opened from
// the schema browser, the sheet opened by its shortcut, a column added descending by keys, or dragged into
// the sort with the pointer and flipped by a double-click, and Set. The grid's new first row is shown by
// typing into it and reading the database file with another program. Screens are saved in the build
// folder under "artifacts/".
#include "ClubOnDesktopTest.h"
#include "WaitFor.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

constexpr int startMs = 90000;

class SortWindowUnderXTest : public ClubOnDesktopTest
{
protected:
    // The document logs, one after another.
    QString logs() const
    {
        QString text;
        QDirIterator files(home.filePath(".local/share/Vorn/Logs"), {"document-*.log"}, QDir::Files);
        while (files.hasNext()) {
            QFile file(files.next());
            if (file.open(QIODevice::ReadOnly))
                text += QString::fromUtf8(file.readAll());
        }
        return text;
    }

    // The text was logged after the last line holding the marker.
    bool loggedAfter(const QString &marker, const QString &text) const
    {
        const QString all = logs();
        const qsizetype at = all.lastIndexOf(marker);
        return at >= 0 && all.indexOf(text, at) > at;
    }

    // Drags from one screen point to another with real pointer events, in steps as a hand moves.
    void drag(const QPoint &from, const QPoint &to)
    {
        const auto at = [](const QPoint &point) {
            return QStringList{"mousemove", QString::number(point.x()), QString::number(point.y())};
        };
        ASSERT_TRUE(desktop.xdotool(at(from)).has_value());
        ASSERT_TRUE(desktop.xdotool({"mousedown", "1"}).has_value());
        for (int step = 1; step <= 10; ++step) {
            ASSERT_TRUE(desktop.xdotool(at(from + (to - from) * step / 10)).has_value());
            QTest::qWait(60);
        }
        QTest::qWait(200);
        ASSERT_TRUE(desktop.xdotool({"mouseup", "1"}).has_value());
    }

    // The document window with the members table in its grid.
    quint64 openMembers()
    {
        desktop.startVorn(home.path(), {home.documentPath()});
        const quint64 window = desktop.waitForWindow("club\\.sql", startMs);
        EXPECT_NE(window, 0u) << "no document window";
        VORN_WAIT_UNTIL(logs().contains("Connected with club.db"), startMs);
        if (!window || !desktop.focus(window))
            return 0;
        desktop.key("ctrl+alt+b");
        desktop.type("memb");
        desktop.key("Down");
        VORN_WAIT_UNTIL(loggedAfter("Loading resultset", "Successfully loaded resultset"), 30000);
        return loggedAfter("Loading resultset", "Successfully loaded resultset") ? window : 0;
    }

    // Types over the name in the grid's first row and answers the id of the row that changed.
    QString idOfTheFirstRow(quint64 window)
    {
        desktop.focus(window);
        desktop.key("ctrl+alt+l");
        desktop.key("Home Right Right F2");
        desktop.key("ctrl+a");
        desktop.type("Top");
        desktop.key("Return");
        VORN_WAIT_UNTIL(!home.sqlite("select id from members where name = 'Top'").isEmpty(), 30000);
        return home.sqlite("select id from members where name = 'Top'");
    }
};

TEST_F(SortWindowUnderXTest, TheShortcutsSheetSortsTheGridDescending)
{
    const quint64 window = openMembers();
    ASSERT_NE(window, 0u);
    // The sheet opens with the first available column (id) selected; Tab Tab reaches Add Descending.
    ASSERT_TRUE(desktop.key("ctrl+shift+s"));
    const quint64 sheet = desktop.waitForWindow("^Sort", 30000);
    ASSERT_NE(sheet, 0u) << "no sort sheet";
    ASSERT_TRUE(desktop.key("Tab Tab space"));
    const QString screens = qEnvironmentVariable("VORN_BUILD_DIR") + "/artifacts";
    QDir().mkpath(screens);
    desktop.screenshot().save(screens + "/sort-window.png");
    ASSERT_TRUE(desktop.key("Return"));
    VORN_WAIT_UNTIL(loggedAfter("Sorting resultset", "Resultset loaded successfully"), 30000);
    ASSERT_TRUE(loggedAfter("Sorting resultset", "Resultset loaded successfully")) << logs().toStdString();
    EXPECT_EQ(idOfTheFirstRow(window), "3") << "the highest id first";
    desktop.screenshot().save(screens + "/sort-window-grid.png");
}

TEST_F(SortWindowUnderXTest, AColumnDraggedIntoTheSortAndDoubleClickedSortsDescending)
{
    const quint64 window = openMembers();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(desktop.key("ctrl+shift+s"));
    const quint64 sheet = desktop.waitForWindow("^Sort", 30000);
    ASSERT_NE(sheet, 0u) << "no sort sheet";
    // The lists stand left and right in the sheet; their rows start under a header row.
    const QRect area = desktop.windowGeometry(sheet);
    const QPoint nameRow(area.left() + area.width() / 5, area.top() + 72);
    const QPoint currentList(area.left() + area.width() * 4 / 5, area.top() + 160);
    drag(nameRow, currentList);
    const QPoint firstEntry(area.left() + area.width() * 3 / 4, area.top() + 45);
    ASSERT_TRUE(desktop
                    .xdotool({"mousemove", QString::number(firstEntry.x()), QString::number(firstEntry.y()),
                              "click", "--repeat", "2", "1"})
                    .has_value());
    const QString screens = qEnvironmentVariable("VORN_BUILD_DIR") + "/artifacts";
    QDir().mkpath(screens);
    desktop.screenshot().save(screens + "/sort-window-dragged.png");
    ASSERT_TRUE(desktop.key("Return"));
    VORN_WAIT_UNTIL(loggedAfter("Sorting resultset", "Resultset loaded successfully"), 30000);
    ASSERT_TRUE(loggedAfter("Sorting resultset", "Resultset loaded successfully")) << logs().toStdString();
    EXPECT_EQ(idOfTheFirstRow(window), "3") << "names descending put Cas first";
}

} // namespace
