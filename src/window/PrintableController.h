#pragma once

#include <QString>

// A pane whose content prints as text: the SQL editor's script, the plan analysis, the read-only
// object text, the stored-code source. A null QString means the pane has none of that part.
class PrintableController
{
public:
    virtual ~PrintableController() = default;
    virtual QString printViewNeedsContentString() const = 0;
    // The kind printed in the header and offered in the choice ("Analysis", "Procedure", ...).
    virtual QString printViewNeedsContentTypeString() const = 0;
    // The header's title, also the print job's name.
    virtual QString printViewNeedsTitle() const = 0;
    virtual QString printViewNeedsSourceQuery() const = 0;
    virtual QString printViewNeedsFileName() const = 0;
};
