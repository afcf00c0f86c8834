#pragma once

#include <QString>
#include <QTextDocument>

#include <memory>

// A pane's model as a source for printing: the coloured text to print and what the page header names.
// Null strings where the source has nothing to say.
class PrintableController
{
public:
    virtual ~PrintableController() = default;

    // A copy the printer may lay out as it likes.
    virtual std::unique_ptr<QTextDocument> printViewNeedsContentString() const = 0;
    virtual QString printViewNeedsContentTypeString() const = 0;
    virtual QString printViewNeedsTitle() const = 0;
    virtual QString printViewNeedsSourceQuery() const = 0;
    virtual QString printViewNeedsFileName() const = 0;
};
