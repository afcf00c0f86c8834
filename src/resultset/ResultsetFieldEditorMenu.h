#pragma once

#include <QString>

class QMenu;
class QObject;
class ResultsetController;

// The items the context menu of a cell being typed into adds to the standard text commands: the
// sequences that fit the column (the one used last first) and the current date or date and time. Each
// item calls the target's action of the same name (selectSequence, insertDate, insertTime) with the
// item as sender; a sequence item carries [sequence name, column name] as its "representedObject".
class ResultsetFieldEditorMenu
{
public:
    static void addEditModeItems(QMenu *menu, ResultsetController *model, const QString &columnName,
                                 QObject *target);
};
