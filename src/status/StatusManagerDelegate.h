#pragma once

#include <QString>

class StatusBarElement;
class StatusManager;

// What the status manager asks of and tells its document. Every call comes on the main thread, and
// only while the document is the manager's delegate: the document clears itself as delegate before
// it goes.
class StatusManagerDelegate
{
public:
    virtual ~StatusManagerDelegate() = default;

    virtual void statusManagerHasStatusUpdate(StatusManager *manager) = 0;
    virtual void statusManagerHasTextOnlyStatusUpdate(StatusManager *manager) = 0;
    virtual void statusManagerHasAlert(StatusManager *manager) = 0;
    virtual bool statusManagerCurrentElementSupportsNotifications(StatusManager *manager) = 0;
    virtual bool statusManagerDocumentIsActive(StatusManager *manager) = 0;
    virtual bool statusManagerCanCancelAction(StatusManager *manager) = 0;
    virtual void statusManagerCancelAction(StatusManager *manager) = 0;
    virtual void statusManagerWantsToDisconnect(StatusManager *manager) = 0;
    virtual void statusManagerWantsToReconnect(StatusManager *manager) = 0;
    // 0 not connected, 1 connecting, 2 connected.
    virtual qint64 statusManagerConnectionStatus(StatusManager *manager) = 0;
    virtual QString statusManagerWantsReconnectName(StatusManager *manager) = 0;
    virtual QString statusManagerNeedsSelectedSchema(StatusManager *manager) = 0;
    // The selected element, or null; used at once, never kept.
    virtual const StatusBarElement *statusManagerNeedsBrowserElement(StatusManager *manager) = 0;
    virtual void statusManagerWantsToActivateDocument(StatusManager *manager) = 0;
};
