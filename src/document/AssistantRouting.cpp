#include "document/AssistantRouting.h"

#include "connection/ConnectedController.h"
#include "document/VornDocument.h"
#include "window/VornTabbedWindowController.h"

#include <QCoreApplication>
#include <QPointer>

AssistantRouting::AssistantRouting(VornDocument &document)
    : DocumentConnectionAnswers(document), document_(document)
{
}

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
