#pragma once

#include "transfer/ImportSubViewController.h"

class QProgressBar;

// Stands in for the file-format page while the first preview of a newly chosen file is built.
class ImportDetectWait : public ImportSubViewController
{
public:
    ImportDetectWait();
    QProgressBar *progress() const { return progress_; }

private:
    QProgressBar *progress_ = nullptr;
};
