// The schema browser of the real program on a private X desktop, driven with real keys and a real
// pointer drag: the search field and the arrow keys choose objects, and an object dragged into the
// SQL editor drops its name, or with Shift held its SELECT statement. What the program holds is read
// from the outside: the window's title, which names the loaded object, and the autosaved copy of the
// editor's text. The screen of the connected document with its browser is saved in the build folder
// as "artifacts/browser-pane.png", and after the drops as "artifacts/browser-pane-dropped.png".
#include "ProgramHome.h"
#include "WaitFor.h"
#include "XvfbDesktop.h"

#include <QDir>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <functional>

namespace
{

constexpr int startMs = 90000;

// The highlight of the selected row: the selection colour of the default style, a saturated blue.
bool isSelectionColour(QRgb pixel)
{
    return qBlue(pixel) > 150 && qRed(pixel) < 120 && qBlue(pixel) - qRed(pixel) > 80;
}

// The middle of the selected row in the area, found by its highlight (a band of lines, unlike a
// one-line focus frame); null when there is none.
QPoint selectedRowIn(const QImage &screen, const QRect &area)
{
    constexpr int minimumRowHeight = 8;
    int run = 0;
    const QRect inside = area.intersected(screen.rect());
    for (int y = inside.top(); y <= inside.bottom() + 1; ++y) {
        int highlighted = 0;
        for (int x = inside.left(); y <= inside.bottom() && x <= inside.right(); ++x)
            highlighted += isSelectionColour(screen.pixel(x, y)) ? 1 : 0;
        if (highlighted > inside.width() / 2) {
            ++run;
            continue;
        }
        if (run >= minimumRowHeight)
            return QPoint(inside.left() + 60, y - run / 2);
        run = 0;
    }
    return {};
}

class BrowserPaneUnderXTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(desktop.error().isEmpty()) << desktop.error().toStdString();
        if (QStandardPaths::findExecutable("sqlite3").isEmpty())
            GTEST_SKIP() << "sqlite3 is needed to make the database";
        const QString made = home.make("shop", "Shop",
                                       "create table customers (id integer, name text);"
                                       "create table orders (id integer, customer integer);"
                                       "create table products (id integer, title text);",
                                       R"("browser_skip_favourite_keyboard_navigation": true)");
        ASSERT_TRUE(made.isEmpty()) << made.toStdString();
    }

    // Drags from one screen point to another with real pointer events, with the keys held meanwhile.
    void drag(const QPoint &from, const QPoint &to, const QString &heldKey = {})
    {
        const auto at = [](const QPoint &point) {
            return QStringList{"mousemove", QString::number(point.x()), QString::number(point.y())};
        };
        ASSERT_TRUE(desktop.xdotool(at(from)).has_value());
        ASSERT_TRUE(desktop.xdotool({"mousedown", "1"}).has_value());
        for (int step = 1; step <= 10; ++step) {
            ASSERT_TRUE(desktop.xdotool(at(from + (to - from) * step / 10)).has_value());
            if (step == 5 && !heldKey.isEmpty()) {
                ASSERT_TRUE(desktop.xdotool({"keydown", heldKey}).has_value());
            }
            QTest::qWait(60);
        }
        QTest::qWait(200);
        ASSERT_TRUE(desktop.xdotool({"mouseup", "1"}).has_value());
        if (!heldKey.isEmpty()) {
            ASSERT_TRUE(desktop.xdotool({"keyup", heldKey}).has_value());
        }
    }

    // A drag given while the machine is loaded can be lost before the program takes it up; one more
    // try tells such a lost drag from a drop that carries the wrong text (which fails both times).
    void dragUntilDropped(const QPoint &from, const QPoint &to, const QString &heldKey,
                          const std::function<bool()> &dropped)
    {
        drag(from, to, heldKey);
        VORN_WAIT_UNTIL(dropped(), 20000);
        if (dropped())
            return;
        desktop.screenshot().save(qEnvironmentVariable("VORN_BUILD_DIR") +
                                  "/artifacts/browser-pane-lost-drag.png");
        drag(from, to, heldKey);
        ASSERT_WAIT_FOR_MS(dropped(), 20000);
    }

    XvfbDesktop desktop;
    ProgramHome home;
};

TEST_F(BrowserPaneUnderXTest, KeysWalkTheOutlineAndDraggedObjectsDropTheirText)
{
    desktop.startVorn(home.path(), {home.documentPath()});
    const quint64 window = desktop.waitForWindow("shop\\.sql", startMs);
    ASSERT_NE(window, 0u) << "no document window";
    ASSERT_WAIT_FOR_MS(home.logsHold("Connected with shop.db"), startMs);
    ASSERT_TRUE(desktop.focus(window));
    const QRect frame = desktop.windowGeometry(window);

    // Search, then the down arrow from the search field: the one object found is loaded.
    const auto search = [&](const QString &text) {
        ASSERT_TRUE(desktop.key("ctrl+alt+b"));
        ASSERT_TRUE(desktop.type(text));
        ASSERT_TRUE(desktop.key("Down"));
    };
    search("ord");
    ASSERT_WAIT_FOR_MS(desktop.windowName(window).startsWith("orders "), 30000);

    // The up arrow passes the folded recent items to the search field, which takes the next search.
    ASSERT_TRUE(desktop.key("Up"));
    ASSERT_TRUE(desktop.key("ctrl+a BackSpace"));
    ASSERT_TRUE(desktop.type("prod"));
    ASSERT_TRUE(desktop.key("Down"));
    ASSERT_WAIT_FOR_MS(desktop.windowName(window).startsWith("products "), 30000);

    // The selected row, found on the screen, dragged into the editor: its name, then with Shift its
    // SELECT statement.
    const QRect browserArea(frame.left(), frame.top() + 60, 180, frame.height() - 120);
    QPoint row;
    VORN_WAIT_UNTIL(!(row = selectedRowIn(desktop.screenshot(), browserArea)).isNull(), 10000);
    const QImage shown = desktop.screenshot();
    QDir().mkpath(qEnvironmentVariable("VORN_BUILD_DIR") + "/artifacts");
    shown.save(qEnvironmentVariable("VORN_BUILD_DIR") + "/artifacts/browser-pane.png");
    ASSERT_FALSE(row.isNull()) << "no selected row in the browser";
    const QPoint editor(frame.left() + frame.width() / 2, frame.top() + frame.height() / 4);
    ASSERT_NO_FATAL_FAILURE(
        dragUntilDropped(row, editor, {}, [&] { return home.autosaveHolds("products"); }));
    ASSERT_NO_FATAL_FAILURE(
        dragUntilDropped(row, editor, "shift", [&] { return home.autosaveHolds("SELECT\n\t*\nFROM\n\t"); }));
    desktop.screenshot().save(qEnvironmentVariable("VORN_BUILD_DIR") + "/artifacts/browser-pane-dropped.png");
}

} // namespace
