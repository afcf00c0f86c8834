#include "transfer/ImportDetectWait.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

ImportDetectWait::ImportDetectWait()
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    layout->addStretch();
    layout->addWidget(new QLabel(QCoreApplication::translate("importer", "Reading the file…")), 0,
                      Qt::AlignCenter);
    progress_ = new QProgressBar;
    progress_->setTextVisible(false);
    progress_->setRange(0, 0); // spins from the start
    progress_->setMaximumWidth(200);
    layout->addWidget(progress_, 0, Qt::AlignCenter);
    layout->addStretch();
    setView(view);
}
