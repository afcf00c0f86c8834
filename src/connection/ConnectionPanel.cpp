#include "connection/ConnectionPanel.h"

#include "connection/ConnectionPanelDelegate.h"
#include "connection/ConnectionViewController.h"
#include "connection/DatabaseTypeTraits.h"

#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QVBoxLayout>

ConnectionPanel::ConnectionPanel(UserDefaults *defaults, std::unique_ptr<DatabaseTypeTraits> traits,
                                 QObject *parent)
    : QObject(parent), panel_(new QDialog),
      connectionViewController_(std::make_unique<ConnectionViewController>(defaults, std::move(traits)))
{
    panel_->setWindowTitle(QCoreApplication::translate("connection", "Connect"));
    panel_->resize(520, 460);
    panel_->installEventFilter(this);
    connectionViewController_->setDelegate(this);
    connectionViewController_->setCanCancel(true);
    auto *layout = new QVBoxLayout(panel_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(connectionViewController_->view());
    // Closing the sheet only orders it out; the panel lives until the document replaces it.
    QObject::connect(panel_, &QDialog::finished, panel_, &QDialog::hide);
}

ConnectionPanel::~ConnectionPanel()
{
    connectionViewController_->setDelegate(nullptr);
    // The list's view lives in the sheet; the sheet goes before the controller that fills it.
    delete panel_;
}

void ConnectionPanel::openPanelOnWindow(QWidget *window)
{
    connectionViewController_->reset();
    panel_->setParent(window, Qt::Sheet | Qt::Dialog);
    panel_->setWindowModality(Qt::WindowModal);
    panel_->open();
}

void ConnectionPanel::cancel()
{
    panel_->done(0);
}

void ConnectionPanel::connectionViewControllerWantsToCancel(ConnectionViewController *)
{
    panel_->done(0);
}

void ConnectionPanel::connectionViewControllerWantsToConnect(ConnectionViewController *,
                                                             const ConnectionParametersPtr &parameters)
{
    panel_->done(1);
    if (delegate_)
        delegate_->connectionPanelWantsToConnect(this, parameters);
}

void ConnectionPanel::connectionViewControllerEnteredListMode(ConnectionViewController *) {}

void ConnectionPanel::connectionViewControllerEnteredEditMode(ConnectionViewController *) {}

bool ConnectionPanel::eventFilter(QObject *watched, QEvent *event)
{
    // Escape leaves the edit form or the test view first; in the list it cancels the sheet.
    if (watched == panel_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape &&
        connectionViewController_->mode() != ConnectionViewController::Mode::List) {
        connectionViewController_->externalCancelEdit();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
