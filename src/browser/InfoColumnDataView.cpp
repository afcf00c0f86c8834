#include "browser/InfoColumnDataView.h"

#include "browser/InfoColumnDataViewDelegate.h"
#include "browser/InfoText.h"

#include <QCheckBox>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

#include <cmath>

namespace
{
constexpr int ReferButtonSize = 12;
constexpr int WrapThreshold = 20;
constexpr double RestingOpacity = 0.3;

// The follow-link mark: an arrow in a circle, drawn in the text colour.
QIcon followLinkIcon(const QColor &colour)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 2));
    painter.drawEllipse(QRectF(2, 2, 20, 20));
    QPainterPath arrow;
    arrow.moveTo(8, 12);
    arrow.lineTo(16, 12);
    arrow.moveTo(12.5, 8);
    arrow.lineTo(16.5, 12);
    arrow.lineTo(12.5, 16);
    painter.drawPath(arrow);
    return QIcon(pixmap);
}

QLabel *makeCell(QWidget *parent)
{
    auto *cell = new QLabel(parent);
    cell->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cell->setTextFormat(Qt::PlainText);
    cell->setWordWrap(false);
    return cell;
}

int lineHeightOf(const QFont &font)
{
    return QFontMetrics(font).height() + 2;
}
} // namespace

InfoColumnDataView *InfoColumnDataView::infoColumnDataView(QWidget *parent)
{
    return new InfoColumnDataView(parent);
}

InfoColumnDataView *InfoColumnDataView::infoColumnDataViewSpacer(double height, QWidget *parent)
{
    auto *view = new InfoColumnDataView(parent);
    view->spacer_ = true;
    view->spacerHeight_ = qint64(std::trunc(height));
    view->sizeToFitWidth(40);
    return view;
}

InfoColumnDataView::InfoColumnDataView(QWidget *parent)
    : QWidget(parent), nameCell_(makeCell(this)), valueCell_(makeCell(this))
{
    setObjectName(QStringLiteral("InfoColumnDataView"));
    resize(10, 10);
}

QString InfoColumnDataView::name() const
{
    return nameCell_->text();
}

void InfoColumnDataView::setName(const QString &name)
{
    nameCell_->setText(name.isNull() ? QString(QLatin1String("")) : name);
}

void InfoColumnDataView::setValue(const QString &value)
{
    value_ = value.isNull() ? QString(QLatin1String("")) : value;
    valueCell_->setText(value_);
    valueCell_->setToolTip((arrangement_ & 8) ? QString() : value);
}

void InfoColumnDataView::setBold(bool bold)
{
    bold_ = bold;
    QFont font = nameCell_->font();
    font.setBold(bold);
    nameCell_->setFont(font);
}

void InfoColumnDataView::setArrangement(qint64 arrangement)
{
    arrangement_ = arrangement;
    if (arrangement & (1 | 2))
        valueCell_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    if (arrangement & 16) {
        setBold(true);
        QPalette palette = nameCell_->palette();
        palette.setColor(QPalette::WindowText, Qt::darkGray);
        nameCell_->setPalette(palette);
    }
    if (arrangement & 8) {
        valueCell_->setWordWrap(true);
        valueCell_->setToolTip(QString());
    }
}

void InfoColumnDataView::setReferingObject(const BrowserElementPtr &element)
{
    referingObject_ = element;
    addReferButton();
}

void InfoColumnDataView::setReferingAction(const QVariant &action)
{
    referingAction_ = action;
    addReferButton();
}

void InfoColumnDataView::addReferButton()
{
    auto *button = new QToolButton(this);
    button->setObjectName(QStringLiteral("InfoColumnReferButton"));
    button->setGeometry(width() - 20, 2, ReferButtonSize, ReferButtonSize);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::ArrowCursor);
    button->setIcon(followLinkIcon(palette().color(QPalette::WindowText)));
    button->setIconSize(QSize(ReferButtonSize, ReferButtonSize));
    button->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    auto *opacity = new QGraphicsOpacityEffect(button);
    opacity->setOpacity(RestingOpacity);
    button->setGraphicsEffect(opacity);
    connect(button, &QToolButton::clicked, this, &InfoColumnDataView::referButtonPressed);
    nameCell_->setTextInteractionFlags(Qt::NoTextInteraction);
    referButton_ = button;
    button->show();
}

void InfoColumnDataView::setReferButtonOpacity(double opacity)
{
    if (!referButton_)
        return;
    if (auto *effect = qobject_cast<QGraphicsOpacityEffect *>(referButton_->graphicsEffect()))
        effect->setOpacity(opacity);
}

void InfoColumnDataView::enterEvent(QEnterEvent *)
{
    setReferButtonOpacity(1.0); // the whole row is the button's hover area
}

void InfoColumnDataView::leaveEvent(QEvent *)
{
    setReferButtonOpacity(RestingOpacity);
}

void InfoColumnDataView::setFavouriteStatus(bool favourite)
{
    favouriteStatus_ = favourite;
    auto *box = new QCheckBox(infoText("Favourite"), this);
    box->setObjectName(QStringLiteral("favouriteButton"));
    QFont small = box->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    box->setFont(small);
    box->setChecked(favourite);
    box->setFocusPolicy(Qt::ClickFocus);
    box->adjustSize();
    connect(box, &QCheckBox::clicked, this, &InfoColumnDataView::favouriteButtonPressed);
    favouriteButton_ = box;
    box->show();
}

void InfoColumnDataView::referButtonPressed()
{
    if (referTarget_ && referingObject_)
        referTarget_->shouldReferTo(referingObject_);
    if (referTarget_ && referingAction_.isValid())
        referTarget_->shouldReferToAction(referingAction_);
}

void InfoColumnDataView::favouriteButtonPressed()
{
    if (referTarget_ && favouriteButton_)
        referTarget_->shouldChangeFavouriteStatusTo(favouriteButton_->isChecked());
}

qint64 InfoColumnDataView::minimumNameWidth() const
{
    return name().isEmpty() ? 0 : QFontMetrics(nameCell_->font()).horizontalAdvance(name()) + 4;
}

QSize InfoColumnDataView::naturalValueSize(int width, bool wrapping) const
{
    const QFontMetrics metrics(valueCell_->font());
    if (!wrapping)
        return {metrics.horizontalAdvance(value_) + 4, lineHeightOf(valueCell_->font())};
    const QRect bounds =
        metrics.boundingRect(QRect(0, 0, std::max(1, width - 4), 4096), Qt::TextWordWrap, value_);
    return {bounds.width() + 4, std::max(bounds.height() + 2, lineHeightOf(valueCell_->font()))};
}

void InfoColumnDataView::sizeToFitWidth(double width)
{
    const int w = int(width);
    if (spacer_) {
        resize(w, int(spacerHeight_));
        return;
    }
    const bool nameEmpty = name().isEmpty();
    const bool valueEmpty = value_.isEmpty();
    int lead = nameEmpty ? 0 : 10;
    const int trail = valueEmpty ? 0 : 10;
    int gap = valueEmpty ? 0 : (nameEmpty ? 10 : 2);
    int pad = valueEmpty ? 10 : 0;

    const int naturalName = int(minimumNameWidth());
    int lineHeight = lineHeightOf(nameCell_->font());
    const int nameTextWidth = nameEmpty ? 0 : naturalName;
    int nameColumn = nameEmpty            ? 0
                     : (arrangement_ & 2) ? naturalName
                                          : std::max<int>(naturalName, int(nameWidth_));
    int reserve;
    if (favouriteButton_) {
        nameColumn = favouriteButton_->width();
        favouriteButton_->move(10, 0);
        lead = 10;
        pad = 0;
        gap = 2;
        reserve = trail + 12;
        lineHeight = std::max(24, favouriteButton_->height());
    } else {
        reserve = trail + lead + pad + gap;
    }

    const bool wraps = arrangement_ & 8;
    const int available = std::max(0, w - nameColumn - reserve);
    const QSize natural = naturalValueSize(available, wraps);
    int valueWidth = (arrangement_ & 2) ? w - nameTextWidth - reserve : std::min(natural.width(), available);
    int valueX = gap + nameColumn + lead + pad;
    int valueY = 0;
    int nameY = 0;
    int valueHeight = natural.height();
    const int oneLine = std::max(WrapThreshold, lineHeightOf(valueCell_->font()));
    if (wraps && natural.height() > oneLine) {
        valueWidth = w - 20;
        valueHeight = naturalValueSize(valueWidth, true).height() + 10;
        valueY = nameEmpty ? 0 : 5 + lineHeight;
        nameY = 5;
        valueX = 10;
    }
    const int rowHeight = std::max(lineHeight, valueY + valueHeight);
    resize(w, rowHeight);
    nameCell_->setGeometry(lead, nameY, nameTextWidth, lineHeight);
    valueCell_->setGeometry(valueX, valueY, std::max(0, valueWidth), valueHeight);
    // One-line values too long for the row are cut in the middle; the tooltip has the whole value.
    const QFontMetrics valueMetrics(valueCell_->font());
    const bool fits = wraps || valueMetrics.horizontalAdvance(value_) + 4 <= valueWidth;
    valueCell_->setText(fits ? value_
                             : valueMetrics.elidedText(value_, Qt::ElideMiddle, std::max(0, valueWidth - 4)));
    valueCell_->setVisible(!valueEmpty);
    nameCell_->setVisible(!nameEmpty);
    if (referButton_) {
        const QRect anchor = valueEmpty ? nameCell_->geometry() : valueCell_->geometry();
        referButton_->move(anchor.x() + anchor.width() + 2, valueEmpty ? nameY : valueY);
    }
}
