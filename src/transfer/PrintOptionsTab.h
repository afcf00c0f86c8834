#pragma once

#include <QWidget>

// The print dialog's options tab: the five print options as check boxes, stored in the preferences
// as they change.
class PrintOptionsTab : public QWidget
{
    Q_OBJECT
public:
    explicit PrintOptionsTab(QWidget *parent = nullptr);
};
