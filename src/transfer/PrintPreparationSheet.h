#pragma once

#include <QDialog>

class QLabel;

// The sheet shown while rows are measured for printing: a title, a progress text with the rows
// loaded so far, a busy bar and Cancel (Escape).
class PrintPreparationSheet : public QDialog
{
    Q_OBJECT
public:
    explicit PrintPreparationSheet(QWidget *window);
    void showLoaded(qint64 rows);
    QString progressText() const;

signals:
    void cancelRequested();

private:
    QLabel *progress_;
};
