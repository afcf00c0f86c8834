#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>

// The feedback and crash-report mails: mailto: links to our support mailbox that the user's mail
// program opens, so nothing is sent before the user has seen it.
class ReportMail
{
public:
    static QString supportAddress();
    // info: the application's Info.plist values (version and build go into the subject).
    static QUrl feedbackUrl(const QVariantMap &info);
    static QUrl crashReportUrl(const QVariantMap &info, const QString &logText);
};
