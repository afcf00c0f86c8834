#include "BridgeTestSupport.h"

#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaClass.h"

#include <gtest/gtest.h>

namespace
{
class JavaUtilsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bridge = startedBridge();
        ASSERT_TRUE(bridge->hasVirtualMachine());
        subjectClass = bridge->classForName("nl/dalmerik/vorn/bridgetest/BridgeSubject");
    }

    QString render(const QoJavaObjectPtr &object) const
    {
        return subjectClass->callStatic("render:", {QVariant::fromValue(object)}).toString();
    }

    QoJavaObjectPtr nested() const
    {
        return qvariant_cast<QoJavaObjectPtr>(subjectClass->newObject()->call("nested"));
    }

    QoJavaBridge *bridge = nullptr;
    QoJavaClass *subjectClass = nullptr;
};
} // namespace

TEST_F(JavaUtilsTest, VectorsAndArraysBothWays)
{
    const QoJavaObjectPtr vector = JavaUtils::vectorFromArray({"a", "b", "c"});
    ASSERT_NE(vector, nullptr);
    EXPECT_EQ(vector->className(), "java/util/Vector");
    EXPECT_EQ(vector->call("size"), QVariant(3));
    EXPECT_EQ(JavaUtils::arrayFromVector(vector), QVariantList({"a", "b", "c"}));

    const QoJavaObjectPtr empty = JavaUtils::vectorFromArray({});
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->call("size"), QVariant(0));

    // Elements cross by the value conversions, nested lists and maps included; nulls keep their place.
    const QoJavaObjectPtr mixed =
        JavaUtils::vectorFromArray({"s", 1, qint64(1) << 40, 2.5, true, QVariant(),
                                    QVariantList{"x", QVariant()}, QVariantMap{{"k", 2}}});
    EXPECT_EQ(render(mixed), "Vector[String:s,Integer:1,Long:1099511627776,Double:2.5,Boolean:true,null,"
                             "Vector[String:x,null],Hashtable{String:k=Integer:2}]");
    const QVariantList back = JavaUtils::arrayFromVector(mixed);
    ASSERT_EQ(back.size(), 8);
    EXPECT_EQ(back.mid(0, 5), QVariantList({"s", 1, qint64(1) << 40, 2.5, true}));
    EXPECT_FALSE(back[5].isValid());
    EXPECT_EQ(qvariant_cast<QoJavaObjectPtr>(back[6])->className(), "java/util/Vector");

    EXPECT_EQ(JavaUtils::setFromVector(JavaUtils::vectorFromArray({"a", "b", "a", 1, 1})),
              QVariantList({"a", "b", 1}));
}

TEST_F(JavaUtilsTest, HashtablesAndDictionariesBothWays)
{
    const QVariantMap dictionary{{"name", "Vorn"}, {"rows", 2000}, {"on", true}, {"wide", qint64(1) << 40}};
    const QoJavaObjectPtr hashtable = JavaUtils::hashtableFromDictionary(dictionary);
    ASSERT_NE(hashtable, nullptr);
    EXPECT_EQ(hashtable->className(), "java/util/Hashtable");
    EXPECT_EQ(JavaUtils::dictionaryFromHashtable(hashtable), dictionary);

    // A Hashtable cannot hold null: the key is left out instead of failing in Java.
    const QoJavaObjectPtr withNull =
        JavaUtils::hashtableFromDictionary({{"kept", 1}, {"missing", QVariant()}});
    EXPECT_EQ(JavaUtils::dictionaryFromHashtable(withNull), QVariantMap({{"kept", 1}}));
    EXPECT_TRUE(JavaUtils::dictionaryFromHashtable(JavaUtils::hashtableFromDictionary({})).isEmpty());
}

TEST_F(JavaUtilsTest, RecursiveConversionKeepsNullPlaceholders)
{
    const QoJavaObjectPtr vector = nested();
    ASSERT_NE(vector, nullptr);

    // One level: inner collections stay proxies, nulls stay in place.
    const QVariantList flat = JavaUtils::arrayFromVector(vector);
    ASSERT_EQ(flat.size(), 5);
    EXPECT_EQ(qvariant_cast<QoJavaObjectPtr>(flat[2])->className(), "java/util/Vector");
    EXPECT_EQ(qvariant_cast<QoJavaObjectPtr>(flat[3])->className(), "java/util/Hashtable");

    const QVariantList deep = JavaUtils::recursiveCollectionsFromVector(vector);
    ASSERT_EQ(deep.size(), 5);
    EXPECT_EQ(deep[0], QVariant("a"));
    EXPECT_FALSE(deep[1].isValid());
    EXPECT_EQ(deep[2].metaType().id(), QMetaType::QVariantList);
    const QVariantList inner = deep[2].toList();
    ASSERT_EQ(inner.size(), 2);
    EXPECT_EQ(inner[0], QVariant("b"));
    EXPECT_FALSE(inner[1].isValid());
    const QVariantMap table = deep[3].toMap();
    EXPECT_EQ(table.value("n"), QVariant(qint64(7)));
    const QVariantList values = table.value("k").toList();
    ASSERT_EQ(values.size(), 2);
    EXPECT_EQ(values[0], QVariant(1));
    EXPECT_FALSE(values[1].isValid());
    EXPECT_EQ(deep[4], QVariant(2.5));

    EXPECT_EQ(JavaUtils::recursiveCollectionsFromJavaObject(QVariant::fromValue(vector)).toList().size(), 5);
    EXPECT_EQ(JavaUtils::recursiveCollectionsFromHashtable(qvariant_cast<QoJavaObjectPtr>(flat[3])), table);
}

TEST_F(JavaUtilsTest, RecursiveConversionLeavesOtherValuesAlone)
{
    EXPECT_EQ(JavaUtils::recursiveCollectionsFromJavaObject("text"), QVariant("text"));
    EXPECT_FALSE(JavaUtils::recursiveCollectionsFromJavaObject(QVariant()).isValid());
    const QoJavaObjectPtr subject = subjectClass->newObject();
    EXPECT_EQ(qvariant_cast<QoJavaObjectPtr>(
                  JavaUtils::recursiveCollectionsFromJavaObject(QVariant::fromValue(subject))),
              subject);
    // Only the exact classes are converted: an unmodifiable list stays a proxy.
    const QVariant list = subject->call("list");
    EXPECT_EQ(JavaUtils::recursiveCollectionsFromJavaObject(list).metaType(),
              QMetaType::fromType<QoJavaObjectPtr>());
}
