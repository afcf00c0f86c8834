// Reading a saved document for its preview: the stored-settings header taken off and read, the
// text bounded without splitting characters, and files that are not UTF-8 or cannot be read.
#include "PreviewDocument.h"

#include "document/DocumentHelper.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

namespace
{

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
    return path;
}

TEST(PreviewDocumentTest, HeaderIsTakenOffAndItsConnectionKept)
{
    ConnectionParameters parameters;
    parameters.setConnectionName(QStringLiteral("Sales"));
    parameters.setDatabaseType(QStringLiteral("MySQL"));
    QString saved = QStringLiteral("SELECT * FROM orders;\n");
    DocumentHelper::createStorageSettingsForSQL(saved, &parameters, {}, {{"creator", "Anna"}});

    const PreviewDocument document = PreviewDocument::fromText(QStringLiteral("orders.sql"), saved);
    EXPECT_EQ(document.sql, "SELECT * FROM orders;\n");
    ASSERT_TRUE(document.connectionParameters);
    EXPECT_EQ(document.connectionParameters->connectionName(), "Sales");
    EXPECT_EQ(document.connectionParameters->databaseType(), "MySQL");
    ASSERT_TRUE(document.documentOptions);
    EXPECT_EQ(document.documentOptions->value("creator").toString(), "Anna");
}

TEST(PreviewDocumentTest, DocumentWithoutHeaderStaysAsItIs)
{
    const QString text = QStringLiteral("/* Vorn Reconnect: not quite */\nSELECT 1;");
    const PreviewDocument document = PreviewDocument::fromText(QStringLiteral("a.sql"), text);
    EXPECT_EQ(document.sql, text);
    EXPECT_FALSE(document.connectionParameters);
    EXPECT_FALSE(document.documentOptions);
}

struct CutCase {
    const char *name;
    QString text;
    qsizetype expectedLength;
};

class PreviewCutTest : public ::testing::TestWithParam<CutCase>
{
};

TEST_P(PreviewCutTest, LongTextIsCutAtTheLimit)
{
    const CutCase &c = GetParam();
    const PreviewDocument document = PreviewDocument::fromText(QStringLiteral("a.sql"), c.text);
    EXPECT_EQ(document.sql.size(), c.expectedLength);
    EXPECT_EQ(document.sql, c.text.left(c.expectedLength));
}

const qsizetype limit = PreviewDocument::maximumLength;

INSTANTIATE_TEST_SUITE_P(
    Lengths, PreviewCutTest,
    ::testing::Values(CutCase{"exactly", QString(limit, 'x'), limit},
                      CutCase{"oneMore", QString(limit + 1, 'x'), limit},
                      // A pair across the limit is left out whole rather than halved.
                      CutCase{"pairAcross", QString(limit - 1, 'x') + QStringLiteral("\U0001F600"),
                              limit - 1},
                      CutCase{"pairInside", QString(limit - 2, 'x') + QStringLiteral("\U0001F600y"), limit}),
    [](const ::testing::TestParamInfo<CutCase> &info) { return std::string(info.param.name); });

TEST(PreviewDocumentFileTest, ReadsUtf8AndFallsBackToLatin1)
{
    QTemporaryDir dir;
    const PreviewDocument utf8 =
        PreviewDocument::fromURL(writeFile(dir, "utf8.sql", QByteArray("SELECT 'caf\xc3\xa9';\r\nGO\r\n")));
    EXPECT_EQ(utf8.sql, QStringLiteral("SELECT 'café';\nGO\n"));
    EXPECT_EQ(utf8.fileName, "utf8.sql");

    const PreviewDocument latin1 =
        PreviewDocument::fromURL(writeFile(dir, "latin1.sql", "SELECT 'caf\xe9';"));
    EXPECT_EQ(latin1.sql, QStringLiteral("SELECT 'café';"));
}

TEST(PreviewDocumentFileTest, LargeFileIsReadOnlyAsFarAsTheLimitAndStaysUtf8)
{
    QTemporaryDir dir;
    // Three-byte characters: a bounded read ends inside one, which must not turn the file into
    // Latin-1.
    QByteArray data;
    for (qsizetype i = 0; i < limit + 10; ++i)
        data += "\xe2\x82\xac";
    const QString path = writeFile(dir, "euros.sql", data);
    const PreviewDocument document = PreviewDocument::fromURL(QUrl::fromLocalFile(path).toString());
    EXPECT_EQ(document.sql, QString(limit, QChar(0x20ac)));
}

TEST(PreviewDocumentFileTest, MissingOrEmptyFileGivesEmptyText)
{
    QTemporaryDir dir;
    EXPECT_TRUE(PreviewDocument::fromURL(dir.filePath("missing.sql")).sql.isEmpty());
    EXPECT_TRUE(PreviewDocument::fromURL(writeFile(dir, "empty.sql", QByteArray())).sql.isEmpty());
    EXPECT_EQ(PreviewDocument::fromURL(dir.filePath("missing.sql")).fileName, "missing.sql");
}

} // namespace
