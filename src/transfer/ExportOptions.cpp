#include "transfer/ExportOptions.h"

#include "transfer/TransferLog.h"
#include <QCoreApplication>

void ExportOptions::reset()
{
    columns.clear();
    stringEncoding = Utf8;
    exportToClipboard = false;
    recordSourceCount = -1;
    includeHeaders = true;
    delimiter = u',';
    doubleQuoteResults = true;
    sheetName = QCoreApplication::translate("export", "Export");
}

void ExportOptions::loadColumns(const QStringList &names, const QHash<QString, QString> &types)
{
    columns.clear();
    for (const QString &name : names) {
        ExportColumn column;
        column.name = name;
        column.column_name = name;
        column.column_type = types.value(name);
        columns.append(column);
    }
}

void ExportOptions::moveColumn(int from, int to)
{
    if (from < 0 || from >= columns.size() || to < 0 || to > columns.size())
        return;
    const ExportColumn moved = columns.takeAt(from);
    columns.insert(to > from ? to - 1 : to, moved);
}

QList<ExportColumn> ExportOptions::enabledColumns() const
{
    QList<ExportColumn> enabled;
    for (const ExportColumn &column : columns) {
        if (column.enabled)
            enabled.append(column);
    }
    return enabled;
}

QList<quint64> ExportOptions::supportedEncodings()
{
    return {Utf8,          IsoLatin1,     IsoLatin2,       MacRoman,     Utf16BigEndian, Utf16LittleEndian,
            WindowsLatin1, WindowsLatin2, WindowsCyrillic, WindowsGreek, WindowsTurkish};
}

QString ExportOptions::nameForEncoding(quint64 encoding)
{
    switch (encoding) {
    case Utf8:
        return QStringLiteral("UTF-8");
    case IsoLatin1:
        return QStringLiteral("ISO Latin 1");
    case IsoLatin2:
        return QStringLiteral("ISO Latin 2");
    case MacRoman:
        return QStringLiteral("Mac OS Roman");
    case Utf16BigEndian:
        return QStringLiteral("UTF-16 (Big endian)");
    case Utf16LittleEndian:
        return QStringLiteral("UTF-16 Little endian");
    case WindowsLatin1:
        return QStringLiteral("Windows Latin 1 (CP1252)");
    case WindowsLatin2:
        return QStringLiteral("Windows Latin 2 (CP1250)");
    case WindowsCyrillic:
        return QStringLiteral("Windows Cyrillic (CP1251)");
    case WindowsGreek:
        return QStringLiteral("Windows Greek (CP1253)");
    case WindowsTurkish:
        return QStringLiteral("Windows Turkish (CP1254)");
    case Utf16:
        return QStringLiteral("UTF-16");
    default:
        qCWarning(lcTransfer, "WARNING UNKNOWN ENCODING %lld", qint64(encoding));
        return QStringLiteral("UTF-8");
    }
}
