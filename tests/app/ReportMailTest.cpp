#include "app/ReportMail.h"

#include <QUrlQuery>
#include <gtest/gtest.h>

namespace
{

const QVariantMap info{{"CFBundleShortVersionString", "3.0.0"}, {"BuildNumber", "B42"}};

TEST(ReportMailTest, FeedbackGoesToSupportWithVersionAndBuildInTheSubject)
{
    const QUrl url = ReportMail::feedbackUrl(info);
    EXPECT_EQ(url.scheme(), "mailto");
    EXPECT_EQ(url.path(), ReportMail::supportAddress());
    EXPECT_EQ(QUrlQuery(url).queryItemValue("subject", QUrl::FullyDecoded), "Vorn 3.0.0 (B42) feedback");
}

TEST(ReportMailTest, CrashReportCarriesTheWholeLogIntactInItsBody)
{
    const QString log = "java.lang.IllegalStateException: a & b = 100%\n\tat nl.dalmerik.vorn.VornRoot?x=1#y";
    const QUrl url = ReportMail::crashReportUrl(info, log);
    const QUrlQuery query(url);
    EXPECT_EQ(query.queryItemValue("subject", QUrl::FullyDecoded), "Vorn 3.0.0 (B42) crash report");
    EXPECT_EQ(query.queryItemValue("body", QUrl::FullyDecoded),
              "Below are the logging contents collected by Vorn.\n\n"
              "Add additional information that can help reproduce this issue here:\n\n\n\n\n" +
                  log);
    EXPECT_EQ(query.queryItems().size(), 2) << "an & in the log starts no new field";
}

} // namespace
