#include "app/PreferencesPanes.h"

#include "app/PreferenceColorButton.h"
#include "app/PreferenceControls.h"
#include "platform/Preferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QSpinBox>

#include <initializer_list>

namespace
{

QString text(const char *source)
{
    return QCoreApplication::translate("preferences", source);
}

// A pane: a form whose labels stand right-aligned in one column, each level with the first control
// of its group.
QFormLayout *form(QWidget *pane, const char *objectName)
{
    pane->setObjectName(objectName);
    auto *layout = new QFormLayout(pane);
    layout->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    layout->setRowWrapPolicy(QFormLayout::DontWrapRows);
    layout->setContentsMargins(28, 20, 28, 20);
    layout->setVerticalSpacing(6);
    return layout;
}

// A group of controls under one label, set off from the group before it.
void group(QFormLayout *layout, const char *label, std::initializer_list<QWidget *> controls)
{
    if (layout->rowCount() > 0)
        layout->addItem(new QSpacerItem(0, 10, QSizePolicy::Minimum, QSizePolicy::Fixed));
    QString title = text(label);
    for (QWidget *control : controls) {
        layout->addRow(title, control);
        title.clear();
    }
}

// Controls that matter only while the box is on: set in under it, and disabled while it is off.
QWidget *under(PreferenceControls &controls, QCheckBox *box, QWidget *control)
{
    auto *indented = new QWidget;
    auto *layout = new QHBoxLayout(indented);
    layout->setContentsMargins(22, 0, 0, 0);
    layout->addWidget(control);
    const auto follow = [box, indented] { indented->setEnabled(box->isChecked()); };
    QObject::connect(box, &QCheckBox::toggled, indented, follow);
    QObject::connect(&controls, &PreferenceControls::reloaded, indented, follow);
    return indented;
}

// Controls and texts on one line.
QWidget *line(std::initializer_list<QWidget *> controls)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget *control : controls)
        layout->addWidget(control);
    return row;
}

QLabel *words(const char *source)
{
    return new QLabel(text(source));
}

} // namespace

QWidget *PreferencesPanes::general(PreferenceControls &controls)
{
    auto *pane = new QWidget;
    QFormLayout *layout = form(pane, "generalPreferences");
    group(layout, QT_TRANSLATE_NOOP("preferences", "Startup:"),
          {controls.checkBox(PreferenceKey::checkForUpdatesAtStartup, text("Check for updates at startup")),
           controls.checkBox(PreferenceKey::startWithBrowserPanel,
                             text("Show the browser panel in new windows")),
           controls.checkBox(PreferenceKey::startWithInfoPanel, text("Show the info panel in new windows"))});
    group(layout, QT_TRANSLATE_NOOP("preferences", "Query history:"),
          {line({words("Keep"), controls.spinBox(PreferenceKey::recallCount, 1, 100000),
                 words("statements")})});
    group(
        layout, QT_TRANSLATE_NOOP("preferences", "Activity viewer:"),
        {controls.checkBox(PreferenceKey::activity_viewer_show_inactive, text("Show inactive activities"))});
    return pane;
}

QWidget *PreferencesPanes::browser(PreferenceControls &controls)
{
    auto *pane = new QWidget;
    QFormLayout *layout = form(pane, "browserPreferences");
    QCheckBox *recent =
        controls.checkBox(PreferenceKey::browser_recent_enabled, text("Show recently used elements"));
    group(
        layout, QT_TRANSLATE_NOOP("preferences", "Recent elements:"),
        {recent, under(controls, recent,
                       line({words("Remember"), controls.spinBox(PreferenceKey::browser_recent_count, 1, 100),
                             words("elements")}))});
    group(layout, QT_TRANSLATE_NOOP("preferences", "Favourites:"),
          {controls.checkBox(PreferenceKey::browser_favourite_enabled, text("Show favourites")),
           controls.checkBox(PreferenceKey::browser_skip_favourite_keyboard_navigation,
                             text("Skip favourites when moving with the keyboard"))});
    group(layout, QT_TRANSLATE_NOOP("preferences", "Recycle bin:"),
          {controls.checkBox(PreferenceKey::recycleBinSupport,
                             text("Use the recycle bin where the database has one"))});
    return pane;
}

QWidget *PreferencesPanes::tabs(PreferenceControls &controls, const Action &tabRefresh)
{
    auto *pane = new QWidget;
    QFormLayout *layout = form(pane, "tabPreferences");
    group(layout, QT_TRANSLATE_NOOP("preferences", "Tab bar:"),
          {controls.checkBox(PreferenceKey::alwaysShowTabbar, text("Always show the tab bar"), tabRefresh),
           controls.checkBox(PreferenceKey::collapseSingleTab, text("Collapse a single tab"), tabRefresh)});
    group(layout, QT_TRANSLATE_NOOP("preferences", "Tab titles:"),
          {controls.choice(PreferenceKey::tabTitleFormat,
                           {text("Name of the selected element"), text("Name of the document"),
                            text("Name of the connection")},
                           tabRefresh)});
    QCheckBox *labels =
        controls.checkBox(PreferenceKey::showColorLabelTabs, text("Show colour labels on tabs"), tabRefresh);
    group(layout, QT_TRANSLATE_NOOP("preferences", "Colour labels:"),
          {labels, under(controls, labels,
                         controls.checkBox(PreferenceKey::showColorLabelTabsWide,
                                           text("Colour the whole tab"), tabRefresh))});
    group(
        layout, QT_TRANSLATE_NOOP("preferences", "New tabs:"),
        {controls.checkBox(PreferenceKey::selectCreatedTabs, text("Select new tabs")),
         controls.checkBox(PreferenceKey::openDocumentInTab,
                           text("Open documents in a tab of the front window")),
         controls.checkBox(PreferenceKey::tabDuplicateSQL, text("Copy the SQL text into a duplicated tab"))});
    return pane;
}

QWidget *PreferencesPanes::sqlEditor(PreferenceControls &controls, const Action &sqlRefresh,
                                     const Action &reset)
{
    auto *pane = new QWidget;
    QFormLayout *layout = form(pane, "sqlPreferences");
    group(layout, QT_TRANSLATE_NOOP("preferences", "Startup:"),
          {controls.checkBox(PreferenceKey::startWithSqlEditor, text("Show the SQL editor in new windows"),
                             sqlRefresh)});
    group(layout, QT_TRANSLATE_NOOP("preferences", "Font size:"),
          {line({controls.spinBox(PreferenceKey::syntaxFontSize, 6, 72, sqlRefresh), words("points")})});
    group(layout, QT_TRANSLATE_NOOP("preferences", "Editing:"),
          {controls.checkBox(PreferenceKey::syntaxFindBraces, text("Highlight matching braces"), sqlRefresh),
           controls.checkBox(PreferenceKey::syntaxAutoComplete, text("Suggest completions while typing"),
                             sqlRefresh)});
    group(
        layout, QT_TRANSLATE_NOOP("preferences", "Colouring:"),
        {controls.checkBox(PreferenceKey::performSyntaxColoring, text("Colour the SQL syntax"), sqlRefresh)});

    const struct {
        const QString &key;
        const char *title;
    } swatches[] = {
        {PreferenceKey::syntaxNormalColor, QT_TRANSLATE_NOOP("preferences", "Text:")},
        {PreferenceKey::syntaxReservedColor, QT_TRANSLATE_NOOP("preferences", "Reserved words:")},
        {PreferenceKey::syntaxContextColor, QT_TRANSLATE_NOOP("preferences", "Context words:")},
        {PreferenceKey::syntaxLiteralColor, QT_TRANSLATE_NOOP("preferences", "Literals:")},
        {PreferenceKey::syntaxCommentColor, QT_TRANSLATE_NOOP("preferences", "Comments:")},
        {PreferenceKey::syntaxParameterColor, QT_TRANSLATE_NOOP("preferences", "Parameters:")},
        {PreferenceKey::syntaxActiveHintColor, QT_TRANSLATE_NOOP("preferences", "Active statement:")},
    };
    layout->addItem(new QSpacerItem(0, 4, QSizePolicy::Minimum, QSizePolicy::Fixed));
    for (const auto &swatch : swatches) {
        QString title = text(swatch.title);
        layout->addRow(title, controls.colorButton(swatch.key, title.chopped(1), sqlRefresh));
    }

    auto *restore = new QPushButton(text("Restore Defaults"));
    restore->setObjectName("resetDefaultSqlPreferences");
    QObject::connect(restore, &QPushButton::clicked, restore, [reset] { reset(); });
    layout->addItem(new QSpacerItem(0, 10, QSizePolicy::Minimum, QSizePolicy::Fixed));
    layout->addRow(QString(), restore);
    return pane;
}

QWidget *PreferencesPanes::resultset(PreferenceControls &controls, const Action &dateFormatUpdate)
{
    auto *pane = new QWidget;
    QFormLayout *layout = form(pane, "resultsetPreferences");
    QComboBox *format = controls.editableText(
        PreferenceKey::timestampDataFormat,
        {"dd-MM-yyyy HH:mm:ss.S", "MM/dd/yyyy HH:mm:ss.S", "yyyy-MM-dd HH:mm:ss.S"}, dateFormatUpdate);
    format->setMinimumContentsLength(22);
    group(layout, QT_TRANSLATE_NOOP("preferences", "Timestamp format:"),
          {format, controls.checkBox(PreferenceKey::timestampRoundMidnight,
                                     text("Show timestamps at midnight as dates only"))});
    group(layout, QT_TRANSLATE_NOOP("preferences", "Rows:"),
          {line({words("Fetch"), controls.spinBox(PreferenceKey::numberOfResultSetRows, 1, 100000000),
                 words("rows at a time")}),
           controls.checkBox(PreferenceKey::resultSetScroll, text("Scroll to new rows"))});
    group(layout, QT_TRANSLATE_NOOP("preferences", "Quick filters:"),
          {controls.checkBox(PreferenceKey::quickFilterUseLike, text("Match text with LIKE")),
           controls.checkBox(PreferenceKey::quickFilterUseLikeMatchOnNumeric,
                             text("Match numbers with LIKE too"))});
    return pane;
}

QWidget *PreferencesPanes::connections(PreferenceControls &controls)
{
    auto *pane = new QWidget;
    QFormLayout *layout = form(pane, "connectionPreferences");
    group(layout, QT_TRANSLATE_NOOP("preferences", "Connecting:"),
          {controls.checkBox(PreferenceKey::timeOutWhileConnecting,
                             text("Give up connecting after 20 seconds")),
           controls.checkBox(PreferenceKey::keepConnectionAlive, text("Keep connections alive")),
           controls.checkBox(PreferenceKey::autoReconnectFromDocument,
                             text("Reconnect documents automatically"))});
    QCheckBox *background =
        controls.checkBox(PreferenceKey::allowBackgroundConnections, text("Allow background connections"));
    group(layout, QT_TRANSLATE_NOOP("preferences", "Background:"),
          {background,
           under(controls, background,
                 controls.checkBox(PreferenceKey::allowBackgroundConnectionsConnection,
                                   text("To check whether connections are still alive"))),
           under(controls, background,
                 controls.checkBox(PreferenceKey::allowBackgroundConnectionsInfoInspector,
                                   text("To fill the info column")))});
    group(layout, QT_TRANSLATE_NOOP("preferences", "Oracle:"),
          {controls.checkBox(PreferenceKey::oracleIndexHints, text("Use index hints"))});
    return pane;
}

QWidget *PreferencesPanes::printing(PreferenceControls &controls)
{
    auto *pane = new QWidget;
    QFormLayout *layout = form(pane, "printingPreferences");
    group(layout, QT_TRANSLATE_NOOP("preferences", "Print:"),
          {controls.checkBox(PreferenceKey::print_header, text("Document header")),
           controls.checkBox(PreferenceKey::print_column_header, text("Column headers")),
           controls.checkBox(PreferenceKey::print_footer, text("Page footer")),
           controls.checkBox(PreferenceKey::print_alternaterows, text("Alternating row colours"))});
    group(layout, QT_TRANSLATE_NOOP("preferences", "Statements:"),
          {controls.checkBox(PreferenceKey::print_trunc_query, text("Cut statements after eight lines"))});
    return pane;
}
