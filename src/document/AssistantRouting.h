#pragma once

#include "document/DocumentConnectionAnswers.h"

#include <memory>

class ConnectedController;
class QObject;
class StatusManager;
class ThreadController;
class VornDocument;
class VornTabbedWindowController;

// What the document's import and export share: each owns a connected controller whose connection
// questions the document answers, and runs an assistant sheet on the document window that goes once
// it has closed.
class AssistantRouting : public DocumentConnectionAnswers<ConnectedControllerDelegate>
{
public:
    AssistantRouting(const AssistantRouting &) = delete;
    AssistantRouting &operator=(const AssistantRouting &) = delete;

protected:
    explicit AssistantRouting(VornDocument &document);

    // The controller asks this part its connection questions and works with the document's workers
    // and status.
    void adopt(ConnectedController &controller, std::shared_ptr<ThreadController> threads,
               std::shared_ptr<StatusManager> status);
    // The assistant reports its end from inside its own wizard's call: it goes once that call has
    // returned, when the window still shows it.
    void dropAssistantLater(QObject *assistant, QObject *(VornTabbedWindowController::*current)() const,
                            void (VornTabbedWindowController::*destroy)());

    VornDocument &document_;
};
