#include "resultset/FilterWindowController.h"

#include "resultset/FilterWindowControllerDelegate.h"
#include "resultset/QuickFilterOperatorTitles.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace
{
const QString emptyMarker = QStringLiteral("__EMPTY__");

QString text(const char *key)
{
    return QCoreApplication::translate("filterwindow", key);
}

QFont conditionFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(11);
    return font;
}
} // namespace

FilterWindowController::FilterWindowController(QObject *parent) : QObject(parent)
{
    buildPanel();
}

FilterWindowController::~FilterWindowController()
{
    delete panel_;
}

void FilterWindowController::ensurePanel()
{
    if (!panel_)
        buildPanel();
}

void FilterWindowController::buildPanel()
{
    panel_ = new QDialog;
    panel_->setWindowTitle(text("Filter"));
    panel_->setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(panel_);

    filterText_ = new QPlainTextEdit(panel_);
    filterText_->setFont(conditionFont());
    filterText_->setTabChangesFocus(true);
    filterText_->setMinimumSize(520, 140);
    layout->addWidget(new QLabel(text("Condition:"), panel_));
    layout->addWidget(filterText_, 1);

    auto *builder = new QHBoxLayout;
    columnNames_ = new QComboBox(panel_);
    operators_ = new QComboBox(panel_);
    value_ = new QLineEdit(panel_);
    value_->setPlaceholderText(text("Value"));
    builder->addWidget(columnNames_);
    builder->addWidget(operators_);
    builder->addWidget(value_, 1);
    const struct {
        const char *title;
        void (FilterWindowController::*action)();
    } connectives[] = {{QT_TRANSLATE_NOOP("filterwindow", "AND"), &FilterWindowController::andAction},
                       {QT_TRANSLATE_NOOP("filterwindow", "OR"), &FilterWindowController::orAction},
                       {QT_TRANSLATE_NOOP("filterwindow", "AND NOT"), &FilterWindowController::andNotAction}};
    for (const auto &connective : connectives) {
        auto *button = new QPushButton(text(connective.title), panel_);
        button->setAutoDefault(false);
        button->setObjectName(QString::fromLatin1(connective.title));
        connect(button, &QPushButton::clicked, this, connective.action);
        builder->addWidget(button);
    }
    layout->addLayout(builder);
    connect(columnNames_, &QComboBox::currentIndexChanged, this, &FilterWindowController::updateOperators);

    notice_ = new QLabel(panel_);
    notice_->setWordWrap(true);
    notice_->setStyleSheet(QStringLiteral("color: #c0392b;"));
    notice_->hide();
    layout->addWidget(notice_);

    auto *buttons = new QHBoxLayout;
    auto *clear = new QPushButton(text("Clear"), panel_);
    clear->setAutoDefault(false);
    connect(clear, &QPushButton::clicked, this, &FilterWindowController::clearFilter);
    auto *cancelButton = new QPushButton(text("Cancel"), panel_);
    cancelButton->setAutoDefault(false);
    connect(cancelButton, &QPushButton::clicked, this, &FilterWindowController::cancel);
    setButton_ = new QPushButton(text("Set"), panel_);
    setButton_->setDefault(true);
    connect(setButton_, &QPushButton::clicked, this, &FilterWindowController::setFilterAction);
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(setButton_);
    layout->addLayout(buttons);
    // What the notice says no longer holds once the text changes.
    connect(filterText_, &QPlainTextEdit::textChanged, notice_, &QLabel::hide);
    connect(panel_, &QDialog::finished, this, &FilterWindowController::panelEnded);
}

void FilterWindowController::setFilter(const QString &filter, const QVariantList &columnInfo)
{
    ensurePanel();
    columnInfo_ = columnInfo;
    filterText_->setPlainText(filter);
    {
        const QSignalBlocker blocker(columnNames_);
        columnNames_->clear();
        for (const QVariant &entry : columnInfo) {
            const QString name = entry.toMap().value(QStringLiteral("name")).toString();
            if (name == emptyMarker)
                break;
            columnNames_->addItem(name);
        }
    }
    updateOperators();
}

void FilterWindowController::updateOperators()
{
    operators_->clear();
    const QVariantMap info = infoForColumn(columnNames_->currentText());
    const QString type = info.value(QStringLiteral("type")).toString();
    for (const QVariant &code : info.value(QStringLiteral("operators")).toList())
        operators_->addItem(textualOperatorForOperator(code.toString(), type), code.toString());
}

QVariantMap FilterWindowController::infoForColumn(const QString &name) const
{
    for (const QVariant &entry : columnInfo_) {
        const QVariantMap info = entry.toMap();
        if (info.value(QStringLiteral("name")).toString() == name)
            return info;
    }
    return {};
}

void FilterWindowController::showOnWindow(QWidget *window)
{
    ensurePanel();
    if (window && panel_->parentWidget() != window) {
        panel_->setParent(window, panel_->windowFlags());
        panel_->setWindowModality(Qt::WindowModal);
    }
    notice_->hide();
    panel_->open();
    filterText_->setFocus();
    filterText_->moveCursor(QTextCursor::End);
}

QString FilterWindowController::filter() const
{
    return filterText_ ? filterText_->toPlainText() : QString();
}

void FilterWindowController::setFilterAction()
{
    if (containsStatementSeparator(filter())) {
        showNotice(text("The filter is one condition: it may not contain a ';' outside quotes."));
        return;
    }
    panel_->done(1);
}

void FilterWindowController::cancel()
{
    panel_->done(0);
}

void FilterWindowController::clearFilter()
{
    filterText_->clear();
}

void FilterWindowController::extendFilter(const QString &connective)
{
    const QString column = columnNames_->currentText();
    const QString condition = delegate_ && !column.isEmpty()
                                  ? delegate_->filterWindowNeedsQueryForColumn(
                                        this, column, value_->text(), operators_->currentData().toString())
                                  : QString();
    if (condition.isEmpty()) {
        showNotice(text("No condition can be made of this column, operator and value."));
        return;
    }
    notice_->hide();
    QString appended = condition;
    if (!filter().trimmed().isEmpty())
        appended = QStringLiteral(" %1 ").arg(connective) + condition;
    // Added at the end as typing would, so that Undo takes it back.
    QTextCursor cursor(filterText_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(appended);
    filterText_->setTextCursor(cursor);
}

bool FilterWindowController::containsStatementSeparator(const QString &condition)
{
    QChar quote;
    for (const QChar c : condition) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"' || c == u'`') {
            quote = c;
        } else if (c == u';') {
            return true;
        }
    }
    return false;
}

void FilterWindowController::panelEnded(int returnCode)
{
    if (delegate_)
        delegate_->filterWindowEndedWithStatus(this, returnCode);
}

void FilterWindowController::showNotice(const QString &message)
{
    notice_->setText(message);
    notice_->show();
}
