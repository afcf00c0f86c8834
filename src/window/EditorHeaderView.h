#pragma once

#include <QWidget>

// A header strip above an editor area: white, with a thin border line along its bottom edge.
class EditorHeaderView : public QWidget
{
    Q_OBJECT
public:
    explicit EditorHeaderView(QWidget *parent = nullptr);
    void windowKeyChanged() { update(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
};
