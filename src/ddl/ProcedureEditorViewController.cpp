#include "ddl/ProcedureEditorViewController.h"

#include "ddl/ProcedureEditorController.h"
#include "ddl/ProcedureWarnings.h"
#include "editor/SQLEditorFont.h"
#include "editor/SQLEditorRulerView.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"
#include "window/EditorHeaderView.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace
{

QString procedureText(const char *text)
{
    return QCoreApplication::translate("procedure", text);
}

constexpr int lowerMinimum = 50;
constexpr int defaultLowerHeight = 60;

// A 14-point picture for a warnings line, kept in the warnings text as a resource.
QImage statusImage(QStyle::StandardPixmap which)
{
    return QApplication::style()->standardIcon(which).pixmap(14, 14).toImage();
}

QString rangeText(int location, int length)
{
    return QStringLiteral("{%1, %2}").arg(location).arg(length);
}

// A saved "{location, length}"; the caret at 0 when it is unreadable or lies past the text.
std::pair<int, int> savedRange(const QString &text, int textLength)
{
    QString inner = text;
    inner.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
    const QStringList parts = inner.split(QLatin1Char(','));
    bool locationOk = false, lengthOk = false;
    const int location = parts.value(0).trimmed().toInt(&locationOk);
    const int length = parts.value(1).trimmed().toInt(&lengthOk);
    if (!locationOk || !lengthOk || location < 0 || length < 0 || location + length > textLength)
        return {0, 0};
    return {location, length};
}

} // namespace

ProcedureEditorViewController::ProcedureEditorViewController(QObject *parent) : PaneViewController(parent)
{
    buildView();
    proclisttimer_ = new QTimer(this);
    proclisttimer_->setSingleShot(true);
    proclisttimer_->setInterval(caretFollowDelayMs);
    connect(proclisttimer_, &QTimer::timeout, this, &ProcedureEditorViewController::autoproclistupdate);
    preferencesObserver_ = NotificationCenter::defaultCenter().addObserver(
        Preferences::sqlPreferenceUpdateNotification, nullptr,
        [this](const auto &) { sqlTextView_->setFont(SQLEditorFont::editorFont()); });
}

ProcedureEditorViewController::~ProcedureEditorViewController()
{
    NotificationCenter::defaultCenter().removeObserver(preferencesObserver_);
    sqlTextView_->setDelegate(nullptr);
    sqlBodyTextView_->setDelegate(nullptr);
}

void ProcedureEditorViewController::buildView()
{
    auto *view = new QWidget;
    view->setObjectName(QStringLiteral("ProcedureEditor"));
    auto *layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *header = new EditorHeaderView;
    auto *bar = new QHBoxLayout(header);
    bar->setContentsMargins(8, 2, 8, 2);
    packageControlView_ = new QWidget;
    auto *segments = new QHBoxLayout(packageControlView_);
    segments->setContentsMargins(0, 0, 0, 0);
    segments->setSpacing(0);
    packageControl_ = new QButtonGroup(this);
    packageControl_->setExclusive(true);
    const char *titles[] = {QT_TRANSLATE_NOOP("procedure", "Header"), QT_TRANSLATE_NOOP("procedure", "Body")};
    for (int segment = 0; segment < 2; ++segment) {
        auto *button = new QToolButton;
        button->setText(procedureText(titles[segment]));
        button->setCheckable(true);
        button->setChecked(segment == 0);
        packageControl_->addButton(button, segment);
        segments->addWidget(button);
    }
    connect(packageControl_, &QButtonGroup::idClicked, this, &ProcedureEditorViewController::packageToggle);
    procedureListLabel_ = new QLabel(procedureText("Procedure:"));
    procedureList_ = new QComboBox;
    procedureList_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(procedureList_, &QComboBox::activated, this,
            &ProcedureEditorViewController::packageProcedureUpdate);
    revertButton_ = new QPushButton(procedureText("Revert"));
    revertButton_->setEnabled(false);
    connect(revertButton_, &QPushButton::clicked, this, [this] { revertProcedure(); });
    bar->addWidget(packageControlView_);
    bar->addSpacing(12);
    bar->addWidget(procedureListLabel_);
    bar->addWidget(procedureList_);
    bar->addStretch(1);
    bar->addWidget(revertButton_);
    layout->addWidget(header);

    splitView_ = new QSplitter(Qt::Vertical);
    splitView_->setChildrenCollapsible(false);
    textStack_ = new QStackedWidget;
    sqlTextView_ = new SQLTextView;
    sqlBodyTextView_ = new SQLTextView;
    for (SQLTextView *text : {sqlTextView_, sqlBodyTextView_}) {
        text->setDelegate(this);
        text->document()->setDocumentMargin(4);
        connect(text, &QPlainTextEdit::textChanged, this, &ProcedureEditorViewController::textEdited);
        textStack_->addWidget(text);
    }
    sqlTextView_->setFont(SQLEditorFont::editorFont());
    sqlBodyTextView_->setFont(SQLEditorFont::editorFont());
    warningView_ = new QTextBrowser;
    warningView_->setOpenLinks(false);
    warningView_->setMinimumHeight(lowerMinimum);
    warningView_->document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("vorn:error")),
                                          statusImage(QStyle::SP_MessageBoxCritical));
    warningView_->document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("vorn:noerror")),
                                          statusImage(QStyle::SP_DialogApplyButton));
    connect(warningView_, &QTextBrowser::anchorClicked, this,
            [this](const QUrl &link) { warningLinkClicked(link.toString().toLongLong()); });
    splitView_->addWidget(textStack_);
    splitView_->addWidget(warningView_);
    // The warnings keep their height when the pane is resized.
    splitView_->setStretchFactor(0, 1);
    splitView_->setStretchFactor(1, 0);
    splitView_->installEventFilter(this);
    layout->addWidget(splitView_, 1);

    auto *revertShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Period), view);
    revertShortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(revertShortcut, &QShortcut::activated, this, [this] { revertProcedure(); });
    setView(view);
    updateWarnings({});
}

bool ProcedureEditorViewController::eventFilter(QObject *watched, QEvent *event)
{
    // The divider stays in the lower half.
    if (watched == splitView_ && event->type() == QEvent::Resize)
        textStack_->setMinimumHeight(splitView_->height() / 2);
    return PaneViewController::eventFilter(watched, event);
}

void ProcedureEditorViewController::setProcedureEditorController(ProcedureEditorController *controller)
{
    proclisttimer_->stop();
    if (controller != controller_) {
        controller_ = controller;
        sqlTextView_->setTextStorage(controller ? controller->sqlEditorTextStorage() : nullptr);
        sqlBodyTextView_->setTextStorage(controller ? controller->sqlEditorBodyTextStorage() : nullptr);
        sqlTextView_->setSelectedRange(0, 0);
        sqlBodyTextView_->setSelectedRange(0, 0);
        sqlTextView_->setVerticalRuler(std::make_unique<SQLEditorRulerView>(sqlTextView_));
    }
    procedureUpdate();
}

void ProcedureEditorViewController::procedureUpdate()
{
    const bool package = controller_ && controller_->isPackage();
    updateWarnings(controller_ ? controller_->warnings() : QVariantList());
    revertButton_->setEnabled(controller_ && controller_->canRevert());
    packageControlView_->setVisible(package);
    procedureList_->setVisible(package);
    procedureListLabel_->setVisible(package);
    if (modusIsBody_ && !package)
        packageToggle(0);
    loadSelectableProcedures();
    const bool editable = controller_ && controller_->hasEditableSource();
    sqlTextView_->setReadOnly(!editable);
    sqlBodyTextView_->setReadOnly(!editable);
}

void ProcedureEditorViewController::procedureReset()
{
    if (SQLEditorRulerView *ruler = sqlTextView_->verticalRuler())
        ruler->sourceUpdated();
    procedureUpdate();
    autoproclistupdate();
}

void ProcedureEditorViewController::textEdited()
{
    proclistInvalid_ = true;
    if (!controller_)
        return;
    controller_->sourceUpdated();
    revertButton_->setEnabled(controller_->canRevert());
}

// Commands.

void ProcedureEditorViewController::compile(QObject *)
{
    if (controller_ && controller_->canCompile())
        controller_->compileAndCommit();
}

void ProcedureEditorViewController::executeSql(QObject *)
{
    if (!controller_ || !controller_->canExecute())
        return;
    const QStringList members = controller_->packageProcedures();
    if (members.isEmpty()) {
        controller_->execute();
        return;
    }
    auto *sheet = new QDialog(view()->window());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowTitle(procedureText("Execute"));
    auto *layout = new QVBoxLayout(sheet);
    layout->addWidget(new QLabel(procedureText("Which function or procedure do you want to execute?")));
    auto *list = new QComboBox;
    list->addItems(members);
    const QString selected = controller_->selectedPackageProcedure();
    if (!selected.isEmpty())
        list->setCurrentText(selected);
    layout->addWidget(list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, sheet, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, sheet, &QDialog::reject);
    layout->addWidget(buttons);
    connect(sheet, &QDialog::accepted, this, [this, list] {
        if (!controller_)
            return;
        controller_->setSelectedPackageProcedure(list->currentText());
        controller_->execute();
    });
    sheet->setWindowModality(Qt::WindowModal);
    sheet->open();
}

void ProcedureEditorViewController::cancelExecution(QObject *)
{
    if (controller_)
        controller_->cancelExecution();
}

void ProcedureEditorViewController::revertProcedure(QObject *)
{
    if (controller_ && controller_->canRevert())
        controller_->revert();
}

bool ProcedureEditorViewController::validateAction(const QString &action) const
{
    if (!controller_ || !view() || !view()->window() || !view()->isVisible())
        return false;
    if (action == QLatin1String("compile:"))
        return controller_->canCompile();
    if (action == QLatin1String("executeSql:"))
        return controller_->canExecute();
    if (action == QLatin1String("cancelExecution:"))
        return controller_->canCancelExecution();
    if (action == QLatin1String("revertProcedure:"))
        return controller_->canRevert();
    return true;
}

// Header and body.

SQLTextView *ProcedureEditorViewController::shownTextView() const
{
    return modusIsBody_ ? sqlBodyTextView_ : sqlTextView_;
}

void ProcedureEditorViewController::packageToggle(int segment)
{
    if (QAbstractButton *button = packageControl_->button(segment))
        button->setChecked(true);
    const bool body = segment == 1;
    if (body != modusIsBody_) {
        modusIsBody_ = body;
        textStack_->setCurrentWidget(shownTextView());
        shownTextView()->setFocus();
    }
    loadSelectableProcedures();
}

// Warnings.

void ProcedureEditorViewController::updateWarnings(const QVariantList &warnings)
{
    const QString font = QStringLiteral("font-family: Monaco, monospace; font-size: 10pt;");
    const QString text = QStringLiteral("color: #4d4d4d;");
    QString html = QStringLiteral("<div style=\"%1\">").arg(font);
    if (warnings.isEmpty()) {
        html += QStringLiteral("<img src=\"vorn:noerror\" width=14 height=14> <span style=\"%1\">%2</span>")
                    .arg(text, procedureText("No errors").toHtmlEscaped());
    }
    for (int i = 0; i < warnings.size(); ++i) {
        const QVariantMap warning = warnings.at(i).toMap();
        const qint64 line = ProcedureWarnings::line(warning);
        QString position = ProcedureWarnings::positionText(warning).toHtmlEscaped();
        if (line > 0)
            position =
                QStringLiteral("<a style=\"color: #003300;\" href=\"%1\">%2</a>").arg(line).arg(position);
        if (i > 0)
            html += QStringLiteral("<br>");
        html += QStringLiteral(
                    "<img src=\"vorn:error\" width=14 height=14> <span style=\"color: black;\">%1%2</span>"
                    "<span style=\"%3\">%4</span>")
                    .arg(position, procedureText(": ").toHtmlEscaped(), text,
                         warning.value(QStringLiteral("message")).toString().toHtmlEscaped());
    }
    warningView_->setHtml(html + QStringLiteral("</div>"));
}

void ProcedureEditorViewController::warningLinkClicked(qint64 line)
{
    if (!controller_ || line <= 0)
        return;
    if (!modusIsBody_ && controller_->isPackage() && line > controller_->sqlEditorTextStorage()->lineCount())
        packageToggle(1);
    selectLine(shownTextView(), line, false);
    shownTextView()->setFocus();
}

void ProcedureEditorViewController::selectLine(SQLTextView *view, qint64 line, bool caretOnlyWithoutNext)
{
    SQLEditorTextStorage *storage = view->textStorage();
    if (line < 1 || line > storage->lineCount())
        return;
    const qint64 start = storage->characterIndexForLineNumber(line);
    const qint64 next = line < storage->lineCount() ? storage->characterIndexForLineNumber(line + 1) : -1;
    if (next >= start)
        view->setSelectedRange(int(start), int(next - start));
    else if (!caretOnlyWithoutNext || start >= 2)
        view->setSelectedRange(int(start), 0);
    view->ensureCursorVisible();
}

// Members of a package.

const ProcedureMembers &ProcedureEditorViewController::shownMembers() const
{
    static const ProcedureMembers none;
    if (!controller_)
        return none;
    return modusIsBody_ ? controller_->selectableProceduresBody() : controller_->selectableProcedures();
}

void ProcedureEditorViewController::loadSelectableProcedures()
{
    const QSignalBlocker blocker(procedureList_);
    procedureList_->clear();
    QStringList executable;
    if (controller_)
        for (const ProcedureMember &member : controller_->selectableProcedures())
            executable << member.name;
    for (const ProcedureMember &member : shownMembers()) {
        procedureList_->addItem(member.type + QLatin1Char(' ') + member.name, member.resultName);
        const int row = procedureList_->count() - 1;
        // Members the header declares can be run.
        procedureList_->setItemData(
            row, executable.contains(member.name) ? QColor(0, 51, 0) : QColor(128, 128, 128),
            Qt::ForegroundRole);
    }
}

void ProcedureEditorViewController::packageProcedureUpdate(int index)
{
    if (!controller_ || index < 0 || index >= shownMembers().size())
        return;
    const QString resultName = shownMembers().at(index).resultName;
    const qint64 line = shownMembers().at(index).line;
    controller_->reloadSelectableProcedures();
    for (const ProcedureMember &member : shownMembers()) {
        if (member.resultName == resultName) {
            selectLine(shownTextView(), line, true);
            break;
        }
    }
}

void ProcedureEditorViewController::textViewSelectionChanged(SQLTextView *, int, int)
{
    proclisttimer_->start();
}

void ProcedureEditorViewController::autoproclistupdate()
{
    proclisttimer_->stop();
    if (!controller_)
        return;
    if (proclistInvalid_) {
        proclistInvalid_ = false;
        controller_->reloadSelectableProcedures();
        loadSelectableProcedures();
    }
    SQLTextView *shown = shownTextView();
    const qint64 caretLine = shown->textStorage()->lineNumberForCharacterAtIndex(shown->selectedLocation());
    const int index = memberIndexForCaretLine(shownMembers(), caretLine);
    if (index >= 0 && index < procedureList_->count())
        procedureList_->setCurrentIndex(index);
}

// Interface state.

void ProcedureEditorViewController::encodeInferfaceState(QVariantMap &state) const
{
    state.insert(QStringLiteral("packageToggle"), modusIsBody_ ? 1 : 0);
    state.insert(QStringLiteral("lowerSize"), double(warningView_->height()));
    state.insert(QStringLiteral("headerRange"),
                 rangeText(sqlTextView_->selectedLocation(), sqlTextView_->selectedLength()));
    state.insert(QStringLiteral("headerScroll"), sqlTextView_->verticalScrollBar()->value());
    state.insert(QStringLiteral("bodyRange"),
                 rangeText(sqlBodyTextView_->selectedLocation(), sqlBodyTextView_->selectedLength()));
    state.insert(QStringLiteral("bodyScroll"), sqlBodyTextView_->verticalScrollBar()->value());
}

void ProcedureEditorViewController::decodeInferfaceState(const QVariantMap &state)
{
    const int lower = int(state.value(QStringLiteral("lowerSize"), defaultLowerHeight).toDouble());
    const int total = splitView_->height() - splitView_->handleWidth();
    splitView_->setSizes({std::max(0, total - lower), lower});
    packageToggle(state.value(QStringLiteral("packageToggle")).toInt() == 1 ? 1 : 0);
    const std::pair<SQLTextView *, QString> texts[] = {{sqlTextView_, QStringLiteral("header")},
                                                       {sqlBodyTextView_, QStringLiteral("body")}};
    for (const auto &[text, key] : texts) {
        const auto [location, length] = savedRange(state.value(key + QStringLiteral("Range")).toString(),
                                                   text->document()->characterCount() - 1);
        text->setSelectedRange(location, length);
        text->verticalScrollBar()->setValue(state.value(key + QStringLiteral("Scroll")).toInt());
    }
}

void ProcedureEditorViewController::setDefaultInterfaceState()
{
    sqlTextView_->setSelectedRange(0, 0);
    sqlBodyTextView_->setSelectedRange(0, 0);
    const int total = splitView_->height() - splitView_->handleWidth();
    splitView_->setSizes({std::max(0, total - defaultLowerHeight), defaultLowerHeight});
    packageToggle(0);
}
