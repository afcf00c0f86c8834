#pragma once

#include "connection/ConnectionViewControllerDelegate.h"
#include "kit/AdvancedWindow.h"
#include "kit/VisualShortcut.h"

#include <QObject>
#include <QPointer>

#include <memory>

class ConnectionViewController;
class QLabel;
class QPushButton;
class QWidget;
class WelcomeScreenProgress;

// The small window that shows the start-up progress while the Java VM starts, and afterwards the
// saved connections, from which the user opens a connection in a new tab. Three states: the wait
// screen (not closable, with the progress bar), the connection list, and closed; from closed the
// list can be shown again. Main thread only.
class WelcomeScreenController : public QObject,
                                public VisualShortcutAdopter,
                                public ConnectionViewControllerDelegate
{
    Q_OBJECT
public:
    static constexpr int WaitScreenHeight = 200;
    static constexpr int ListHeight = 570;

    // info: the application's Info.plist values (version, build, copyright).
    explicit WelcomeScreenController(const QVariantMap &info, QObject *parent = nullptr);
    ~WelcomeScreenController() override;

    AdvancedWindow *window() const { return window_.get(); }
    WelcomeScreenProgress *progress() const { return progress_; }
    QLabel *waitText() const { return waitText_; }
    QLabel *versionField() const { return version_; }
    QLabel *copyrightField() const { return copyright_; }
    QPushButton *cancelButton() const { return cancelButton_; }
    QPushButton *openDocumentButton() const { return openDocumentButton_; }
    // The saved connections, made the first time the list shows.
    ConnectionViewController *connectionViewController() const { return connectionViewController_.get(); }
    bool editMode() const { return editMode_; }
    void setEditMode(bool editMode) { editMode_ = editMode; }
    bool isShowingList() const;

    // The wait screen: not closable, centred, in front.
    void orderOutWaitScreen();
    // Shows the fraction and draws it at once: the main thread is busy starting up.
    void setStartupProgress(float progress);
    // Shows the connection list (the name does not mean hiding).
    void orderOut();
    // Closes the window as its close button would.
    void close();
    // Escape: leaves the edit form of the list, else closes the window.
    void cancelOperation();

    QList<VisualShortcut> visualShortcuts() override;

    // The list's requests: a chosen connection opens in a new window.
    void connectionViewControllerWantsToCancel(ConnectionViewController *controller) override;
    void connectionViewControllerWantsToConnect(ConnectionViewController *controller,
                                                const ConnectionParametersPtr &parameters) override;
    void connectionViewControllerEnteredListMode(ConnectionViewController *controller) override;
    void connectionViewControllerEnteredEditMode(ConnectionViewController *controller) override;

private:
    void buildWindow(const QVariantMap &info);
    void setClosable(bool closable);
    void growToListSize();
    void createConnectionList();
    void raise();

    std::unique_ptr<AdvancedWindow> window_;
    std::unique_ptr<ConnectionViewController> connectionViewController_;
    QWidget *connectionPlaceHolder_ = nullptr;
    QLabel *waitText_ = nullptr;
    QLabel *version_ = nullptr;
    QLabel *copyright_ = nullptr;
    QWidget *buttonView_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
    QPushButton *openDocumentButton_ = nullptr;
    WelcomeScreenProgress *progress_ = nullptr;
    bool editMode_ = false;
};
