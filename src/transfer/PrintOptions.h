#pragma once

#include <QString>

// The user's print options, as the print dialog's options tab sets them.
struct PrintOptions {
    bool header = true;        // document header on the first page
    bool columnHeader = true;  // column band on every page of a result set
    bool footer = true;        // print date and page number on every page
    bool alternateRows = true; // shaded odd rows and a coloured column band
    bool truncateQuery = true; // header values cut after their eighth line
    qint64 source = 0;
    qint64 sourceLength = 200;

    static PrintOptions fromPreferences();
    // Changes whenever an option that changes the measurements does.
    QString key() const;
};
