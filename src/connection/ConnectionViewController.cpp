#include "connection/ConnectionViewController.h"

#include "connection/ConnectionHelper.h"
#include "connection/ConnectionTest.h"
#include "connection/ConnectionViewControllerDelegate.h"
#include "connection/GroupRowView.h"
#include "kit/LabelImages.h"
#include "kit/ShortcutVisualizer.h"
#include "platform/FileBookmarks.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{

QString connectionText(const char *text)
{
    return QCoreApplication::translate("connection", text);
}

QPushButton *button(const QString &title, QWidget *parent)
{
    auto *pushButton = new QPushButton(title, parent);
    pushButton->setAutoDefault(false);
    return pushButton;
}

// Radio buttons "Off", "On" and "Ask" whose ids are the auto-commit choice.
QButtonGroup *autocommitChoice(QWidget *parent, QHBoxLayout *row)
{
    auto *group = new QButtonGroup(parent);
    const char *titles[] = {"Off", "On", "Ask"};
    for (int choice = 0; choice < 3; ++choice) {
        auto *radio = new QRadioButton(connectionText(titles[choice]), parent);
        group->addButton(radio, choice);
        row->addWidget(radio);
    }
    row->addStretch();
    return group;
}

void setText(QLineEdit *field, const QString &text)
{
    if (field->text() != text)
        field->setText(text);
}

void checkChoice(QButtonGroup *group, quint64 choice)
{
    if (QAbstractButton *radio = group->button(int(choice)))
        radio->setChecked(true);
}

} // namespace

ConnectionViewController::ConnectionViewController(UserDefaults *defaults,
                                                   std::unique_ptr<DatabaseTypeTraits> traits,
                                                   QObject *parent)
    : QObject(parent), model_(defaults),
      traits_(traits ? std::move(traits) : std::make_unique<DatabaseTypeTraits>()), editor_(model_, *traits_)
{
    container_ = new QStackedWidget;
    connectionListView_ = createListView();
    creationView_ = createCreationView();
    testView_ = createTestView();
    container_->addWidget(connectionListView_);
    container_->addWidget(creationView_);
    container_->addWidget(testView_);
    container_->setCurrentWidget(connectionListView_);
    ShortcutVisualizer::setDelegateForView(container_, this);

    QObject::connect(&model_, &ConnectionListModel::modelReset, this, &ConnectionViewController::layOutRows);
    QObject::connect(&model_, &ConnectionListModel::selectionRequested, this,
                     &ConnectionViewController::showSelectedRow);
    QObject::connect(&model_, &ConnectionListModel::groupingRestored, this, [this](int grouping) {
        const QSignalBlocker blocker(groupBySelection_);
        groupBySelection_->setCurrentIndex(groupBySelection_->findData(grouping));
    });
    reloadConnections();
    setCanCancel(false);
}

ConnectionViewController::~ConnectionViewController()
{
    // A running test is given up when its object goes with us: its thread ends its own root.
    if (container_)
        ShortcutVisualizer::setDelegateForView(container_, nullptr);
    // The view belongs to the host once embedded; an unembedded one is ours.
    if (container_ && !container_->parent())
        delete container_;
}

QWidget *ConnectionViewController::view() const
{
    return container_;
}

QWidget *ConnectionViewController::createListView()
{
    auto *listView = new QWidget;
    auto *layout = new QVBoxLayout(listView);

    auto *top = new QHBoxLayout;
    searchField_ = new QLineEdit(listView);
    searchField_->setPlaceholderText(connectionText("Search"));
    searchField_->setClearButtonEnabled(true);
    searchField_->installEventFilter(this);
    QObject::connect(searchField_, &QLineEdit::textChanged, this,
                     [this](const QString &text) { model_.searchUpdated(text, false); });
    groupBySelection_ = new QComboBox(listView);
    const char *groupings[] = {"No grouping", "Group by server", "Group by database type", "Group by label",
                               "Group by user name"};
    for (int tag = 0; tag < 5; ++tag)
        groupBySelection_->addItem(connectionText(groupings[tag]), tag);
    QObject::connect(groupBySelection_, &QComboBox::activated, this,
                     [this](int item) { model_.groupingUpdated(groupBySelection_->itemData(item).toInt()); });
    top->addWidget(searchField_, 1);
    top->addWidget(groupBySelection_);
    layout->addLayout(top);

    connectionList_ = new QTableView(listView);
    connectionList_->setModel(&model_);
    connectionList_->setItemDelegate(new GroupRowView(connectionList_));
    connectionList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    connectionList_->setSelectionMode(QAbstractItemView::SingleSelection);
    connectionList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connectionList_->setShowGrid(false);
    connectionList_->setWordWrap(false);
    connectionList_->verticalHeader()->hide();
    connectionList_->verticalHeader()->setMinimumSectionSize(10);
    connectionList_->setIconSize(QSize(14, 14));
    auto *header = connectionList_->horizontalHeader();
    header->setSectionResizeMode(ConnectionListModel::LabelColumn, QHeaderView::Fixed);
    header->resizeSection(ConnectionListModel::LabelColumn, 24);
    header->setSectionResizeMode(ConnectionListModel::NameColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(ConnectionListModel::TypeColumn, QHeaderView::Fixed);
    header->resizeSection(ConnectionListModel::TypeColumn, 110);
    connectionList_->setDragEnabled(true);
    connectionList_->setAcceptDrops(true);
    connectionList_->setDropIndicatorShown(true);
    connectionList_->setDragDropOverwriteMode(false);
    connectionList_->setDragDropMode(QAbstractItemView::InternalMove);
    connectionList_->setDefaultDropAction(Qt::MoveAction);
    connectionList_->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(connectionList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                     &ConnectionViewController::tableSelectionChanged);
    QObject::connect(connectionList_, &QTableView::doubleClicked, this,
                     [this](const QModelIndex &index) { connectionListDoubleClick(index.row()); });
    layout->addWidget(connectionList_, 1);

    auto *buttons = new QHBoxLayout;
    createNewButton_ = button(QStringLiteral("+"), listView);
    createNewButton_->setToolTip(connectionText("New connection"));
    editButton_ = button(connectionText("Edit"), listView);
    duplicateButton_ = button(connectionText("Duplicate"), listView);
    removeButton_ = button(connectionText("Remove"), listView);
    optionsButton_ = new QToolButton(listView);
    optionsButton_->setText(connectionText("Label"));
    optionsButton_->setPopupMode(QToolButton::InstantPopup);
    changeLabelMenu_ = new QMenu(listView);
    fillLabelMenu();
    optionsButton_->setMenu(changeLabelMenu_);
    QObject::connect(connectionList_, &QTableView::customContextMenuRequested, this,
                     [this](const QPoint &at) {
                         if (model_.selectedConnection())
                             changeLabelMenu_->popup(connectionList_->viewport()->mapToGlobal(at));
                     });
    cancelButton_ = button(connectionText("Cancel"), listView);
    connectButton_ = button(connectionText("Connect"), listView);
    for (QWidget *widget : {static_cast<QWidget *>(createNewButton_), static_cast<QWidget *>(editButton_),
                            static_cast<QWidget *>(duplicateButton_), static_cast<QWidget *>(removeButton_),
                            static_cast<QWidget *>(optionsButton_)})
        buttons->addWidget(widget);
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    buttons->addWidget(connectButton_);
    layout->addLayout(buttons);
    QObject::connect(createNewButton_, &QPushButton::clicked, this, &ConnectionViewController::createNew);
    QObject::connect(editButton_, &QPushButton::clicked, this, &ConnectionViewController::editConnection);
    QObject::connect(duplicateButton_, &QPushButton::clicked, this,
                     &ConnectionViewController::duplicateConnection);
    QObject::connect(removeButton_, &QPushButton::clicked, this, &ConnectionViewController::removeConnection);
    QObject::connect(cancelButton_, &QPushButton::clicked, this, &ConnectionViewController::cancel);
    QObject::connect(connectButton_, &QPushButton::clicked, this, &ConnectionViewController::connect);
    setUpListShortcuts(listView);
    return listView;
}

void ConnectionViewController::fillLabelMenu()
{
    for (quint64 label = 0; label <= 9; ++label) {
        const QString title =
            label == 0 ? connectionText("No label") : ConnectionParameters::labelName(label);
        QAction *item = changeLabelMenu_->addAction(title);
        if (label > 0)
            item->setIcon(LabelImages::markForLabel(unsigned(label)));
        item->setData(label);
        QObject::connect(item, &QAction::triggered, this, [this, label] { changeLabel(label); });
    }
}

void ConnectionViewController::setUpListShortcuts(QWidget *listView)
{
    const auto shortcut = [listView](const QKeySequence &keys, auto slot, QObject *receiver) {
        auto *key = new QShortcut(keys, listView);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(key, &QShortcut::activated, receiver, slot);
    };
    shortcut(
        QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { createNew(); }, this);
    shortcut(
        QKeySequence(Qt::CTRL | Qt::Key_F), [this] { selectSearch(); }, this);
    shortcut(
        QKeySequence(Qt::Key_Return),
        [this] {
            if (!searchField_->hasFocus() && connectButton_->isEnabled())
                connect();
        },
        this);
}

QComboBox *ConnectionViewController::createLabelPopup()
{
    auto *popup = new QComboBox;
    popup->addItem(connectionText("No label"));
    for (quint64 label = 1; label <= 9; ++label)
        popup->addItem(LabelImages::markForLabel(unsigned(label)), ConnectionParameters::labelName(label));
    return popup;
}

QWidget *ConnectionViewController::createCreationView()
{
    auto *creationView = new QWidget;
    auto *layout = new QVBoxLayout(creationView);

    auto *nameAndType = new QFormLayout;
    connectionName_ = new QLineEdit(creationView);
    databaseType_ = new QComboBox(creationView);
    databaseType_->addItem(connectionText("Choose a database type"));
    databaseType_->addItems(ConnectionParameters::databaseTypes());
    nameAndType->addRow(connectionText("Name:"), connectionName_);
    nameAndType->addRow(connectionText("Type:"), databaseType_);
    layout->addLayout(nameAndType);
    QObject::connect(databaseType_, &QComboBox::activated, this,
                     &ConnectionViewController::changeDatabaseType);

    connectionNameAndTypeDescriptionInitialView_ = new QLabel(
        connectionText("Welcome to Vorn. Create your first connection: give it a name and choose the type "
                       "of database it connects to."),
        creationView);
    connectionNameAndTypeDescriptionView_ = new QLabel(
        connectionText("Give the connection a name and choose the type of database it connects to."),
        creationView);
    for (QLabel *explanation :
         {connectionNameAndTypeDescriptionInitialView_, connectionNameAndTypeDescriptionView_}) {
        explanation->setWordWrap(true);
        layout->addWidget(explanation);
    }
    regularDatabaseOptions_ = createRegularDatabaseOptions();
    fileDatabaseOptions_ = createFileDatabaseOptions();
    layout->addWidget(regularDatabaseOptions_);
    layout->addWidget(fileDatabaseOptions_);
    layout->addStretch();

    auto *buttons = new QHBoxLayout;
    cancelCreationButton_ = button(connectionText("Cancel"), creationView);
    testConnectionButton_ = button(connectionText("Test"), creationView);
    createSaveButton_ = button(connectionText("Create"), creationView);
    buttons->addWidget(cancelCreationButton_);
    buttons->addStretch();
    buttons->addWidget(testConnectionButton_);
    buttons->addWidget(createSaveButton_);
    layout->addLayout(buttons);
    QObject::connect(cancelCreationButton_, &QPushButton::clicked, this,
                     &ConnectionViewController::cancelCreateConnection);
    QObject::connect(testConnectionButton_, &QPushButton::clicked, this,
                     &ConnectionViewController::testConnection);
    QObject::connect(createSaveButton_, &QPushButton::clicked, this,
                     &ConnectionViewController::createSaveConnection);
    for (QLineEdit *field :
         {connectionName_, server_, port_, database_, username_, password_, databaseLocal_})
        QObject::connect(field, &QLineEdit::textEdited, this, [this] {
            readForm();
            validateInterface();
        });
    setUpEditShortcuts(creationView);
    return creationView;
}

QWidget *ConnectionViewController::createRegularDatabaseOptions()
{
    auto *options = new QWidget;
    auto *form = new QFormLayout(options);
    form->setContentsMargins(0, 0, 0, 0);
    server_ = new QLineEdit(options);
    port_ = new QLineEdit(options);
    database_ = new QLineEdit(options);
    username_ = new QLineEdit(options);
    password_ = new QLineEdit(options);
    password_->setEchoMode(QLineEdit::Password);
    form->addRow(connectionText("Server:"), server_);
    form->addRow(connectionText("Port:"), port_);
    form->addRow(connectionText("Database:"), database_);
    form->addRow(connectionText("User name:"), username_);
    form->addRow(connectionText("Password:"), password_);
    auto *choices = new QHBoxLayout;
    autocommit_ = autocommitChoice(options, choices);
    form->addRow(connectionText("Auto-commit:"), choices);
    colorLabel_ = createLabelPopup();
    colorLabel_->setParent(options);
    form->addRow(connectionText("Label:"), colorLabel_);
    QObject::connect(autocommit_, &QButtonGroup::idClicked, this, [this] { readForm(); });
    QObject::connect(colorLabel_, &QComboBox::activated, this, [this] { readForm(); });
    return options;
}

QWidget *ConnectionViewController::createFileDatabaseOptions()
{
    auto *options = new QWidget;
    auto *form = new QFormLayout(options);
    form->setContentsMargins(0, 0, 0, 0);
    auto *fileRow = new QHBoxLayout;
    databaseLocal_ = new QLineEdit(options);
    auto *browse = button(connectionText("Browse…"), options);
    QObject::connect(browse, &QPushButton::clicked, this, &ConnectionViewController::browseForLocalDatabase);
    fileRow->addWidget(databaseLocal_, 1);
    fileRow->addWidget(browse);
    form->addRow(connectionText("Database file:"), fileRow);
    auto *choices = new QHBoxLayout;
    autocommitLocal_ = autocommitChoice(options, choices);
    form->addRow(connectionText("Auto-commit:"), choices);
    colorLabelLocal_ = createLabelPopup();
    colorLabelLocal_->setParent(options);
    form->addRow(connectionText("Label:"), colorLabelLocal_);
    QObject::connect(autocommitLocal_, &QButtonGroup::idClicked, this, [this] { readForm(); });
    QObject::connect(colorLabelLocal_, &QComboBox::activated, this, [this] { readForm(); });
    return options;
}

void ConnectionViewController::setUpEditShortcuts(QWidget *creationView)
{
    auto *save = new QShortcut(QKeySequence(Qt::Key_Return), creationView);
    save->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(save, &QShortcut::activated, this, [this] {
        if (createSaveButton_->isEnabled())
            createSaveConnection();
    });
    auto *test = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), creationView);
    test->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(test, &QShortcut::activated, this, [this] {
        if (testConnectionButton_->isEnabled())
            testConnection();
    });
}

QWidget *ConnectionViewController::createTestView()
{
    auto *testView = new QWidget;
    auto *layout = new QVBoxLayout(testView);
    testTitle_ = new QLabel(testView);
    QFont titleFont = testTitle_->font();
    titleFont.setBold(true);
    testTitle_->setFont(titleFont);
    testResultView_ = new QLabel(testView);
    testResultView_->setWordWrap(true);
    testResultView_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    testResultView_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    testProgress_ = new QProgressBar(testView);
    testProgress_->setRange(0, 0);
    testProgress_->setTextVisible(false);
    testContinueButton_ = button(connectionText("Continue"), testView);
    QObject::connect(testContinueButton_, &QPushButton::clicked, this,
                     &ConnectionViewController::continueAfterTest);
    layout->addWidget(testTitle_);
    layout->addWidget(testResultView_, 1);
    layout->addWidget(testProgress_);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(testContinueButton_);
    layout->addLayout(buttons);
    return testView;
}

void ConnectionViewController::showMode(Mode mode)
{
    mode_ = mode;
    container_->setCurrentIndex(int(mode));
}

void ConnectionViewController::setCanCancel(bool canCancel)
{
    cancelButton_->setVisible(canCancel);
}

bool ConnectionViewController::hasConnections() const
{
    return !model_.allConnections().isEmpty();
}

void ConnectionViewController::setSelectedConnection(const ConnectionParametersPtr &connection)
{
    model_.setSelectedConnection(connection);
    validateInterface();
}

void ConnectionViewController::selectSearch()
{
    searchField_->setFocus();
}

void ConnectionViewController::reloadConnections()
{
    {
        const QSignalBlocker blocker(searchField_);
        searchField_->clear();
    }
    model_.reloadConnections();
    validateInterface();
}

void ConnectionViewController::layOutRows()
{
    connectionList_->clearSpans();
    for (int row = 0; row < model_.rowCount(); ++row) {
        const bool header = model_.isHeaderRow(row);
        if (header)
            connectionList_->setSpan(row, 0, 1, ConnectionListModel::ColumnCount);
        connectionList_->setRowHeight(row, header ? 19 : 17);
    }
    validateInterface();
}

void ConnectionViewController::showSelectedRow(int row)
{
    syncingSelection_ = true;
    connectionList_->clearSelection();
    if (row >= 0) {
        connectionList_->selectRow(row);
        connectionList_->scrollTo(model_.index(row, ConnectionListModel::NameColumn));
    }
    syncingSelection_ = false;
    validateInterface();
}

void ConnectionViewController::tableSelectionChanged()
{
    if (syncingSelection_)
        return;
    const QModelIndexList rows = connectionList_->selectionModel()->selectedRows();
    model_.selectRow(rows.isEmpty() ? -1 : rows.first().row());
    validateInterface();
}

void ConnectionViewController::validateInterface()
{
    const bool selected = model_.selectedConnection() != nullptr;
    for (QWidget *widget : {static_cast<QWidget *>(connectButton_), static_cast<QWidget *>(optionsButton_),
                            static_cast<QWidget *>(editButton_), static_cast<QWidget *>(duplicateButton_),
                            static_cast<QWidget *>(removeButton_)})
        widget->setEnabled(selected);
    const bool complete = editor_.isComplete();
    createSaveButton_->setEnabled(complete);
    testConnectionButton_->setEnabled(complete);
}

bool ConnectionViewController::eventFilter(QObject *watched, QEvent *event)
{
    // The down arrow leaves the search field for the list.
    if (watched == searchField_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down) {
        connectionList_->setFocus();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ConnectionViewController::connect()
{
    const ConnectionParametersPtr connection = model_.selectedConnection();
    if (!connection)
        return;
    // A database file has no password to look up.
    const std::optional<QString> password =
        traits_->hasLocalDatabaseFileConnection(connection->databaseType())
            ? QString("")
            : ConnectionHelper::passwordFromKeychainType(connection->databaseType(), connection->server(),
                                                         connection->port(), connection->database(),
                                                         connection->userName());
    if (!password) {
        // Without a keyring item the user types the password in the edit form.
        editConnection();
        return;
    }
    connection->setPassword(*password);
    if (delegate_)
        delegate_->connectionViewControllerWantsToConnect(this, connection);
    model_.rememberOpenedConnection(connection);
}

void ConnectionViewController::connectionListDoubleClick(int row)
{
    if (model_.isHeaderRow(row) || !model_.connectionAt(row))
        return;
    model_.setSelectedConnection(model_.connectionAt(row));
    connect();
}

void ConnectionViewController::cancel()
{
    if (delegate_)
        delegate_->connectionViewControllerWantsToCancel(this);
}

void ConnectionViewController::removeConnection()
{
    const ConnectionParametersPtr connection = model_.selectedConnection();
    if (!connection)
        return;
    const QString name = connection->connectionName();
    QMessageBox alert(QMessageBox::Warning, QCoreApplication::applicationName(),
                      connectionText("Are you sure you want to remove the '%1' connection?").arg(name));
    alert.setInformativeText(
        connectionText(
            "Removing a connection can not be undone. Note that password for the '%1' connection will "
            "remain in the keychain, to remove it use Keychain Access from your Utilites folder.")
            .arg(name));
    QPushButton *remove = alert.addButton(connectionText("Remove"), QMessageBox::AcceptRole);
    alert.addButton(connectionText("Cancel"), QMessageBox::RejectRole);
    alert.setDefaultButton(remove);
    alert.setWindowModality(Qt::ApplicationModal);
    alert.exec();
    if (alert.clickedButton() != remove)
        return;
    model_.removeSelectedConnection();
    validateInterface();
}

void ConnectionViewController::changeLabel(quint64 label)
{
    model_.changeLabelOfSelection(label);
    validateInterface();
}

void ConnectionViewController::reset()
{
    if (delegate_)
        delegate_->connectionViewControllerEnteredListMode(this);
    if (mode_ != Mode::List) {
        showMode(Mode::List);
        selectSearch();
    }
    reloadConnections();
}

void ConnectionViewController::externalCancelEdit()
{
    if (mode_ == Mode::Edit)
        cancelCreateConnection();
    else if (mode_ == Mode::Test)
        continueAfterTest();
}

void ConnectionViewController::enterEditMode()
{
    if (delegate_)
        delegate_->connectionViewControllerEnteredEditMode(this);
}

void ConnectionViewController::createNew()
{
    enterEditMode();
    editor_.createNew();
    writeForm();
    showMode(Mode::Edit);
    connectionName_->selectAll();
    connectionName_->setFocus();
    validateInterface();
}

void ConnectionViewController::editConnection()
{
    if (!model_.selectedConnection())
        return;
    enterEditMode();
    editor_.editConnection(model_.selectedConnection());
    writeForm();
    showMode(Mode::Edit);
    connectionName_->setFocus();
    validateInterface();
}

void ConnectionViewController::duplicateConnection()
{
    if (!model_.selectedConnection())
        return;
    enterEditMode();
    editor_.duplicateConnection(model_.selectedConnection());
    writeForm();
    showMode(Mode::Edit);
    connectionName_->setFocus();
    validateInterface();
}

void ConnectionViewController::changeDatabaseType(int item)
{
    readForm();
    editor_.changeDatabaseType(item > 0 ? databaseType_->itemText(item) : QString());
    writeForm();
    if (editor_.isLocalFileType())
        databaseLocal_->setFocus();
    else if (item > 0)
        server_->setFocus();
    validateInterface();
}

void ConnectionViewController::readForm()
{
    if (writingForm_)
        return;
    ConnectionForm &form = editor_.form();
    form.name = connectionName_->text();
    form.server = server_->text();
    form.port = port_->text();
    form.database = database_->text();
    form.userName = username_->text();
    form.password = password_->text();
    form.autoCommit = quint64(std::max(0, autocommit_->checkedId()));
    form.label = quint64(std::max(0, colorLabel_->currentIndex()));
    form.localFile = databaseLocal_->text();
    form.autoCommitLocal = quint64(std::max(0, autocommitLocal_->checkedId()));
    form.labelLocal = quint64(std::max(0, colorLabelLocal_->currentIndex()));
}

void ConnectionViewController::writeForm()
{
    writingForm_ = true;
    const ConnectionForm &form = editor_.form();
    setText(connectionName_, form.name);
    const int typeItem = form.type.isEmpty() ? 0 : databaseType_->findText(form.type);
    databaseType_->setCurrentIndex(std::max(0, typeItem));
    setText(server_, form.server);
    setText(port_, form.port);
    setText(database_, form.database);
    setText(username_, form.userName);
    setText(password_, form.password);
    checkChoice(autocommit_, form.autoCommit);
    colorLabel_->setCurrentIndex(int(std::min<quint64>(form.label, 9)));
    setText(databaseLocal_, form.localFile);
    checkChoice(autocommitLocal_, form.autoCommitLocal);
    colorLabelLocal_->setCurrentIndex(int(std::min<quint64>(form.labelLocal, 9)));
    createSaveButton_->setText(editor_.saveButtonTitle());
    showTypeVariant();
    writingForm_ = false;
}

void ConnectionViewController::showTypeVariant()
{
    const bool typeChosen = !editor_.form().type.isEmpty();
    const bool local = editor_.isLocalFileType();
    regularDatabaseOptions_->setVisible(typeChosen && !local);
    fileDatabaseOptions_->setVisible(typeChosen && local);
    connectionNameAndTypeDescriptionInitialView_->setVisible(!typeChosen && !hasConnections());
    connectionNameAndTypeDescriptionView_->setVisible(!typeChosen && hasConnections());
}

void ConnectionViewController::createSaveConnection()
{
    readForm();
    if (!editor_.isComplete())
        return;
    if (delegate_)
        delegate_->connectionViewControllerEnteredListMode(this);
    const QString name = editor_.form().name;
    const ConnectionEditor::SaveResult saved = editor_.save();
    showMode(Mode::List);
    selectSearch();
    validateInterface();
    if (saved == ConnectionEditor::SaveResult::PasswordNotStored)
        showPasswordNotStored(name);
}

void ConnectionViewController::showPasswordNotStored(const QString &name)
{
    auto *alert = new QMessageBox(
        QMessageBox::Warning, QCoreApplication::applicationName(),
        connectionText("The password of the '%1' connection could not be stored in the keyring.").arg(name),
        QMessageBox::Ok, container_->window());
    alert->setInformativeText(connectionText(
        "The connection is saved without it. Vorn will ask for the password the next time you connect."));
    alert->setWindowModality(Qt::WindowModal);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->open();
}

void ConnectionViewController::cancelCreateConnection()
{
    if (delegate_)
        delegate_->connectionViewControllerEnteredListMode(this);
    editor_.cancel();
    showMode(Mode::List);
    selectSearch();
    validateInterface();
}

void ConnectionViewController::browseForLocalDatabase()
{
    const QUrl url = QFileDialog::getOpenFileUrl(container_, connectionText("Choose a local database file"));
    if (!url.isEmpty())
        chooseLocalDatabaseFile(url);
    validateInterface();
}

void ConnectionViewController::chooseLocalDatabaseFile(const QUrl &url)
{
    const QString file = url.toString(QUrl::FullyEncoded);
    databaseLocal_->setText(file);
    readForm();
    // Without a bookmark the file field is still set; a test then asks to choose the file again.
    const QByteArray bookmark = FileBookmarks::bookmarkDataForFile(file);
    if (!bookmark.isEmpty())
        ConnectionParameters::storeBookmark(bookmark, file);
    validateInterface();
}

void ConnectionViewController::testConnection()
{
    readForm();
    if (!editor_.isComplete())
        return;
    editor_.acceptTypedLocalFile();
    setText(databaseLocal_, editor_.form().localFile);
    // A test still finishing after a cancel keeps its own root; its result no longer reaches us.
    if (test_)
        abandonTest();
    testTitle_->setText(connectionText("Testing connection"));
    testResultView_->setText(connectionText("Standby while Vorn is testing the connection to the database."));
    testContinueButton_->setText(connectionText("Cancel"));
    testProgress_->show();
    showMode(Mode::Test);

    const ConnectionForm &form = editor_.form();
    ConnectionTest::Target target;
    target.type = form.type;
    target.localFile = editor_.isLocalFileType();
    target.server = form.server;
    target.port = form.port;
    target.database = target.localFile ? form.localFile : form.database;
    target.userName = form.userName;
    target.password = form.password;
    test_ = new ConnectionTest(this);
    QObject::connect(test_, &ConnectionTest::finished, this, &ConnectionViewController::testCompleted);
    test_->start(target);
}

void ConnectionViewController::testCompleted(bool, const QString &resultText)
{
    testTitle_->setText(connectionText("Connection test results"));
    testContinueButton_->setText(connectionText("Continue"));
    testProgress_->hide();
    testResultView_->setText(resultText);
}

void ConnectionViewController::abandonTest()
{
    // Its thread goes on to end its own root; its result must not reach the view of a newer test.
    test_->disconnect(this);
    test_->cancel();
    test_->deleteLater();
    test_ = nullptr;
}

void ConnectionViewController::continueAfterTest()
{
    if (test_ && test_->isRunning())
        abandonTest();
    showMode(Mode::Edit);
    validateInterface();
}

QList<VisualShortcut> ConnectionViewController::visualShortcuts()
{
    const auto entry = [](QWidget *view, const QString &key,
                          Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return VisualShortcut::visualShortCutWithView(view, key, modifiers, view->isEnabled());
    };
    if (!container_ || container_->isHidden())
        return {};
    switch (mode_) {
    case Mode::List: {
        QList<VisualShortcut> entries{entry(createNewButton_, "+", Qt::ControlModifier),
                                      entry(connectButton_, "\r")};
        if (!cancelButton_->isHidden())
            entries.append(entry(cancelButton_, "\033"));
        entries.append(entry(searchField_, "f", Qt::ControlModifier));
        return entries;
    }
    case Mode::Edit:
        return {entry(createSaveButton_, "\r"), entry(testConnectionButton_, "t", Qt::ControlModifier),
                entry(cancelCreationButton_, QStringLiteral("⎋"))};
    case Mode::Test:
        return {entry(testContinueButton_, QStringLiteral("⎋"))};
    }
    return {};
}
