#include "document/ActivityViewerController.h"

#include "client/VornActivityClient.h"
#include "client/VornRootClient.h"
#include "document/ActivityEntries.h"
#include "document/VornDocument.h"
#include "platform/Preferences.h"
#include "tabs/TabbedDocumentController.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeySequence>
#include <QLabel>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

ActivityViewerController::ActivityViewerController(std::shared_ptr<VornActivityClient> source,
                                                   DocumentForRoot documentForRoot, QObject *parent)
    : QObject(parent), source_(source ? std::move(source) : VornActivityClient::shared()),
      documentForRoot_(documentForRoot ? std::move(documentForRoot) : DocumentForRoot(&openDocumentForRoot)),
      window_(std::make_unique<QWidget>(nullptr, Qt::Tool))
{
    window_->setWindowTitle(QCoreApplication::translate("activity", "Activity"));
    window_->setObjectName(QStringLiteral("ActivityViewer"));
    window_->resize(420, 360);
    auto *layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    scrollView_ = new QScrollArea(window_.get());
    scrollView_->setWidgetResizable(true);
    scrollView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget(scrollView_);
    rows_ = new QVBoxLayout(content);
    rows_->setContentsMargins(0, 0, 0, 0);
    rows_->setSpacing(0);
    rows_->addStretch(1); // rows start at the top however few there are
    scrollView_->setWidget(content);
    layout->addWidget(scrollView_, 1);
    summary_ = new QLabel(window_.get());
    summary_->setContentsMargins(8, 4, 8, 4);
    layout->addWidget(summary_);
    // Close Tab closes the panel, as it would a tab.
    auto *closeTab = new QShortcut(QKeySequence::Close, window_.get());
    QObject::connect(closeTab, &QShortcut::activated, this, &ActivityViewerController::close);
    window_->installEventFilter(this);
    timer_.setInterval(pollIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, this, &ActivityViewerController::update);
}

ActivityViewerController::~ActivityViewerController()
{
    deActivate();
    if (window_)
        window_->removeEventFilter(this);
}

void ActivityViewerController::activate()
{
    timer_.start();
    runUpdate();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void ActivityViewerController::deActivate()
{
    timer_.stop();
}

bool ActivityViewerController::isOpen() const
{
    return window_->isVisible();
}

void ActivityViewerController::close()
{
    window_->close();
}

bool ActivityViewerController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window_.get() && (event->type() == QEvent::Close || event->type() == QEvent::Hide))
        deActivate();
    return QObject::eventFilter(watched, event);
}

void ActivityViewerController::update()
{
    if (source_ && source_->changed())
        runUpdate();
}

void ActivityViewerController::runUpdate()
{
    if (!source_)
        return;
    // The backend's filtered list leaves idle connections out.
    const bool showInactive = Preferences().flag(PreferenceKey::activity_viewer_show_inactive);
    const QList<QVariantMap> ordered = ActivityEntries::ordered(source_->rootSettings(!showInactive));
    QList<ActivityViewDocumentState> records;
    for (const QVariantMap &settings : ordered) {
        const qint64 uid = settings.value(QStringLiteral("uid")).toLongLong();
        ActivityViewDocumentState record;
        if (ActivityViewDocumentState *known = documentStateForUid(uid)) {
            record = *known;
        } else {
            record.document = documentForRoot_(settings.value(QStringLiteral("root")));
            // Only a helper connection without a document of its own shows without a stop button.
            const bool helper = !record.document && settings.contains(QStringLiteral("parentUid"));
            record.activityView = new ActivityView(uid, helper);
        }
        record.state = settings;
        records.append(record);
    }
    // Rows of connections no longer listed go.
    for (const ActivityViewDocumentState &old : std::as_const(documentStates_)) {
        const bool kept =
            std::any_of(records.cbegin(), records.cend(), [&](const ActivityViewDocumentState &r) {
                return r.activityView == old.activityView;
            });
        if (!kept && old.activityView)
            old.activityView->deleteLater();
    }
    documentStates_ = records;
    summary_->setText(QCoreApplication::translate("activity", "Connections: %1 (%2 active)")
                          .arg(source_->connectedCount())
                          .arg(source_->activeCount()));
    layoutRows();
}

ActivityViewDocumentState *ActivityViewerController::documentStateForUid(qint64 uid)
{
    for (ActivityViewDocumentState &record : documentStates_) {
        if (record.state.value(QStringLiteral("uid")).toLongLong() == uid)
            return &record;
    }
    return nullptr;
}

void ActivityViewerController::fillRow(ActivityViewDocumentState &record)
{
    // A helper connection that became a connection of its own gets a full row.
    if (record.activityView && record.activityView->secundary() &&
        !record.state.contains(QStringLiteral("parentUid"))) {
        record.activityView->deleteLater();
        record.activityView = new ActivityView(record.state.value(QStringLiteral("uid")).toLongLong(), false);
    }
    const bool stopable = record.document && record.document->statusManagerCanCancelAction(nullptr);
    const ActivityEntries::RowText text = ActivityEntries::rowText(record.state, stopable);
    record.activityView->setDelegate(this);
    record.activityView->updateStatus(text.status, text.message, text.active, text.stopable, text.progress);
}

void ActivityViewerController::layoutRows()
{
    // The layout holds the rows in order, then the stretch.
    while (rows_->count() > 1)
        delete rows_->takeAt(0); // the item only, not its row
    int index = 0;
    for (ActivityViewDocumentState &record : documentStates_) {
        fillRow(record);
        rows_->insertWidget(index++, record.activityView);
        record.activityView->show();
    }
}

void ActivityViewerController::activityViewWantsToStopUid(ActivityView *, qint64 uid)
{
    ActivityViewDocumentState *record = documentStateForUid(uid);
    if (record && record->document)
        record->document->statusManagerCancelAction(nullptr);
}

VornDocument *ActivityViewerController::openDocumentForRoot(const QVariant &root)
{
    TabbedDocumentController *documents = TabbedDocumentController::sharedDocumentController();
    return documents ? documentWithRoot(documents->documents(), root) : nullptr;
}

VornDocument *ActivityViewerController::documentWithRoot(const QList<TabbedDocument *> &documents,
                                                         const QVariant &root)
{
    const auto object = root.value<QoJavaObjectPtr>();
    if (!object)
        return nullptr;
    for (TabbedDocument *document : documents) {
        auto *vorn = qobject_cast<VornDocument *>(document);
        const VornRootClientPtr vornRoot = vorn ? vorn->vornRoot() : nullptr;
        if (vornRoot && vornRoot->object() && vornRoot->object()->isSameObject(*object))
            return vorn;
    }
    return nullptr;
}
