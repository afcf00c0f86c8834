#pragma once

#include "transfer/PrintPreparationSheet.h"

#include <QObject>
#include <QPointer>

#include <memory>

class BackgroundLane;
class ConnectedController;

class PrintView;
class QWidget;

// Measures a print view's rows on the "Print Preparation" worker under the "Printing data"
// reservation, behind a sheet with Cancel; then says whether the view is ready to print.
class PrintPreparation : public QObject
{
    Q_OBJECT
public:
    PrintPreparation(ConnectedController &controller, std::shared_ptr<PrintView> view, QWidget *window);
    ~PrintPreparation() override;

    // False when the root cannot be reserved: nothing starts.
    bool start();
    PrintPreparationSheet *sheet() const { return sheet_; }

signals:
    void prepared();
    void cancelled();

private:
    void progressed(qint64 rows);

    ConnectedController &controller_;
    std::shared_ptr<PrintView> view_;
    QPointer<QWidget> window_;
    QPointer<PrintPreparationSheet> sheet_;
    std::shared_ptr<BackgroundLane> lane_;
    bool cancelled_ = false;
};
