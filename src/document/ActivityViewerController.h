#pragma once

#include "document/ActivityView.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>

#include <functional>
#include <memory>

class QLabel;
class QScrollArea;
class QVBoxLayout;
class VornActivityClient;
class TabbedDocument;
class VornDocument;

// One shown row: the connection's document (none for a connection no open document owns), its
// settings of the last poll and its row view.
struct ActivityViewDocumentState {
    QPointer<VornDocument> document;
    QVariantMap state;
    QPointer<ActivityView> activityView;
};

// The activity viewer: one panel for the whole application listing every backend connection and what
// it does, polled ten times a second while the panel is open. Rows are kept per connection and only
// refilled when the backend reports a change. A row of a document's connection stops that
// document's running action. Main thread.
class ActivityViewerController : public QObject, public ActivityViewDelegate
{
    Q_OBJECT
public:
    static constexpr int pollIntervalMs = 100;
    // The open document whose root is the given backend root object, or null.
    using DocumentForRoot = std::function<VornDocument *(const QVariant &root)>;

    // Without a source, the backend's singleton; without a lookup, the open documents.
    explicit ActivityViewerController(std::shared_ptr<VornActivityClient> source = nullptr,
                                      DocumentForRoot documentForRoot = {}, QObject *parent = nullptr);
    ~ActivityViewerController() override;

    // Starts polling and brings the panel to the front.
    void activate();
    // Stops polling; the rows stay as they were.
    void deActivate();
    bool isOpen() const;
    void close();

    // A poll when the backend reports a change (the timer's work).
    void update();
    // A poll regardless.
    void runUpdate();

    QWidget *window() const { return window_.get(); }
    QLabel *connectionSummary() const { return summary_; }
    const QList<ActivityViewDocumentState> &documentStates() const { return documentStates_; }
    const QTimer &timer() const { return timer_; }

    void activityViewWantsToStopUid(ActivityView *view, qint64 uid) override;

    // The first open document whose root is the backend root object.
    static VornDocument *openDocumentForRoot(const QVariant &root);
    // The first of the documents whose root is the backend root object.
    static VornDocument *documentWithRoot(const QList<TabbedDocument *> &documents, const QVariant &root);

private:
    bool eventFilter(QObject *watched, QEvent *event) override;
    ActivityViewDocumentState *documentStateForUid(qint64 uid);
    void fillRow(ActivityViewDocumentState &record);
    void layoutRows();

    std::shared_ptr<VornActivityClient> source_;
    DocumentForRoot documentForRoot_;
    std::unique_ptr<QWidget> window_;
    QLabel *summary_ = nullptr;
    QScrollArea *scrollView_ = nullptr;
    QVBoxLayout *rows_ = nullptr;
    QTimer timer_;
    QList<ActivityViewDocumentState> documentStates_;
};
