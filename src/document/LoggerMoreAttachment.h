#pragma once

#include <QFont>
#include <QImage>
#include <QMetaType>
#include <QString>

// The "more..." badge that stands for the folded rest of a long or multi-line log entry.
class LoggerMoreAttachment
{
public:
    LoggerMoreAttachment() = default;
    LoggerMoreAttachment(const QString &hiddenText, const QFont &font, bool error);

    QString text() const { return text_; }
    void setText(const QString &text) { text_ = text; }
    bool error() const { return error_; }
    void setError(bool error) { error_ = error; }
    QImage image() const { return image_; }

    // A rounded, lightly green-tinted label with the text.
    static QImage imageForText(const QString &text, const QFont &font);

private:
    QString text_;
    bool error_ = false;
    QImage image_;
};

Q_DECLARE_METATYPE(LoggerMoreAttachment)
