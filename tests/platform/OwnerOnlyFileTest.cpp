// Files only their owner may read: a new one, one that others could read before, and a write that
// cannot be made.
#include "platform/OwnerOnlyFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

constexpr QFileDevice::Permissions ownerReadWrite =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(OwnerOnlyFileTest, NewFilesAndTheFolderMadeForThemAreTheOwnersAlone)
{
    QTemporaryDir root;
    const QString path = root.filePath("Autosave/copy.sql");
    QString error;
    ASSERT_TRUE(writeOwnerOnlyFile(path, "select 1", &error)) << error.toStdString();
    EXPECT_EQ(contents(path), "select 1");
    EXPECT_EQ(QFile::permissions(path), ownerReadWrite);
    EXPECT_EQ(QFile::permissions(root.filePath("Autosave")),
              ownerReadWrite | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

TEST(OwnerOnlyFileTest, AFileOthersCouldReadIsNarrowedByTheNextWrite)
{
    QTemporaryDir root;
    const QString path = root.filePath("WindowRestoration.json");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{}");
    file.close();
    ASSERT_TRUE(
        QFile::setPermissions(path, ownerReadWrite | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ASSERT_TRUE(writeOwnerOnlyFile(path, "{\"a\":1}"));
    EXPECT_EQ(contents(path), "{\"a\":1}");
    EXPECT_EQ(QFile::permissions(path), ownerReadWrite);
}

TEST(OwnerOnlyFileTest, AWriteThatCannotBeMadeFailsWithTheReasonAndChangesNothing)
{
    QTemporaryDir root;
    // A plain file where the folder would be: nothing can be written beneath it.
    const QString blocker = root.filePath("Autosave");
    ASSERT_TRUE(writeOwnerOnlyFile(blocker, "kept"));
    QString error;
    EXPECT_FALSE(writeOwnerOnlyFile(blocker + "/copy.sql", "lost", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(contents(blocker), "kept");
}

} // namespace
