// Filter values: the archive round trip and the drag token's text.
#include "resultset/Filter.h"
#include "elements/BrowserElement.h"

#include <QObject>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <memory>

namespace
{
QString tokenText(const Filter &filter)
{
    return filter.stringForImage()->toPlainText();
}
} // namespace

TEST(FilterTest, ArchiveKeepsEverythingButTheOverride)
{
    auto document = std::make_unique<QObject>();
    Filter filter;
    filter.setColumnName("name_2");
    filter.setValues({"a", "b"});
    filter.setNot(true);
    filter.setRowIndexes({0, 3, 4});
    filter.setElement(std::make_shared<BrowserElement>("EMP", "HR", "TABLE", 0));
    filter.setTextDrop("SELECT 1");
    filter.setSourceDocument(document.get());
    filter.setTextOverride("shown while hovering");

    const QByteArray archive = filter.archive();
    const FilterPtr read = Filter::fromArchive(archive);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->columnName(), "name_2");
    EXPECT_EQ(read->values(), QStringList({"a", "b"}));
    EXPECT_TRUE(read->isNot());
    EXPECT_TRUE(read->isAlternate());
    EXPECT_EQ(read->rowIndexes(), QList<qint64>({0, 3, 4}));
    ASSERT_TRUE(read->element());
    EXPECT_EQ(read->element()->serializableIdentifier(), filter.element()->serializableIdentifier());
    EXPECT_EQ(read->textDrop(), "SELECT 1");
    EXPECT_EQ(read->sourceDocument(), document.get());
    EXPECT_TRUE(read->textOverride().isNull());

    // The document number means nothing once the document is gone.
    document.reset();
    EXPECT_EQ(Filter::fromArchive(archive)->sourceDocument(), nullptr);
}

TEST(FilterTest, EmptyFilterAndForeignDataReadBack)
{
    const FilterPtr empty = Filter::fromArchive(Filter().archive());
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->columnName().isNull());
    EXPECT_FALSE(empty->element());
    EXPECT_FALSE(empty->isNot());
    EXPECT_EQ(empty->sourceDocument(), nullptr);

    EXPECT_FALSE(Filter::fromArchive(QByteArray()));
    EXPECT_FALSE(Filter::fromArchive("plain text, not a filter"));
    QByteArray truncated = Filter().archive();
    truncated.chop(4);
    EXPECT_FALSE(Filter::fromArchive(truncated));
}

TEST(FilterTest, TokenTextOfColumnFilters)
{
    struct Case {
        const char *what;
        QStringList values;
        QString expected;
    };
    const QString thirty(30, 'x');
    const QString thirtyOne(31, 'y');
    const Case cases[] = {
        {"no values", {}, "id:\n- Empty -"},
        {"three values", {"1", "2", "3"}, "id:\n1\n2\n3"},
        {"four values", {"1", "2", "3", "4"}, "id:\n1\n2\n3\n..."},
        {"30 characters whole", {thirty}, "id:\n" + thirty},
        {"31 characters cut", {thirtyOne}, "id:\n" + QString(27, 'y') + "..."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Filter filter;
        filter.setColumnName("id");
        filter.setValues(c.values);
        EXPECT_EQ(
            tokenText(filter).replace(QChar::ParagraphSeparator, '\n').replace(QChar::LineSeparator, '\n'),
            c.expected);
    }
}

TEST(FilterTest, TokenTextOfOverridesAndBrowserItems)
{
    Filter filter;
    filter.setColumnName("id");
    filter.setTextOverride(QString(40, 'o'));
    EXPECT_EQ(tokenText(filter), QString(40, 'o'));
    filter.setTextOverride(QString(41, 'o'));
    EXPECT_EQ(tokenText(filter), QString(37, 'o') + "...");

    Filter browserItem;
    browserItem.setElement(std::make_shared<BrowserElement>("EMP", "HR", "TABLE", 0));
    const auto token = browserItem.stringForImage();
    EXPECT_EQ(token->toPlainText(), QString(QChar::ObjectReplacementCharacter) + " EMP");
    browserItem.setTextDrop("SELECT\n\t*\nFROM\n\tHR.EMP");
    EXPECT_EQ(tokenText(browserItem).replace(QChar::ParagraphSeparator, '\n'), "SELECT\n\t*\nFROM\n\tHR.EMP");
}
