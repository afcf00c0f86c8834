// vorn-preview: loads the preview generator and writes a saved SQL document's preview as RTF and
// HTML, or draws its thumbnail as a PNG (the desktop's thumbnailer entry calls it so).
#include "PreviewGeneratorHost.h"
#include "ThumbnailRenderer.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

namespace
{

int fail(const QString &message)
{
    std::fprintf(stderr, "vorn-preview: %s\n", qPrintable(message));
    return 1;
}

bool writeFile(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    // The host draws without a window: it runs where the desktop's thumbnailers run, often
    // without a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("vorn-preview"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Previews a saved Vorn SQL document."));
    parser.addHelpOption();
    const QCommandLineOption generator(QStringLiteral("generator"), QStringLiteral("The generator library."),
                                       QStringLiteral("library"),
                                       PreviewGeneratorHost::installedGeneratorPath());
    const QCommandLineOption rtf(QStringLiteral("rtf"), QStringLiteral("Write the preview as RTF."),
                                 QStringLiteral("file"));
    const QCommandLineOption html(QStringLiteral("html"), QStringLiteral("Write the preview as HTML."),
                                  QStringLiteral("file"));
    const QCommandLineOption thumbnail(QStringLiteral("thumbnail"),
                                       QStringLiteral("Draw a thumbnail of the size as a PNG file."),
                                       QStringLiteral("size"));
    parser.addOptions({generator, rtf, html, thumbnail});
    parser.addPositionalArgument(QStringLiteral("document"),
                                 QStringLiteral("The SQL document (path or URL)."));
    parser.addPositionalArgument(QStringLiteral("png"),
                                 QStringLiteral("With --thumbnail: the PNG to write."));
    parser.process(app);

    const QStringList arguments = parser.positionalArguments();
    const bool drawing = parser.isSet(thumbnail);
    if (arguments.size() != (drawing ? 2 : 1) || (!drawing && !parser.isSet(rtf) && !parser.isSet(html)))
        return fail(QStringLiteral("usage: vorn-preview [--generator library] (--rtf file | --html file)... "
                                   "document, or --thumbnail size document png"));
    bool sizeRead = false;
    const int size = parser.value(thumbnail).toInt(&sizeRead);
    if (drawing && (!sizeRead || size < 1 || size > 4096))
        return fail(QStringLiteral("The thumbnail size must be a number from 1 to 4096."));

    QString error;
    const std::unique_ptr<PreviewGeneratorHost> host =
        PreviewGeneratorHost::load(parser.value(generator), &error);
    if (!host)
        return fail(error);
    const QMap<QByteArray, QByteArray> preview = host->previewForURL(arguments.at(0));

    if (drawing) {
        const QImage image = ThumbnailRenderer::render(QString::fromUtf8(preview.value("text/html")), size);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return writeFile(arguments.at(1), png, &error) ? 0 : fail(error);
    }
    if (parser.isSet(rtf) && !writeFile(parser.value(rtf), preview.value("text/rtf"), &error))
        return fail(error);
    if (parser.isSet(html) && !writeFile(parser.value(html), preview.value("text/html"), &error))
        return fail(error);
    return 0;
}
