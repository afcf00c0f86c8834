#include "app/PreferencesController.h"

#include "app/PreferenceControls.h"
#include "app/PreferencesPaneImages.h"
#include "app/PreferencesPanes.h"
#include "kit/AdvancedWindow.h"
#include "platform/NotificationCenter.h"
#include "platform/PreferenceDefaults.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "tabs/TabbedDocument.h"
#include "tabs/TabbedWindowController.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCoreApplication>
#include <QScreen>
#include <QShortcut>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{

QString text(const char *source)
{
    return QCoreApplication::translate("preferences", source);
}

struct PaneLook {
    const char *identifier;
    const char *label;
    const char *tooltip;
    const char *image;
};

// In the toolbar's order: Resultset comes before SQL Editor.
const PaneLook paneLooks[] = {
    {"general", QT_TRANSLATE_NOOP("preferences", "General"),
     QT_TRANSLATE_NOOP("preferences", "Open General Preferences"), "PrefGeneral"},
    {"browser", QT_TRANSLATE_NOOP("preferences", "Browser"),
     QT_TRANSLATE_NOOP("preferences", "Open Browser Preferences"), "PrefBrowser"},
    {"tabs", QT_TRANSLATE_NOOP("preferences", "Tabs"),
     QT_TRANSLATE_NOOP("preferences", "Open Tab Preferences"), "PrefTabs"},
    {"resultset", QT_TRANSLATE_NOOP("preferences", "Resultset"),
     QT_TRANSLATE_NOOP("preferences", "Open Resultset Preferences"), "PrefResultset"},
    {"sql", QT_TRANSLATE_NOOP("preferences", "SQL Editor"),
     QT_TRANSLATE_NOOP("preferences", "Open SQL Editor Preferences"), "PrefSqlEditor"},
    {"connections", QT_TRANSLATE_NOOP("preferences", "Connections"),
     QT_TRANSLATE_NOOP("preferences", "Open Connections Preferences"), "PrefConnections"},
    {"printing", QT_TRANSLATE_NOOP("preferences", "Printing"),
     QT_TRANSLATE_NOOP("preferences", "Open Printing Preferences"), "PrefPrint"},
};

const PaneLook *lookOf(const QString &identifier)
{
    for (const PaneLook &look : paneLooks) {
        if (identifier == QLatin1String(look.identifier))
            return &look;
    }
    return nullptr;
}

// The settings of the SQL editor group, which Restore Defaults writes back.
const QString *const sqlEditorGroup[] = {
    &PreferenceKey::startWithSqlEditor, &PreferenceKey::performSyntaxColoring,
    &PreferenceKey::syntaxNormalColor,  &PreferenceKey::syntaxReservedColor,
    &PreferenceKey::syntaxContextColor, &PreferenceKey::syntaxLiteralColor,
    &PreferenceKey::syntaxCommentColor, &PreferenceKey::syntaxActiveHintColor,
    &PreferenceKey::syntaxFindBraces,   &PreferenceKey::syntaxAutoComplete,
    &PreferenceKey::syntaxFontSize,     &PreferenceKey::syntaxParameterColor,
};

} // namespace

PreferencesController::PreferencesController(UserDefaults *store, QObject *parent)
    : QObject(parent), store_(store ? *store : UserDefaults::standard()),
      controls_(std::make_unique<PreferenceControls>(store_))
{
    buildPanel();
    PreferenceControls &controls = *controls_;
    const auto tabRefresh = [this] { tabPreferenceUpdate(); };
    const auto sqlRefresh = [this] { sqlPreferenceUpdate(); };
    panes_.insert("general", PreferencesPanes::general(controls));
    panes_.insert("browser", PreferencesPanes::browser(controls));
    panes_.insert("tabs", PreferencesPanes::tabs(controls, tabRefresh));
    panes_.insert(
        "sql", PreferencesPanes::sqlEditor(controls, sqlRefresh, [this] { resetDefaultSqlPreferences(); }));
    panes_.insert("resultset", PreferencesPanes::resultset(controls, [this] { dateformatUpdate(); }));
    panes_.insert("connections", PreferencesPanes::connections(controls));
    panes_.insert("printing", PreferencesPanes::printing(controls));
    for (QWidget *pane : std::as_const(panes_)) {
        pane->setParent(content_);
        pane->hide();
    }
    controls.reload();
}

PreferencesController::~PreferencesController() = default;

QStringList PreferencesController::toolbarItemIdentifiers()
{
    QStringList identifiers;
    for (const PaneLook &look : paneLooks)
        identifiers << QString::fromLatin1(look.identifier);
    return identifiers;
}

void PreferencesController::buildPanel()
{
    panel_ = std::make_unique<AdvancedWindow>();
    panel_->setObjectName("preferencesPanel");
    // Titled and closable only: each pane sets the size.
    panel_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    panel_->setEnableCloseTabOverride(true);
    panel_->setEnableFullScreen(false);
    // The toolbar is fixed: no menu to hide it.
    panel_->setContextMenuPolicy(Qt::PreventContextMenu);
    panel_->setWindowTitle(text("Vorn Preferences"));

    toolbar_ = new QToolBar(panel_.get());
    toolbar_->setObjectName("preferencesToolbar");
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar_->setIconSize(QSize(32, 32));
    panel_->addToolBar(toolbar_);
    auto *group = new QActionGroup(toolbar_);
    for (const QString &identifier : toolbarItemIdentifiers()) {
        addToolbarItem(identifier);
        group->addAction(items_.value(identifier));
    }

    content_ = new QWidget;
    contentLayout_ = new QVBoxLayout(content_);
    contentLayout_->setContentsMargins(0, 0, 0, 0);
    contentLayout_->setSizeConstraint(QLayout::SetMinimumSize);
    panel_->setCentralWidget(content_);
    panel_->resize(480, 400);

    auto *closeTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), panel_.get());
    connect(closeTab, &QShortcut::activated, this, [this] { performCloseTab(nullptr); });
}

void PreferencesController::addToolbarItem(const QString &identifier)
{
    const PaneLook *look = lookOf(identifier);
    QAction *item = toolbar_->addAction(PreferencesPaneImages::imageNamed(look->image), text(look->label));
    item->setObjectName(identifier);
    item->setToolTip(text(look->tooltip));
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, identifier] { openPreferenceViewNamed(identifier); });
    items_.insert(identifier, item);
}

void PreferencesController::openPreferences()
{
    openPreferenceViewNamed("general");
    if (QScreen *screen = panel_->screen())
        panel_->move(screen->availableGeometry().center() - panel_->frameGeometry().center() + panel_->pos());
    panel_->show();
    panel_->raise();
    panel_->activateWindow();
}

void PreferencesController::openTabPreferences()
{
    openPreferences();
    openPreferenceViewNamed("tabs");
}

void PreferencesController::openPreferenceViewNamed(const QString &identifier)
{
    QWidget *pane = panes_.value(identifier);
    const QPoint topLeft = panel_->pos();
    showPane(pane);
    if (pane) {
        panel_->layout()->invalidate();
        const QSize size = panel_->sizeHint().expandedTo(QSize(480, 0));
        panel_->setFixedSize(size);
        if (panel_->pos() != topLeft)
            panel_->move(topLeft);
        controls_->reload();
    }
    const PaneLook *look = pane ? lookOf(identifier) : nullptr;
    panel_->setWindowTitle(look ? QStringLiteral("%1: %2").arg(text("Vorn Preferences"), text(look->label))
                                : text("Vorn Preferences"));
    for (auto item = items_.cbegin(); item != items_.cend(); ++item)
        item.value()->setChecked(pane && item.key() == identifier);
}

void PreferencesController::showPane(QWidget *pane)
{
    if (current_) {
        contentLayout_->removeWidget(current_);
        current_->hide();
    }
    current_ = pane;
    if (pane) {
        contentLayout_->addWidget(pane);
        pane->show();
    }
}

void PreferencesController::performCloseTab(QObject *)
{
    panel_->performClose();
}

void PreferencesController::tabPreferenceUpdate()
{
    for (TabbedWindowController *controller : TabbedWindowController::allWindowControllers()) {
        if (!controller->isWindowLoaded())
            continue;
        if (TabbedDocument *document = controller->activeDocument())
            controller->documentStatusUpdated(document);
        controller->synchronizeWindowTitleWithDocumentName();
        controller->window()->repaint();
    }
}

void PreferencesController::sqlPreferenceUpdate()
{
    NotificationCenter::defaultCenter().postNotification(Preferences::sqlPreferenceUpdateNotification);
}

void PreferencesController::dateformatUpdate()
{
    store_.setObject(
        PreferenceDefaults::cocoaTimestampFormatFor(store_.stringForKey(PreferenceKey::timestampDataFormat)),
        PreferenceKey::cocoaTimestampDataFormat);
    store_.synchronize();
}

void PreferencesController::resetDefaultSqlPreferences()
{
    for (const QString *key : sqlEditorGroup)
        store_.setObject(PreferenceDefaults::defaultValue(*key), *key);
    controls_->reload();
    sqlPreferenceUpdate();
}
