#include "transfer/XLSXPackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <memory>

namespace
{

QString tr(const char *text)
{
    return QCoreApplication::translate("importer", text);
}

QString zipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

struct ArchiveCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

Archive openArchive(const QString &path, int flags, QString *error)
{
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), flags, &code);
    if (!archive)
        *error = tr("%1 is not a readable workbook package: %2").arg(path, zipErrorText(code));
    return Archive(archive);
}

QString extractEntry(zip_t *archive, zip_uint64_t index, const QString &target)
{
    std::unique_ptr<zip_file_t, EntryCloser> entry(zip_fopen_index(archive, index, 0));
    if (!entry)
        return QString::fromUtf8(zip_strerror(archive));
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file.errorString();
    char buffer[65536];
    while (true) {
        const zip_int64_t read = zip_fread(entry.get(), buffer, sizeof buffer);
        if (read < 0)
            return QString::fromUtf8(zip_file_strerror(entry.get()));
        if (read == 0)
            break;
        if (file.write(buffer, read) != read)
            return file.errorString();
    }
    return QString();
}

} // namespace

namespace XLSXPackage
{

bool isSafeEntryName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.startsWith(u'\\'))
        return false;
    if (name.size() >= 2 && name[1] == u':')
        return false;
    QString steps = name;
    steps.replace(u'\\', u'/');
    for (const QString &step : steps.split(u'/')) {
        if (step == QLatin1String(".."))
            return false;
    }
    return true;
}

QString unpack(const QString &packagePath, const QString &folder)
{
    QString error;
    const Archive archive = openArchive(packagePath, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive)
        return error;
    const QDir root(folder);
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *rawName = zip_get_name(archive.get(), zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString name = QString::fromUtf8(rawName ? rawName : "");
        if (!isSafeEntryName(name))
            return tr("The workbook package holds an entry outside its folder: %1").arg(name);
        const QString target = root.filePath(QString(name).replace(u'\\', u'/'));
        if (name.endsWith(u'/') || name.endsWith(u'\\')) {
            root.mkpath(target);
            continue;
        }
        root.mkpath(QFileInfo(target).path());
        const QString failure = extractEntry(archive.get(), zip_uint64_t(i), target);
        if (!failure.isNull())
            return tr("The entry %1 of the workbook package could not be read: %2").arg(name, failure);
    }
    return QString();
}

QString replaceEntries(const QString &packagePath, const QString &folder, const QStringList &entryNames)
{
    QString error;
    Archive archive = openArchive(packagePath, 0, &error);
    if (!archive)
        return error;
    const QDir root(folder);
    for (const QString &name : entryNames) {
        const zip_int64_t index = zip_name_locate(archive.get(), name.toUtf8().constData(), 0);
        if (index < 0)
            return tr("The workbook package has no entry %1").arg(name);
        zip_source_t *source =
            zip_source_file(archive.get(), QFile::encodeName(root.filePath(name)).constData(), 0, -1);
        if (!source || zip_file_replace(archive.get(), zip_uint64_t(index), source, ZIP_FL_ENC_UTF_8) < 0) {
            if (source)
                zip_source_free(source);
            return tr("The entry %1 could not be replaced: %2")
                .arg(name, QString::fromUtf8(zip_strerror(archive.get())));
        }
        zip_set_file_compression(archive.get(), zip_uint64_t(index), ZIP_CM_DEFLATE, 6);
    }
    if (zip_close(archive.get()) < 0)
        return tr("The workbook package %1 could not be written: %2")
            .arg(packagePath, QString::fromUtf8(zip_strerror(archive.get())));
    archive.release();
    return QString();
}

} // namespace XLSXPackage
