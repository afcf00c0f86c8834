#pragma once

#include <QWidget>

// One label of the shortcut overlay: the keys in large type over an optional caption, in the overlay
// shape with its arrow's tip at the top-left corner.
class ShortcutView : public QWidget
{
    Q_OBJECT
public:
    explicit ShortcutView(QWidget *parent = nullptr);

    QString string() const { return string_; }
    void setString(const QString &string) { string_ = string; }
    QString subtitle() const { return subtitle_; }
    void setSubtitle(const QString &subtitle) { subtitle_ = subtitle; }
    float arrowLength() const { return arrowLength_; }
    void setArrowLength(float length) { arrowLength_ = length; }

    void sizeToFit();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    static QFont keyFont();
    static QFont subtitleFont();
    QSizeF subtitleSize() const;

    QString string_;
    QString subtitle_;
    float arrowLength_ = 12;
};
