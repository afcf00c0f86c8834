#include "kit/ImageUtil.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(ImageUtil, IconNamesByBrowserType)
{
    const std::pair<qint64, const char *> cases[] = {
        {0, "SideTable"},     {1, "SideView"},     {2, "SideIndex"},     {3, "SideConstraint"},
        {4, "SideProcedure"}, {5, "SideFunction"}, {6, "SideTrigger"},   {7, "SideSequence"},
        {9, "SideSQL"},       {10, "SidePackage"}, {20, "SideActivity"}, {21, "SideDatabase"},
        {22, "SideObjects"},  {23, "SideSession"}, {-1, "SideUnknown"},  {11, "SideUnknown"},
    };
    for (const auto &[type, name] : cases) {
        SCOPED_TRACE(type);
        EXPECT_EQ(ImageUtil::imageNameForBrowserType(type), name);
        const QPixmap image = ImageUtil::imageForBrowserElement(type);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.toImage(), ImageUtil::bundleImage(name).toImage());
    }
}

TEST(ImageUtil, SynonymShowsWhatItStandsForWithTheMark)
{
    const std::pair<const char *, const char *> cases[] = {
        {"view", "SideView"},           {"sequence", "SideSequence"},
        {"procedure", "SideProcedure"}, {"function", "SideFunction"},
        {"package", "SidePackage"},     {"table", "SideTable"},
        {"VIEW", "SideTable"},          {"", "SideTable"},
    };
    const QImage mark = ImageUtil::bundleImage("SideSynonym").toImage();
    for (const auto &[subtype, base] : cases) {
        SCOPED_TRACE(subtype);
        EXPECT_EQ(ImageUtil::synonymBaseImageName(subtype), base);
        const QImage composed = ImageUtil::imageForBrowserElement(8, subtype).toImage();
        const QImage baseImage = ImageUtil::bundleImage(base).toImage();
        ASSERT_EQ(composed.size(), QSize(16, 16));
        // The base shows where the mark is clear; the mark covers its corner.
        EXPECT_EQ(qAlpha(mark.pixel(4, 8)), 0);
        EXPECT_EQ(composed.pixel(4, 8), baseImage.convertToFormat(composed.format()).pixel(4, 8));
        EXPECT_NE(composed.pixel(12, 12), baseImage.convertToFormat(composed.format()).pixel(12, 12));
    }
}

TEST(ImageUtil, TabBadgesAreCompiledIn)
{
    for (const char *name : {"ActiveWindowInactiveTabAlert", "ActiveWindowInactiveTabCheck",
                             "InactiveWindowInactiveTabAlert", "InactiveWindowInactiveTabCheck"})
        EXPECT_EQ(ImageUtil::bundleImage(name).size(), QSize(12, 13)) << name;
}
