#pragma once

#include "transfer/ExportSubViewController.h"

class QLabel;

// The fourth page: what is about to be exported and how, in five short texts.
class ExportOverviewViewController : public ExportSubViewController
{
public:
    ExportOverviewViewController();

    void updateInterface() override;
    bool canContinue() const override { return true; }
    // The text shortened at its last blanks (with "...") until it fits a box of the width and height
    // in the label's font; a text without blanks is left whole.
    QString stripToFewLines(const QString &text, int width, int height) const;

    QLabel *format() const { return format_; }
    QLabel *destination() const { return destination_; }
    QLabel *source() const { return source_; }
    QLabel *columns() const { return columns_; }
    QLabel *records() const { return records_; }
    QLabel *additional() const { return additional_; }

private:
    QString sourceText() const;
    QString additionalText() const;

    QLabel *format_ = nullptr;
    QLabel *destination_ = nullptr;
    QLabel *source_ = nullptr;
    QLabel *columns_ = nullptr;
    QLabel *records_ = nullptr;
    QLabel *additional_ = nullptr;
};
