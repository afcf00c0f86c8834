// The callbacks of the generator interface. Only the preview does work: the document's SQL,
// without its stored-settings header, as syntax-coloured rich text after a header block naming
// the stored connection, and as an HTML page of the same.
#include "GeneratorCallbacks.h"

#include "PreviewDocument.h"
#include "PreviewHeader.h"
#include "PreviewRendering.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace
{

// <prefix>/share/vorn/preview, for the library installed as <prefix>/lib/vorn/<library>.
QString resourceFolder()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void *>(&GeneratePreviewForURL), &info) == 0 || !info.dli_fname)
        return QString();
    const QDir libraryFolder = QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteDir();
    return QDir::cleanPath(libraryFolder.absoluteFilePath(QStringLiteral("../../share/vorn/preview")));
}

// Missing or unreadable resources leave their part of the page empty.
QString resourceText(const QString &folder, const QString &name)
{
    QFile file(folder + '/' + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString htmlPage(const PreviewDocument &document, const QStringList &words, const QString &resources)
{
    return QStringLiteral("<html><head><style>%1</style></head><body><div id='header'>%2</div>"
                          "<div id='contentsshade'></div><div id='contentsshade2'></div>"
                          "<div id='contents'>%3</div></body></html>")
        .arg(resourceText(resources, QStringLiteral("style.css")),
             createDocumentHeader(document.connectionParameters.get(),
                                  document.documentOptions.value_or(QVariantMap()), document.fileName),
             sqlToHTML(document.sql, words, document.connectionParameters.get()));
}

RichText richTextPreview(const PreviewDocument &document, const QStringList &words)
{
    RichText text;
    if (document.connectionParameters)
        text.append(PreviewHeader::create(document.connectionParameters.get(),
                                          document.documentOptions.value_or(QVariantMap()), document.fileName)
                        .richText());
    text.append(sqlToRtf(document.sql, words, document.connectionParameters.get()));
    return text;
}

void setData(VornQLRequest *request, const QByteArray &data, const char *contentType)
{
    if (request && request->setDataRepresentation)
        request->setDataRepresentation(request, data.constData(), size_t(data.size()), contentType);
}

} // namespace

VornOSStatus GenerateThumbnailForURL(void *, VornQLRequest *, const char *, const char *, const void *,
                                     VornSize)
{
    return VORN_NO_ERR;
}

void CancelThumbnailGeneration(void *, VornQLRequest *) {}

VornOSStatus GeneratePreviewForURL(void *, VornQLRequest *preview, const char *url, const char *,
                                   const void *)
{
    // Nothing may leave through the C interface: a failure gives no preview, never an error.
    try {
        const PreviewDocument document = PreviewDocument::fromURL(url ? QString::fromUtf8(url) : QString());
        const QStringList words = reservedWords();
        setData(preview, htmlPage(document, words, resourceFolder()).toUtf8(), "text/html");
        setData(preview, richTextPreview(document, words).rtfData(), "text/rtf");
    } catch (...) {
    }
    return VORN_NO_ERR;
}

void CancelPreviewGeneration(void *, VornQLRequest *) {}
