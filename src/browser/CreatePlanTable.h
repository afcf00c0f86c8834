#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The sheet that creates a missing plan table: an administrator's user name and password for the
// server shown. Create is offered only when both are filled in (white space alone does not count); the
// values go on untrimmed.
class CreatePlanTable : public QDialog
{
public:
    using CreateAction = std::function<void(const QString &userName, const QString &password)>;

    explicit CreatePlanTable(QWidget *parent = nullptr);

    // Shows the sheet on the window for the server text; the action runs only for Create.
    void runModalForWindow(QWidget *window, const QString &server, CreateAction action);
    void interfaceUpdate();

    QLineEdit *username() const { return username_; }
    QLineEdit *password() const { return password_; }
    QLabel *dbserver() const { return dbserver_; }
    QPushButton *createButton() const { return create_; }

private:
    void create();

    QLineEdit *username_;
    QLineEdit *password_;
    QLabel *dbserver_;
    QPushButton *create_;
    CreateAction action_;
};
