#pragma once

#include "connection/ConnectionEditor.h"
#include "connection/ConnectionListModel.h"
#include "connection/ConnectionTest.h"
#include "connection/DatabaseTypeTraits.h"
#include "kit/VisualShortcut.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <memory>

class ConnectionViewControllerDelegate;
class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableView;
class QToolButton;
class QWidget;
class UserDefaults;

// The connection chooser of the welcome screen and of a document's connection panel: the saved
// connections in a searchable, groupable, reorderable list, an edit form that takes the list's
// place to create, edit or duplicate a connection, and a test view that shows the outcome of
// testing the form's values against the database. The host embeds view() and hears back through
// its delegate. Main thread only.
class ConnectionViewController : public QObject, public VisualShortcutAdopter
{
    Q_OBJECT

public:
    enum class Mode { List, Edit, Test };

    // Reads and writes the standard defaults when given null; the type traits ask the backend by
    // default.
    explicit ConnectionViewController(UserDefaults *defaults = nullptr,
                                      std::unique_ptr<DatabaseTypeTraits> traits = nullptr,
                                      QObject *parent = nullptr);
    ~ConnectionViewController() override;

    // The container of the list, the edit form and the test view; the host owns it once embedded.
    QWidget *view() const;
    Mode mode() const { return mode_; }
    ConnectionViewControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(ConnectionViewControllerDelegate *delegate) { delegate_ = delegate; }

    void setCanCancel(bool canCancel);
    bool hasConnections() const;
    ConnectionParametersPtr selectedConnection() const { return model_.selectedConnection(); }
    void setSelectedConnection(const ConnectionParametersPtr &connection);
    ConnectionListModel &model() { return model_; }
    ConnectionEditor &editor() { return editor_; }

    // List mode.
    void selectSearch();
    void reloadConnections();
    void connect();
    void connectionListDoubleClick(int row);
    void cancel();
    // Asks first, in an application-modal alert.
    void removeConnection();
    void changeLabel(quint64 label);
    // Back to the list with the saved list reloaded.
    void reset();
    // The host's Escape key: leaves the edit form, or the test view for the edit form.
    void externalCancelEdit();

    // Edit mode.
    void createNew();
    void editConnection();
    void duplicateConnection();
    void changeDatabaseType(int item);
    void createSaveConnection();
    void cancelCreateConnection();
    // Runs a file dialog and takes the chosen file.
    void browseForLocalDatabase();
    // Puts the file into the form and keeps a bookmark so that later runs may open it.
    void chooseLocalDatabaseFile(const QUrl &url);
    void testConnection();

    // Test mode.
    void continueAfterTest();

    // The keys of the mode shown, for the shortcut overlay.
    QList<VisualShortcut> visualShortcuts() override;

    // The widgets, for the host's layout and for tests.
    QTableView *connectionList() const { return connectionList_; }
    QLineEdit *searchField() const { return searchField_; }
    QComboBox *groupBySelection() const { return groupBySelection_; }
    QMenu *changeLabelMenu() const { return changeLabelMenu_; }
    QPushButton *connectButton() const { return connectButton_; }
    QPushButton *cancelButton() const { return cancelButton_; }
    QPushButton *createNewButton() const { return createNewButton_; }
    QPushButton *editButton() const { return editButton_; }
    QPushButton *duplicateButton() const { return duplicateButton_; }
    QPushButton *removeButton() const { return removeButton_; }
    QToolButton *optionsButton() const { return optionsButton_; }
    QLineEdit *connectionNameField() const { return connectionName_; }
    QComboBox *databaseTypePopup() const { return databaseType_; }
    QWidget *regularDatabaseOptions() const { return regularDatabaseOptions_; }
    QWidget *fileDatabaseOptions() const { return fileDatabaseOptions_; }
    QLineEdit *serverField() const { return server_; }
    QLineEdit *portField() const { return port_; }
    QLineEdit *databaseField() const { return database_; }
    QLineEdit *usernameField() const { return username_; }
    QLineEdit *passwordField() const { return password_; }
    QLineEdit *databaseLocalField() const { return databaseLocal_; }
    QComboBox *colorLabelPopup() const { return colorLabel_; }
    QButtonGroup *autocommitButtons() const { return autocommit_; }
    QPushButton *createSaveButton() const { return createSaveButton_; }
    QPushButton *testConnectionButton() const { return testConnectionButton_; }
    QPushButton *cancelCreationButton() const { return cancelCreationButton_; }
    QLabel *testTitle() const { return testTitle_; }
    QLabel *testResultView() const { return testResultView_; }
    QProgressBar *testProgress() const { return testProgress_; }
    QPushButton *testContinueButton() const { return testContinueButton_; }

private:
    QWidget *createListView();
    QWidget *createCreationView();
    QWidget *createRegularDatabaseOptions();
    QWidget *createFileDatabaseOptions();
    QWidget *createTestView();
    QComboBox *createLabelPopup();
    void fillLabelMenu();
    void setUpListShortcuts(QWidget *listView);
    void setUpEditShortcuts(QWidget *creationView);
    void showMode(Mode mode);
    void enterEditMode();
    void showSelectedRow(int row);
    void tableSelectionChanged();
    void layOutRows();
    void validateInterface();
    void readForm();
    void writeForm();
    void showTypeVariant();
    void abandonTest();
    // A sheet: the saved connection's password is not in the keyring.
    void showPasswordNotStored(const QString &name);
    void testCompleted(bool successful, const QString &resultText);
    bool eventFilter(QObject *watched, QEvent *event) override;

    ConnectionListModel model_;
    std::unique_ptr<DatabaseTypeTraits> traits_;
    ConnectionEditor editor_;
    ConnectionViewControllerDelegate *delegate_ = nullptr;
    Mode mode_ = Mode::List;
    QPointer<ConnectionTest> test_;
    bool syncingSelection_ = false;
    bool writingForm_ = false;

    QPointer<QStackedWidget> container_;
    QWidget *connectionListView_ = nullptr;
    QTableView *connectionList_ = nullptr;
    QLineEdit *searchField_ = nullptr;
    QComboBox *groupBySelection_ = nullptr;
    QMenu *changeLabelMenu_ = nullptr;
    QPushButton *connectButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
    QPushButton *createNewButton_ = nullptr;
    QPushButton *editButton_ = nullptr;
    QPushButton *duplicateButton_ = nullptr;
    QPushButton *removeButton_ = nullptr;
    QToolButton *optionsButton_ = nullptr;

    QWidget *creationView_ = nullptr;
    QLineEdit *connectionName_ = nullptr;
    QComboBox *databaseType_ = nullptr;
    QLabel *connectionNameAndTypeDescriptionView_ = nullptr;
    QLabel *connectionNameAndTypeDescriptionInitialView_ = nullptr;
    QWidget *regularDatabaseOptions_ = nullptr;
    QLineEdit *server_ = nullptr;
    QLineEdit *port_ = nullptr;
    QLineEdit *database_ = nullptr;
    QLineEdit *username_ = nullptr;
    QLineEdit *password_ = nullptr;
    QButtonGroup *autocommit_ = nullptr;
    QComboBox *colorLabel_ = nullptr;
    QWidget *fileDatabaseOptions_ = nullptr;
    QLineEdit *databaseLocal_ = nullptr;
    QButtonGroup *autocommitLocal_ = nullptr;
    QComboBox *colorLabelLocal_ = nullptr;
    QPushButton *createSaveButton_ = nullptr;
    QPushButton *testConnectionButton_ = nullptr;
    QPushButton *cancelCreationButton_ = nullptr;

    QWidget *testView_ = nullptr;
    QLabel *testTitle_ = nullptr;
    QLabel *testResultView_ = nullptr;
    QProgressBar *testProgress_ = nullptr;
    QPushButton *testContinueButton_ = nullptr;
};
