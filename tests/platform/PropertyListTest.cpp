#include "platform/PropertyList.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace
{

QVariantMap nestedSample()
{
    return QVariantMap{
        {"name", QString("prod ✓")},
        {"port", qint64(5432)},
        {"negative", qint64(-17)},
        {"ratio", 0.25},
        {"enabled", true},
        {"disabled", false},
        {"blob", QByteArray("\x00\x01\xfe\xff", 4)},
        {"when", QDateTime(QDate(2024, 2, 29), QTime(13, 45, 7), Qt::UTC)},
        {"favorites", QVariantList{QString("a"), QString("b"), QString("c")}},
        {"empty", QVariantList{}},
        {"tables", QVariantList{QVariantMap{{"table", QString("t1")},
                                            {"columns", QVariantList{QString("x"), qint64(2)}}},
                                QVariantList{QVariantList{QString("deep")}}}},
    };
}

} // namespace

TEST(PropertyList, NestedValuesRoundTripThroughAnXmlFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("missing/folders/settings.plist");
    QString error;
    ASSERT_TRUE(PropertyList::writeFile(nestedSample(), path, &error)) << error.toStdString();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray xml = file.readAll();
    EXPECT_TRUE(xml.startsWith("<?xml")) << xml.left(60).toStdString();
    EXPECT_TRUE(xml.contains("<string>c</string>"));
    EXPECT_TRUE(xml.contains("<date>2024-02-29T13:45:07Z</date>")) << xml.toStdString();

    const QVariant read = PropertyList::readFile(path, &error);
    ASSERT_TRUE(read.isValid()) << error.toStdString();
    const QVariantMap map = read.toMap();
    const QVariantMap expected = nestedSample();
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        EXPECT_EQ(map.value(it.key()), it.value())
            << it.key().toStdString() << ": " << map.value(it.key()).toString().toStdString();
    EXPECT_EQ(map.size(), expected.size());
    // The typed shape matters to callers, not just equality through conversions.
    EXPECT_EQ(map.value("port").typeId(), QMetaType::LongLong);
    EXPECT_EQ(map.value("favorites").toList().size(), 3);
    EXPECT_EQ(map.value("tables").toList().at(0).toMap().value("columns").toList().size(), 2);
}

TEST(PropertyList, ReadsBinaryPropertyLists)
{
    // A one-element binary array holding the integer 7.
    const QByteArray binary =
        QByteArray::fromHex("62706c6973743030a1011007080a"
                            "000000000000010100000000000000020000000000000000000000000000000c");
    QString error;
    const QVariant value = PropertyList::fromData(binary, &error);
    ASSERT_TRUE(value.isValid()) << error.toStdString();
    EXPECT_EQ(value.toList(), QVariantList{qint64(7)});
}

TEST(PropertyList, CorruptOrMissingFilesAnswerInvalidWithAReason)
{
    QTemporaryDir dir;
    const QString corrupt = dir.filePath("corrupt.plist");
    QFile file(corrupt);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key><string>x</dict>");
    file.close();

    for (const QString &path : {corrupt, dir.filePath("absent.plist")}) {
        QString error;
        EXPECT_FALSE(PropertyList::readFile(path, &error).isValid()) << path.toStdString();
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
    }
    QString error;
    EXPECT_FALSE(PropertyList::fromData("not a property list", &error).isValid());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(PropertyList::fromData({}, &error).isValid());
}

TEST(PropertyList, UnwritablePathsFailAndKeepTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.plist");
    ASSERT_TRUE(PropertyList::writeFile(QVariantMap{{"v", qint64(1)}}, path));
    ASSERT_TRUE(QDir(dir.path()).mkdir("aFolder"));

    // A file where a parent folder should be, and a folder where the file should be; both fail
    // even for root, unlike permission bits.
    for (const QString &bad : {path + "/child.plist", dir.filePath("aFolder")}) {
        QString error;
        EXPECT_FALSE(PropertyList::writeFile(QVariantMap{{"v", qint64(2)}}, bad, &error))
            << bad.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(PropertyList::readFile(path).toMap().value("v"), qint64(1));
}

TEST(PropertyList, ValuesAPropertyListCannotHoldAreRefused)
{
    EXPECT_TRUE(PropertyList::toXml(QVariantMap{{"x", QVariant::fromValue(QTimeZone::utc())}}).isEmpty());
    EXPECT_TRUE(PropertyList::toXml(QVariant()).isEmpty());
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(PropertyList::writeFile(QVariantList{QVariant()}, dir.filePath("x.plist"), &error));
    EXPECT_FALSE(QFile::exists(dir.filePath("x.plist")));
}
