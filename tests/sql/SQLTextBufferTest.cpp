#include "sql/SQLTextBuffer.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace
{

// Random edits of the buffer and of a plain string side by side; every way of reading the buffer
// must give what the string holds, with the gap wherever the edits left it.
TEST(SQLTextBuffer, RandomEditsReadAsAPlainString)
{
    QRandomGenerator random(7);
    SQLTextBuffer buffer;
    QString model = QStringLiteral("select a\nfrom t;\n");
    buffer.assign(model);
    for (int step = 0; step < 4000; ++step) {
        const qint64 location = random.bounded(int(model.size()) + 1);
        const qint64 length = random.bounded(int(std::min<qint64>(model.size() - location, 6)) + 1);
        // Now and then a piece longer than any gap so far, so that the gap has to grow.
        const QString inserted =
            random.bounded(50) == 0
                ? QString(5000, u'x')
                : QString(random.bounded(4), QChar(u'a' + step % 26)) + (random.bounded(3) == 0 ? "\n" : "");
        buffer.replace({location, length}, inserted);
        model.replace(location, length, inserted);
        ASSERT_EQ(buffer.length(), model.size()) << "step " << step;

        const qint64 at = random.bounded(int(model.size()) + 1);
        const qint64 span = random.bounded(int(model.size() - at) + 1);
        ASSERT_EQ(buffer.mid(at, span), model.mid(at, span)) << "step " << step;
        ASSERT_EQ(buffer.countNewlines({at, span}), QStringView(model).mid(at, span).count(u'\n'));
        if (at < model.size()) {
            ASSERT_EQ(buffer.at(at), model.at(at));
        }
        switch (random.bounded(8)) {
        case 0:
            ASSERT_EQ(buffer.string(), model) << "step " << step;
            break;
        case 1: {
            const char16_t *text = buffer.contiguousFrom(at);
            for (qint64 k = std::max<qint64>(0, at - 1); k < model.size(); ++k)
                ASSERT_EQ(text[k], model.at(k).unicode()) << "step " << step << " index " << k;
            break;
        }
        default:
            break;
        }
    }
    EXPECT_EQ(buffer.string(), model);
}

// A string the buffer shares is copied by the first edit, never changed under its other holder.
TEST(SQLTextBuffer, EditsNeverChangeASharedString)
{
    const QString original = QStringLiteral("select 1");
    SQLTextBuffer buffer;
    buffer.assign(original);
    buffer.replace({7, 1}, u"2");
    EXPECT_EQ(original, "select 1");
    const QString whole = buffer.string();
    buffer.replace({0, 0}, u"-- x\n");
    EXPECT_EQ(whole, "select 2");
    EXPECT_EQ(buffer.string(), "-- x\nselect 2");
}

} // namespace
