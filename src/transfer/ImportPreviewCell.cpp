#include "transfer/ImportPreviewCell.h"

#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "transfer/ImportOptions.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cmath>

QString ImportPreviewCell::numberText(const QString &plain, const QString &format)
{
    bool ok = false;
    const double number = plain.toDouble(&ok);
    if ((ok && std::isnan(number)) || plain.compare(QLatin1String("nan"), Qt::CaseInsensitive) == 0)
        return QCoreApplication::translate("importer", "Not a number");
    if (ok && format.contains(QLatin1Char('e')))
        return QString::number(number, 'e', QLocale::FloatingPointShortest);
    // The parsed text already has "." as its decimal separator and no grouping.
    return plain;
}

namespace
{

// The user's timestamp pattern, whose fraction of a second is "S".
QString timestampPattern()
{
    QString pattern = UserDefaults::standard().stringForKey(PreferenceKey::cocoaTimestampDataFormat);
    if (pattern.isEmpty())
        pattern = QStringLiteral("yyyy-MM-dd HH:mm:ss.S");
    static const QRegularExpression fraction(QStringLiteral("S+"));
    return pattern.replace(fraction, QStringLiteral("zzz"));
}

} // namespace

QString ImportPreviewCell::convertedText(ImportOptions &options, const ImportColumn &column,
                                         const QString &value)
{
    const bool typed =
        column.input_column_type == QLatin1String("N") || column.input_column_type == QLatin1String("D");
    if (!typed)
        return value;
    const ImportValue converted = options.convertColumnValue(value, column);
    if (converted.kind == ImportValue::Number)
        return numberText(converted.text, column.input_column_format);
    if (converted.kind != ImportValue::DateTime)
        return QString();
    QString text = converted.dateTime.toString(timestampPattern());
    const qsizetype midnight = text.indexOf(QLatin1String(" 00:00:00.0"));
    if (midnight >= 0 && UserDefaults::standard().boolForKey(PreferenceKey::timestampRoundMidnight))
        text.truncate(midnight);
    return text;
}
