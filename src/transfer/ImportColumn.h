#pragma once

#include <QString>

#include <memory>

// One column of the source as the import sees it. The options' copies share these objects, so that
// type detection on a worker reaches the session's options.
struct ImportColumn {
    bool enabled = false;
    // The source column's name; for a sequence column the sequence's name.
    QString column_name;
    // The target column it is written to; empty when not mapped.
    QString map_to;
    // Display format; only sequence columns set it.
    QString format;
    // The format the source text is parsed with; empty for text.
    QString input_column_format;
    // "S" text, "N" number, "D" date and time; empty while not detected.
    QString input_column_type;
    bool hidden = false;
    // Not read from the source: the target takes the next value of the sequence named column_name.
    bool sequence = false;

    QString description() const;
};

using ImportColumnPtr = std::shared_ptr<ImportColumn>;
