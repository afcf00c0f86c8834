#include "kit/FormatUtils.h"

QString FormatUtils::timeText(double seconds)
{
    const qint64 s = static_cast<qint64>(seconds);
    if (s >= 3600)
        return QStringLiteral("%1h %2m").arg(s / 3600).arg((s / 60) % 60);
    const qint64 minutes = s / 60;
    if (minutes < 1)
        return QStringLiteral("%1s").arg(s - minutes * 60);
    return QStringLiteral("%1m %2s").arg(minutes).arg(s - minutes * 60);
}

QString FormatUtils::sizeText(quint64 bytes)
{
    if (bytes >= (quint64(1) << 30))
        return QStringLiteral("%1 GB").arg(bytes >> 30);
    if (bytes >= (quint64(1) << 20))
        return QStringLiteral("%1 MB").arg(bytes >> 20);
    if (bytes >= 1024)
        return QStringLiteral("%1 KB").arg(bytes >> 10);
    return QStringLiteral("%1 B").arg(bytes);
}
