#pragma once

#include "browser/InfoItem.h"

#include <QList>

// A block of info lines under an optional title; the arrangement bits say how the view lays it out.
struct InfoItemGroup {
    enum Arrangement : qint64 {
        AlignValueRight = 1,
        ValueFillsRow = 2, // values right-aligned; the name keeps its width, the value takes the rest
        OwnNameWidth = 4,  // no name column shared by the group's lines
        WrapValue = 8,
        BoldName = 16,
    };

    QString title;
    QList<InfoItem> items;
    qint64 infoItemGroupArrangement = 0;

    static InfoItemGroup groupWithTitle(const QString &title, const QList<InfoItem> &items,
                                        qint64 arrangement = 0)
    {
        return {title, items, arrangement};
    }
};
