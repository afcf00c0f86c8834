#include "platform/FileBookmarks.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

TEST(FileBookmarks, BookmarkIsTheAbsolutePathAndResolvesWhileTheFileExists)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("shop ✓.db");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    const QByteArray fromUrl = FileBookmarks::bookmarkDataForFile(QUrl::fromLocalFile(path).toString());
    EXPECT_EQ(fromUrl, path.toUtf8());
    EXPECT_EQ(FileBookmarks::bookmarkDataForFile(path), fromUrl);
    QDir::setCurrent(dir.path());
    EXPECT_EQ(FileBookmarks::bookmarkDataForFile("shop ✓.db"), fromUrl);
    EXPECT_TRUE(FileBookmarks::bookmarkDataForFile("https://example.org/x.db").isEmpty());

    QString error;
    EXPECT_EQ(FileBookmarks::resolveBookmark(fromUrl, &error), path);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(FileBookmarks::resolveBookmark(fromUrl, &error).isEmpty());
    EXPECT_TRUE(error.contains(path));
    EXPECT_TRUE(FileBookmarks::resolveBookmark({}, &error).isEmpty());
    EXPECT_TRUE(FileBookmarks::resolveBookmark("relative.db", &error).isEmpty());
}
