#pragma once

#include "browser/InfoItemGroup.h"

#include <QList>
#include <QMetaType>

#include <memory>

// One page of the info column. Its type is a single bit; the button of the page carries the same number.
struct InfoItemSection {
    enum Type : qint64 {
        General = 1,
        Columns = 2,
        Indexes = 4,
        Constraints = 8,
        Partitions = 16,
        DataDefinition = 32,
        Triggers = 64,
        CurrentSql = 128,
        Locks = 256,
        LongOperations = 512,
    };

    QString title;
    qint64 type = General;
    QList<InfoItemGroup> groups;
    // The content is final.
    bool fullyLoaded = false;
};

using InfoItemSectionPtr = std::shared_ptr<InfoItemSection>;
using InfoItemSections = QList<InfoItemSectionPtr>;

Q_DECLARE_METATYPE(InfoItemSections)
