// Rows kept natively: portions in the backend's packed form, unpacked, found by row number, refused whole
// when they cannot be read, and read safely while more arrive and after their result set has gone.
#include "client/FetchedRows.h"

#include <gtest/gtest.h>

#include <functional>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

namespace
{
// Writes portions the way the backend packs them: the row count, then per cell a tag and, for cells with
// text, the length and the text; numbers seven bits to a character, lowest first, 0x80 marking more.
class Packer
{
public:
    Packer &text(const QString &value) { return withText(1, value); }
    Packer &lob(const QString &value) { return withText(2, value); }
    Packer &null() { return tag(0); }
    Packer &lobNull() { return tag(3); }
    Packer &binary() { return tag(4); }
    Packer &binaryNull() { return tag(5); }
    Packer &tag(char16_t tag)
    {
        cells_ += QChar(tag);
        return *this;
    }
    QString packed(int rows) const { return number(rows) + cells_; }

    static QString number(qint64 value)
    {
        QString text;
        for (; value >= 0x80; value >>= 7)
            text += QChar(char16_t(0x80 | (value & 0x7F)));
        return text + QChar(char16_t(value));
    }

private:
    Packer &withText(char16_t tag, const QString &value)
    {
        cells_ += QChar(tag) + number(value.size()) + value;
        return *this;
    }
    QString cells_;
};

struct Shown {
    VornCell::Kind kind;
    QString text;
};

Shown shown(const FetchedRows &rows, qint32 row, int column)
{
    const VornCell cell = rows.row(row)->cell(column);
    return {cell.kind, cell.string()};
}
} // namespace

TEST(FetchedRows, CellsKeepTheirKindTextAndNullApart)
{
    const QString longText(70000, u'x'); // a length of three characters
    FetchedRows rows({"a", "b", "c"});
    ASSERT_TRUE(
        rows.append(Packer().text("Zoë ☃ 𝄞").text("").null().lob(longText).lobNull().binary().packed(2)));
    ASSERT_TRUE(rows.append(Packer().binaryNull().lob("").text("café, last").packed(1)));
    ASSERT_EQ(rows.rowCount(), 3);

    using Kind = VornCell::Kind;
    const struct {
        qint32 row;
        int column;
        Kind kind;
        QString text;
    } cells[] = {
        {1, 0, Kind::Text, "Zoë ☃ 𝄞"},
        {1, 1, Kind::Text, ""},
        {1, 2, Kind::Null, QString()},
        {2, 0, Kind::CharacterLob, longText},
        {2, 1, Kind::CharacterLobNull, QString()},
        {2, 2, Kind::Binary, QString()},
        {3, 0, Kind::BinaryNull, QString()},
        {3, 1, Kind::CharacterLob, ""},
        {3, 2, Kind::Text, "café, last"}, // a portion in Latin-1
    };
    for (const auto &c : cells) {
        SCOPED_TRACE(QString("row %1, column %2").arg(c.row).arg(c.column).toStdString());
        const Shown cell = shown(rows, c.row, c.column);
        EXPECT_EQ(cell.kind, c.kind);
        EXPECT_EQ(cell.text, c.text);
        EXPECT_EQ(cell.text.isNull(), c.text.isNull()) << "an empty text is no NULL";
    }
    EXPECT_EQ(rows.row(1)->cell(3).kind, Kind::Null) << "a column the row does not have";
    EXPECT_EQ(rows.row(1)->cell(-1).kind, Kind::Null);
}

TEST(FetchedRows, RowsAreFoundAcrossPortionsByNumber)
{
    FetchedRows rows({"n", "square"});
    int next = 1;
    // Portions of 1, 3 and 5 rows, as the backend's portions grow.
    for (const int size : {1, 3, 5}) {
        Packer portion;
        for (int i = 0; i < size; ++i, ++next)
            portion.text(QString::number(next)).text(QString::number(next * next));
        ASSERT_TRUE(rows.append(portion.packed(size)));
    }
    ASSERT_EQ(rows.rowCount(), 9);
    for (qint32 row = 1; row <= 9; ++row) {
        EXPECT_EQ(rows.row(row)->cell(0).string(), QString::number(row));
        EXPECT_EQ(rows.row(row)->cell(1).string(), QString::number(row * row));
    }
    for (const qint32 missing : {0, -1, 10})
        EXPECT_FALSE(rows.row(missing)) << missing;
    // A guess where the column stands is checked, never trusted.
    const struct {
        const char *name;
        int guess;
        int index;
    } columns[] = {{"square", -1, 1}, {"square", 1, 1},   {"square", 0, 1}, {"n", 1, 0},
                   {"n", 5, 0},       {"SQUARE", -1, -1}, {"SQUARE", 1, -1}};
    for (const auto &c : columns)
        EXPECT_EQ(rows.columnIndex(c.name, c.guess), c.index) << c.name << " guessed at " << c.guess;
}

TEST(FetchedRows, RowsWithoutColumnsStillCount)
{
    FetchedRows rows({});
    ASSERT_TRUE(rows.append(Packer().packed(4)));
    EXPECT_EQ(rows.rowCount(), 4);
    ASSERT_TRUE(rows.row(4));
    EXPECT_EQ(rows.row(4)->columnCount(), 0);
    EXPECT_EQ(rows.row(4)->cell(0).kind, VornCell::Kind::Null);
}

TEST(FetchedRows, APortionThatCannotBeReadAddsNothing)
{
    const QString whole = Packer().text("ab").null().packed(1);
    const struct {
        const char *what;
        QString packed;
    } cases[] = {
        {"a row count without its rows", Packer().packed(1)},
        {"a row count that breaks off", QString(QChar(u'\x81'))},
        {"a row count beyond 32 bits", Packer::number(qint64(1) << 33)},
        {"text cut short", whole.left(whole.size() - 1)},
        {"a length beyond the text", Packer().text("ab").null().packed(1).replace(2, 1, QChar(u'\x09'))},
        {"a length of more than 8 bits a character",
         Packer().text("ab").null().packed(1).replace(2, 1, QChar(u'\x102'))},
        {"an unknown tag", Packer().text("ab").tag(9).packed(1)},
        {"fewer cells than the rows need", Packer().text("ab").null().packed(2)},
        {"more cells than the rows need", Packer().text("ab").null().null().packed(1)},
        {"a broken last row", Packer().text("ab").null().text("c").packed(2)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        FetchedRows rows({"a", "b"});
        ASSERT_TRUE(rows.append(whole));
        EXPECT_FALSE(rows.append(c.packed));
        EXPECT_EQ(rows.rowCount(), 1);
        EXPECT_EQ(rows.row(1)->cell(0).string(), "ab");
    }
    FetchedRows rows({"a", "b"});
    EXPECT_TRUE(rows.append(QString())) << "nothing waiting is no failure";
    EXPECT_TRUE(rows.append(Packer().packed(0)));
    EXPECT_EQ(rows.rowCount(), 0);
}

// Rows are read while more arrive on another thread, and a row kept after its result set has gone still
// reads its own cells while the next result set fills the memory the others gave back.
TEST(FetchedRows, RowsStayReadableWhileMoreArriveAndAfterTheirResultGoes)
{
    constexpr int portions = 200;
    constexpr int rowsPerPortion = 50;
    const auto rowText = [](qint32 row) { return QString("row %1 ").arg(row).leftJustified(200, u'.'); };
    const auto portion = [&](int index) {
        Packer packer;
        for (int i = 1; i <= rowsPerPortion; ++i) {
            const qint32 row = index * rowsPerPortion + i;
            packer.text(QString::number(row)).text(rowText(row));
        }
        return packer.packed(rowsPerPortion);
    };

    auto rows = std::make_unique<FetchedRows>(QStringList{"n", "text"});
    std::atomic<bool> arrived{false};
    std::thread arriving([&] {
        for (int index = 0; index < portions; ++index)
            EXPECT_TRUE(rows->append(portion(index)));
        arrived = true;
    });
    int mismatches = 0;
    for (bool last = false; !last;) {
        last = arrived;
        const qint32 seen = rows->rowCount();
        for (qint32 row = std::max(1, seen - 60); row <= seen; ++row) {
            const std::optional<VornRow> fetched = rows->row(row);
            if (!fetched || fetched->cell(0).string() != QString::number(row) ||
                fetched->cell(1).string() != rowText(row))
                ++mismatches;
        }
    }
    arriving.join();
    EXPECT_EQ(mismatches, 0);
    ASSERT_EQ(rows->rowCount(), portions * rowsPerPortion);

    const qint32 keptNumber = portions * rowsPerPortion / 2;
    const std::optional<VornRow> kept = rows->row(keptNumber);
    ASSERT_TRUE(kept);
    rows.reset();
    FetchedRows next({"n", "text"});
    for (int index = 0; index < portions; ++index)
        ASSERT_TRUE(next.append(portion(portions + index)));
    EXPECT_EQ(kept->cell(0).string(), QString::number(keptNumber));
    EXPECT_EQ(kept->cell(1).string(), rowText(keptNumber));
}

TEST(FetchedRows, EditsSplitRunsWithoutTouchingOtherRows)
{
    FetchedRows rows({"n"});
    for (const int first : {1, 4}) {
        Packer portion;
        for (int n = first; n < first + 3; ++n)
            portion.text(QString::number(n));
        ASSERT_TRUE(rows.append(portion.packed(3)));
    }
    const auto shown = [&rows] {
        QStringList values;
        for (qint32 row = 1; row <= rows.rowCount(); ++row) {
            const QString text = rows.row(row)->cell(0).string();
            values << (text.isNull() ? "NULL" : text);
        }
        return values.join(' ');
    };
    struct Step {
        const char *what;
        std::function<bool()> edit;
        QString rows;
    };
    const Step steps[] = {
        {"a blank row inside a portion", [&] { return rows.insertBlankRow(2); }, "1 NULL 2 3 4 5 6"},
        {"the blank row written", [&] { return rows.replaceRow(2, Packer().text("x").packed(1)); },
         "1 x 2 3 4 5 6"},
        {"a row at a portion's start goes", [&] { return rows.removeRow(5); }, "1 x 2 3 5 6"},
        {"the last row goes", [&] { return rows.removeRow(6); }, "1 x 2 3 5"},
        {"a blank row after the last", [&] { return rows.insertBlankRow(6); }, "1 x 2 3 5 NULL"},
        {"the first row written", [&] { return rows.replaceRow(1, Packer().null().packed(1)); },
         "NULL x 2 3 5 NULL"},
    };
    for (const Step &step : steps) {
        EXPECT_TRUE(step.edit()) << step.what;
        EXPECT_EQ(shown(), step.rows) << step.what;
    }
    // Rows out of range and texts that are not one row change nothing.
    EXPECT_FALSE(rows.removeRow(0));
    EXPECT_FALSE(rows.insertBlankRow(8));
    EXPECT_FALSE(rows.replaceRow(7, Packer().text("y").packed(1)));
    EXPECT_FALSE(rows.replaceRow(1, Packer().text("y").text("z").packed(2)));
    EXPECT_EQ(shown(), "NULL x 2 3 5 NULL");
}
