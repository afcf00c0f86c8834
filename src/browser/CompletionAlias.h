#pragma once

#include <QString>

// An alias of a statement the editor completes in: the alias text and the table it stands for.
struct CompletionAlias {
    QString alias;
    QString refers;
};
