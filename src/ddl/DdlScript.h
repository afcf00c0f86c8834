#pragma once

#include <QString>
#include <QStringList>

// One built create script: the statements as they run (one by one, none with a terminating ";"), and
// the text that is shown, copied and inserted into the editor.
struct DdlScript {
    QStringList statements;
    QString text;
};
