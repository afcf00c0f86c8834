#include "transfer/ImportValue.h"

QString ImportValue::backendText() const
{
    switch (kind) {
    case Text:
    case Number:
        return text;
    case DateTime:
        return dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    default:
        return QString();
    }
}
