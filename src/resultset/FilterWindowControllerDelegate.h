#pragma once

#include <QString>

class FilterWindowController;

// What the filter sheet asks of the grid that opened it.
class FilterWindowControllerDelegate
{
public:
    virtual ~FilterWindowControllerDelegate() = default;
    // The sheet closed: status 1 for Set, 0 for Cancel.
    virtual void filterWindowEndedWithStatus(FilterWindowController *sheet, int status) = 0;
    // The SQL condition for the column, value and operator code; empty when none can be made.
    virtual QString filterWindowNeedsQueryForColumn(FilterWindowController *sheet, const QString &columnName,
                                                    const QString &value, const QString &operatorCode) = 0;
};
