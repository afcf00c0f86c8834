#pragma once

#include <QString>

// The document's backend root as the status manager questions it: the current result set and
// the connection type. Asked on the main thread, for the status bar.
class StatusManagerRoot
{
public:
    virtual ~StatusManagerRoot() = default;
    // False when the root holds no result set; the other result-set questions are then not asked.
    virtual bool hasResultset() const = 0;
    virtual qint32 resultsetRowCount() const = 0;
    virtual bool resultsetFullyLoaded() const = 0;
    virtual bool resultsetReadOnly() const = 0;
    // The reason code ("NOSTATE", "VIEW", ...), or a null string.
    virtual QString resultsetReadOnlyReason() const = 0;
    virtual QString connectionType() const = 0;
};
