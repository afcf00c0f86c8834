#include "document/ManagementRefresh.h"

#include "browser/BrowserController.h"
#include "document/BrowserRouting.h"
#include "document/VornDocument.h"
#include "resultset/ResultsetController.h"

ManagementRefresh::ManagementRefresh(VornDocument &document) : document_(document)
{
    timer_.setSingleShot(true);
    timer_.setInterval(intervalMs);
    QObject::connect(&timer_, &QTimer::timeout, &document_, [this] { managementAutoUpdate(); });
}

void ManagementRefresh::checkManagementTimer()
{
    if (!document_.browserController()->managementMode())
        return;
    const BrowserElementPtr element = document_.browserRouting().selectedElement();
    const bool autorefresh = element && element->options().value(QStringLiteral("autorefresh")).toBool();
    timer_.stop();
    if (autorefresh)
        timer_.start();
}

void ManagementRefresh::managementAutoUpdate()
{
    ResultsetController *resultset = document_.resultsetController();
    if (document_.browserController()->managementMode() && resultset->canRefresh())
        resultset->refresh();
}
