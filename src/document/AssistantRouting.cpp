#include "document/AssistantRouting.h"

#include "connection/ConnectedController.h"
#include "document/VornDocument.h"
#include "window/VornTabbedWindowController.h"

#include <QCoreApplication>
#include <QPointer>

void AssistantRouting::adopt(ConnectedController &controller, std::shared_ptr<ThreadController> threads,
                             std::shared_ptr<StatusManager> status)
{
    controller.setDelegate(this);
    controller.setThreadController(std::move(threads));
    controller.setStatusManager(std::move(status));
}

void AssistantRouting::dropAssistantLater(QObject *assistant,
                                          QObject *(VornTabbedWindowController::*current)() const,
                                          void (VornTabbedWindowController::*destroy)())
{
    QPointer<VornTabbedWindowController> window = document_.vornWindowController();
    QPointer<QObject> closed = assistant;
    QMetaObject::invokeMethod(
        qApp,
        [window, closed, current, destroy] {
            if (window && closed && ((*window).*current)() == closed)
                ((*window).*destroy)();
        },
        Qt::QueuedConnection);
}

bool AssistantRouting::connectedControllerWantsRootReservationFor(ConnectedController *controller,
                                                                  const QString &description)
{
    return document_.connectedControllerWantsRootReservationFor(controller, description);
}

void AssistantRouting::connectedControllerWantsEndRootReservation(ConnectedController *controller)
{
    document_.connectedControllerWantsEndRootReservation(controller);
}

bool AssistantRouting::connectedControllerWantsToChangeFocus(ConnectedController *controller,
                                                             bool requiresEditing)
{
    return document_.connectedControllerWantsToChangeFocus(controller, requiresEditing);
}

bool AssistantRouting::connectedControllerWantsClearRootSelection(ConnectedController *controller)
{
    return document_.connectedControllerWantsClearRootSelection(controller);
}

ConnectionParametersPtr
AssistantRouting::connectedControllerWantsConnectionParameters(ConnectedController *controller)
{
    return document_.connectedControllerWantsConnectionParameters(controller);
}

QString AssistantRouting::connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *controller)
{
    return document_.connectedControllerWantsUniqueConnectionIdentifier(controller);
}
