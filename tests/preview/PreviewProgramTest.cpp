// vorn-preview as a user or the desktop runs it: the RTF it writes, read back by LibreOffice, is
// the document's SQL; its thumbnails have the asked size and show the coloured text.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace
{

QString hostPath()
{
    return qEnvironmentVariable("VORN_BUILD_DIR") + QStringLiteral("/bin/vorn-preview");
}

struct HostRun {
    int exitCode = -1;
    QString errors;
};

HostRun runHost(const QStringList &arguments)
{
    QProcess process;
    process.start(hostPath(), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return HostRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                   QString::fromUtf8(process.readAllStandardError())};
}

QString writeDocument(const QTemporaryDir &dir, const QString &name, const QString &text)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    return path;
}

// The RTF file's text as LibreOffice reads it, as UTF-8 plain text.
QString textByLibreOffice(const QTemporaryDir &dir, const QString &rtfPath)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    EXPECT_FALSE(soffice.isEmpty()) << "LibreOffice (scripts/install-deps installs it) is needed";
    QProcess process;
    process.start(soffice,
                  {"-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
                   "--headless", "--convert-to", "txt:Text (encoded):UTF8", "--outdir", dir.filePath("out"),
                   rtfPath});
    EXPECT_TRUE(process.waitForFinished(180000)) << process.readAllStandardError().constData();
    QFile text(dir.filePath("out/" + QFileInfo(rtfPath).completeBaseName() + ".txt"));
    EXPECT_TRUE(text.open(QIODevice::ReadOnly)) << process.readAllStandardError().constData();
    QString read = QString::fromUtf8(text.readAll());
    if (read.startsWith(QChar(0xfeff)))
        read.remove(0, 1);
    return read;
}

TEST(PreviewProgramTest, RtfReadBackByLibreOfficeIsTheSqlText)
{
    QTemporaryDir dir;
    const QString sql = QStringLiteral("SELECT 'café \\ {x}', \"Naïve\"\tFROM t -- € \U0001F600\n"
                                       "WHERE a = :a;\nSELECT 2;");
    const QString document = writeDocument(dir, "plain.sql", sql);
    const QString rtf = dir.filePath("plain.rtf");
    const HostRun run = runHost({"--rtf", rtf, document});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();

    QString read = textByLibreOffice(dir, rtf);
    while (read.endsWith('\n') || read.endsWith('\r'))
        read.chop(1);
    EXPECT_EQ(read.replace("\r\n", "\n"), sql);
}

TEST(PreviewProgramTest, WritesRtfAndHtmlOfADocument)
{
    QTemporaryDir dir;
    const QString document = writeDocument(dir, "two.sql", "select 1;\n\nselect 2;\n");
    const HostRun run =
        runHost({"--rtf", dir.filePath("two.rtf"), "--html", dir.filePath("two.html"), document});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    QFile rtf(dir.filePath("two.rtf"));
    QFile html(dir.filePath("two.html"));
    ASSERT_TRUE(rtf.open(QIODevice::ReadOnly));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    EXPECT_TRUE(rtf.readAll().contains(QByteArray(84, '-')));
    const QByteArray page = html.readAll();
    EXPECT_TRUE(page.startsWith("<html><head><style>"));
    EXPECT_TRUE(page.contains("<div id='connectionName'>two.sql</div>"));
}

TEST(PreviewProgramTest, ThumbnailHasTheAskedSizeAndShowsColouredText)
{
    QTemporaryDir dir;
    QString sql;
    for (int i = 0; i < 12; ++i)
        sql += QStringLiteral("SELECT name, 'literal %1' FROM customers WHERE id = %1;\n").arg(i);
    const QString document = writeDocument(dir, "long.sql", sql);
    for (const int size : {128, 256}) {
        const QString png = dir.filePath(QStringLiteral("thumb%1.png").arg(size));
        const HostRun run = runHost({"--thumbnail", QString::number(size), document, png});
        ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
        const QImage image(png);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(size * 3 / 4, size));
        int blue = 0;
        int red = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor colour = image.pixelColor(x, y);
                blue += colour.blue() > colour.red() + 60 && colour.blue() > colour.green() + 60;
                red += colour.red() > colour.blue() + 60 && colour.red() > colour.green() + 60;
            }
        }
        EXPECT_GT(blue, 10) << "reserved words in blue at " << size;
        EXPECT_GT(red, 10) << "literals in red at " << size;
    }
}

TEST(PreviewProgramTest, BadArgumentsAndMissingGeneratorAreReported)
{
    QTemporaryDir dir;
    const QString document = writeDocument(dir, "a.sql", "SELECT 1;");
    const QString png = dir.filePath("a.png");

    HostRun run = runHost({"--thumbnail", "0", document, png});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("The thumbnail size must be a number from 1 to 4096."))
        << run.errors.toStdString();
    EXPECT_FALSE(QFile::exists(png));

    run = runHost({document});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("usage:"));

    run = runHost({"--generator", dir.filePath("missing.so"), "--rtf", dir.filePath("a.rtf"), document});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("Cannot load the preview generator")) << run.errors.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("a.rtf")));

    run = runHost({"--rtf", dir.filePath("no/such/folder/a.rtf"), document});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("Cannot write")) << run.errors.toStdString();
}

TEST(PreviewProgramTest, InstalledHostDrawsThumbnailsForTheDesktopsSqlType)
{
    QTemporaryDir prefix;
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start("cmake", {"--install", qEnvironmentVariable("VORN_BUILD_DIR"), "--prefix", prefix.path()});
    ASSERT_TRUE(install.waitForFinished(300000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().constData();

    QFile entry(prefix.filePath("share/thumbnailers/vorn.thumbnailer"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString host = prefix.filePath("bin/vorn-preview");
    const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines, QStringList({"[Thumbnailer Entry]", "TryExec=" + host,
                                  "Exec=" + host + " --thumbnail %s %i %o", "MimeType=application/sql;"}));
    EXPECT_EQ(QMimeDatabase().mimeTypeForFile("x.sql", QMimeDatabase::MatchExtension).name(),
              "application/sql");

    // As the desktop runs it: the entry's command with its fields filled in.
    const QString document = writeDocument(prefix, "doc.sql", "SELECT 'x' FROM dual;");
    QProcess thumbnailer;
    thumbnailer.start(host, {"--thumbnail", "64", document, prefix.filePath("doc.png")});
    ASSERT_TRUE(thumbnailer.waitForFinished(60000));
    EXPECT_EQ(thumbnailer.exitCode(), 0) << thumbnailer.readAllStandardError().constData();
    EXPECT_EQ(QImage(prefix.filePath("doc.png")).size(), QSize(48, 64));
}

} // namespace
