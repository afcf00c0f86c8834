#pragma once

#include <QString>

// Short texts for durations and byte counts (result cells, session details).
class FormatUtils
{
public:
    // "59s", "1m 0s", "2h 2m": seconds are truncated and left out from an hour up.
    static QString timeText(double seconds);
    // "1023 B", "1 KB", "1 GB": binary units, truncated.
    static QString sizeText(quint64 bytes);
};
