#pragma once

#include <QWidget>

// The welcome screen's start-up progress: a light-green bar that grows from the left and
// brightens towards its middle.
class WelcomeScreenProgress : public QWidget
{
    Q_OBJECT
public:
    explicit WelcomeScreenProgress(QWidget *parent = nullptr);

    float progress() const { return progress_; }
    // The fraction shown, 0 to 1.
    void setProgress(float progress);
    // The filled width for a bar of the given width.
    int filledWidth(int width) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    float progress_ = 0.0f;
};
