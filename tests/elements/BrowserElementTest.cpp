// Browser elements: identifiers, clones, comparisons and the archive.
#include "elements/BrowserElement.h"
#include "elements/SqlBrowserElement.h"

#include <QBuffer>
#include <QDataStream>

#include <gtest/gtest.h>

namespace
{
const QString sep = "^!^!";

QString identifier(const QStringList &fields)
{
    return (QStringList{"BrowserElementV1"} + fields).join(sep);
}
} // namespace

TEST(BrowserElementTest, IdentifiersRoundTrip)
{
    struct Case {
        const char *what;
        BrowserElementPtr element;
        QString identifier;
    };
    const Case cases[] = {
        {"table without subtype", std::make_shared<BrowserElement>("EMP", "HR", "TABLE", 0),
         identifier({"EMP", "HR", "TABLE", "(null)", "0"})},
        {"synonym keeps its subtype", std::make_shared<BrowserElement>("S", "HR", "SYNONYM", 8, "view"),
         identifier({"S", "HR", "SYNONYM", "view", "8"})},
        {"other type", std::make_shared<BrowserElement>("x", "public", "WHATEVER", -1),
         identifier({"x", "public", "WHATEVER", "(null)", "-1"})},
        {"name that is the placeholder", std::make_shared<BrowserElement>("(null)", "HR", "TABLE", 0),
         identifier({"(null)", "HR", "TABLE", "(null)", "0"})},
        {"statement result", std::make_shared<SqlBrowserElement>("main"),
         identifier({"SQL Statement", "main", "SQL Statement result", "(null)", "9"})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.element->serializableIdentifier(), c.identifier);
        const BrowserElementPtr read = BrowserElement::elementForIdentifier(c.identifier);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->name(), c.element->name());
        EXPECT_EQ(read->schema(), c.element->schema());
        EXPECT_EQ(read->type(), c.element->type());
        EXPECT_EQ(read->subtype().isNull(), c.element->subtype().isNull());
        EXPECT_EQ(read->subtype(), c.element->subtype());
        EXPECT_EQ(read->browserType(), c.element->browserType());
        EXPECT_FALSE(read->historyItem());
        EXPECT_FALSE(read->favoriteItem());
        EXPECT_EQ(read->serializableIdentifier(), c.identifier);
    }
    // Only the subtype position turns the placeholder back into nothing.
    EXPECT_EQ(
        BrowserElement::elementForIdentifier(identifier({"(null)", "HR", "TABLE", "(null)", "0"}))->name(),
        "(null)");
}

TEST(BrowserElementTest, UnreadableIdentifiersGiveNoElement)
{
    EXPECT_FALSE(
        BrowserElement::elementForIdentifier("BrowserElementV9^!^!EMP^!^!HR^!^!TABLE^!^!(null)^!^!0"));
    EXPECT_FALSE(BrowserElement::elementForIdentifier(""));
    // A name holding the separator gives seven parts: not an element rather than a wrong one.
    EXPECT_FALSE(BrowserElement::elementForIdentifier(identifier({"A^!^!B", "HR", "TABLE", "(null)", "0"})));
    EXPECT_EQ(
        BrowserElement::elementForIdentifier(identifier({"E", "S", "T", "(null)", "7x"}))->browserType(), 7);
    EXPECT_EQ(BrowserElement::elementForIdentifier(identifier({"E", "S", "T", "(null)", "x"}))->browserType(),
              0);
    const BrowserElementPtr favourite =
        BrowserElement::favouriteElementForIdentifier(identifier({"E", "S", "TABLE", "(null)", "0"}));
    ASSERT_TRUE(favourite);
    EXPECT_TRUE(favourite->favoriteItem());
    EXPECT_FALSE(BrowserElement::favouriteElementForIdentifier("nonsense"));
}

TEST(BrowserElementTest, FieldsHoldingTheSeparatorSurviveInTheEscapedForm)
{
    const QList<std::shared_ptr<BrowserElement>> elements = {
        std::make_shared<BrowserElement>("A^!^!B", "HR", "TABLE", 0),
        std::make_shared<BrowserElement>("ends^!", "we^!^!ird\\", "SYNONYM", 8, "view^!^!"),
        std::make_shared<BrowserElement>("^!^!", "\\^!^!", "TABLE", 0),
    };
    for (const auto &element : elements) {
        const QString identifier = element->serializableIdentifier();
        SCOPED_TRACE(identifier.toStdString());
        EXPECT_TRUE(identifier.startsWith("BrowserElementV2" + sep));
        const BrowserElementPtr read = BrowserElement::elementForIdentifier(identifier);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->name(), element->name());
        EXPECT_EQ(read->schema(), element->schema());
        EXPECT_EQ(read->type(), element->type());
        EXPECT_EQ(read->subtype(), element->subtype());
        EXPECT_EQ(read->browserType(), element->browserType());
    }
    // Ordinary names keep the first form, which earlier versions read.
    EXPECT_TRUE(
        BrowserElement("A^!B", "HR", "TABLE", 0).serializableIdentifier().startsWith("BrowserElementV1"));
}

TEST(BrowserElementTest, ClonesForHistoryAndFavourites)
{
    auto element = std::make_shared<BrowserElement>("EMP", "HR", "TABLE", 0);
    element->setOptions({{"query", "x"}});
    const BrowserElementPtr history = element->cloneForHistory(element);
    ASSERT_NE(history, element);
    EXPECT_TRUE(history->historyItem());
    EXPECT_FALSE(history->favoriteItem());
    EXPECT_TRUE(history->options().isEmpty());
    EXPECT_EQ(history->cloneForHistory(history), history);

    const BrowserElementPtr favourite = history->cloneForFavorite(history);
    EXPECT_NE(favourite, history);
    EXPECT_TRUE(favourite->favoriteItem());
    EXPECT_FALSE(favourite->historyItem());
    EXPECT_EQ(favourite->cloneForFavorite(favourite), favourite);
    const BrowserElementPtr historyOfFavourite = favourite->cloneForHistory(favourite);
    EXPECT_TRUE(historyOfFavourite->historyItem());
    EXPECT_FALSE(historyOfFavourite->favoriteItem());

    auto statement = std::make_shared<SqlBrowserElement>("main", "SELECT 1", 0.5);
    const BrowserElementPtr plain = statement->cloneForHistory(statement);
    EXPECT_EQ(dynamic_cast<SqlBrowserElement *>(plain.get()), nullptr);
    EXPECT_EQ(plain->browserType(), BrowserElement::StatementResult);
}

TEST(BrowserElementTest, ComparesDatabaseObjectsExactly)
{
    const BrowserElement emp("EMP", "HR", "TABLE", 0);
    EXPECT_TRUE(emp.isSameDatabaseElement(BrowserElement("EMP", "HR", "TABLE", 1)));
    EXPECT_FALSE(emp.isSameDatabaseElement(BrowserElement("emp", "HR", "TABLE", 0)));
    EXPECT_FALSE(emp.isSameDatabaseElement(BrowserElement("EMP", "hr", "TABLE", 0)));
    EXPECT_FALSE(emp.isSameDatabaseElement(BrowserElement("EMP", "HR", "VIEW", 0)));
    const BrowserElement noSchema("EMP", QString(), "TABLE", 0);
    EXPECT_FALSE(noSchema.isSameDatabaseElement(noSchema));
    EXPECT_LT(BrowserElement("B", "", "", 0).compare(BrowserElement("a", "", "", 0)), 0);
    EXPECT_EQ(BrowserElement::browserTypeForType("SYSTEM VIEW"), BrowserElement::View);
    EXPECT_EQ(BrowserElement::browserTypeForType("MATERIALIZED VIEW"), BrowserElement::Other);
}

TEST(BrowserElementTest, ArchiveKeepsTheFiveFields)
{
    SqlBrowserElement element("main", "SELECT 1", 2.5);
    element.setSubtype("sub");
    QByteArray data;
    {
        QDataStream out(&data, QIODevice::WriteOnly);
        element.encode(out);
    }
    QDataStream in(data);
    const BrowserElementPtr read = BrowserElement::decode(in);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->serializableIdentifier(), element.serializableIdentifier());

    QByteArray garbage("not an element");
    QDataStream bad(garbage);
    EXPECT_FALSE(BrowserElement::decode(bad));
}
