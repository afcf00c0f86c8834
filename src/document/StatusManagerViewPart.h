#pragma once

#include <QKeySequence>
#include <QPixmap>
#include <QWidget>

#include <functional>

class QLabel;
class StatusManagerButtonCell;

// One part of the status bar: an optional icon, button, spinner and text, sized to its content.
// Parts of the left group keep their right edge when the text changes, right-aligned parts
// their origin. A part with a background draws a white rounded tab with a shadow.
class StatusManagerViewPart : public QWidget
{
    Q_OBJECT

public:
    explicit StatusManagerViewPart(QWidget *parent = nullptr);

    bool rightAligned() const { return rightAligned_; }
    void setRightAligned(bool rightAligned);
    bool heightend() const { return heightend_; }
    void setHeightend(bool heightend);
    bool busy() const { return busy_; }
    void setBusy(bool busy);
    // Whether the layout is to show the part (the field the status bar fills before laying out).
    bool isShown() const { return show_; }
    void setShown(bool show) { show_ = show; }

    QString text() const;
    void setText(const QString &text);
    void setIcon(const QPixmap &icon);
    // Shows the button with the named image of the application's resources.
    void setButton(const QString &imageName, const QString &tooltip, std::function<void()> action,
                   const QKeySequence &key);
    void hideButton();

    QLabel *textField() const { return textField_; }
    StatusManagerButtonCell *buttonField() const { return buttonField_; }
    QWidget *progressField() const { return progressField_; }
    QLabel *iconField() const { return iconField_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void layoutContent();

    bool rightAligned_ = false;
    bool heightend_ = false;
    bool busy_ = false;
    bool show_ = false;
    QLabel *textField_ = nullptr;
    StatusManagerButtonCell *buttonField_ = nullptr;
    QWidget *progressField_ = nullptr;
    QLabel *iconField_ = nullptr;
    std::function<void()> action_;
};
