#pragma once

#include <QList>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

// What the activity viewer makes of the backend's connection list, apart from any widget.
namespace ActivityEntries
{

// The "settings" of each entry, a child directly under its parent: an entry without "parentUid" is
// appended; one with it goes right after the first entry already placed whose "uid" it names (so of
// several children the one listed last comes first), or is appended when its parent was not met.
QList<QVariantMap> ordered(const QVariantList &entries);

// The text of an activity code; empty (and a diagnostic) for a code the viewer does not know.
QString stateString(const QString &code);

// One row as it shows: the status and message texts, whether it is busy, whether its stop button
// works, and its progress between 0 and 1 (none: no measurable progress).
struct RowText {
    QString status;
    QString message;
    bool active = false;
    bool stopable = false;
    std::optional<double> progress;
};
RowText rowText(const QVariantMap &settings, bool stopable);

} // namespace ActivityEntries
