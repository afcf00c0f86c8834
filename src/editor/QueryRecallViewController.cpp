#include "editor/QueryRecallViewController.h"

#include "editor/QueryRecallTableModel.h"
#include "editor/QueryRecallTableView.h"
#include "kit/LabelImages.h"
#include "kit/LabeledTextField.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "sql/SQLInterpreter.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace
{

QString text(const char *key)
{
    return QCoreApplication::translate("queryrecall", key);
}

bool isReservedRole(quint64 role)
{
    return (role >= 1 && role <= 9) || (role >= 20 && role <= 29);
}

} // namespace

QueryRecallViewController::QueryRecallViewController(QWidget *parent)
    : QWidget(parent, Qt::Window), model_(new QueryRecallTableModel(this)), searchField_(new QLineEdit(this)),
      connections_(new QComboBox(this)), tableView_(new QueryRecallTableView(this)),
      detailView_(new QWidget(this)), detailSql_(new QTextEdit(detailView_)),
      detailDate_(new QLabel(detailView_)), detailConnection_(new LabeledTextField(detailView_)),
      clearButton_(new QPushButton(text("Clear History"), this))
{
    setWindowTitle(text("Query History"));
    resize(620, 520);
    searchField_->setPlaceholderText(text("Search"));
    searchField_->setClearButtonEnabled(true);
    auto *top = new QHBoxLayout;
    top->addWidget(searchField_, 1);
    top->addWidget(connections_);

    tableView_->setModel(model_);
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView_->setSelectionMode(QAbstractItemView::SingleSelection);
    tableView_->setDragEnabled(true);
    tableView_->setDragDropMode(QAbstractItemView::DragOnly);
    tableView_->setWordWrap(true);
    tableView_->verticalHeader()->hide();
    tableView_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tableView_->verticalHeader()->setDefaultSectionSize(50);
    tableView_->horizontalHeader()->setSectionResizeMode(QueryRecallTableModel::statementColumn,
                                                         QHeaderView::Stretch);
    tableView_->horizontalHeader()->setSectionResizeMode(QueryRecallTableModel::storeColumn,
                                                         QHeaderView::ResizeToContents);

    detailSql_->setReadOnly(true);
    detailSql_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *details = new QVBoxLayout(detailView_);
    details->setContentsMargins(0, 0, 0, 0);
    auto *facts = new QHBoxLayout;
    facts->addWidget(detailConnection_, 1);
    facts->addWidget(detailDate_);
    details->addLayout(facts);
    details->addWidget(detailSql_);
    detailView_->hide();

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(tableView_);
    splitter->addWidget(detailView_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(clearButton_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);

    connect(searchField_, &QLineEdit::textChanged, this, [this](const QString &search) {
        if (controller_ && !loading_)
            controller_->setSearch(search);
    });
    connect(connections_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!controller_ || loading_ || index < 0)
            return;
        controller_->setConnection(index == 0 ? nullptr : controller_->connections().value(index - 1));
    });
    connect(tableView_, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { doubleClick(index.row()); });
    connect(clearButton_, &QPushButton::clicked, this, &QueryRecallViewController::clear);
    connect(tableView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &QueryRecallViewController::selectionChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, &QueryRecallViewController::selectionChanged);

    sqlEditorDefaultsUpdated();
    preferencesObserver_ =
        NotificationCenter::defaultCenter().addObserver(Preferences::sqlPreferenceUpdateNotification, nullptr,
                                                        [this](const auto &) { sqlEditorDefaultsUpdated(); });
}

QueryRecallViewController::~QueryRecallViewController()
{
    NotificationCenter::defaultCenter().removeObserver(preferencesObserver_);
    if (controller_)
        controller_->setDelegate(nullptr);
}

void QueryRecallViewController::setQueryRecallController(QueryRecallController *controller)
{
    if (controller_)
        controller_->setDelegate(nullptr);
    controller_ = controller;
    if (controller_)
        controller_->setDelegate(this);
    model_->setController(controller_);
    loadUp();
}

void QueryRecallViewController::orderOut()
{
    show();
    raise();
    activateWindow();
}

void QueryRecallViewController::sqlEditorDefaultsUpdated()
{
    const UserDefaults &defaults = UserDefaults::standard();
    normal_ = QColor(defaults.stringForKey(PreferenceKey::syntaxNormalColor));
    reserved_ = QColor(defaults.stringForKey(PreferenceKey::syntaxReservedColor));
    context_ = QColor(defaults.stringForKey(PreferenceKey::syntaxContextColor));
    literal_ = QColor(defaults.stringForKey(PreferenceKey::syntaxLiteralColor));
    comment_ = QColor(defaults.stringForKey(PreferenceKey::syntaxCommentColor));
    loadUp();
}

void QueryRecallViewController::loadUp()
{
    loading_ = true;
    model_->reload();
    connections_->clear();
    connections_->addItem(text("All connections"));
    if (controller_) {
        if (searchField_->text() != controller_->search())
            searchField_->setText(controller_->search());
        int selected = 0;
        const QList<ConnectionParametersPtr> connections = controller_->connections();
        for (int i = 0; i < connections.size(); ++i) {
            const unsigned label = unsigned(connections.at(i)->label());
            if (label == 0)
                connections_->addItem(connections.at(i)->connectionName());
            else
                connections_->addItem(LabelImages::markForLabel(label), connections.at(i)->connectionName());
            if (controller_->connection() && connections.at(i)->isEqualTo(*controller_->connection()))
                selected = i + 1;
        }
        connections_->setCurrentIndex(selected);
    }
    clearButton_->setEnabled(controller_ && controller_->queryCount() > 0);
    loading_ = false;
}

QString QueryRecallViewController::queryForRow(int row) const
{
    return model_->queryForRow(row);
}

QTextDocument *QueryRecallViewController::colouredQuery(int row, QObject *owner) const
{
    auto *document = new QTextDocument(owner);
    document->setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QTextCursor cursor(document);
    for (const auto &component :
         SQLInterpreter().interpreteComponents(controller_->componentsForQueryAt(row))) {
        const SQLParserComponentPtr &parsed = component->parserComponent();
        QColor color = normal_;
        if (parsed->parserComponentType() == SQLParserComponent::Comment)
            color = comment_;
        else if (isReservedRole(component->interpreterComponentType()))
            color = reserved_;
        else if (component->interpreterComponentType() == 10 || component->interpreterComponentType() == 11)
            color = context_;
        else if (parsed->parserComponentType() == SQLParserComponent::Literal)
            color = literal_;
        QTextCharFormat format;
        format.setForeground(color);
        cursor.insertText(parsed->string(), format);
    }
    return document;
}

QString QueryRecallViewController::dateText(int row) const
{
    const QDateTime date = QueryRecallController::dateFromReferenceSeconds(controller_->dateForQueryAt(row));
    return QLocale().toString(date.toLocalTime(), QLocale::ShortFormat);
}

void QueryRecallViewController::selectionChanged()
{
    const QModelIndexList rows = tableView_->selectionModel()->selectedRows();
    const int row = rows.isEmpty() ? -1 : rows.first().row();
    if (!controller_ || row < 0 || row >= controller_->queryCount()) {
        detailView_->hide();
        return;
    }
    detailSql_->setDocument(colouredQuery(row, detailSql_));
    detailDate_->setText(dateText(row));
    const ConnectionParametersPtr connection = controller_->connectionParametersForQueryAt(row);
    detailConnection_->setText(connection->connectionName());
    detailConnection_->setLabel(unsigned(connection->label()));
    detailView_->show();
}

void QueryRecallViewController::doubleClick(int row)
{
    if (!controller_ || row < 0 || row >= controller_->queryCount() || !selectedQuery_)
        return;
    selectedQuery_(queryForRow(row));
}

void QueryRecallViewController::clear()
{
    auto *alert = new QMessageBox(
        QMessageBox::Warning, text("Are you sure you want to remove all query history ?"),
        text("Are you sure you want to remove all query history ?"), QMessageBox::NoButton, this);
    alert->setInformativeText(
        text("This removes all Query Recall history, regardless of your search or connection "
             "filter and cannot be undone.\nNote that statements marked in the 'Retain' "
             "column will not be removed."));
    QPushButton *remove = alert->addButton(text("Remove"), QMessageBox::DestructiveRole);
    alert->addButton(text("Cancel"), QMessageBox::RejectRole);
    alert->setDefaultButton(remove);
    alert->setWindowModality(Qt::WindowModal);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    connect(alert, &QMessageBox::finished, this, [this, alert, remove] {
        if (alert->clickedButton() == remove && controller_)
            controller_->clear();
    });
    alert->open();
}

void QueryRecallViewController::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Close)) {
        close();
        return;
    }
    if (event->matches(QKeySequence::Find)) {
        searchField_->setFocus();
        searchField_->selectAll();
        return;
    }
    QWidget::keyPressEvent(event);
}
