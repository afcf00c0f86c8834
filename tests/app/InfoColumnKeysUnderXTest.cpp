// The info column of the real program on a private X desktop: with a table loaded, Ctrl+Alt+1, 2 and 3
// pressed on the real keyboard light the first, second and third section buttons in turn. The lit
// button is found on the screen by its green tint. The screen after each key is saved in the build
// folder as "artifacts/info-column-<n>.png". Held Ctrl then labels the buttons with their keys
// ("artifacts/info-column-labels.png").
#include "ClubOnDesktopTest.h"
#include "WaitFor.h"

#include <QDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace
{

using InfoColumnKeysUnderXTest = ClubOnDesktopTest;

// The middle x of the lit section button: the green of its tint, in the band of the column's buttons.
std::optional<int> litButtonIn(const QImage &screen, const QRect &band)
{
    qint64 sum = 0;
    int count = 0;
    const QRect inside = band.intersected(screen.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb pixel = screen.pixel(x, y);
            if (qGreen(pixel) - qRed(pixel) > 60 && qGreen(pixel) - qBlue(pixel) > 60) {
                sum += x;
                ++count;
            }
        }
    }
    return count >= 10 ? std::optional<int>(int(sum / count)) : std::nullopt;
}

// Pixels of shortcut labels in the area: the pale green of their bodies.
int labelPixelsIn(const QImage &screen, const QRect &area)
{
    int count = 0;
    const QRect inside = area.intersected(screen.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb pixel = screen.pixel(x, y);
            const int red = qRed(pixel), green = qGreen(pixel), blue = qBlue(pixel);
            count += green >= 235 && red >= 195 && blue >= 195 && green - red >= 12 && green - blue >= 12;
        }
    }
    return count;
}

TEST_F(InfoColumnKeysUnderXTest, CtrlAltNumbersSwitchTheSections)
{
    // The table, found with the browser's search field, fills the grid.
    const quint64 window = showClubMembers(desktop, home);
    ASSERT_NE(window, 0u) << "the members table was not shown";

    // The buttons lie along the top of the info column, at the window's right.
    const QRect frame = desktop.windowGeometry(window);
    const QRect band(frame.right() - 260, frame.top() + 60, 260, 120);
    const QString screens = qEnvironmentVariable("VORN_BUILD_DIR") + "/artifacts";
    QDir().mkpath(screens);
    // The column settles its layout after the table loads: the lit button counts once it is read at
    // the same place on several screens in a row.
    std::optional<int> general;
    int sameReadings = 0;
    auto settled = [&] {
        const std::optional<int> reading = litButtonIn(desktop.screenshot(), band);
        sameReadings = reading && reading == general ? sameReadings + 1 : 0;
        general = reading;
        return sameReadings >= 5;
    };
    VORN_WAIT_UNTIL(settled(), 30000);
    ASSERT_TRUE(general.has_value()) << "no lit section button";
    ASSERT_GE(sameReadings, 5) << "the lit section button kept moving";

    const int pitch = 28;
    for (const int section : {2, 3, 1}) {
        SCOPED_TRACE(section);
        ASSERT_TRUE(desktop.key(QString("ctrl+alt+%1").arg(section)));
        const int expected = *general + (section - 1) * pitch;
        std::optional<int> lit;
        VORN_WAIT_UNTIL((lit = litButtonIn(desktop.screenshot(), band)) && std::abs(*lit - expected) <= 3,
                        10000);
        desktop.screenshot().save(screens + QString("/info-column-%1.png").arg(section));
        ASSERT_TRUE(lit.has_value());
        EXPECT_NEAR(*lit, expected, 3);
    }

    // Held Ctrl: labels show over the top of the column, where the buttons are.
    EXPECT_EQ(labelPixelsIn(desktop.screenshot(), band), 0);
    ASSERT_TRUE(desktop.xdotool({"keydown", "ctrl"}).has_value());
    VORN_WAIT_UNTIL(labelPixelsIn(desktop.screenshot(), band) > 400, 6000);
    const QImage labelled = desktop.screenshot();
    labelled.save(screens + "/info-column-labels.png");
    ASSERT_TRUE(desktop.xdotool({"keyup", "ctrl"}).has_value());
    EXPECT_GT(labelPixelsIn(labelled, band), 400);
}

} // namespace
