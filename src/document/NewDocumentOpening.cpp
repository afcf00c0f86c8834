#include "document/NewDocumentOpening.h"

#include "document/VornDocument.h"
#include "platform/Preferences.h"
#include "tabs/TabbedDocumentController.h"
#include "tabs/TabbedWindowController.h"

#include <QPointer>

void openNewDocumentLater(VornDocument &document, const QVariantMap &initializationInfo, bool newWindow)
{
    QPointer<TabbedWindowController> window = newWindow ? nullptr : document.windowController();
    QMetaObject::invokeMethod(
        &document,
        [info = initializationInfo, window, newWindow] {
            TabbedDocumentController *documents = TabbedDocumentController::sharedDocumentController();
            if (!documents || (!newWindow && !window))
                return;
            TabbedDocument *opened = documents->openUntitledDocumentAndDisplay(
                true, window, true, Preferences().flag(PreferenceKey::selectCreatedTabs), info, nullptr);
            if (opened && opened->windowController() && opened->windowController()->isWindowLoaded())
                opened->windowController()->window()->activateWindow();
        },
        Qt::QueuedConnection);
}
