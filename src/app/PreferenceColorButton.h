#pragma once

#include <QColor>
#include <QPushButton>

// A button showing a colour swatch; a click offers the colour dialog (window-modal, so nothing else
// waits), and a chosen colour is announced with colorChosen.
class PreferenceColorButton : public QPushButton
{
    Q_OBJECT
public:
    explicit PreferenceColorButton(const QString &title, QWidget *parent = nullptr);

    QColor color() const { return color_; }
    // Shows the colour without announcing it.
    void setColor(const QColor &color);
    // As if the user picked it in the dialog.
    void chooseColor(const QColor &color);

signals:
    void colorChosen(const QColor &color);

private:
    void openDialog();

    QString title_;
    QColor color_;
};
