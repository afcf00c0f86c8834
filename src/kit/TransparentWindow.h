#pragma once

#include <QWidget>

// A borderless window with a clear background; whatever it holds is drawn over what lies beneath.
class TransparentWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TransparentWindow(const QRect &contentRect = {}, QWidget *parent = nullptr);
};
