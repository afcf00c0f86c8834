#pragma once

#include "tabs/TabbedWindowMenu.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariantList>

#include <functional>
#include <optional>

class QMenu;
class TabbedDocument;
class TabbedWindowController;

// Opens documents as tabs of the current window or in windows of their own, keeps the Window menu's
// list of windows and tabs, and restores windows and tabs across runs: their layout is written to a
// restoration file a moment after windows or tabs change (at once when the last document closes), and
// read back once the application has started; untitled work left in the autosave folder is opened
// again. Owns the documents, and gives their states to the launcher's attention count. The
// application's document controller subclasses it and makes the documents and windows.
class TabbedDocumentController : public QObject, public TabbedWindowMenu
{
    Q_OBJECT
public:
    using OpenCompletion =
        std::function<void(TabbedDocument *document, bool alreadyOpen, const QString &error)>;
    static constexpr int restorationVersion = 5;
    // How long window and tab changes rest before the restoration file is written.
    static constexpr int restorationDelayMs = 1000;

    explicit TabbedDocumentController(QObject *parent = nullptr);
    ~TabbedDocumentController() override;
    static TabbedDocumentController *sharedDocumentController();

    const QList<TabbedDocument *> &documents() const { return documents_; }
    // The states of the open documents; the launcher counts those that want attention.
    QList<int> documentStates() const;
    // Takes the document; it is deleted after it has closed.
    void addDocument(TabbedDocument *document);
    TabbedDocument *documentForPath(const QString &path) const;

    // Hooks of the subclass.
    virtual TabbedDocument *makeUntitledDocument(QString *error);
    virtual TabbedWindowController *createEmptyWindowController();
    // A document of the file at path (empty: untitled) with the contents of contentsPath.
    virtual TabbedDocument *makeDocumentForPath(const QString &path, const QString &contentsPath,
                                                QString *error);

    // Opening.
    TabbedDocument *openUntitledDocumentAndDisplay(bool display, TabbedWindowController *windowController,
                                                   bool nextToActive, bool activateWhenSecundary,
                                                   const QVariantMap &initializationInfo, QString *error);
    TabbedDocument *openUntitledDocumentAndDisplay(bool display, QString *error);
    Q_INVOKABLE void newDocument(QObject *sender);
    Q_INVOKABLE void newTab(QObject *sender);
    Q_INVOKABLE void newTabFromBar(QObject *sender);
    // No new tab while the current window shows a sheet.
    bool canOpenNewTab() const;
    void openDocumentWithContentsOfURL(const QString &path, bool display, const OpenCompletion &completion);
    TabbedWindowController *currentTabbedWindowController() const;
    TabbedDocument *currentDocument() const;

    // Window menu: the menu's items up to its third separator are its own; the windows follow.
    void setWindowMenu(QMenu *menu);
    void updateWindowMenu() override;
    void menuNeedsUpdate(QMenu *menu);
    void extendMenuWithWindows(QMenu *menu);
    void addWindowController(TabbedWindowController *windowController, QMenu *menu);
    static QString nameForDocument(const TabbedDocument *document);
    void activateDocument(TabbedWindowController *windowController, TabbedDocument *document);

    // Restoration.
    static QString restorationFilePath();
    QVariantList tabbedWindowConfiguration();
    bool writeRestorationFile(QString *error = nullptr);
    // Reads what the previous run wrote; restoreDocuments then rebuilds it.
    bool readRestorationFile();
    void restoreDocuments();
    void recover();
    bool hasPendingRestoration() const { return !restorationConfiguration_.isEmpty(); }
    // Windows from back to front, as last activated.
    QList<TabbedWindowController *> windowControllersBackToFront() const;

    static QString stringFromRect(const QRect &rect);
    static QRect rectFromString(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void displayOpenedDocument(TabbedDocument *document);
    static void bringToFront(TabbedDocument *document);
    void documentClosed(TabbedDocument *document);
    void scheduleRestorationWrite();
    QVariantMap windowConfiguration(TabbedWindowController *controller);
    TabbedDocument *restoreDocument(const QVariantMap &entry);
    void placeRestoredDocument(TabbedDocument *document, TabbedWindowController *windowController,
                               const std::optional<QVariantMap> &info);

    QList<TabbedDocument *> documents_;
    QPointer<QMenu> windowMenu_;
    QVariantList restorationConfiguration_;
    QList<QPointer<TabbedWindowController>> activationOrder_; // most recently active first
    QTimer restorationTimer_;
};
