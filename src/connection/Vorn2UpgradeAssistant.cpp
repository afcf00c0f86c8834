#include "connection/Vorn2UpgradeAssistant.h"

#include "connection/ConnectionHelper.h"
#include "connection/SavedConnections.h"
#include "connection/Vorn2UpgradeConnections.h"
#include "connection/Vorn2UpgradeFinish.h"
#include "connection/Vorn2UpgradeIntroduction.h"
#include "connection/Vorn2UpgradeTransfer.h"
#include "kit/AssistantWindowController.h"
#include "platform/Bundle.h"
#include "platform/Keychain.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>

namespace
{

QString text(const char *source)
{
    return QCoreApplication::translate("vorn2upgrade", source);
}

const QStringList pageIds{"introduction", "connections", "transfer", "finish"};

} // namespace

QString Vorn2UpgradeAssistant::oldPreferencesPath()
{
    return QFileInfo(UserDefaults::standard().filePath()).absolutePath() + "/" + Domain + ".plist";
}

std::optional<QVariantMap> Vorn2UpgradeAssistant::readOldPreferences()
{
    if (!QFileInfo::exists(oldPreferencesPath()))
        return std::nullopt;
    QString error;
    const QVariant domain = PropertyList::readFile(oldPreferencesPath(), &error);
    if (domain.typeId() != QMetaType::QVariantMap) {
        qWarning("Vorn 2 preferences unreadable: %s", qPrintable(error));
        return std::nullopt;
    }
    return domain.toMap();
}

Vorn2UpgradeAssistant::Vorn2UpgradeAssistant() : Vorn2UpgradeAssistant(Bundle::mainBundle().infoDictionary())
{
}

Vorn2UpgradeAssistant::Vorn2UpgradeAssistant(const QVariantMap &info)
    : introduction_(std::make_unique<Vorn2UpgradeIntroduction>(info)),
      connections_(std::make_unique<Vorn2UpgradeConnections>()),
      transfer_(std::make_unique<Vorn2UpgradeTransfer>()), finish_(std::make_unique<Vorn2UpgradeFinish>())
{
    connections_->setVorn2prefs(readOldPreferences().value_or(QVariantMap()));
    wizard_ = std::make_unique<AssistantWindowController>();
    wizard_->setDelegate(this);
    wizard_->setWindowTitle(text("Welcome to Vorn"));
}

// The wizard goes first: it must give the pages' views back before the pages go.
Vorn2UpgradeAssistant::~Vorn2UpgradeAssistant()
{
    wizard_.reset();
}

void Vorn2UpgradeAssistant::run()
{
    wizard_->runAsModalWindow();
}

QString Vorn2UpgradeAssistant::summary() const
{
    const qsizetype count = connections_->connectionsToImport().size();
    QString result = count == 0   ? text("Not importing any connections")
                     : count == 1 ? text("Importing 1 connection")
                                  : text("Importing %1 connections").arg(count);
    result += "\n";
    if (!connections_->selectedAllConnections())
        result += "\n" + text("You have not selected every connection. It is not possible to import these "
                              "connections at a later point. If you are sure you wish to import only the "
                              "selected connections then Click 'Import'.");
    return result;
}

void Vorn2UpgradeAssistant::goImport()
{
    UserDefaults &defaults = UserDefaults::standard();
    QVariantList all = SavedConnections::storedList(&defaults);
    connections_->updateConnectionOrderToDisplayOrder();
    int unstoredPasswords = 0;
    for (const ConnectionParametersPtr &c : connections_->connectionsToImport()) {
        const QString account =
            QString("%1/%2/%3")
                .arg(QString("%1:%2").arg(c->server(), c->port()), c->database(), c->userName());
        // Only a password that was found moves over: storing an empty one would make later
        // connects use it instead of asking.
        if (const std::optional<QString> password = Keychain::shared().findPassword(Domain, account)) {
            c->setPassword(*password);
            if (!ConnectionHelper::storePasswordInKeychainType(c->databaseType(), c->server(), c->port(),
                                                               c->database(), c->userName(), *password))
                ++unstoredPasswords;
        }
        all.append(c->dictionary());
    }
    defaults.setObject(all, SavedConnections::allConnectionsKey);
    defaults.synchronize();
    finish_->stop(unstoredPasswords);
    completed_ = true;
    wizard_->reevaluateInterface();
}

QString Vorn2UpgradeAssistant::currentIdentifier() const
{
    return pageIds.value(int(wizard_->currentStep()));
}

QString Vorn2UpgradeAssistant::titleForAssistantWindowController(AssistantWindowController *)
{
    return text("Welcome to Vorn");
}

QStringList Vorn2UpgradeAssistant::pageIdentifiersForAssistantWindowController(AssistantWindowController *)
{
    return pageIds;
}

QString Vorn2UpgradeAssistant::nameForPageIdentifier(const QString &identifier, AssistantWindowController *)
{
    static const QHash<QString, const char *> names{
        {"introduction", QT_TRANSLATE_NOOP("vorn2upgrade", "Introduction")},
        {"connections", QT_TRANSLATE_NOOP("vorn2upgrade", "Connections")},
        {"transfer", QT_TRANSLATE_NOOP("vorn2upgrade", "Import")},
        {"finish", QT_TRANSLATE_NOOP("vorn2upgrade", "Finishing")},
    };
    return text(names.value(identifier));
}

AssistantWindowSubViewController *
Vorn2UpgradeAssistant::viewControllerForPageIdentifier(const QString &identifier, AssistantWindowController *)
{
    if (identifier == "introduction")
        return introduction_.get();
    if (identifier == "connections")
        return connections_.get();
    if (identifier == "transfer") {
        transfer_->setOptionsValue(summary());
        return transfer_.get();
    }
    if (identifier == "finish") {
        finish_->start();
        return finish_.get();
    }
    return nullptr;
}

bool Vorn2UpgradeAssistant::canNavigateToPageIdentifier(const QString &identifier,
                                                        AssistantWindowController *)
{
    return identifier != "finish" && currentIdentifier() != "finish";
}

bool Vorn2UpgradeAssistant::canMoveForwardForAssistantWindowController(AssistantWindowController *)
{
    return currentIdentifier() != "finish" || completed_;
}

bool Vorn2UpgradeAssistant::canMoveBackwardForAssistantWindowController(AssistantWindowController *)
{
    const QString page = currentIdentifier();
    return page != "introduction" && page != "finish";
}

bool Vorn2UpgradeAssistant::canCancelAssistantWindowController(AssistantWindowController *)
{
    return currentIdentifier() != "finish";
}

QString Vorn2UpgradeAssistant::titleForForwardButtonForAssistantWindowController(AssistantWindowController *)
{
    const QString page = currentIdentifier();
    if (page == "transfer")
        return text("Import");
    if (page == "finish")
        return text("Finish");
    return text("Next");
}

bool Vorn2UpgradeAssistant::forwardButtonCancelsAssistantWindowController(AssistantWindowController *)
{
    return completed_;
}

bool Vorn2UpgradeAssistant::cancelConfirmationForAssistantWindowController(AssistantWindowController *)
{
    if (completed_)
        return true;
    switch (askToCancel()) {
    case CancelChoice::Continue:
        return false;
    case CancelChoice::DontImport:
        return true;
    case CancelChoice::QuitVorn:
        quitVorn();
        return false;
    }
    return false;
}

Vorn2UpgradeAssistant::CancelChoice Vorn2UpgradeAssistant::askToCancel()
{
    QMessageBox alert(wizard_.get());
    alert.setWindowModality(Qt::WindowModal);
    alert.setText(text("Are you sure don't wish to import Vorn 2 connections ?"));
    alert.setInformativeText(text(
        "This is a one time import, necessary to use connections made earlier with Vorn 2. If you choose not "
        "to import, then these connections will not be available and you will need to recreate them in order "
        "to use them.\n\nNote that Vorn cannot offer this import again at a later point. Choose 'Quit Vorn' "
        "if you want to delay this choice and start using Vorn 3 at a later moment."));
    QPushButton *keepGoing = alert.addButton(text("Continue"), QMessageBox::AcceptRole);
    QPushButton *dontImport = alert.addButton(text("Don't import"), QMessageBox::DestructiveRole);
    alert.addButton(text("Quit Vorn"), QMessageBox::RejectRole);
    alert.setDefaultButton(keepGoing);
    // Escape must not quit the program.
    alert.setEscapeButton(keepGoing);
    alert.exec();
    if (alert.clickedButton() == keepGoing)
        return CancelChoice::Continue;
    return alert.clickedButton() == dontImport ? CancelChoice::DontImport : CancelChoice::QuitVorn;
}

void Vorn2UpgradeAssistant::quitVorn()
{
    std::exit(0);
}

void Vorn2UpgradeAssistant::assistantWindowController(AssistantWindowController *wizard,
                                                      AssistantWindowSubViewController *page)
{
    if (page != finish_.get())
        return;
    // Draw the finish page first; the import runs on the next pass of the event loop.
    wizard->repaint();
    QPointer<AssistantWindowController> guard(wizard);
    QTimer::singleShot(0, wizard, [this, guard] {
        if (guard)
            goImport();
    });
}
