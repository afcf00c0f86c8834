#pragma once

#include "connection/ConnectionViewControllerDelegate.h"

#include <QObject>
#include <QPointer>

#include <memory>

class ConnectionPanelDelegate;
class ConnectionViewController;
class DatabaseTypeTraits;
class QDialog;
class QWidget;
class UserDefaults;

// The sheet a connection document shows to choose the connection to open: the connection list,
// with its edit form and test, in a window-modal dialog. The chosen connection goes to the
// delegate after the sheet has closed. The document makes a new panel for every request.
class ConnectionPanel : public QObject, public ConnectionViewControllerDelegate
{
    Q_OBJECT

public:
    explicit ConnectionPanel(UserDefaults *defaults = nullptr,
                             std::unique_ptr<DatabaseTypeTraits> traits = nullptr, QObject *parent = nullptr);
    ~ConnectionPanel() override;

    ConnectionPanelDelegate *delegate() const { return delegate_; }
    void setDelegate(ConnectionPanelDelegate *delegate) { delegate_ = delegate; }
    QDialog *panel() const { return panel_; }
    ConnectionViewController *connectionViewController() const { return connectionViewController_.get(); }

    // Shows the list (reloaded) as a sheet on the window.
    void openPanelOnWindow(QWidget *window);
    void cancel();

    void connectionViewControllerWantsToCancel(ConnectionViewController *controller) override;
    void connectionViewControllerWantsToConnect(ConnectionViewController *controller,
                                                const ConnectionParametersPtr &parameters) override;
    void connectionViewControllerEnteredListMode(ConnectionViewController *controller) override;
    void connectionViewControllerEnteredEditMode(ConnectionViewController *controller) override;

private:
    bool eventFilter(QObject *watched, QEvent *event) override;

    ConnectionPanelDelegate *delegate_ = nullptr;
    QPointer<QDialog> panel_;
    std::unique_ptr<ConnectionViewController> connectionViewController_;
};
