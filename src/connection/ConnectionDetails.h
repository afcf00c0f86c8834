#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

class QLabel;
class QWidget;

// The sheet with the details of a document's live connection: the login, what it goes to and
// since when, the kind of connection, and the driver and database product with their versions.
// The main window keeps one and shows it for whichever document asks.
class ConnectionDetails : public QObject
{
    Q_OBJECT

public:
    explicit ConnectionDetails(QObject *parent = nullptr);
    ~ConnectionDetails() override;

    // Fills the sheet from the backend's connection information (keys "connectedAs",
    // "connectedTo", "connectedSince", "dbDriverName", "dbDriverVersion", "dbProductName",
    // "dbProductVersion" and the kind-of-connection flags) and shows it on the window.
    void showInfo(const QVariantMap &info, QWidget *window);
    // The sheet's button: ends the sheet.
    void close();

    // Null until first shown.
    QDialog *window() const { return window_; }
    QWidget *hostWindow() const { return hostWindow_; }
    QLabel *connectedAs() const { return connectedAs_; }
    QLabel *connectedWith() const { return connectedWith_; }
    QLabel *connectedSince() const { return connectedSince_; }
    QLabel *additionalConnectionDetails() const { return additionalConnectionDetails_; }
    QLabel *driverDetails() const { return driverDetails_; }
    QLabel *databaseDetails() const { return databaseDetails_; }

    // "name\nversion"; a missing part drops its line.
    static QString nameAndVersion(const QVariantMap &info, const QString &nameKey, const QString &versionKey);
    // The kind of connection told by the flags; "" when none is present.
    static QString additionalDetails(const QVariantMap &info);

private:
    void loadWindow();

    QPointer<QWidget> hostWindow_;
    QPointer<QDialog> window_;
    QLabel *connectedAs_ = nullptr;
    QLabel *connectedWith_ = nullptr;
    QLabel *connectedSince_ = nullptr;
    QLabel *additionalConnectionDetails_ = nullptr;
    QLabel *driverDetails_ = nullptr;
    QLabel *databaseDetails_ = nullptr;
};
