#include "PreviewDocument.h"

#include "document/DocumentHelper.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>

namespace
{

QString localPath(const QString &url)
{
    const QUrl parsed(url);
    return parsed.isLocalFile() ? parsed.toLocalFile() : url;
}

} // namespace

QString previewDocumentText(const QByteArray &data)
{
    // Stateful: a sequence cut by a bounded read is left pending, not taken for an invalid one.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (utf8.hasError())
        text = QString::fromLatin1(data);
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString previewTextCut(const QString &text, qsizetype maximum)
{
    if (text.size() <= maximum)
        return text;
    qsizetype end = maximum;
    if (end > 0 && text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate())
        --end;
    return text.left(end);
}

PreviewDocument PreviewDocument::fromURL(const QString &url)
{
    const QString path = localPath(url);
    QFile file(path);
    QString text;
    // No code unit takes more than three bytes of UTF-8 (or of Latin-1 and CRLF): reading further
    // would only read what the cut throws away.
    if (file.open(QIODevice::ReadOnly))
        text = previewDocumentText(file.read(3 * maximumLength + 3));
    return fromText(QFileInfo(path).fileName(), text);
}

PreviewDocument PreviewDocument::fromText(const QString &fileName, QString text)
{
    PreviewDocument document;
    document.fileName = fileName;
    document.sql = previewTextCut(text, maximumLength);
    std::optional<QVariantMap> queryArguments;
    DocumentHelper::obtainStoredSettingsFromSql(document.sql, document.connectionParameters, queryArguments,
                                                document.documentOptions);
    return document;
}
