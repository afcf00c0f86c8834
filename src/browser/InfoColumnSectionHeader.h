#pragma once

#include "kit/AdvancedWindowKeyAwareView.h"

#include <QPixmap>
#include <QWidget>

class LabeledTextField;
class QLabel;

// The head of every section the info column shows: the object's icon and name, the section title and
// the connection name in its colour-label badge, over the panel-header gradient (the management one
// in management mode, the inactive one when the window does not draw as active).
class InfoColumnSectionHeader : public QWidget, public AdvancedWindowKeyAwareView
{
    Q_OBJECT
public:
    static constexpr int headerHeight = 58;

    // A header; a null name or title shows "___", a null image the application icon.
    static InfoColumnSectionHeader *sectionHeader(const QString &name, const QString &connection,
                                                  const QPixmap &image, const QString &title,
                                                  qint64 connectionLabel, bool managementMode,
                                                  QWidget *parent = nullptr);
    explicit InfoColumnSectionHeader(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    void setName(const QString &name);
    void setConnection(const QString &connection, qint64 label);
    void setImage(const QPixmap &image);
    bool managementMode() const { return managementMode_; }
    void setManagementMode(bool managementMode);

    QString title() const;
    QString name() const;
    QString connection() const;
    const QPixmap &image() const { return image_; }

    void windowKeyChanged(bool newState) override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *imageField_;
    QLabel *nameField_;
    QLabel *titleField_;
    LabeledTextField *connectionField_;
    QPixmap image_;
    bool managementMode_ = false;
};
