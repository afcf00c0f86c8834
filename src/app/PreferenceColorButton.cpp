#include "app/PreferenceColorButton.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

PreferenceColorButton::PreferenceColorButton(const QString &title, QWidget *parent)
    : QPushButton(parent), title_(title)
{
    setAccessibleName(title);
    setToolTip(title);
    setIconSize(QSize(36, 14));
    connect(this, &QPushButton::clicked, this, &PreferenceColorButton::openDialog);
}

void PreferenceColorButton::setColor(const QColor &color)
{
    color_ = color;
    QPixmap swatch(iconSize());
    swatch.fill(color);
    QPainter painter(&swatch);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    setIcon(QIcon(swatch));
}

void PreferenceColorButton::chooseColor(const QColor &color)
{
    if (!color.isValid())
        return;
    setColor(color);
    emit colorChosen(color);
}

void PreferenceColorButton::openDialog()
{
    auto *dialog = new QColorDialog(color_, window());
    dialog->setWindowTitle(title_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::colorSelected, this, &PreferenceColorButton::chooseColor);
    dialog->open();
}
