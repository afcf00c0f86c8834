#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

#include <functional>
#include <optional>

class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class RecyclebinController;

// The recycle-bin sheet of a main window: the bin of whichever document opened it, as an outline of
// the dropped objects with the objects that went with them, and Restore, Purge, Empty and Close. Purge
// and Empty ask first. A failed action is shown as an alert with the database's message. Main thread.
class RecycleBinViewController : public QObject
{
    Q_OBJECT

public:
    // Column identifiers, in their order.
    static inline const QStringList columnIdentifiers{"recycle_object", "recycle_type", "recycle_removed",
                                                      "recycle_restore", "recycle_purge"};

    explicit RecycleBinViewController(QObject *parent = nullptr);
    ~RecycleBinViewController() override;

    RecyclebinController *recyclebinController() const { return recyclebinController_; }
    // Points the sheet at a document's bin and shows what it holds.
    void setRecyclebinController(RecyclebinController *controller);
    // Lists the bin again and shows the sheet on the window.
    void startupOnWindow(QWidget *window);
    // Ends the sheet.
    void close();

    // The bin's contents or busy state changed.
    void recyclebinUpdated();
    void updateButtons();

    // Actions on the selected row; purging and emptying ask first.
    void restoreObject();
    void purgeObject();
    void purgeAll();

    // The image a flag column shows: "NoError" for "YES", "Error" otherwise.
    static QString flagImageName(const QVariantMap &entry, const QString &key);

    // Null until first shown.
    QDialog *window() const { return window_; }
    QTreeWidget *dataview() const { return dataview_; }
    QPushButton *restoreButton() const { return restore_; }
    QPushButton *purgeButton() const { return purge_; }
    QPushButton *purgeAllButton() const { return purgeAll_; }
    QPushButton *closeButton() const { return close_; }
    QProgressBar *progress() const { return progress_; }
    // The question or failure the sheet shows; null when none.
    QMessageBox *alert() const { return alert_; }
    // The entry of a row.
    static QVariantMap entryOf(const QTreeWidgetItem *item);

private:
    void loadWindow();
    void reloadOutline();
    void addEntries(QTreeWidgetItem *parent, const QVariantMap *entry);
    std::optional<QVariantMap> selectedEntry() const;
    void ask(const QString &message, const QString &informative, const QString &confirm,
             std::function<void()> confirmed);
    void showFailure(const QString &title, const QString &message);

    RecyclebinController *recyclebinController_ = nullptr;
    QPointer<QWidget> hostWindow_;
    QPointer<QDialog> window_;
    QTreeWidget *dataview_ = nullptr;
    QPushButton *restore_ = nullptr;
    QPushButton *purge_ = nullptr;
    QPushButton *purgeAll_ = nullptr;
    QPushButton *close_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QPointer<QMessageBox> alert_;
};
