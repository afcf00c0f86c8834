#include "browser/InfoColumnSectionHeader.h"

#include "kit/AdvancedWindow.h"
#include "kit/ColorBox.h"
#include "kit/ImageUtil.h"
#include "kit/LabeledTextField.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>

namespace
{
constexpr int Margin = 8;
constexpr int ImageSize = 32;
constexpr int BadgeHeight = 18;

QString orPlaceholder(const QString &text)
{
    return text.isNull() ? QStringLiteral("___") : text;
}
} // namespace

InfoColumnSectionHeader *InfoColumnSectionHeader::sectionHeader(const QString &name,
                                                                const QString &connection,
                                                                const QPixmap &image, const QString &title,
                                                                qint64 connectionLabel, bool managementMode,
                                                                QWidget *parent)
{
    auto *header = new InfoColumnSectionHeader(parent);
    header->setTitle(orPlaceholder(title));
    header->setName(orPlaceholder(name));
    header->setConnection(connection, connectionLabel);
    header->setImage(image);
    header->setManagementMode(managementMode);
    return header;
}

InfoColumnSectionHeader::InfoColumnSectionHeader(QWidget *parent)
    : QWidget(parent), imageField_(new QLabel(this)), nameField_(new QLabel(this)),
      titleField_(new QLabel(this)), connectionField_(new LabeledTextField(this))
{
    setObjectName(QStringLiteral("InfoColumnSectionHeader"));
    QFont bold = nameField_->font();
    bold.setBold(true);
    nameField_->setFont(bold);
    nameField_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    titleField_->setObjectName(QStringLiteral("sectionTitle"));
    QPalette grey = titleField_->palette();
    grey.setColor(QPalette::WindowText, QColor::fromRgbF(0.35, 0.35, 0.35));
    titleField_->setPalette(grey);
    imageField_->setFixedSize(ImageSize, ImageSize);
    imageField_->setScaledContents(true);
    resize(200, headerHeight);
}

void InfoColumnSectionHeader::setTitle(const QString &title)
{
    titleField_->setText(title);
}

void InfoColumnSectionHeader::setName(const QString &name)
{
    nameField_->setText(name);
    nameField_->setToolTip(name);
}

void InfoColumnSectionHeader::setConnection(const QString &connection, qint64 label)
{
    connectionField_->setText(connection);
    connectionField_->setLabel(unsigned(label));
}

void InfoColumnSectionHeader::setImage(const QPixmap &image)
{
    image_ = image.isNull() ? QApplication::windowIcon().pixmap(ImageSize, ImageSize) : image;
    if (image_.isNull())
        image_ = ImageUtil::bundleImage(QStringLiteral("ApplicationIcon"));
    imageField_->setPixmap(image_);
}

void InfoColumnSectionHeader::setManagementMode(bool managementMode)
{
    managementMode_ = managementMode;
    update();
}

QString InfoColumnSectionHeader::title() const
{
    return titleField_->text();
}

QString InfoColumnSectionHeader::name() const
{
    return nameField_->text();
}

QString InfoColumnSectionHeader::connection() const
{
    return connectionField_->text();
}

void InfoColumnSectionHeader::windowKeyChanged(bool)
{
    update();
}

void InfoColumnSectionHeader::resizeEvent(QResizeEvent *)
{
    const int textLeft = Margin + ImageSize + Margin;
    const int textWidth = std::max(0, width() - textLeft - Margin);
    imageField_->move(Margin, Margin);
    nameField_->setGeometry(textLeft, Margin - 2, textWidth, nameField_->sizeHint().height());
    titleField_->setGeometry(textLeft, nameField_->geometry().bottom() + 1, textWidth,
                             titleField_->sizeHint().height());
    const int badgeWidth = std::min(textWidth, connectionField_->sizeHint().width());
    connectionField_->setGeometry(width() - Margin - badgeWidth, height() - BadgeHeight - 4, badgeWidth,
                                  BadgeHeight);
}

void InfoColumnSectionHeader::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    const Colors &colours = AdvancedWindow::viewShouldDrawAsActive(this) ? ColorBox::colors().active()
                                                                         : ColorBox::colors().inactive();
    QLinearGradient gradient(0, 0, 0, height()); // from the top edge down
    gradient.setStops(managementMode_ ? colours.panelHeaderManagementGradient : colours.panelHeaderGradient);
    painter.fillRect(rect(), gradient);
}
