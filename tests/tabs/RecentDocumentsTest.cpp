#include "tabs/RecentDocuments.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class RecentDocumentsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        recent.clear();
    }

    QString file(const QString &name) const
    {
        const QString path = folder.filePath(name);
        QFile created(path);
        EXPECT_TRUE(created.open(QIODevice::WriteOnly));
        return path;
    }

    QTemporaryDir folder;
    RecentDocuments recent;
};

TEST_F(RecentDocumentsTest, MostRecentFirstEachOnceAndAtMostTen)
{
    const QString a = file("a.sql"), b = file("b.sql");
    recent.noteDocument(a);
    recent.noteDocument(b);
    recent.noteDocument(a);
    EXPECT_EQ(recent.documents(), (QStringList{a, b}));
    EXPECT_EQ(RecentDocuments().documents(), (QStringList{a, b})) << "kept in the preferences";

    for (int i = 0; i < 12; ++i)
        recent.noteDocument(file(QStringLiteral("n%1.sql").arg(i)));
    const QStringList kept = recent.documents();
    EXPECT_EQ(kept.size(), RecentDocuments::maximumCount);
    EXPECT_EQ(kept.first(), folder.filePath("n11.sql"));
    EXPECT_FALSE(kept.contains(a));
}

TEST_F(RecentDocumentsTest, FilesThatAreGoneAreDroppedFromTheStoreAndClearEmptiesIt)
{
    const QString a = file("a.sql"), gone = file("gone.sql");
    recent.noteDocument(a);
    recent.noteDocument(gone);
    UserDefaults &store = UserDefaults::standard();
    store.setObject(QVariantList{gone, 42, a, folder.path()}, PreferenceKey::recentDocuments);
    ASSERT_TRUE(QFile::remove(gone));
    EXPECT_EQ(recent.documents(), QStringList{a}) << "a folder and a number are no documents either";
    EXPECT_EQ(store.arrayForKey(PreferenceKey::recentDocuments), QVariantList{a});
    recent.clear();
    EXPECT_TRUE(recent.documents().isEmpty());
}

} // namespace
