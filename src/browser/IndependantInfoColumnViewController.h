#pragma once

#include "browser/InfoControllerDelegate.h"
#include "connection/ConnectedControllerDelegate.h"
#include "connection/ConnectionParameters.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class InfoColumnViewController;
class ThreadController;

// A floating info panel: the info of one object in a small utility window beside the document window,
// with a popped-out info column. It stands in for the document towards its own InfoController (its
// connection, reservation and info delegate), gives it a thread registry of its own, keeps itself
// alive while open, and on closing lets go only once the controller's loading threads have ended.
class IndependantInfoColumnViewController
    : public QObject,
      public InfoControllerDelegate,
      public ConnectedControllerDelegate,
      public std::enable_shared_from_this<IndependantInfoColumnViewController>
{
    Q_OBJECT
public:
    static constexpr int closingPollMs = 200;
    static constexpr int managementRefreshMs = 5000;
    static inline const QString closingThreadName = QStringLiteral("IndependantInfoColumnViewController");

    // A panel for the controller, which keeps its connection from now on.
    static std::shared_ptr<IndependantInfoColumnViewController> create(std::shared_ptr<InfoController> info,
                                                                       ConnectionParametersPtr parameters);
    ~IndependantInfoColumnViewController() override;

    // Shows the panel with its top-left corner at the point (screen coordinates) and starts loading.
    void showWithSuggestedOrigin(const QPoint &origin);
    // The most recently shown panel that is still open; null when none.
    static QWidget *topInfoPanel();

    const std::shared_ptr<InfoController> &infoController() const { return infoController_; }
    QWidget *panel() const { return panel_; }
    InfoColumnViewController *viewController() const { return viewController_.get(); }
    const std::shared_ptr<ThreadController> &threadController() const { return threadController_; }
    // Open, or closing while its loads finish.
    bool alive() const { return myself_ != nullptr; }

    // The Close Tab command closes the panel.
    Q_INVOKABLE void performCloseTab(QObject *sender);
    // The panel's close: the info shows nothing, the window goes at once, the object once its loads end.
    void windowShouldClose();

    // InfoControllerDelegate.
    bool infoControllerShouldLoadExtendedInfo(InfoController *controller) override;
    void infoHasBeenUpdated(qint64 sectionType) override;
    void requestSeparatedViewOfInfoController(std::shared_ptr<InfoController> controller) override;
    qint64 infoControllerNeedsTabLabel(InfoController *controller) override;
    QString infoControllerNeedsActiveConnectionName(InfoController *controller) override;

    // ConnectedControllerDelegate.
    bool connectedControllerWantsRootReservationFor(ConnectedController *controller,
                                                    const QString &description) override;
    void connectedControllerWantsEndRootReservation(ConnectedController *controller) override;
    bool connectedControllerWantsToChangeFocus(ConnectedController *controller,
                                               bool requiresEditing) override;
    bool connectedControllerWantsClearRootSelection(ConnectedController *controller) override;
    ConnectionParametersPtr
    connectedControllerWantsConnectionParameters(ConnectedController *controller) override;
    QString connectedControllerWantsUniqueConnectionIdentifier(ConnectedController *controller) override;

private:
    IndependantInfoColumnViewController(std::shared_ptr<InfoController> info,
                                        ConnectionParametersPtr parameters);
    void waitForSafeClose();
    void managementRefresh();

    std::shared_ptr<InfoController> infoController_;
    ConnectionParametersPtr connectionParameters_;
    std::shared_ptr<IndependantInfoColumnViewController> myself_;
    QPointer<QWidget> panel_;
    std::unique_ptr<InfoColumnViewController> viewController_;
    std::shared_ptr<ThreadController> threadController_;
    QTimer managementTimer_;
    QTimer closingTimer_;
};
