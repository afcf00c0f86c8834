#pragma once

#include <QToolButton>

// The image-only button of a status-bar part: no bezel; its image is a template, drawn in the
// text colour, and pushed in while pressed.
class StatusManagerButtonCell : public QToolButton
{
    Q_OBJECT

public:
    explicit StatusManagerButtonCell(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
