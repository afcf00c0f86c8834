#include "PreviewHeader.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

namespace
{

QString label(const char *key)
{
    return QCoreApplication::translate("connection", key);
}

QString escaped(const QString &value)
{
    return value.toHtmlEscaped();
}

// Seconds since 2001-01-01 00:00:00 UTC, as documents record their times.
QString dateText(double seconds)
{
    const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    const QDateTime when = reference.addMSecs(qint64(seconds * 1000.0)).toLocalTime();
    return QLocale().toString(when, QLocale::ShortFormat);
}

void appendPerson(QList<PreviewHeader::Row> &rows, const QVariantMap &options, const QString &nameKey,
                  const QString &timeKey, const char *labelKey)
{
    const QVariant name = options.value(nameKey);
    const double time = options.value(timeKey).toDouble();
    if (name.isNull() || !name.isValid() || time <= 0)
        return;
    rows.append({label(labelKey), name.toString()});
    rows.append({QString(), dateText(time)});
}

QString htmlRows(const QList<PreviewHeader::Row> &rows)
{
    QString html;
    for (const PreviewHeader::Row &row : rows)
        html += row.label.isEmpty() ? QStringLiteral("<tr><td></td><td>%1</td></tr>").arg(escaped(row.value))
                                    : QStringLiteral("<tr><td>%1:</td><td>%2</td></tr>")
                                          .arg(escaped(row.label), escaped(row.value));
    return html;
}

void appendRichRows(RichText &text, const QList<PreviewHeader::Row> &rows)
{
    const RichTextColour labelColour{110, 110, 110};
    for (const PreviewHeader::Row &row : rows) {
        text.append(RichTextRun{
            row.label.isEmpty() ? QString() : row.label + QStringLiteral(": "), labelColour, {}, false});
        text.append(RichTextRun{row.value + '\n', {}, {}, false});
    }
}

} // namespace

PreviewHeader PreviewHeader::create(const ConnectionParameters *connectionParameters,
                                    const QVariantMap &options, const QString &fileName)
{
    PreviewHeader header;
    const QString name = connectionParameters ? connectionParameters->connectionName() : QString();
    header.title = name.isNull() ? fileName : name;
    const QVariant version = options.value(QStringLiteral("applicationVersion"));
    header.applicationName = version.isValid() && !version.isNull()
                                 ? QStringLiteral("Vorn %1").arg(version.toString())
                                 : QStringLiteral("Vorn 3");
    // Definitions read from a header hold an empty text for what the header left out.
    if (connectionParameters) {
        QList<Row> &rows = header.connectionDetails;
        if (const QString user = connectionParameters->userName(); !user.isEmpty())
            rows.append({label("Username"), user});
        if (const QString database = connectionParameters->database(); !database.isEmpty())
            rows.append({label("Database"), database});
        const QString server = connectionParameters->server();
        const QString port = connectionParameters->port();
        if (!server.isEmpty() && !port.isEmpty())
            rows.append({label("Server"), server + ':' + port});
        if (const QString type = connectionParameters->databaseType(); !type.isEmpty())
            rows.append({label("Database type"), type});
    }
    appendPerson(header.creatorDetails, options, QStringLiteral("creator"), QStringLiteral("created"),
                 "Created");
    appendPerson(header.creatorDetails, options, QStringLiteral("modifier"), QStringLiteral("modified"),
                 "Modified");
    return header;
}

QString PreviewHeader::html() const
{
    QString content = QStringLiteral("<div id='connectionName'>%1</div>").arg(escaped(title)) +
                      QStringLiteral("<div id='applicationName'>%1</div>").arg(escaped(applicationName)) +
                      QStringLiteral("<table id='connectionDetails' cellspacing=0 cellpadding=0>") +
                      htmlRows(connectionDetails) + QStringLiteral("</table>") +
                      QStringLiteral("<table id='creatorDetails' cellspacing=0 cellpadding=0>") +
                      htmlRows(creatorDetails) + QStringLiteral("</table>");
    return QStringLiteral("<div id='headercontent'>%1</div><div id='icon'> </div>").arg(content);
}

RichText PreviewHeader::richText() const
{
    RichText text;
    text.append(RichTextRun{title + '\n', {}, {}, true});
    text.append(RichTextRun{applicationName + '\n', RichTextColour{110, 110, 110}, {}, false});
    appendRichRows(text, connectionDetails);
    appendRichRows(text, creatorDetails);
    text.append(
        RichTextRun{QString(84, '-') + QStringLiteral("\n\n"), RichTextColour{170, 170, 170}, {}, false});
    return text;
}

QString createDocumentHeader(const ConnectionParameters *connectionParameters, const QVariantMap &options,
                             const QString &fileName)
{
    return PreviewHeader::create(connectionParameters, options, fileName).html();
}
