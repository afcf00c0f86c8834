#include "kit/FormatUtils.h"

#include <gtest/gtest.h>

TEST(FormatUtils, TimeText)
{
    const std::pair<double, const char *> cases[] = {
        {0, "0s"},         {59.9, "59s"},   {60, "1m 0s"},   {61.5, "1m 1s"},
        {3599, "59m 59s"}, {3600, "1h 0m"}, {7322, "2h 2m"}, {90061, "25h 1m"},
    };
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(FormatUtils::timeText(seconds), text) << seconds;
}

TEST(FormatUtils, SizeText)
{
    const std::pair<quint64, const char *> cases[] = {
        {0, "0 B"},        {1023, "1023 B"},        {1024, "1 KB"},       {1048575, "1023 KB"},
        {1048576, "1 MB"}, {1073741823, "1023 MB"}, {1073741824, "1 GB"}, {quint64(5) << 40, "5120 GB"},
    };
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(FormatUtils::sizeText(bytes), text) << bytes;
}
