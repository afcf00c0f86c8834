#include "document/LoggerViewController.h"

#include "document/LoggerHeaderView.h"
#include "document/LoggerMoreAttachment.h"
#include "status/LoggerController.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{

// Entries longer than the pane still show this many characters when the pane is very narrow.
constexpr int fewestVisibleCharacters = 20;

QString loggerText(const char *text)
{
    return QCoreApplication::translate("logger", text);
}

bool isMarker(const QString &field)
{
    return field == QLatin1String("+") || field == QLatin1String("-") || field == QLatin1String(".") ||
           field == QLatin1String("~");
}

QFont monospaced(qreal pointSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

LoggerViewController::LoggerViewController(QObject *parent) : PaneViewController(parent)
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    headerView_ = new LoggerHeaderView(view);
    headerView_->setFixedHeight(20);
    auto *headerLayout = new QHBoxLayout(headerView_);
    headerLayout->setContentsMargins(4, 0, 4, 0);
    headerLayout->addStretch();
    auto *saveButton = new QToolButton(headerView_);
    saveButton->setAutoRaise(true);
    saveButton->setIcon(view->style()->standardIcon(QStyle::SP_DialogSaveButton));
    saveButton->setIconSize(QSize(14, 14));
    saveButton->setToolTip(loggerText("Store log file"));
    connect(saveButton, &QToolButton::clicked, this, &LoggerViewController::saveToFile);
    headerLayout->addWidget(saveButton);
    textView_ = new QTextEdit(view);
    textView_->setReadOnly(true);
    textView_->setFrameShape(QFrame::NoFrame);
    layout->addWidget(headerView_);
    layout->addWidget(textView_);
    setView(view);

    const QFont font = monospaced(10);
    textView_->setFont(font);
    loggerAttributes_.setFont(font);
    loggerErrorAttributes_.setFont(font);
    loggerErrorAttributes_.setForeground(QColor::fromRgbF(0.5f, 0.0f, 0.0f, 1.0f));
    badgeFont_ = monospaced(9);
    characterWidth_ = QFontMetricsF(font).horizontalAdvance(QStringLiteral("1234")) / 4.0;
    textView_->document()->documentLayout()->registerHandler(moreAttachmentType, this);
    textView_->viewport()->installEventFilter(this);

    visibilityObserver_ = NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("ContentSplitViewBBecameVisible"), nullptr,
        [this](const Notification &) { splitViewUpdates(); });
}

LoggerViewController::~LoggerViewController()
{
    NotificationCenter::defaultCenter().removeObserver(visibilityObserver_);
    if (textView_)
        textView_->viewport()->removeEventFilter(this);
}

void LoggerViewController::setLoggerController(LoggerController *loggerController)
{
    loggerController_ = loggerController;
    loggerControllerReset();
}

bool LoggerViewController::paneIsHidden() const
{
    for (const QWidget *widget = view(); widget; widget = widget->parentWidget()) {
        if (widget->isHidden())
            return true;
    }
    return !view();
}

void LoggerViewController::loggingWasUpdated()
{
    if (loggerController_ && !paneIsHidden() && logged_ != loggerController_->logged())
        loggerControllerUpdate();
}

void LoggerViewController::splitViewUpdates()
{
    loggingWasUpdated();
}

void LoggerViewController::loggerControllerReset()
{
    textView_->clear();
    textView_->document()->documentLayout()->registerHandler(moreAttachmentType, this);
    logged_ = 0;
    if (!loggerController_)
        return;
    const LoggerController::LatestEntries latest = loggerController_->latestEntries();
    logged_ = latest.logged;
    QTextCursor cursor(textView_->document());
    cursor.beginEditBlock();
    for (const QString &entry : latest.entries)
        appendEntry(cursor, entry);
    cursor.endEditBlock();
    scrollToEnd();
}

void LoggerViewController::loggerControllerUpdate()
{
    if (!loggerController_)
        return;
    const std::optional<QStringList> entries = loggerController_->entriesSince(logged_);
    if (!entries) {
        loggerControllerReset();
        return;
    }
    logged_ += entries->size();
    QTextCursor cursor(textView_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const QString &entry : *entries)
        appendEntry(cursor, entry);
    cursor.endEditBlock();
    scrollToEnd();
}

void LoggerViewController::appendEntry(QTextCursor &cursor, const QString &entry)
{
    const QStringList fields = entry.split(' ');
    if (fields.size() >= 3 && fields.at(1) == QLatin1String("+"))
        cursor.insertText(QStringLiteral("\n"), loggerAttributes_);
    textForString(cursor, entry);
    cursor.insertText(QStringLiteral("\n"), loggerAttributes_);
}

void LoggerViewController::textForString(QTextCursor &cursor, const QString &entry)
{
    const QStringList fields = entry.split(' ');
    const bool marked = fields.size() >= 2 && isMarker(fields.at(1));
    // Without the marker: the 12-character time, a blank and the text.
    const QString shown = marked ? entry.left(12) + QLatin1Char(' ') + entry.mid(15) : entry;
    const bool error = marked && fields.at(1) == QLatin1String("~");
    const QTextCharFormat &attributes = error ? loggerErrorAttributes_ : loggerAttributes_;

    const qsizetype lineFeed = shown.indexOf('\n');
    const qsizetype firstLine = lineFeed < 0 ? shown.size() : lineFeed;
    const qsizetype visible = std::max<qsizetype>(fewestVisibleCharacters,
                                                  qsizetype((textView_->width() - 80.0) / characterWidth_));
    if (lineFeed < 0 && firstLine <= visible) {
        cursor.insertText(shown, attributes);
        return;
    }
    const qsizetype kept = std::min(firstLine, visible);
    cursor.insertText(shown.left(kept), attributes);
    QTextCharFormat badge;
    badge.setObjectType(moreAttachmentType);
    badge.setProperty(moreAttachmentProperty,
                      QVariant::fromValue(LoggerMoreAttachment(shown.mid(kept), badgeFont_, error)));
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), badge);
}

bool LoggerViewController::unfoldMoreAttachmentAt(int position)
{
    QTextCursor cursor(textView_->document());
    if (position < 0 || position >= textView_->document()->characterCount() - 1)
        return false;
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    const QTextCharFormat format = cursor.charFormat();
    if (format.objectType() != moreAttachmentType)
        return false;
    const auto attachment = format.property(moreAttachmentProperty).value<LoggerMoreAttachment>();
    cursor.insertText(attachment.text(), attachment.error() ? loggerErrorAttributes_ : loggerAttributes_);
    return true;
}

QSizeF LoggerViewController::intrinsicSize(QTextDocument *, int, const QTextFormat &format)
{
    const QImage image = format.property(moreAttachmentProperty).value<LoggerMoreAttachment>().image();
    return QSizeF(image.size()) / image.devicePixelRatio();
}

void LoggerViewController::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int,
                                      const QTextFormat &format)
{
    // Lowered a little, so that the badge's text sits on the entry's baseline.
    const QImage image = format.property(moreAttachmentProperty).value<LoggerMoreAttachment>().image();
    painter->drawImage(rect.translated(0, 2.0), image);
}

bool LoggerViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (textView_ && watched == textView_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *click = static_cast<QMouseEvent *>(event);
        const QPoint point = click->position().toPoint();
        const QPoint scrolled(textView_->horizontalScrollBar()->value(),
                              textView_->verticalScrollBar()->value());
        const int hit = textView_->document()->documentLayout()->hitTest(point + scrolled, Qt::FuzzyHit);
        for (int position : {hit, hit - 1}) {
            QTextCursor start(textView_->document());
            if (position < 0 || position >= textView_->document()->characterCount() - 1)
                continue;
            start.setPosition(position);
            QTextCursor end = start;
            end.setPosition(position + 1);
            const QRect caret = textView_->cursorRect(start);
            const QRect character(caret.left(), caret.top(), textView_->cursorRect(end).left() - caret.left(),
                                  caret.height());
            if (character.contains(point) && unfoldMoreAttachmentAt(position))
                return true;
        }
    }
    return PaneViewController::eventFilter(watched, event);
}

void LoggerViewController::scrollToEnd()
{
    QScrollBar *bar = textView_->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void LoggerViewController::saveToFile()
{
    QFileDialog panel(view(), loggerText("Store log file"));
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.selectFile(loggerText("Vorn.log"));
    if (auto *grid = qobject_cast<QGridLayout *>(panel.layout()))
        grid->addWidget(new QLabel(loggerText("Select where you wish to store the log file.")),
                        grid->rowCount(), 0, 1, -1);
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return;
    QString error;
    if (!storeLogFile(panel.selectedFiles().constFirst(), &error))
        QMessageBox::warning(view(), loggerText("Store log file"), error);
}

bool LoggerViewController::storeLogFile(const QString &path, QString *errorMessage)
{
    const auto fail = [errorMessage](const QString &reason) {
        *errorMessage = loggerText("The log file could not be stored: %1").arg(reason);
        return false;
    };
    if (!loggerController_)
        return fail(loggerText("there is no log"));
    // The copy holds everything logged so far, not only what the last flush wrote.
    loggerController_->flushToDisk();
    QFile source(loggerController_->logFileUrl().toLocalFile());
    if (!source.open(QIODevice::ReadOnly))
        return fail(source.errorString());
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly))
        return fail(target.errorString());
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 16);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return fail(source.errorString());
        if (target.write(chunk) != chunk.size())
            return fail(target.errorString());
    }
    if (!target.commit())
        return fail(target.errorString());
    return true;
}

void LoggerViewController::encodeInferfaceState(QVariantMap &archive) const
{
    const QRect visible(
        QPoint(textView_->horizontalScrollBar()->value(), textView_->verticalScrollBar()->value()),
        textView_->viewport()->size());
    archive.insert(QStringLiteral("LoggerViewController.visibleRect"), visible);
}

void LoggerViewController::decodeInferfaceState(const QVariantMap &)
{
    // The visible rectangle is written for the archive's completeness but never restored: the pane
    // always follows the end of the log.
}

void LoggerViewController::setDefaultInterfaceState()
{
    textView_->horizontalScrollBar()->setValue(0);
    textView_->verticalScrollBar()->setValue(0);
}

LoggerController *LoggerViewController::loggerController() const
{
    return loggerController_;
}
