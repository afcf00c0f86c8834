#pragma once

#include "elements/BrowserElement.h"

#include <QVariant>
#include <QWidget>

#include <optional>

class InfoColumnDataViewDelegate;
class QCheckBox;
class QLabel;
class QToolButton;

// One row of the info column: a name and a value side by side, or a value wrapped under its name,
// optionally followed by a refer button (opens the referred object or runs an action) or a
// "Favourite" checkbox; or an empty spacer. The info column lays rows out with sizeToFitWidth
// whenever its width changes. Both texts can be selected and copied.
class InfoColumnDataView : public QWidget
{
    Q_OBJECT
public:
    static InfoColumnDataView *infoColumnDataView(QWidget *parent = nullptr);
    // A spacer of the height truncated to whole points.
    static InfoColumnDataView *infoColumnDataViewSpacer(double height, QWidget *parent = nullptr);
    explicit InfoColumnDataView(QWidget *parent = nullptr);

    QString name() const;
    void setName(const QString &name);
    QString value() const { return value_; }
    void setValue(const QString &value);
    bool bold() const { return bold_; }
    void setBold(bool bold);
    qint64 nameWidth() const { return nameWidth_; }
    void setNameWidth(qint64 width) { nameWidth_ = width; }
    qint64 arrangement() const { return arrangement_; }
    void setArrangement(qint64 arrangement);
    const BrowserElementPtr &referingObject() const { return referingObject_; }
    void setReferingObject(const BrowserElementPtr &element);
    const QVariant &referingAction() const { return referingAction_; }
    void setReferingAction(const QVariant &action);
    void setReferTarget(InfoColumnDataViewDelegate *target) { referTarget_ = target; }
    const std::optional<bool> &favouriteStatus() const { return favouriteStatus_; }
    void setFavouriteStatus(bool favourite);
    bool spacer() const { return spacer_; }
    qint64 spacerHeight() const { return spacerHeight_; }

    // The name's natural width on one line.
    qint64 minimumNameWidth() const;
    void sizeToFitWidth(double width);

    QLabel *nameCell() const { return nameCell_; }
    QLabel *valueCell() const { return valueCell_; }
    QToolButton *referButton() const { return referButton_; }
    QCheckBox *favouriteButton() const { return favouriteButton_; }

    void referButtonPressed();
    void favouriteButtonPressed();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void addReferButton();
    void setReferButtonOpacity(double opacity);
    QSize naturalValueSize(int width, bool wrapping) const;

    QLabel *nameCell_;
    QLabel *valueCell_;
    QToolButton *referButton_ = nullptr;
    QCheckBox *favouriteButton_ = nullptr;
    QString value_;
    bool bold_ = false;
    qint64 nameWidth_ = 0;
    qint64 arrangement_ = 0;
    BrowserElementPtr referingObject_;
    QVariant referingAction_;
    InfoColumnDataViewDelegate *referTarget_ = nullptr;
    std::optional<bool> favouriteStatus_;
    bool spacer_ = false;
    qint64 spacerHeight_ = 0;
};
