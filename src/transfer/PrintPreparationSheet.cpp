#include "transfer/PrintPreparationSheet.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

QString printingText(const char *text)
{
    return QCoreApplication::translate("printing", text);
}

} // namespace

PrintPreparationSheet::PrintPreparationSheet(QWidget *window) : QDialog(window)
{
    setWindowModality(Qt::WindowModal);
    setWindowTitle(printingText("Preparing to print"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(10);
    auto *title = new QLabel(printingText("Preparing to print"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    auto *bar = new QProgressBar;
    bar->setRange(0, 0);
    bar->setTextVisible(false);
    layout->addWidget(bar);
    progress_ = new QLabel(printingText("Please wait while Vorn is preparing to print."));
    QFont small = progress_->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    progress_->setFont(small);
    // Wide enough for the longest progress text, so the sheet does not grow while it counts.
    const QString longest = printingText("Please wait while Vorn is preparing to print. Loaded %1 records.")
                                .arg(QStringLiteral("999999"));
    progress_->setMinimumWidth(QFontMetrics(small).horizontalAdvance(longest));
    layout->addWidget(progress_);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    setMinimumWidth(300);
    // Escape rejects the dialog, as the Cancel button does.
    connect(this, &QDialog::rejected, this, &PrintPreparationSheet::cancelRequested);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void PrintPreparationSheet::showLoaded(qint64 rows)
{
    progress_->setText(printingText("Please wait while Vorn is preparing to print. Loaded %1 records.")
                           .arg(QLocale().toString(rows)));
}

QString PrintPreparationSheet::progressText() const
{
    return progress_->text();
}
