#pragma once

#include <QString>
#include <QVariant>

class UserDefaults;

// The preference keys every part of the application reads, with the defaults written into the user's
// store at start-up. Missing keys are written (not registered), so after the first launch every key is
// present in the preferences file; colours are "#rrggbb" text; an existing value is never replaced, whatever
// its kind.
class PreferenceDefaults
{
public:
    // Writes every missing key, derives `cocoaTimestampDataFormat` from `timestampDataFormat`, turns a
    // stored `exportSource` of 0 into -1 and flushes the store. main() calls it with the standard store
    // before the application object exists.
    static void setDefaultPreferences(UserDefaults &defaults);

    // The Qt date pattern used where we format or parse timestamps ourselves, derived from the backend's
    // pattern in `timestampDataFormat`.
    static QString cocoaTimestampFormatFor(const QString &timestampDataFormat);

    // The value the writer gives a missing key; invalid for a key without one (and for the derived
    // `cocoaTimestampDataFormat`).
    static QVariant defaultValue(const QString &key);
};
