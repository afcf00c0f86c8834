#include "tabs/TabbedDocumentController.h"
#include "platform/AppFolders.h"
#include "platform/OwnerOnlyFile.h"
#include "platform/Preferences.h"

#include "kit/UserNotifier.h"
#include "platform/UserDefaults.h"
#include "tabs/TabbedDocument.h"
#include "tabs/TabbedWindowController.h"
#include "tabs/TabsLog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QRegularExpression>
#include <QUrl>
#include <QWindow>

namespace
{

TabbedDocumentController *sharedController = nullptr;
const QString documentType = QStringLiteral("com.ostrelapps.vorn.sqlsource");

QString urlText(const QString &path)
{
    return path.isEmpty() ? QString() : QUrl::fromLocalFile(path).toString();
}

QString pathFromUrl(const QVariant &value)
{
    const QString text = value.toString();
    if (text.isEmpty())
        return {};
    const QUrl url(text);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

// A window-modal dialog (a sheet) open on the window.
bool showsSheet(const QWidget *window)
{
    for (const QWidget *top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->windowModality() == Qt::WindowModal && top->parentWidget() &&
            top->parentWidget()->window() == window)
            return true;
    }
    return false;
}

} // namespace

TabbedDocumentController::TabbedDocumentController(QObject *parent) : QObject(parent)
{
    sharedController = this;
    setShared(this);
    UserNotifier::instance().setDocumentStatesProvider([this] { return documentStates(); });
    restorationTimer_.setSingleShot(true);
    restorationTimer_.setInterval(restorationDelayMs);
    connect(&restorationTimer_, &QTimer::timeout, this, [this] { writeRestorationFile(); });
    connect(qApp, &QApplication::focusWindowChanged, this, [this](QWindow *window) {
        for (TabbedWindowController *controller : TabbedWindowController::allWindowControllers()) {
            if (window && controller->isWindowLoaded() && controller->window()->windowHandle() == window) {
                activationOrder_.removeAll(controller);
                activationOrder_.prepend(controller);
                scheduleRestorationWrite();
            }
        }
    });
    // Window frames are part of the layout: moving or resizing one is seen here.
    qApp->installEventFilter(this);
}

TabbedDocumentController::~TabbedDocumentController()
{
    if (shared() == this)
        setShared(nullptr);
    if (sharedController == this) {
        sharedController = nullptr;
        UserNotifier::instance().setDocumentStatesProvider(nullptr);
    }
}

TabbedDocumentController *TabbedDocumentController::sharedDocumentController()
{
    return sharedController;
}

// --- Documents ---------------------------------------------------------------------------------------

void TabbedDocumentController::addDocument(TabbedDocument *document)
{
    if (!document || documents_.contains(document))
        return;
    document->setParent(this);
    documents_.append(document);
    connect(document, &TabbedDocument::documentClosed, this, &TabbedDocumentController::documentClosed);
    connect(document, &TabbedDocument::restorableStateChanged, this,
            &TabbedDocumentController::scheduleRestorationWrite);
    scheduleRestorationWrite();
}

QList<int> TabbedDocumentController::documentStates() const
{
    QList<int> states;
    for (const TabbedDocument *document : documents_)
        states.append(document->documentState());
    return states;
}

void TabbedDocumentController::documentClosed(TabbedDocument *document)
{
    documents_.removeAll(document);
    document->deleteLater();
    // With the last document closed the program ends as its window closes, before a delayed write: the
    // next run must not bring back what the user closed.
    if (documents_.isEmpty() && !hasPendingRestoration())
        writeRestorationFile();
    else
        scheduleRestorationWrite();
    // A closed document no longer wants attention.
    UserNotifier::instance().updateApplicationAlertCount();
}

TabbedDocument *TabbedDocumentController::documentForPath(const QString &path) const
{
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (TabbedDocument *document : documents_) {
        if (!document->filePath().isEmpty() && QFileInfo(document->filePath()).absoluteFilePath() == wanted)
            return document;
    }
    return nullptr;
}

TabbedDocument *TabbedDocumentController::makeUntitledDocument(QString *error)
{
    qCWarning(lcTabs, "TabbedDocumentController::makeUntitledDocument() is not overridden");
    if (error)
        *error = tr("No document of this type can be made.");
    return nullptr;
}

TabbedWindowController *TabbedDocumentController::createEmptyWindowController()
{
    qCWarning(lcTabs, "TabbedDocumentController::createEmptyWindowController() is not overridden");
    return nullptr;
}

TabbedDocument *TabbedDocumentController::makeDocumentForPath(const QString &path,
                                                              const QString &contentsPath, QString *error)
{
    QFile file(contentsPath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return nullptr;
    }
    TabbedDocument *document = makeUntitledDocument(error);
    if (!document)
        return nullptr;
    if (!document->readFromData(file.readAll(), error)) {
        delete document;
        return nullptr;
    }
    document->setFilePath(path);
    // Unsaved work from a temporary file stays in that file. It is not written again now: the document
    // has not taken its settings (its connection) from what it read yet.
    if (contentsPath != path)
        document->adoptAutosavedContents(contentsPath);
    return document;
}

// --- Opening -------------------------------------------------------------------------------------------

TabbedDocument *TabbedDocumentController::openUntitledDocumentAndDisplay(
    bool display, TabbedWindowController *windowController, bool nextToActive, bool activateWhenSecundary,
    const QVariantMap &initializationInfo, QString *error)
{
    if (hasPendingRestoration()) {
        qCWarning(lcTabs, "a new document opens while window restoration information is still pending");
    }
    QPointer<TabbedDocument> current = currentDocument();
    TabbedDocument *document = makeUntitledDocument(error);
    if (!document)
        return nullptr;
    document->setInitializationInfo(initializationInfo);
    addDocument(document);
    if (display) {
        document->makeWindowControllers(windowController, nextToActive);
        document->showWindows();
        if (windowController && !activateWhenSecundary && current)
            windowController->activateDocument(current); // opened in the background
    }
    return document;
}

TabbedDocument *TabbedDocumentController::openUntitledDocumentAndDisplay(bool display, QString *error)
{
    return openUntitledDocumentAndDisplay(display, nullptr, true, true, {}, error);
}

void TabbedDocumentController::newDocument(QObject *)
{
    openUntitledDocumentAndDisplay(true, nullptr);
}

bool TabbedDocumentController::canOpenNewTab() const
{
    TabbedWindowController *current = currentTabbedWindowController();
    return !(current && showsSheet(current->window()));
}

void TabbedDocumentController::newTab(QObject *)
{
    if (!canOpenNewTab())
        return;
    openUntitledDocumentAndDisplay(true, currentTabbedWindowController(), false, true, {}, nullptr);
}

void TabbedDocumentController::newTabFromBar(QObject *sender)
{
    newTab(sender);
}

void TabbedDocumentController::openDocumentWithContentsOfURL(const QString &path, bool display,
                                                             const OpenCompletion &completion)
{
    if (TabbedDocument *open = documentForPath(path)) {
        if (display) {
            open->showWindows();
            bringToFront(open);
        }
        completion(open, true, {});
        return;
    }
    qCDebug(lcTabs, "opening %s as %s", qPrintable(path), qPrintable(documentType));
    QString error;
    TabbedDocument *document = makeDocumentForPath(path, path, &error);
    qCDebug(lcTabs, "made document %p", static_cast<void *>(document));
    if (document) {
        addDocument(document);
        if (display)
            displayOpenedDocument(document);
    }
    qCDebug(lcTabs, "calling the completion handler for document %p", static_cast<void *>(document));
    completion(document, false, error);
}

// As a tab of the current document window, or of the frontmost one while another window (the
// welcome screen) is current, when the preference asks for tabs; else in a window of its own.
void TabbedDocumentController::displayOpenedDocument(TabbedDocument *document)
{
    TabbedWindowController *target = nullptr;
    if (UserDefaults::standard().boolForKey(PreferenceKey::openDocumentInTab)) {
        target = currentTabbedWindowController();
        const QList<TabbedWindowController *> windows = windowControllersBackToFront();
        for (auto it = windows.crbegin(); !target && it != windows.crend(); ++it) {
            if ((*it)->isWindowLoaded() && (*it)->window()->isVisible() && !(*it)->documents().isEmpty())
                target = *it;
        }
    }
    document->makeWindowControllers(target, false);
    document->showWindows();
    bringToFront(document);
}

void TabbedDocumentController::bringToFront(TabbedDocument *document)
{
    if (TabbedWindowController *controller = document->windowController()) {
        AdvancedWindow *window = controller->window();
        window->show();
        window->raise();
        window->activateWindow();
    }
}

TabbedWindowController *TabbedDocumentController::currentTabbedWindowController() const
{
    const QWidget *key = QApplication::activeWindow();
    if (!key)
        return nullptr;
    for (TabbedWindowController *controller : TabbedWindowController::allWindowControllers()) {
        if (controller->isWindowLoaded() && controller->window() == key)
            return controller;
    }
    return nullptr;
}

TabbedDocument *TabbedDocumentController::currentDocument() const
{
    TabbedWindowController *controller = currentTabbedWindowController();
    return controller ? controller->activeDocument() : nullptr;
}

// --- Window menu ---------------------------------------------------------------------------------------

void TabbedDocumentController::setWindowMenu(QMenu *menu)
{
    windowMenu_ = menu;
    if (menu)
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { menuNeedsUpdate(menu); });
}

void TabbedDocumentController::updateWindowMenu()
{
    if (windowMenu_)
        menuNeedsUpdate(windowMenu_);
    scheduleRestorationWrite();
}

void TabbedDocumentController::menuNeedsUpdate(QMenu *menu)
{
    int separators = 0;
    const QList<QAction *> items = menu->actions();
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items.at(i)->isSeparator() && ++separators == 3) {
            for (qsizetype j = i; j < items.size(); ++j) {
                menu->removeAction(items.at(j));
                if (items.at(j)->parent() == menu)
                    delete items.at(j);
            }
            break;
        }
    }
    extendMenuWithWindows(menu);
}

void TabbedDocumentController::extendMenuWithWindows(QMenu *menu)
{
    QList<TabbedWindowController *> listed;
    if (TabbedWindowController *main = currentTabbedWindowController())
        listed << main;
    for (TabbedWindowController *controller : TabbedWindowController::allWindowControllers()) {
        if (!listed.contains(controller))
            listed << controller;
    }
    for (TabbedWindowController *controller : std::as_const(listed))
        addWindowController(controller, menu);
}

void TabbedDocumentController::addWindowController(TabbedWindowController *windowController, QMenu *menu)
{
    menu->addSeparator();
    const bool isMain = windowController == currentTabbedWindowController();
    auto entry = [&](const QString &title, TabbedDocument *document) {
        QAction *item = menu->addAction(title);
        QPointer<TabbedWindowController> controller(windowController);
        QPointer<TabbedDocument> target(document);
        connect(item, &QAction::triggered, this, [this, controller, target] {
            if (controller)
                activateDocument(controller, target);
        });
        return item;
    };
    const QList<TabbedDocument *> &tabs = windowController->documents();
    if (tabs.size() < 2) {
        if (TabbedDocument *active = windowController->activeDocument()) {
            QAction *item = entry(nameForDocument(active), active);
            item->setCheckable(true);
            item->setChecked(isMain);
        }
        return;
    }
    entry(QCoreApplication::translate("windowcontroller", "Window with %1 tabs").arg(tabs.size()),
          windowController->activeDocument());
    for (int i = 0; i < tabs.size(); ++i) {
        TabbedDocument *document = tabs.at(i);
        const bool checked = isMain && document == windowController->activeDocument();
        // Indented one level; a tab that wants attention is marked with a dash.
        const bool marked = !checked && document->documentState() != 0;
        QString title =
            (marked ? QStringLiteral("  – ") : QStringLiteral("    ")) + nameForDocument(document);
        if (isMain) // shown only: Ctrl+digit belongs to the tabs themselves
            title +=
                QStringLiteral("\t") +
                QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + (i + 1) % 10)).toString(QKeySequence::NativeText);
        QAction *item = entry(title, document);
        item->setCheckable(checked);
        item->setChecked(checked);
    }
}

QString TabbedDocumentController::nameForDocument(const TabbedDocument *document)
{
    const QString display = document->displayName();
    const QString context = document->contextDisplayName();
    if (context.isEmpty())
        return display;
    if (display.isEmpty() || display == context)
        return context;
    return QStringLiteral("%1 (%2)").arg(context, display);
}

void TabbedDocumentController::activateDocument(TabbedWindowController *windowController,
                                                TabbedDocument *document)
{
    AdvancedWindow *window = windowController->window();
    window->show();
    window->raise();
    window->activateWindow();
    if (document && !showsSheet(window))
        windowController->activateDocument(document);
}

// --- Restoration -----------------------------------------------------------------------------------------

QString TabbedDocumentController::restorationFilePath()
{
    return AppFolders::restorationFile();
}

QString TabbedDocumentController::stringFromRect(const QRect &rect)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

QRect TabbedDocumentController::rectFromString(const QString &text)
{
    static const QRegularExpression numbers(QStringLiteral("-?\\d+(?:\\.\\d+)?"));
    QList<double> values;
    for (auto it = numbers.globalMatch(text); it.hasNext();)
        values << it.next().captured().toDouble();
    if (values.size() != 4)
        return {};
    return QRect(int(values[0]), int(values[1]), int(values[2]), int(values[3]));
}

bool TabbedDocumentController::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->isWindow()) {
        for (TabbedWindowController *controller : TabbedWindowController::allWindowControllers()) {
            if (controller->isWindowLoaded() && controller->window() == watched)
                scheduleRestorationWrite();
        }
    }
    return QObject::eventFilter(watched, event);
}

QList<TabbedWindowController *> TabbedDocumentController::windowControllersBackToFront() const
{
    QList<TabbedWindowController *> front;
    for (const QPointer<TabbedWindowController> &controller : activationOrder_) {
        if (controller)
            front << controller;
    }
    // Windows never activated lie behind those that were, oldest at the back.
    QList<TabbedWindowController *> order;
    for (TabbedWindowController *controller : TabbedWindowController::allWindowControllers()) {
        if (!front.contains(controller))
            order << controller;
    }
    for (auto it = front.crbegin(); it != front.crend(); ++it)
        order << *it;
    return order;
}

QVariantMap TabbedDocumentController::windowConfiguration(TabbedWindowController *controller)
{
    controller->prepareForAppRestoration();
    QVariantList documents;
    for (TabbedDocument *document : controller->documents()) {
        document->autosave(); // unsaved work comes back from its temporary file
        QVariantMap entry;
        if (!document->filePath().isEmpty())
            entry.insert("fileURL", urlText(document->filePath()));
        if (!document->autosavedContentsFilePath().isEmpty())
            entry.insert("autosavedContentsFileURL", urlText(document->autosavedContentsFilePath()));
        entry.insert("tabLabel", document->tabLabel());
        entry.insert("restorableDocumentInfo", document->restorableDocumentInfo());
        const QByteArray state = controller->windowStatesForDocument(document);
        if (!state.isEmpty()) {
            entry.insert("windowState", QString::fromLatin1(state.toBase64()));
            entry.insert("windowState_version", restorationVersion);
        }
        documents << entry;
    }
    const bool fullScreen =
        controller->isWindowLoaded() && AdvancedWindow::isFullScreen(controller->window());
    QRect frame = controller->isWindowLoaded() ? controller->window()->geometry() : QRect();
    if (controller->isWindowLoaded() && fullScreen)
        frame = controller->window()->normalGeometry();
    return {{"documents", documents},
            {"activeTab", controller->activeTab()},
            {"isFullScreen", fullScreen},
            {"windowRect", stringFromRect(frame)}};
}

QVariantList TabbedDocumentController::tabbedWindowConfiguration()
{
    QVariantList windows;
    for (TabbedWindowController *controller : windowControllersBackToFront()) {
        if (controller->documents().isEmpty()) {
            qCDebug(lcTabs, "skipping an empty window");
            continue;
        }
        windows << windowConfiguration(controller);
    }
    return windows;
}

void TabbedDocumentController::scheduleRestorationWrite()
{
    // Nothing is written while the previous run's layout waits to be rebuilt: it would be lost.
    if (!hasPendingRestoration())
        restorationTimer_.start();
}

bool TabbedDocumentController::writeRestorationFile(QString *error)
{
    const QVariantMap root{{"tabbedWindowConfiguration", tabbedWindowConfiguration()}};
    // Autosaves made just now for the layout are in it already.
    restorationTimer_.stop();
    return writeOwnerOnlyFile(restorationFilePath(), QJsonDocument::fromVariant(root).toJson(), error);
}

bool TabbedDocumentController::readRestorationFile()
{
    QFile file(restorationFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonDocument json = QJsonDocument::fromJson(file.readAll());
    if (!json.isObject())
        return false;
    restorationConfiguration_ = json.object().toVariantMap().value("tabbedWindowConfiguration").toList();
    return true;
}

TabbedDocument *TabbedDocumentController::restoreDocument(const QVariantMap &entry)
{
    const QString path = pathFromUrl(entry.value("fileURL"));
    QString autosaved = pathFromUrl(entry.value("autosavedContentsFileURL"));
    if (!autosaved.isEmpty() && !TabbedDocument::isOwnAutosaveFile(autosaved)) {
        qCWarning(lcTabs) << "ignoring a restored temporary file outside the autosave folder:" << autosaved;
        autosaved.clear();
    }
    TabbedDocument *document = nullptr;
    // A file with unsaved changes comes back as the file with those changes.
    if (!autosaved.isEmpty())
        document = makeDocumentForPath(path, autosaved, nullptr);
    // Without the temporary file (saved or closed since the layout was written) the file itself.
    if (!document && !path.isEmpty())
        document = makeDocumentForPath(path, path, nullptr);
    if (!document)
        document = makeUntitledDocument(nullptr);
    return document;
}

void TabbedDocumentController::placeRestoredDocument(TabbedDocument *document,
                                                     TabbedWindowController *windowController,
                                                     const std::optional<QVariantMap> &info)
{
    document->makeWindowControllers(windowController, false);
    document->restoreDocumentWithInfo(info);
    addDocument(document);
    document->showWindows();
}

void TabbedDocumentController::restoreDocuments()
{
    const QVariantList windows = restorationConfiguration_;
    QList<QPointer<TabbedWindowController>> restored;
    for (const QVariant &windowEntry : windows) {
        const QVariantMap window = windowEntry.toMap();
        TabbedWindowController *controller = createEmptyWindowController();
        restored << controller;
        if (!controller)
            continue;
        controller->loadWindow();
        const QVariantList entries = window.value("documents").toList();
        if (entries.isEmpty()) {
            controller->closeAllTabs();
            continue;
        }
        for (const QVariant &value : entries) {
            const QVariantMap entry = value.toMap();
            QByteArray state = QByteArray::fromBase64(entry.value("windowState").toString().toLatin1());
            if (!state.isEmpty() && entry.value("windowState_version", 0).toInt() < restorationVersion) {
                qCInfo(lcTabs, "dropping window states of an older version");
                state.clear();
            }
            TabbedDocument *document = restoreDocument(entry);
            if (!document)
                continue;
            if (!state.isEmpty())
                controller->setWindowStates(state, document);
            placeRestoredDocument(document, controller, entry.value("restorableDocumentInfo").toMap());
        }
    }
    recover();
    for (qsizetype i = 0; i < restored.size(); ++i) {
        TabbedWindowController *controller = restored.at(i);
        if (!controller || controller->documents().isEmpty())
            continue;
        const QVariantMap window = windows.at(i).toMap();
        // A stored index past the tabs that came back points at the last one.
        const int tabs = int(controller->documents().size());
        controller->activateTab(std::clamp(window.value("activeTab").toInt(), 0, tabs - 1));
        const QRect frame = rectFromString(window.value("windowRect").toString());
        if (window.contains("isFullScreen") && !window.value("isFullScreen").toBool() && frame.isValid())
            controller->window()->setGeometry(frame);
        else if (window.value("isFullScreen").toBool())
            controller->window()->showFullScreen();
        if (i == restored.size() - 1) {
            controller->window()->raise();
            controller->window()->activateWindow();
        }
    }
    restorationConfiguration_.clear();
    for (TabbedDocument *document : std::as_const(documents_))
        document->documentRestorationComplete();
    scheduleRestorationWrite();
}

void TabbedDocumentController::recover()
{
    QStringList inUse;
    for (TabbedDocument *document : std::as_const(documents_))
        inUse << QFileInfo(document->filePath()).absoluteFilePath()
              << QFileInfo(document->autosavedContentsFilePath()).absoluteFilePath();
    const QDir folder(TabbedDocument::autosaveFolder());
    TabbedWindowController *window = nullptr;
    for (const QFileInfo &item : folder.entryInfoList(QDir::Files, QDir::Name)) {
        if (inUse.contains(item.absoluteFilePath()))
            continue;
        if (!TabbedDocument::isOwnAutosaveFile(item.filePath())) {
            qCWarning(lcTabs) << "not recovering" << item.filePath() << "(not a plain .sql file)";
            continue;
        }
        TabbedDocument *document = makeDocumentForPath(QString(), item.absoluteFilePath(), nullptr);
        if (!document)
            continue;
        if (!window) {
            window = createEmptyWindowController();
            if (!window) {
                delete document;
                return;
            }
            window->loadWindow();
        }
        placeRestoredDocument(document, window, std::nullopt);
    }
}
