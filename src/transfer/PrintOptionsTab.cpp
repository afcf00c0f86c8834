#include "transfer/PrintOptionsTab.h"

#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QCheckBox>
#include <QVBoxLayout>

PrintOptionsTab::PrintOptionsTab(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(tr("Vorn"));
    auto *layout = new QVBoxLayout(this);
    const std::pair<const QString *, QString> options[] = {
        {&PreferenceKey::print_header, tr("Print document header")},
        {&PreferenceKey::print_column_header, tr("Print column headers")},
        {&PreferenceKey::print_footer, tr("Print page footer")},
        {&PreferenceKey::print_alternaterows, tr("Alternate row colours")},
        {&PreferenceKey::print_trunc_query, tr("Truncate long statements in the header")},
    };
    for (const auto &[key, title] : options) {
        auto *box = new QCheckBox(title);
        box->setObjectName(*key);
        box->setChecked(UserDefaults::standard().boolForKey(*key));
        connect(box, &QCheckBox::toggled, this,
                [key = *key](bool on) { UserDefaults::standard().setObject(on, key); });
        layout->addWidget(box);
    }
    layout->addStretch();
}
