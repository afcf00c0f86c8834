#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>

#include <functional>
#include <optional>

class TabbedWindowController;

// The state a tab shows: drawn by the tab, marked in the Window menu, counted for the badge (3 and 4).
enum TabbedDocumentState : int {
    TabbedDocumentStateNone = 0,
    TabbedDocumentStateDirty = 1,
    TabbedDocumentStateBusy = 2,
    TabbedDocumentStateAlert = 3,
    TabbedDocumentStateSuccess = 4,
};

// A document that lives as a tab of a shared window. Only the active tab of its window controller is
// visible and has a window controller; the others keep their shared controller but report none.
// Subclasses implement the hooks; the base versions of the required ones log what is missing.
class TabbedDocument : public QObject
{
    Q_OBJECT
public:
    using CloseCallback = std::function<void(TabbedDocument *document, bool shouldClose)>;

    explicit TabbedDocument(QObject *parent = nullptr);
    ~TabbedDocument() override;

    // Names this document for as long as the process runs; never given to another document.
    quint64 documentId() const { return documentId_; }

    QVariantMap initializationInfo() const { return initializationInfo_; }
    void setInitializationInfo(const QVariantMap &info) { initializationInfo_ = info; }
    unsigned tabLabel() const { return tabLabel_; }
    // Overrides call the base first.
    virtual void setTabLabel(unsigned label);
    TabbedWindowController *sharedWindowController() const;
    void setSharedWindowController(TabbedWindowController *controller);

    // Puts the document into a window as its active tab: a new window (createTabbedWindowController)
    // when none is given. Does nothing while the document is already an active tab somewhere.
    void makeWindowControllers();
    void makeWindowControllers(TabbedWindowController *windowController, bool nextToActive);
    void addWindowController(TabbedWindowController *windowController);
    void removeWindowController(TabbedWindowController *windowController);
    bool isVisible() const;
    QList<TabbedWindowController *> windowControllers() const;
    TabbedWindowController *windowController() const;
    // Activates the tab; a hidden window is shown behind the others (bringing it forward is the
    // caller's choice).
    virtual void showWindows();
    void showThisDocument();
    // Redraws the tab, the window title and the toolbar after a change of title, label or state, which
    // the restoration keeps too.
    void documentUpdated();
    void documentStatusUpdated();
    unsigned documentLabel() const { return tabLabel_; }

    // The document's file; empty while untitled.
    QString filePath() const { return filePath_; }
    void setFilePath(const QString &path) { filePath_ = path; }
    virtual QString displayName() const;

    // Saving. The saved form is what dataOfType gives; readFromData takes it back.
    virtual QByteArray dataOfType() const;
    virtual bool readFromData(const QByteArray &data, QString *error);
    bool saveToFile(const QString &path, QString *error);
    bool isDocumentEdited() const { return edited_; }
    // A change: the unsaved contents are copied to a temporary file once changes have rested for
    // autosaveDelay, for untitled work and saved documents alike. The document's own file is left
    // alone until the user saves. Marked unedited (reverted, discarded), the copy goes.
    void setDocumentEdited(bool edited);
    bool hasUnautosavedChanges() const { return unautosaved_; }
    // The temporary file that holds the unsaved contents; empty when none.
    QString autosavedContentsFilePath() const { return autosavedContentsFilePath_; }
    void setAutosavedContentsFilePath(const QString &path) { autosavedContentsFilePath_ = path; }
    // The document shows unsaved work read back from its temporary file at path: it is edited, and the
    // file holds what it shows already, so nothing is written there before the next change.
    void adoptAutosavedContents(const QString &path);
    // Writes the unsaved contents to the temporary file now, readable by the owner alone.
    bool autosave(QString *error = nullptr);
    static constexpr int autosaveDelayMs = 2000;
    // Where temporary documents live, and a free "Vorn Temp %ld.sql" name in it.
    static QString autosaveFolder();
    static QString newTemporaryFilePath();
    // True for a plain .sql file directly inside the autosave folder: only such a file may become a
    // document's temporary file, which is rewritten and at last deleted.
    static bool isOwnAutosaveFile(const QString &path);

    // Asks whether the document may close and answers through the callback, now or later (after the
    // user answered a sheet). The base agrees at once; subclasses run their closing checks.
    virtual void canCloseDocumentWithDelegate(CloseCallback shouldClose);
    // Closes the document for good; it has left its window already. Its temporary file goes with it,
    // so recovery never brings back finished or discarded work.
    virtual void close();
    bool isClosed() const { return closed_; }

    // Hooks, in the order the framework calls them during a tab's life.
    virtual TabbedWindowController *createTabbedWindowController();
    virtual void loadDocumentInWindowController(TabbedWindowController *windowController);
    virtual void documentTabDidOrderFront() {}
    virtual void documentTabDidBecomeMain() {}
    // With what restorableDocumentInfo gave in the previous run, or nothing.
    virtual void restoreDocumentWithInfo(const std::optional<QVariantMap> &state);
    virtual void documentTabWillResignMain() {}
    virtual void documentTabWillOrderOut() {}
    virtual TabbedDocumentState documentState() const;
    virtual QString contextDisplayName() const;
    // JSON-compatible values only (strings, numbers, booleans, lists, maps).
    virtual QVariantMap restorableDocumentInfo() const;
    virtual void documentRestorationComplete();
    virtual void destroyResources() {}

signals:
    void documentClosed(TabbedDocument *document);
    // What the restoration keeps of the document changed: its title or state, its file, or where its
    // unsaved contents are copied.
    void restorableStateChanged(TabbedDocument *document);

private:
    const quint64 documentId_;
    QVariantMap initializationInfo_;
    unsigned tabLabel_ = 0;
    QPointer<TabbedWindowController> sharedWindowController_;
    void removeAutosavedContents();

    QString filePath_;
    QString autosavedContentsFilePath_;
    bool edited_ = false;
    bool unautosaved_ = false;
    bool closed_ = false;
    QTimer autosaveTimer_;
};
