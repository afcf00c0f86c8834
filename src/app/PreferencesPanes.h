#pragma once

#include <functional>

class PreferenceControls;
class QWidget;

// The seven panes of the preferences window, each a form of controls bound to its group of keys.
// The follow-ups are the window's actions for settings that need more than the write.
class PreferencesPanes
{
public:
    using Action = std::function<void()>;

    static QWidget *general(PreferenceControls &controls);
    static QWidget *browser(PreferenceControls &controls);
    static QWidget *tabs(PreferenceControls &controls, const Action &tabRefresh);
    static QWidget *sqlEditor(PreferenceControls &controls, const Action &sqlRefresh, const Action &reset);
    static QWidget *resultset(PreferenceControls &controls, const Action &dateFormatUpdate);
    static QWidget *connections(PreferenceControls &controls);
    static QWidget *printing(PreferenceControls &controls);
};
