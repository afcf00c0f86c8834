// Moments written in the preference's date patterns, as the grid shows them.
#include "resultset/EditorDateText.h"

#include <gtest/gtest.h>

TEST(EditorDateTextTest, PatternsWriteAsTheGridShowsValues)
{
    struct Case {
        QString pattern;
        QTime time;
        QString text;
    };
    const QDate day(2026, 3, 5);
    const Case cases[] = {
        {"dd-MM-yyyy HH:mm:ss.S", QTime(13, 4, 5, 500), "05-03-2026 13:04:05.5"},
        {"dd-MM-yyyy HH:mm:ss.S", QTime(13, 4, 5, 123), "05-03-2026 13:04:05.123"},
        {"dd-MM-yyyy HH:mm:ss.S", QTime(13, 4, 5), "05-03-2026 13:04:05.0"},
        {"MM/dd/yyyy HH:mm:ss.SSS", QTime(1, 2, 3, 40), "03/05/2026 01:02:03.040"},
        {"yyyy-MM-dd'T'HH:mm", QTime(23, 59), "2026-03-05T23:59"},
        {"yy d M", QTime(0, 0), "26 5 3"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(EditorDateText::format(QDateTime(day, c.time), c.pattern), c.text)
            << c.pattern.toStdString();
}
