#include "connection/ConnectionDetails.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

QString detailsText(const char *text)
{
    return QCoreApplication::translate("connectiondetails", text);
}

QString stringValue(const QVariantMap &info, const QString &key)
{
    const QVariant value = info.value(key);
    return value.canConvert<QString>() ? value.toString() : QString();
}

} // namespace

ConnectionDetails::ConnectionDetails(QObject *parent) : QObject(parent) {}

ConnectionDetails::~ConnectionDetails()
{
    delete window_;
}

void ConnectionDetails::loadWindow()
{
    window_ = new QDialog;
    window_->setWindowTitle(detailsText("Connection Details"));
    window_->setMinimumWidth(440);
    auto *layout = new QVBoxLayout(window_);
    auto *form = new QFormLayout;
    const auto field = [this, form](const char *title) {
        auto *label = new QLabel(window_);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setWordWrap(true);
        form->addRow(detailsText(title), label);
        return label;
    };
    connectedAs_ = field("Connected as:");
    connectedWith_ = field("Connected with:");
    connectedSince_ = field("Connected since:");
    additionalConnectionDetails_ = field("Connection:");
    driverDetails_ = field("Driver:");
    databaseDetails_ = field("Database:");
    layout->addLayout(form);
    auto *buttons = new QHBoxLayout;
    auto *closeButton = new QPushButton(detailsText("Close"), window_);
    closeButton->setDefault(true);
    QObject::connect(closeButton, &QPushButton::clicked, this, &ConnectionDetails::close);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    // An ended sheet is ordered out; it is shown again for the next request.
    QObject::connect(window_, &QDialog::finished, window_, &QDialog::hide);
}

void ConnectionDetails::showInfo(const QVariantMap &info, QWidget *window)
{
    hostWindow_ = window;
    if (!window_)
        loadWindow();
    connectedAs_->setText(stringValue(info, "connectedAs"));
    connectedWith_->setText(stringValue(info, "connectedTo"));
    connectedSince_->setText(stringValue(info, "connectedSince"));
    driverDetails_->setText(nameAndVersion(info, "dbDriverName", "dbDriverVersion"));
    databaseDetails_->setText(nameAndVersion(info, "dbProductName", "dbProductVersion"));
    additionalConnectionDetails_->setText(additionalDetails(info));
    window_->setParent(window, Qt::Sheet | Qt::Dialog);
    window_->setWindowModality(Qt::WindowModal);
    window_->open();
}

void ConnectionDetails::close()
{
    if (window_)
        window_->done(1);
}

QString ConnectionDetails::nameAndVersion(const QVariantMap &info, const QString &nameKey,
                                          const QString &versionKey)
{
    const QString name = stringValue(info, nameKey);
    const QString version = stringValue(info, versionKey);
    if (name.isEmpty() || version.isEmpty())
        return name.isEmpty() ? version : name;
    return QStringLiteral("%1\n%2").arg(name, version);
}

QString ConnectionDetails::additionalDetails(const QVariantMap &info)
{
    // Each flag present replaces what the one before it said. The flags are Java Booleans, which
    // the bridge hands over as bool.
    QString text("");
    if (info.contains("connectedUsingTns")) {
        text = info.value("connectedUsingTns").toBool() ? detailsText("TNS Name Connection")
                                                        : detailsText("Service Name Connection");
    }
    if (info.contains("connectedUsingSsl") && info.value("connectedUsingSsl").toBool())
        text = detailsText("Secure SSL Connection");
    if (info.contains("connectedUsingWindowsAuthentication")) {
        if (info.value("connectedUsingWindowsAuthentication").toBool()) {
            text = detailsText("Windows Authentication Connection");
            if (info.contains("windowsAuthenticationDomain"))
                text =
                    QStringLiteral("%1, %2: %3")
                        .arg(text, detailsText("Domain"), stringValue(info, "windowsAuthenticationDomain"));
        } else {
            text = detailsText("SQL Authentication Connection");
        }
    }
    return text;
}
