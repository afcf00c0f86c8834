#pragma once

#include "kit/AssistantWindowControllerDelegate.h"

#include <QVariantMap>

#include <memory>
#include <optional>

class AssistantWindowController;
class Vorn2UpgradeConnections;
class Vorn2UpgradeFinish;
class Vorn2UpgradeIntroduction;
class Vorn2UpgradeTransfer;

// The one-time import of the previous major version's saved connections: lists them with a
// check box each, shows a summary, then converts the chosen ones, moves their passwords to this
// version's keyring items and appends them to the saved connections. Runs application-modal
// on the step wizard during start-up. Main thread only.
class Vorn2UpgradeAssistant : public AssistantWindowControllerDelegate
{
public:
    // What the user chose when asked whether to leave without importing.
    enum class CancelChoice { Continue, DontImport, QuitVorn };

    static inline const QString Domain = QStringLiteral("nl.dalmerik.vorn");
    // The old preferences domain: a property-list file in Vorn's configuration folder.
    static QString oldPreferencesPath();
    // Nothing when the file is missing or is not a dictionary.
    static std::optional<QVariantMap> readOldPreferences();

    // The introduction shows the version from the application's Info.plist values.
    Vorn2UpgradeAssistant();
    explicit Vorn2UpgradeAssistant(const QVariantMap &info);
    ~Vorn2UpgradeAssistant() override;

    // Shows the assistant and returns when its window has closed.
    void run();
    QString summary() const;
    void goImport();
    bool completed() const { return completed_; }

    AssistantWindowController *assistantWindowController() const { return wizard_.get(); }
    Vorn2UpgradeConnections *connections() const { return connections_.get(); }
    Vorn2UpgradeTransfer *transfer() const { return transfer_.get(); }
    Vorn2UpgradeFinish *finish() const { return finish_.get(); }

    QString titleForAssistantWindowController(AssistantWindowController *) override;
    QStringList pageIdentifiersForAssistantWindowController(AssistantWindowController *) override;
    QString nameForPageIdentifier(const QString &identifier, AssistantWindowController *) override;
    AssistantWindowSubViewController *viewControllerForPageIdentifier(const QString &identifier,
                                                                      AssistantWindowController *) override;
    bool canNavigateToPageIdentifier(const QString &identifier, AssistantWindowController *) override;
    bool canMoveForwardForAssistantWindowController(AssistantWindowController *) override;
    bool canMoveBackwardForAssistantWindowController(AssistantWindowController *) override;
    bool canCancelAssistantWindowController(AssistantWindowController *) override;
    QString titleForForwardButtonForAssistantWindowController(AssistantWindowController *) override;
    void cancelledAssistantWindowController(AssistantWindowController *) override {}
    bool forwardButtonCancelsAssistantWindowController(AssistantWindowController *) override;
    bool supportAutoSkipForAssistantWindowController(AssistantWindowController *) override { return false; }
    QString autoskipDefaultNameForForAssistantWindowController(AssistantWindowController *) override
    {
        return {};
    }
    bool supportAutoSkipForPageIdentifier(const QString &, AssistantWindowController *) override
    {
        return false;
    }
    bool cancelConfirmationForAssistantWindowController(AssistantWindowController *) override;
    void assistantWindowController(AssistantWindowController *,
                                   AssistantWindowSubViewController *page) override;

protected:
    // Asks, as a sheet on the wizard, whether to leave without importing.
    virtual CancelChoice askToCancel();
    // "Quit Vorn": the process ends at once, so nothing records that the import was offered.
    virtual void quitVorn();

private:
    QString currentIdentifier() const;

    bool completed_ = false;
    std::unique_ptr<AssistantWindowController> wizard_;
    std::unique_ptr<Vorn2UpgradeIntroduction> introduction_;
    std::unique_ptr<Vorn2UpgradeConnections> connections_;
    std::unique_ptr<Vorn2UpgradeTransfer> transfer_;
    std::unique_ptr<Vorn2UpgradeFinish> finish_;
};
