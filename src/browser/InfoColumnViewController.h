#pragma once

#include "browser/InfoColumnButtonBar.h"
#include "browser/InfoColumnDataView.h"
#include "browser/InfoColumnDataViewDelegate.h"
#include "browser/InfoColumnSectionHeader.h"
#include "browser/InfoItemSection.h"
#include "browser/InfoSectionNotLoadedView.h"
#include "kit/VisualShortcut.h"
#include "platform/NotificationCenter.h"
#include "window/PaneViewController.h"

#include <QPointer>

#include <memory>

class InfoColumnView;
class InfoController;

// The info column: the sections of an InfoController, one at a time (a header, then the rows of the
// section's groups in a vertical scroll view), chosen with the button bar along its top; a notice while
// the section is loading. One per window; a second, popped out, in each floating info panel. Main thread.
class InfoColumnViewController : public PaneViewController,
                                 public InfoColumnButtonBarDelegate,
                                 public InfoColumnDataViewDelegate,
                                 public VisualShortcutAdopter
{
    Q_OBJECT
public:
    // The section types that have a button; triggers (64) have none.
    static constexpr quint64 sectionButtonTypes = 1 | 2 | 4 | 8 | 16 | 32 | 128 | 256 | 512;
    static inline const QString selectedInfoKey = QStringLiteral("SelectedInfo");

    explicit InfoColumnViewController(QObject *parent = nullptr);
    ~InfoColumnViewController() override;

    const std::shared_ptr<InfoController> &infoController() const { return infoController_; }
    void setInfoController(std::shared_ptr<InfoController> controller);
    void infoControllerReset();
    quint64 infoColumnButtonSetFromController() const;
    void resetBar(quint64 buttonSet, qint64 initialSelection = 1);
    // Rebuilds the bar if its set changed and shows the active section.
    void infoControllerUpdate();
    // Shows the first section of the type; nothing changes when there is none.
    void generateInfoViewForItem(qint64 type);
    // A section changed: redrawn when it is the one on show (or for -1), else only the refresh state.
    void infoUpdated(qint64 type);

    bool poppedOut() const { return poppedOut_; }
    // One way only: the column moves into a floating panel and loses its bottom strip.
    void setPoppedOut(bool poppedOut);

    InfoColumnView *columnView() const;
    InfoColumnButtonBar *infoColumnButtonBar() const { return bar_; }
    InfoSectionNotLoadedView *notLoadedView() const { return notLoadedView_; }
    InfoColumnSectionHeader *header() const { return header_; }
    // The rows of the section on show, top to bottom, spacers included.
    QList<InfoColumnDataView *> dataViews() const;
    QWidget *documentView() const;

    // InfoColumnButtonBarDelegate.
    void infoColumnButtonBarSelectChanged(InfoColumnButtonBar *bar) override;
    void infoColumnButtonBarRefreshRequested(InfoColumnButtonBar *bar) override;
    // InfoColumnDataViewDelegate.
    void shouldReferTo(const BrowserElementPtr &element) override;
    void shouldReferToAction(const QVariant &action) override;
    void shouldChangeFavouriteStatusTo(bool favourite) override;
    // VisualShortcutAdopter.
    QList<VisualShortcut> visualShortcuts() override;

    // The menu command that opens the shown object in a floating panel; not in management mode.
    Q_INVOKABLE void openInfoInOwnWindow(QObject *sender);
    Q_INVOKABLE bool validateAction(const QString &action) const;

    // PaneViewController.
    void encodeInferfaceState(QVariantMap &archive) const override;
    void decodeInferfaceState(const QVariantMap &archive) override;
    void detachModel() override;
    void paneBecameVisible() override;

private:
    void generateInfoViewForSection(const InfoItemSectionPtr &section);
    void generateGroupView(const InfoItemGroup &group, QList<InfoColumnDataView *> &rows, QWidget *container,
                           int width);
    QWidget *combineHeaderContent(InfoColumnSectionHeader *header, const QList<InfoColumnDataView *> &rows,
                                  QWidget *container);
    void setDocumentView(QWidget *container, bool sectionComplete);
    void placeBar();
    void viewResized();
    int contentWidth() const;
    int contentHeight() const;

    std::shared_ptr<InfoController> infoController_;
    QPointer<InfoColumnButtonBar> bar_;
    QPointer<InfoSectionNotLoadedView> notLoadedView_;
    QPointer<InfoColumnSectionHeader> header_;
    QList<QPointer<InfoColumnDataView>> dataViews_;
    bool poppedOut_ = false;
    NotificationCenter::ObserverId resizeObserver_ = 0;
};
