#include "resultset/QuickFilterOperatorTitles.h"

#include <QCoreApplication>

namespace
{
struct OperatorTitle {
    const char *code;
    const char *title;
    // The title for a date column; null where it reads the same.
    const char *dateTitle;
};

// The date titles carry their lookup key as the translation's disambiguation.
const OperatorTitle titles[] = {
    {"LIKE", QT_TRANSLATE_NOOP("quickfilter", "Contains"), nullptr},
    {"NOTLIKE", QT_TRANSLATE_NOOP("quickfilter", "Does not contain"), nullptr},
    {"STARTSWITH", QT_TRANSLATE_NOOP("quickfilter", "Starts with"), nullptr},
    {"ENDSWITH", QT_TRANSLATE_NOOP("quickfilter", "Ends with"), nullptr},
    {"=", QT_TRANSLATE_NOOP("quickfilter", "Equal to"), "On"},
    {"!=", QT_TRANSLATE_NOOP("quickfilter", "Is not equal to"), "Not on"},
    {">", QT_TRANSLATE_NOOP("quickfilter", "Greater than"), "After"},
    {"<", QT_TRANSLATE_NOOP("quickfilter", "Smaller than"), "Before"},
    {"<=", QT_TRANSLATE_NOOP("quickfilter", "Smaller or equal to"), "On or before"},
    {">=", QT_TRANSLATE_NOOP("quickfilter", "Greater or equal to"), "On or after"},
    {"IS NULL", QT_TRANSLATE_NOOP("quickfilter", "Is empty"), nullptr},
    {"NOT IS NULL", QT_TRANSLATE_NOOP("quickfilter", "Is not empty"), nullptr},
};
} // namespace

QString textualOperatorForOperator(const QString &operatorCode, const QString &type)
{
    for (const OperatorTitle &entry : titles) {
        if (operatorCode != QLatin1String(entry.code))
            continue;
        if (entry.dateTitle && type == QLatin1String("D")) {
            const QByteArray key = QByteArrayLiteral("DATE-- ") + entry.title;
            return QCoreApplication::translate("quickfilter", entry.dateTitle, key.constData());
        }
        return QCoreApplication::translate("quickfilter", entry.title);
    }
    return operatorCode;
}
