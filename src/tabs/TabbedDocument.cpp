#include "tabs/TabbedDocument.h"
#include "platform/AppFolders.h"
#include "platform/OwnerOnlyFile.h"

#include "kit/AdvancedWindow.h"
#include "tabs/TabbedWindowController.h"
#include "tabs/TabsLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

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
    autosaveTimer_.setSingleShot(true);
    autosaveTimer_.setInterval(autosaveDelayMs);
    connect(&autosaveTimer_, &QTimer::timeout, this, [this] { autosave(); });
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
    emit restorableStateChanged(this);
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

QByteArray TabbedDocument::dataOfType() const
{
    qCWarning(lcTabs, "TabbedDocument::dataOfType() is not overridden");
    return {};
}

bool TabbedDocument::readFromData(const QByteArray &, QString *error)
{
    if (error)
        *error = tr("This kind of document cannot be read.");
    return false;
}

namespace
{
bool writeFile(const QString &path, const QByteArray &data, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}
} // namespace

bool TabbedDocument::saveToFile(const QString &path, QString *error)
{
    if (!writeFile(path, dataOfType(), error))
        return false;
    filePath_ = path;
    edited_ = false;
    unautosaved_ = false;
    autosaveTimer_.stop();
    removeAutosavedContents(); // the work is in its file now
    documentUpdated();
    return true;
}

void TabbedDocument::setDocumentEdited(bool edited)
{
    edited_ = edited;
    unautosaved_ = edited;
    if (edited) {
        autosaveTimer_.start();
        return;
    }
    // Reverted or discarded: a copy left behind would bring the dropped edits back after a crash.
    autosaveTimer_.stop();
    if (autosavedContentsFilePath_.isEmpty())
        return;
    removeAutosavedContents();
    emit restorableStateChanged(this);
}

void TabbedDocument::adoptAutosavedContents(const QString &path)
{
    autosaveTimer_.stop();
    autosavedContentsFilePath_ = path;
    edited_ = true;
    unautosaved_ = false;
}

bool TabbedDocument::autosave(QString *error)
{
    autosaveTimer_.stop();
    if (closed_ || !unautosaved_)
        return true;
    const bool firstCopy = autosavedContentsFilePath_.isEmpty();
    if (firstCopy)
        autosavedContentsFilePath_ = newTemporaryFilePath();
    if (!writeOwnerOnlyFile(autosavedContentsFilePath_, dataOfType(), error)) {
        if (firstCopy)
            autosavedContentsFilePath_.clear(); // no copy to point the restoration at
        return false;
    }
    unautosaved_ = false;
    // Until the restoration knows the copy, a crash would bring the work back apart from its tab.
    if (firstCopy)
        emit restorableStateChanged(this);
    return true;
}

QString TabbedDocument::autosaveFolder()
{
    return AppFolders::autosave();
}

QString TabbedDocument::newTemporaryFilePath()
{
    const QDir folder(autosaveFolder());
    QString path;
    do {
        path = folder.filePath(
            QStringLiteral("Vorn Temp %1.sql").arg(QRandomGenerator::global()->bounded(1, INT_MAX)));
    } while (QFileInfo::exists(path));
    return path;
}

bool TabbedDocument::isOwnAutosaveFile(const QString &path)
{
    return AppFolders::holdsPlainFile(autosaveFolder(), path) && path.endsWith(QLatin1String(".sql"));
}

void TabbedDocument::removeAutosavedContents()
{
    if (autosavedContentsFilePath_.isEmpty())
        return;
    QFile::remove(autosavedContentsFilePath_);
    autosavedContentsFilePath_.clear();
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
    autosaveTimer_.stop();
    removeAutosavedContents();
    emit documentClosed(this);
}

TabbedWindowController *TabbedDocument::createTabbedWindowController()
{
    qCWarning(lcTabs, "TabbedDocument::createTabbedWindowController() is not overridden");
    return nullptr;
}

void TabbedDocument::loadDocumentInWindowController(TabbedWindowController *)
{
    qCWarning(lcTabs, "TabbedDocument::loadDocumentInWindowController() is not overridden");
}

void TabbedDocument::restoreDocumentWithInfo(const std::optional<QVariantMap> &)
{
    qCWarning(lcTabs, "TabbedDocument::restoreDocumentWithInfo() is not overridden");
}

TabbedDocumentState TabbedDocument::documentState() const
{
    qCWarning(lcTabs, "TabbedDocument::documentState() is not overridden");
    return TabbedDocumentStateNone;
}

QString TabbedDocument::contextDisplayName() const
{
    qCWarning(lcTabs, "TabbedDocument::contextDisplayName() is not overridden");
    return QStringLiteral("contextDisplayName");
}

QVariantMap TabbedDocument::restorableDocumentInfo() const
{
    qCWarning(lcTabs, "TabbedDocument::restorableDocumentInfo() is not overridden");
    return {};
}

void TabbedDocument::documentRestorationComplete()
{
    qCWarning(lcTabs, "TabbedDocument::documentRestorationComplete() is not overridden");
}

TabbedWindowController *TabbedDocument::sharedWindowController() const
{
    return sharedWindowController_;
}
