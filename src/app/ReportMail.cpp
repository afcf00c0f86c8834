#include "app/ReportMail.h"

#include "platform/Website.h"

#include <QCoreApplication>

namespace
{

QString text(const char *source)
{
    return QCoreApplication::translate("javabridge", source);
}

QString escaped(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

QString subject(const char *format, const QVariantMap &info)
{
    return QCoreApplication::translate("javabridge", format)
        .arg(info.value("CFBundleShortVersionString").toString(), info.value("BuildNumber").toString());
}

// Built by hand: QUrl would leave characters such as "&" in a query value unescaped.
QUrl mailUrl(const QString &query)
{
    return QUrl(QStringLiteral("mailto:%1?%2").arg(ReportMail::supportAddress(), query), QUrl::StrictMode);
}

} // namespace

QString ReportMail::supportAddress()
{
    return Website::supportMailbox;
}

QUrl ReportMail::feedbackUrl(const QVariantMap &info)
{
    return mailUrl("subject=" + escaped(subject("Vorn %1 (%2) feedback", info)));
}

QUrl ReportMail::crashReportUrl(const QVariantMap &info, const QString &logText)
{
    const QString body = text("Below are the logging contents collected by Vorn.") + "\n\n" +
                         text("Add additional information that can help reproduce this issue here:") +
                         "\n\n\n\n\n" + logText;
    return mailUrl("subject=" + escaped(subject("Vorn %1 (%2) crash report", info)) +
                   "&body=" + escaped(body));
}
