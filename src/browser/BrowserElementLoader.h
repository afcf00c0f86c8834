#pragma once

#include "browser/BrowserControllerLoadingElement.h"
#include "client/BackendOutcome.h"

class VornBrowserClient;

// The backend call that makes a load request's element the root's current object: unfiltered, with
// a column filter, with quick filters and sorts, or a management view with its defaults. Any thread.
class BrowserElementLoader
{
public:
    // The schema the backend knows management views by.
    static inline const QString managementSchema =
        QStringLiteral("__VORN__MANAGEMENT__|__VORN__MANAGEMENT__");

    static BackendOutcome load(VornBrowserClient &browser, const BrowserControllerLoadingElement &request);
    // A filtered load of a schema object refused for its values: it is loaded again without them.
    static bool retriesWithoutFilter(const BrowserControllerLoadingElement &request, const QString &message);

private:
    static BackendOutcome loadManagementView(VornBrowserClient &browser,
                                             const BrowserControllerLoadingElement &request);
};
