#pragma once

#include "platform/NotificationCenter.h"
#include "window/PaneViewController.h"

#include <QFont>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextObjectInterface>

class LoggerController;
class LoggerHeaderView;
class QTextCursor;
class QTextEdit;

// The log pane: the document log as read-only text, one line per entry with its time, errors in
// dark red, a blank line before each status group, and long or multi-line entries folded behind
// a "more..." badge that unfolds on a click. It follows the log by appending new entries only.
class LoggerViewController : public PaneViewController, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    static constexpr int moreAttachmentType = QTextFormat::UserObject + 1;
    static constexpr int moreAttachmentProperty = QTextFormat::UserProperty + 1;

    explicit LoggerViewController(QObject *parent = nullptr);
    ~LoggerViewController() override;

    QTextEdit *textView() const { return textView_; }
    LoggerHeaderView *headerView() const { return headerView_; }
    LoggerController *loggerController() const;
    // Not owned: the document's status manager owns its logger.
    void setLoggerController(LoggerController *loggerController);
    void detachModel() override { setLoggerController(nullptr); }
    qint64 logged() const { return logged_; }
    double characterWidth() const { return characterWidth_; }

    // Sent by the document on each notice of the logger.
    void loggingWasUpdated();
    void splitViewUpdates();
    void loggerControllerReset();
    void loggerControllerUpdate();
    // Appends one entry as shown text.
    void textForString(QTextCursor &cursor, const QString &entry);
    // Unfolds the badge at the character position; false when there is none.
    bool unfoldMoreAttachmentAt(int position);

    // Asks where to store a copy of the log file and stores it there.
    void saveToFile();
    // Copies the current log file to path, replacing a file there. False with a reason otherwise.
    bool storeLogFile(const QString &path, QString *errorMessage);

    void encodeInferfaceState(QVariantMap &archive) const override;
    void decodeInferfaceState(const QVariantMap &archive) override;
    void setDefaultInterfaceState() override;

    QSizeF intrinsicSize(QTextDocument *document, int position, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int position,
                    const QTextFormat &format) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void appendEntry(QTextCursor &cursor, const QString &entry);
    bool paneIsHidden() const;
    void scrollToEnd();

    QTextEdit *textView_ = nullptr;
    LoggerHeaderView *headerView_ = nullptr;
    QPointer<LoggerController> loggerController_;
    qint64 logged_ = 0;
    QTextCharFormat loggerAttributes_;
    QTextCharFormat loggerErrorAttributes_;
    QFont badgeFont_;
    double characterWidth_ = 0;
    NotificationCenter::ObserverId visibilityObserver_ = 0;
};
