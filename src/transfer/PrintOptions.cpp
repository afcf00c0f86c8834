#include "transfer/PrintOptions.h"

#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

PrintOptions PrintOptions::fromPreferences()
{
    const UserDefaults &defaults = UserDefaults::standard();
    PrintOptions options;
    options.header = defaults.boolForKey(PreferenceKey::print_header);
    options.columnHeader = defaults.boolForKey(PreferenceKey::print_column_header);
    options.footer = defaults.boolForKey(PreferenceKey::print_footer);
    options.alternateRows = defaults.boolForKey(PreferenceKey::print_alternaterows);
    options.truncateQuery = defaults.boolForKey(PreferenceKey::print_trunc_query);
    options.source = defaults.integerForKey(PreferenceKey::print_source);
    options.sourceLength = defaults.integerForKey(PreferenceKey::print_source_length);
    return options;
}

QString PrintOptions::key() const
{
    auto bit = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    return QString::number(source) + QString::number(sourceLength) + bit(truncateQuery) + bit(columnHeader) +
           bit(header) + bit(footer) + bit(alternateRows);
}
