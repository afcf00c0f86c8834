#include "tabs/TabbedDocument.h"

#include "kit/AdvancedWindow.h"
#include "tabs/TabbedWindowController.h"

#include <QDebug>
#include <QFileInfo>

#include <atomic>

namespace
{
quint64 nextDocumentId()
{
    static std::atomic<quint64> next{1};
    return next++;
}
} // namespace

TabbedDocument::TabbedDocument(QObject *parent) : QObject(parent), documentId_(nextDocumentId())
{
    setTabLabel(0);
}

TabbedDocument::~TabbedDocument() = default;

void TabbedDocument::setTabLabel(unsigned label)
{
    tabLabel_ = label;
}

void TabbedDocument::setSharedWindowController(TabbedWindowController *controller)
{
    sharedWindowController_ = controller;
}

void TabbedDocument::makeWindowControllers()
{
    makeWindowControllers(nullptr, true);
}

void TabbedDocument::makeWindowControllers(TabbedWindowController *windowController, bool nextToActive)
{
    if (this->windowController())
        return;
    if (!windowController) {
        windowController = createTabbedWindowController();
        if (!windowController)
            return;
        windowController->loadWindow();
    }
    addWindowController(windowController);
    windowController->addDocument(this, nextToActive);
    windowController->activateDocument(this);
}

void TabbedDocument::addWindowController(TabbedWindowController *windowController)
{
    setSharedWindowController(windowController);
}

void TabbedDocument::removeWindowController(TabbedWindowController *)
{
    // While this is the active tab the shared controller still names it, so the reference stays; a
    // second removal, after another tab became active, lets go of it.
    if (windowControllers().isEmpty())
        setSharedWindowController(nullptr);
}

bool TabbedDocument::isVisible() const
{
    return sharedWindowController_ && sharedWindowController_->activeDocument() == this;
}

QList<TabbedWindowController *> TabbedDocument::windowControllers() const
{
    if (isVisible())
        return {sharedWindowController_.data()};
    return {};
}

TabbedWindowController *TabbedDocument::windowController() const
{
    return isVisible() ? sharedWindowController_.data() : nullptr;
}

void TabbedDocument::showWindows()
{
    if (sharedWindowController_)
        sharedWindowController_->activateDocument(this);
    if (TabbedWindowController *controller = windowController()) {
        AdvancedWindow *window = controller->window();
        if (!window->isVisible()) {
            window->show();
            window->lower();
        }
    }
}

void TabbedDocument::showThisDocument()
{
    if (sharedWindowController_)
        sharedWindowController_->activateDocument(this);
}

void TabbedDocument::documentUpdated()
{
    documentStatusUpdated();
}

void TabbedDocument::documentStatusUpdated()
{
    if (sharedWindowController_)
        sharedWindowController_->documentStatusUpdated(this);
}

QString TabbedDocument::displayName() const
{
    if (filePath_.isEmpty())
        return tr("Untitled");
    return QFileInfo(filePath_).fileName();
}

void TabbedDocument::canCloseDocumentWithDelegate(CloseCallback shouldClose)
{
    shouldClose(this, true);
}

void TabbedDocument::close()
{
    if (closed_)
        return;
    closed_ = true;
    emit documentClosed(this);
}

TabbedWindowController *TabbedDocument::createTabbedWindowController()
{
    qWarning("Subclasses must implement - (TabbedWindowController*)createTabbedWindowController;");
    return nullptr;
}

void TabbedDocument::loadDocumentInWindowController(TabbedWindowController *)
{
    qWarning("TabbedDocument subclass must implement - (void)loadDocumentInWindowController:"
             "(TabbedWindowController*)windowController;");
}

void TabbedDocument::restoreDocumentWithInfo(const std::optional<QVariantMap> &)
{
    qWarning("TabbedDocument subclass must implement - (void)restoreDocumentWithInfo:(NSDictionary*)state;");
}

TabbedDocumentState TabbedDocument::documentState() const
{
    qWarning("TabbedDocument subclass must implement - (TabbedDocumentState)documentState;");
    return TabbedDocumentStateNone;
}

QString TabbedDocument::contextDisplayName() const
{
    qWarning("TabbedDocument subclass must implement - (NSString*)contextDisplayName;");
    return QStringLiteral("contextDisplayName");
}

QVariantMap TabbedDocument::restorableDocumentInfo() const
{
    qWarning("TabbedDocument subclass must implement - (NSDictionary*)restorableDocumentInfo;");
    return {};
}

void TabbedDocument::documentRestorationComplete()
{
    qWarning("TabbedDocument subclass must implement - (void)documentRestorationComplete;");
}
