#pragma once

#include "browser/InfoItemSection.h"
#include "client/VornInfoClient.h"
#include "connection/ConnectedController.h"
#include "elements/BrowserElement.h"
#include "kit/VolatileCache.h"

#include <QPixmap>
#include <QPointer>
#include <QVariantMap>

#include <atomic>
#include <memory>
#include <optional>

class InfoControllerDelegate;
class QTimer;
class QWidget;
class VornResultset;

// The inspector model of one info column or floating panel: what is known about the selected object
// or the last statement, as sections of titled groups of name and value items. A reset builds a cheap
// skeleton at once (general page, the grid's columns, a placeholder per part the object can have); a
// second later, when the delegate allows, a daemon worker reads the details through the object's
// VornInfo and the content builders fill the placeholders on the main thread. Finished pages are kept
// per object (20 objects, 10 minutes). Main thread, but for the worker's backend calls.
class InfoController : public ConnectedController
{
public:
    static constexpr int defaultLoadDelayMs = 1000;
    static inline const QString loadThreadName = QStringLiteral("InfoController.loadInfo");
    static inline const QString sessionLoadThreadName = QStringLiteral("InfoController.loadSessionInfo");
    static inline const QString sessionActionThreadName = QStringLiteral("InfoController.referToAction");
    static inline const QString favouritesUpdatedNotification = QStringLiteral("Browser_FavouritesUpdated");

    explicit InfoController(VornRootClientPtr vornRoot);
    ~InfoController() override;

    InfoControllerDelegate *infoDelegate() const { return infoDelegate_; }
    void setInfoDelegate(InfoControllerDelegate *delegate) { infoDelegate_ = delegate; }

    QString name() const { return name_; }
    QPixmap image() const { return image_; }
    const InfoItemSections &infoItemSections() const { return sections_; }
    const VornInfoClientPtr &vornInfo() const { return vornInfo_; }
    const BrowserElementPtr &browserElement() const { return browserElement_; }
    bool managementMode() const { return managementMode_; }
    void setManagementMode(bool managementMode);
    // Controllers of floating panels keep the info's own connection open between loads.
    bool keepConnection() const { return keepConnection_; }
    void setKeepConnection(bool keep) { keepConnection_ = keep; }
    bool hasBackgroundConnection() const { return hasBackgroundConnection_; }
    // Whether a detail load is under way.
    bool loading() const { return loadsRunning_ > 0; }
    bool loadPending() const;
    // The delay of the detail load; tests shorten it.
    void setLoadDelayMs(int delayMs) { loadDelayMs_ = delayMs; }

    void setNoInfo();
    void reset();
    // The skeleton of a schema object; the result set gives the Columns page. Nothing in management mode.
    void resetInfoUsingBrowserElement(const BrowserElementPtr &element,
                                      const std::shared_ptr<VornResultset> &resultset);
    // The same with the result's columns as the metadata gives them ("label", "typeName").
    void resetInfoUsingBrowserElementColumns(const BrowserElementPtr &element,
                                             const std::optional<QList<QVariantMap>> &resultColumns);
    // The whole content of a statement result (a SqlBrowserElement), loaded at once and not cached.
    void resetInfoUsingSqlBrowserElement(const BrowserElementPtr &element,
                                         const std::shared_ptr<VornResultset> &resultset);
    void resetInfoUsingSqlBrowserElementColumns(const BrowserElementPtr &element,
                                                const QList<QVariantMap> &resultColumns);

    InfoItemSectionPtr findSection(qint64 type) const;
    bool fullyLoaded() const;
    bool canEventuallyRefresh() const { return browserElement_ != nullptr; }
    bool canRefresh() const { return canEventuallyRefresh() && fullyLoaded(); }
    void refresh();
    void clearCaches() { cache_.clear(); }

    void scheduleExtendedLoad();
    void startLoadup();
    void startLoadingImmediately() { startLoadup(); }

    // Management mode: the column shows a notice; one session's pages show in a panel of their own.
    void resetManagement();
    // The pages of the session (its one or two identifiers), loaded a moment later; none: the notice.
    void resetManagementUsingSessionIdentifier(const QStringList &sessionIdentifier);
    const QStringList &sessionIdentifier() const { return sessionIdentifier_; }
    // The session of a chosen management row in a floating panel, through the delegate.
    void referToManagement(const QVariantList &sessionIdentifier);
    // Runs a session action off the main thread, after its confirmation sheet on the window when it has
    // one. A failure is shown with the database's message; either way the pages are read again.
    void referToAction(const QVariantMap &action, QWidget *window);
    // Where the session page lists are read; the application's resources unless a test says otherwise.
    void setResourceFolder(const QString &folder) { resourceFolder_ = folder; }

    // Navigation: the element's information in a floating panel, through the delegate.
    void referToBrowserElement(const BrowserElementPtr &element);
    void referToCurrentBrowserElementInSeparateWindow();

    // Favourites: none for statement results, in management mode or without an element.
    std::optional<bool> favouriteStatus();
    void updateFavouriteStatus(bool favourite);

    qint64 connectionLabel() const;
    QString connectionName() const;

    // The label of the schema line: "Database" where the connection calls schemas so.
    QString schemaLabel() const;
    static QString cacheKey(const BrowserElement &element);

private:
    InfoItemSectionPtr generalSectionForBrowserElement(const BrowserElement &element) const;
    InfoItemSectionPtr generalSectionForSqlBrowserElement(const BrowserElement &element) const;
    static InfoItemSectionPtr columnSection(const QList<QVariantMap> &resultColumns);
    static InfoItemSectionPtr placeholder(const QString &title, qint64 type);
    static std::optional<QList<QVariantMap>> columnsOf(const std::shared_ptr<VornResultset> &resultset);

    // The load and its steps on the main thread.
    void loadInfo(const VornInfoClientPtr &info, bool backgroundConnection);
    // The loaders' frame: a daemon job that reserves the info's root (on the background connection
    // or the foreground one), runs read when it got it, gives the reservation back and ends a private
    // connection (also when the controller has gone meanwhile), then hands the info to infoLoaded.
    void runInfoLoad(const QString &threadName, const QString &reason, const VornInfoClientPtr &info,
                     bool backgroundConnection, std::function<void()> read);
    void update(const VornInfoClientPtr &info, qint64 type, const QList<InfoItemGroup> &groups,
                bool announce = true);
    void infoLoaded(const VornInfoClientPtr &info);
    QVariantList sessionPageList() const;
    void loadSessionInfo(const VornInfoClientPtr &info, bool backgroundConnection);
    void sessionSectionUpdated(const VornInfoClientPtr &source, const InfoItemSectionPtr &section);
    void runSessionAction(const QVariantMap &action, const QPointer<QWidget> &window);
    bool useBackgroundConnection() const;
    void sendInfoHasBeenUpdated(qint64 type);
    BrowserElementPtr linkTo(const VornInfoClientPtr &info, const QString &name, const QString &type,
                             qint64 browserType) const;

    InfoControllerDelegate *infoDelegate_ = nullptr;
    QString name_;
    QPixmap image_;
    InfoItemSections sections_;
    VornInfoClientPtr vornInfo_;
    BrowserElementPtr browserElement_;
    bool managementMode_ = false;
    bool keepConnection_ = false;
    bool hasBackgroundConnection_ = false;
    int loadsRunning_ = 0;
    int loadDelayMs_ = defaultLoadDelayMs;
    QVariant schemaTerm_;
    QStringList sessionIdentifier_;
    // The session page list read at the session's reset, for its loads.
    QVariantList sessionPages_;
    QString resourceFolder_;
    std::unique_ptr<QTimer> loadupTimer_;
    VolatileCache cache_{20, 600};
    // The info being shown, for the worker's check that its load is still wanted.
    std::shared_ptr<std::atomic<const VornInfoClient *>> current_ =
        std::make_shared<std::atomic<const VornInfoClient *>>(nullptr);
    // Lets posted steps and the runner tell whether the controller still exists.
    std::shared_ptr<char> alive_ = std::make_shared<char>('\0');
};

using InfoControllerPtr = std::shared_ptr<InfoController>;
