#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class AdvancedWindow;
class PreferenceControls;
class QAction;
class QToolBar;
class QVBoxLayout;
class QWidget;
class UserDefaults;

// The preferences window: seven panes of controls bound to the preference keys, chosen from a
// toolbar, in one panel that lives for the rest of the run (closing only hides it). Most settings
// take effect by being written; the actions below do what a change needs beyond the write. Main
// thread only.
class PreferencesController : public QObject
{
    Q_OBJECT
public:
    // store: the standard store when null.
    explicit PreferencesController(UserDefaults *store = nullptr, QObject *parent = nullptr);
    ~PreferencesController() override;

    // The toolbar's identifiers, in its order.
    static QStringList toolbarItemIdentifiers();

    AdvancedWindow *panel() const { return panel_.get(); }
    QToolBar *toolbar() const { return toolbar_; }
    // The pane of an identifier; null for an unknown one.
    QWidget *paneNamed(const QString &identifier) const { return panes_.value(identifier); }
    // The pane shown now; null when none is.
    QWidget *currentPane() const { return current_; }

    // Shows the panel centred, in front, on General.
    void openPreferences();
    // The same, then the Tabs pane.
    void openTabPreferences();
    // Shows that pane with its top-left corner where it was; an unknown identifier leaves the panel
    // empty under the bare title.
    void openPreferenceViewNamed(const QString &identifier);

    // Close Tab closes the panel as its close button does.
    Q_INVOKABLE void performCloseTab(QObject *sender);

    // Every tabbed window redraws its tabs and title under the tab settings.
    void tabPreferenceUpdate();
    // The SQL panes read their settings again.
    void sqlPreferenceUpdate();
    // The platform's timestamp pattern follows the backend's, and the store is written.
    void dateformatUpdate();
    // The twelve settings of the SQL editor group are written back to their defaults (even those that
    // hold them), the SQL panes are told and the pane shows them.
    void resetDefaultSqlPreferences();

private:
    void buildPanel();
    void addToolbarItem(const QString &identifier);
    void showPane(QWidget *pane);

    UserDefaults &store_;
    std::unique_ptr<AdvancedWindow> panel_;
    std::unique_ptr<PreferenceControls> controls_;
    QToolBar *toolbar_ = nullptr;
    QWidget *content_ = nullptr;
    QVBoxLayout *contentLayout_ = nullptr;
    QWidget *current_ = nullptr;
    QHash<QString, QWidget *> panes_;
    QHash<QString, QAction *> items_;
};
