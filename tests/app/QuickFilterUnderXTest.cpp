// The quick-filter bar of the real program on a private X desktop, driven with real keys and a real
// pointer: a condition chosen and typed in the bar filters the grid, and a grid value dragged onto the
// bar becomes its condition. What the grid shows is read back by dragging all its names into the SQL
// editor, whose autosaved text then holds the condition the grid's drag wrote. A column header dragged
// out carries its whole column. Screens are saved in the build folder as "artifacts/quick-filter-*.png".
#include "ClubOnDesktopTest.h"
#include "WaitFor.h"
#include "XvfbDesktop.h"

#include <QDir>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace
{

// The grid's row-number column and the narrowest data column: the test table's values are short.
constexpr int rowNumberWidth = 43;
constexpr int columnWidth = 80;

bool isSelectionColour(QRgb pixel)
{
    return qBlue(pixel) > 150 && qRed(pixel) < 120 && qBlue(pixel) - qRed(pixel) > 80;
}

// The highlighted rows of the grid: the first band of highlighted lines in the area, from its left end
// to its right end; null when there is none.
QRect highlightIn(const QImage &screen, const QRect &area)
{
    const QRect inside = area.intersected(screen.rect());
    int top = -1;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        int left = -1;
        int right = -1;
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (isSelectionColour(screen.pixel(x, y))) {
                left = left < 0 ? x : left;
                right = x;
            }
        }
        const bool band = left >= 0 && right - left > 100;
        if (band && top < 0)
            top = y;
        if (!band && top >= 0) {
            if (y - top >= 8) {
                int left = inside.right();
                int right = inside.left();
                const int middle = (top + y) / 2;
                for (int x = inside.left(); x <= inside.right(); ++x) {
                    if (isSelectionColour(screen.pixel(x, middle))) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
                }
                return QRect(QPoint(left, top), QPoint(right, y - 1));
            }
            top = -1;
        }
    }
    return {};
}

class QuickFilterUnderXTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(desktop.error().isEmpty()) << desktop.error().toStdString();
        if (QStandardPaths::findExecutable("sqlite3").isEmpty())
            GTEST_SKIP() << "sqlite3 is needed to make the database";
        const QString made = home.make("club", "Club",
                                       "create table members (id integer primary key, name text, city text);"
                                       "insert into members values (1, 'Ann', 'Oslo'), (2, 'Bob', 'Rome'),"
                                       " (3, 'Cas', 'Oslo');",
                                       R"("browser_skip_favourite_keyboard_navigation": true)");
        ASSERT_TRUE(made.isEmpty()) << made.toStdString();
        screens = qEnvironmentVariable("VORN_BUILD_DIR") + "/artifacts";
        QDir().mkpath(screens);
    }

    // The grid's highlighted rows, once there are some, in the lower right part of the window.
    QRect gridHighlight(quint64 window) const
    {
        const QRect frame = desktop.windowGeometry(window);
        const QRect gridArea(frame.left() + 150, frame.top() + frame.height() / 3, frame.width() / 2,
                             frame.height() / 2);
        QRect found;
        VORN_WAIT_UNTIL(!(found = highlightIn(desktop.screenshot(), gridArea)).isNull(), 10000);
        return found;
    }

    // Selects every row of the grid and drags their names into the SQL editor.
    void dragAllNamesIntoTheEditor(quint64 window)
    {
        ASSERT_TRUE(desktop.key("ctrl+alt+l"));
        ASSERT_TRUE(desktop.key("ctrl+a"));
        const QRect rows = gridHighlight(window);
        ASSERT_FALSE(rows.isNull()) << "no selected rows in the grid";
        const QRect frame = desktop.windowGeometry(window);
        const QPoint name(rows.left() + rowNumberWidth + columnWidth + columnWidth / 2, rows.top() + 6);
        ASSERT_TRUE(
            desktop.drag(name, QPoint(frame.left() + frame.width() / 2, frame.top() + frame.height() / 4)));
    }

    XvfbDesktop desktop;
    ProgramHome home;
    QString screens;
};

TEST_F(QuickFilterUnderXTest, ATypedConditionAndADroppedValueFilterTheGrid)
{
    // The table, found with the browser's search field, fills the grid.
    const quint64 window = showClubMembers(desktop, home);
    ASSERT_NE(window, 0u) << "the members table was not shown";

    // Ctrl+Alt+F puts the keyboard in the bar's value field; the column and operator menus sit before it.
    // Choosing a column hands the keyboard back to the value field.
    ASSERT_TRUE(desktop.key("ctrl+alt+f"));
    ASSERT_TRUE(desktop.key("shift+Tab shift+Tab"));
    ASSERT_TRUE(desktop.type("c"));
    ASSERT_TRUE(desktop.key("shift+Tab alt+Down"));
    ASSERT_TRUE(desktop.type("Eq"));
    ASSERT_TRUE(desktop.key("Return"));
    ASSERT_TRUE(desktop.type("Oslo"));
    ASSERT_WAIT_FOR_MS(home.logsHold("Filtering resultset"), 30000);
    desktop.screenshot().save(screens + "/quick-filter-typed.png");
    dragAllNamesIntoTheEditor(window);
    ASSERT_WAIT_FOR_MS(home.autosaveHolds("IN ('Ann', 'Cas')"), 30000);
    EXPECT_FALSE(home.autosaveHolds("'Bob'")) << "Bob lives in Rome";

    // The value emptied: every row again. Bob's name dragged onto the bar fills its blank row.
    ASSERT_TRUE(desktop.key("ctrl+alt+f"));
    ASSERT_TRUE(desktop.key("ctrl+a BackSpace"));
    ASSERT_TRUE(desktop.key("ctrl+alt+l"));
    ASSERT_TRUE(desktop.key("Home"));
    const QRect first = gridHighlight(window);
    ASSERT_FALSE(first.isNull());
    ASSERT_TRUE(desktop.key("Down"));
    QRect second;
    VORN_WAIT_UNTIL((second = gridHighlight(window)).top() > first.top(), 10000);
    ASSERT_GT(second.top(), first.top()) << "three rows again";
    const int pitch = second.top() - first.top();
    const QPoint bob(second.left() + rowNumberWidth + columnWidth + columnWidth / 2, second.center().y());
    // Above the first row: the header, as high as a row, then the bar, 30 high.
    const QPoint bar(first.left() + 60, first.top() - pitch - 15);
    // Under load the program may take the drag up late; the next drag waits until this one filtered.
    const int filtered = home.logCount("Filtering resultset");
    ASSERT_TRUE(desktop.drag(bob, bar));
    ASSERT_WAIT_FOR_MS(home.logCount("Filtering resultset") > filtered, 30000);
    desktop.screenshot().save(screens + "/quick-filter-dropped.png");
    dragAllNamesIntoTheEditor(window);
    ASSERT_WAIT_FOR_MS(home.autosaveHolds("= 'Bob'"), 30000);
    desktop.screenshot().save(screens + "/quick-filter-read-back.png");

    // A header dragged out straight up takes its whole column along: Bob's city.
    const QRect frame = desktop.windowGeometry(window);
    const QPoint cityHeader(first.left() + rowNumberWidth + 2 * columnWidth + columnWidth / 2,
                            first.top() - pitch / 2);
    ASSERT_TRUE(desktop.drag(cityHeader, QPoint(cityHeader.x(), frame.top() + frame.height() / 4)));
    ASSERT_WAIT_FOR_MS(home.autosaveHolds("= 'Rome'"), 30000);
}

} // namespace
