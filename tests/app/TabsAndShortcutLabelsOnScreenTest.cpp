// The real program on an X display with a window manager and no compositing manager, driven with
// real key and pointer events: the shortcut labels while Ctrl is held, and a tab torn off its window
// by a drag that leaves the bar at once.
#include "WaitFor.h"
#include "XvfbDesktop.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace
{

constexpr int startTimeoutMs = 90000;
// The labels show 1.5 s after Ctrl went down.
constexpr int labelTimeoutMs = 6000;

// A pixel of a shortcut label: the pale green of its body.
bool isLabel(QRgb pixel)
{
    const int red = qRed(pixel), green = qGreen(pixel), blue = qBlue(pixel);
    return green >= 235 && red >= 195 && blue >= 195 && green - red >= 12 && green - blue >= 12;
}

int countPixels(const QImage &image, const QRect &area, bool (*test)(QRgb))
{
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += test(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

bool isBlack(QRgb pixel)
{
    return qRed(pixel) < 16 && qGreen(pixel) < 16 && qBlue(pixel) < 16;
}

// The top of the tab bar in a column: a band 22 rows high of one colour between two border lines of
// another, as the bar draws itself where no tab covers it.
std::optional<int> barTopInColumn(const QImage &image, int x, int from, int to)
{
    for (int y = from; y + 24 <= to; ++y) {
        const QRgb border = image.pixel(x, y);
        const QRgb fill = image.pixel(x, y + 1);
        if (fill == border || image.pixel(x, y + 23) != border || image.pixel(x, y + 24) == fill)
            continue;
        bool band = true;
        for (int row = y + 1; band && row <= y + 22; ++row)
            band = image.pixel(x, row) == fill;
        if (band)
            return y;
    }
    return std::nullopt;
}

class TabsAndShortcutLabelsOnScreenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(desktop.error().isEmpty()) << desktop.error().toStdString();
        ASSERT_TRUE(home.isValid());
        // One window with two documents, the second one active: as the previous run left it.
        for (const char *name : {"a.sql", "b.sql"}) {
            QFile file(home.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("select 1;\n");
        }
        const QString support = home.filePath(".local/share/Vorn");
        ASSERT_TRUE(QDir().mkpath(support));
        QFile restoration(support + "/WindowRestoration.json");
        ASSERT_TRUE(restoration.open(QIODevice::WriteOnly));
        restoration.write(QString(R"({"tabbedWindowConfiguration": [{"activeTab": 1, "isFullScreen": false,
            "windowRect": "{{100, 100}, {1000, 600}}",
            "documents": [{"fileURL": "file://%1"}, {"fileURL": "file://%2"}]}]})")
                              .arg(home.filePath("a.sql"), home.filePath("b.sql"))
                              .toUtf8());
        restoration.close();
        // No release notes: a window of their own would take the keyboard at a moment of its choosing.
        ASSERT_TRUE(QDir().mkpath(home.filePath(".config/Vorn")));
        QFile preferences(home.filePath(".config/Vorn/Vorn.json"));
        ASSERT_TRUE(preferences.open(QIODevice::WriteOnly));
        preferences.write(R"({"last_auto_releasenotes": 999999})");
        preferences.close();
        vorn = desktop.startVorn(home.path());
        QList<quint64> restored;
        VORN_WAIT_UNTIL((restored = windowsNamed({"(b.sql)"})).size() == 1, startTimeoutMs);
        ASSERT_EQ(restored.size(), 1) << "windows: " << windowTitles().toStdString();
        restoredWindow = restored.at(0);
    }

    QList<quint64> windowsNamed(const QStringList &parts) const
    {
        QList<quint64> found;
        for (quint64 window : desktop.visibleWindowsOf(vorn->processId())) {
            const QString name = desktop.windowName(window);
            for (const QString &part : parts) {
                if (name.contains(part))
                    found << window;
            }
        }
        return found;
    }

    // The titles of the program's visible windows, for a failure's message.
    QString windowTitles() const
    {
        QStringList titles;
        for (quint64 window : desktop.visibleWindowsOf(vorn->processId()))
            titles << '"' + desktop.windowName(window) + '"';
        return titles.join(", ");
    }

    void focus(quint64 window) { ASSERT_TRUE(desktop.focus(window)); }

    int labelPixels() const { return countPixels(desktop.screenshot(), QRect(0, 0, 1400, 900), isLabel); }

    bool xdotool(const QStringList &arguments) const { return desktop.xdotool(arguments).has_value(); }

    XvfbDesktop desktop;
    QTemporaryDir home;
    QProcess *vorn = nullptr;
    quint64 restoredWindow = 0;
};

} // namespace

TEST_F(TabsAndShortcutLabelsOnScreenTest, LabelsWhileCtrlIsHeldAndAFastDragTearsATabOff)
{
    const quint64 window = restoredWindow;
    focus(window);
    const QRect frame = desktop.windowGeometry(window);
    const QImage before = desktop.screenshot();
    ASSERT_FALSE(before.isNull());
    EXPECT_EQ(countPixels(before, frame, isLabel), 0);
    const int blackBefore = countPixels(before, frame, isBlack);

    // Held Ctrl: the labels show over the window, which keeps its look (nothing paints it black).
    ASSERT_TRUE(xdotool({"keydown", "ctrl"}));
    ASSERT_WAIT_FOR_MS(labelPixels() > 200, labelTimeoutMs);
    const QImage labelled = desktop.screenshot();
    labelled.save(QDir::tempPath() + "/vorn-shortcut-labels.png");
    EXPECT_LT(countPixels(labelled, frame, isBlack), blackBefore + frame.width() * frame.height() / 100);
    ASSERT_TRUE(xdotool({"keyup", "ctrl"}));
    ASSERT_WAIT_FOR_EQ(labelPixels(), 0);

    // A fast drag: pressed on the active tab, at once far below the bar, released.
    const int column = frame.right() - 10;
    const std::optional<int> barTop = barTopInColumn(before, column, frame.top(), frame.top() + 200);
    ASSERT_TRUE(barTop.has_value());
    EXPECT_EQ(barTopInColumn(before, column - 60, frame.top(), frame.top() + 200), barTop);
    const QPoint onActiveTab(frame.left() + 384 + 150, *barTop + 12);
    ASSERT_TRUE(
        xdotool({"mousemove", "--sync", QString::number(onActiveTab.x()), QString::number(onActiveTab.y())}));
    ASSERT_TRUE(xdotool({"mousedown", "1", "mousemove", QString::number(onActiveTab.x()),
                         QString::number(onActiveTab.y() + 300), "mouseup", "1"}));
    QList<quint64> withA, withB;
    ASSERT_WAIT_FOR((withA = windowsNamed({"(a.sql)"})).size() == 1 &&
                    (withB = windowsNamed({"(b.sql)"})).size() == 1);
    const quint64 left = withA.at(0);
    const quint64 tornOff = withB.at(0);
    EXPECT_NE(left, tornOff);

    // Ctrl goes down for the program but not for the keyboard (a key event sent to the other window,
    // as a release that went astray leaves it): no labels.
    focus(left);
    ASSERT_TRUE(xdotool({"keydown", "--window", QString::number(tornOff), "ctrl"}));
    VORN_WAIT_UNTIL(labelPixels() > 0, labelTimeoutMs);
    EXPECT_EQ(labelPixels(), 0);
    ASSERT_TRUE(xdotool({"keyup", "--window", QString::number(tornOff), "ctrl"}));

    // Ctrl+T, Ctrl held on: the new tab's connection sheet opens and no labels cover it.
    focus(left);
    ASSERT_TRUE(xdotool({"keydown", "ctrl", "key", "t"}));
    ASSERT_WAIT_FOR(windowsNamed({"Connect"}).size() == 1);
    VORN_WAIT_UNTIL(labelPixels() > 0, labelTimeoutMs);
    EXPECT_EQ(labelPixels(), 0);
    ASSERT_TRUE(xdotool({"keyup", "ctrl"}));
}
