// The quick filter and sort archive: what earlier versions stored reads back and is written unchanged.
#include "resultset/ExtendedFilter.h"

#include <QDataStream>
#include <QIODevice>
#include <QVariantMap>

#include <gtest/gtest.h>

namespace
{
// As stored: id = 5 and a custom condition without a value, sorted by name_2 descending, then id.
const QByteArray storedArchive = QByteArray::fromHex(
    "564558460000000100000004000000240071007500690063006b00460069006c0074006500720043006f006c0075006d006e"
    "00730000000900000000020000000a0000000004006900640000000a0000000022005f005f0043005500530054004f004d00"
    "5f00460049004c005400450052005f005f000000280071007500690063006b00460069006c007400650072004f0070006500"
    "7200610074006f007200730000000900000000020000000a0000000002003d0000000a0000000022005f005f004300550053"
    "0054004f004d005f00460049004c005400450052005f005f0000001e0071007500690063006b00460069006c007400650072"
    "0053006f00720074000000090000000002000000080000000002000000120064006900720065006300740069006f006e0000"
    "000a0000000008004400450053004300000008006e0061006d00650000000a000000000c006e0061006d0065005f00320000"
    "00080000000002000000120064006900720065006300740069006f006e0000000a000000000600410053004300000008006e"
    "0061006d00650000000a000000000400690064000000220071007500690063006b00460069006c0074006500720056006100"
    "6c0075006500730000000900000000020000000a000000000200350000000001");

const quint32 tag = 0x56455846;

QByteArray archiveOf(quint32 archiveTag, quint32 version, const QVariantMap &keyed)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << archiveTag << version << keyed;
    return data;
}

QVariantMap sortEntry(const QVariant &name, const QVariant &direction)
{
    QVariantMap entry{{"name", name}};
    if (direction.isValid())
        entry.insert("direction", direction);
    return entry;
}
} // namespace

TEST(ExtendedFilterTest, StoredArchiveReadsBackAndIsWrittenTheSame)
{
    const ExtendedFilterPtr read = ExtendedFilter::fromArchive(storedArchive);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->quickFilterColumns(), QVariantList({"id", "__CUSTOM_FILTER__"}));
    EXPECT_EQ(read->quickFilterOperators(), QVariantList({"=", "__CUSTOM_FILTER__"}));
    ASSERT_EQ(read->quickFilterValues().size(), 2);
    EXPECT_EQ(read->quickFilterValues()[0].toString(), "5");
    EXPECT_FALSE(read->quickFilterValues()[1].isValid());
    EXPECT_EQ(read->quickFilterSort(), QList<VornSort>({{"name_2", "DESC"}, {"id", "ASC"}}));
    EXPECT_EQ(read->archive(), storedArchive);

    ExtendedFilter filter;
    filter.setQuickFilterColumns(read->quickFilterColumns());
    filter.setQuickFilterOperators(read->quickFilterOperators());
    filter.setQuickFilterValues(read->quickFilterValues());
    filter.setQuickFilterSort(read->quickFilterSort());
    EXPECT_EQ(filter.archive(), storedArchive);
}

TEST(ExtendedFilterTest, EmptyForeignAndDamagedData)
{
    const ExtendedFilterPtr empty = ExtendedFilter::fromArchive(ExtendedFilter().archive());
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->quickFilterColumns().isEmpty());
    EXPECT_TRUE(empty->quickFilterValues().isEmpty());
    EXPECT_TRUE(empty->quickFilterSort().isEmpty());

    const ExtendedFilterPtr withoutLists = ExtendedFilter::fromArchive(archiveOf(tag, 1, {}));
    ASSERT_TRUE(withoutLists) << "a missing list reads back as an empty one";
    EXPECT_TRUE(withoutLists->quickFilterSort().isEmpty());

    QByteArray truncated = storedArchive;
    truncated.chop(8);
    for (const QByteArray &data : {QByteArray(), QByteArray("not a filter"), truncated, archiveOf(tag, 2, {}),
                                   archiveOf(tag + 1, 1, {})})
        EXPECT_FALSE(ExtendedFilter::fromArchive(data)) << data.toHex().toStdString();
}

TEST(ExtendedFilterTest, StoredDirectionsReadAsTheBackendTakesThem)
{
    const QVariantList sort{sortEntry("a", "desc"), sortEntry("b", "DESC"), sortEntry("c", "sideways"),
                            sortEntry("d", QVariant())};
    const ExtendedFilterPtr read =
        ExtendedFilter::fromArchive(archiveOf(tag, 1, {{"quickFilterSort", sort}}));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->quickFilterSort(),
              QList<VornSort>({{"a", "DESC"}, {"b", "DESC"}, {"c", "ASC"}, {"d", "ASC"}}));
}
