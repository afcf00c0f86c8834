#include "browser/InfoButtonImages.h"

#include <QPainter>
#include <QPainterPath>

namespace
{
constexpr int Width = 32;
constexpr int Height = 20;

void drawGeneral(QPainter &p)
{
    p.drawEllipse(QRectF(9, 1, 14, 14));
    p.drawLine(QPointF(16, 7), QPointF(16, 12));
    p.drawPoint(QPointF(16, 4.5));
}

void drawColumns(QPainter &p)
{
    p.drawRect(QRectF(8, 2, 16, 12));
    p.drawLine(QPointF(13.3, 2), QPointF(13.3, 14));
    p.drawLine(QPointF(18.6, 2), QPointF(18.6, 14));
    p.drawLine(QPointF(8, 5.5), QPointF(24, 5.5));
}

void drawIndex(QPainter &p)
{
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(8, 3 + 5 * i), QPointF(18, 3 + 5 * i));
    p.drawLine(QPointF(22, 2), QPointF(22, 14));
    p.drawLine(QPointF(19.5, 11.5), QPointF(22, 14));
    p.drawLine(QPointF(24.5, 11.5), QPointF(22, 14));
}

void drawConstraints(QPainter &p)
{
    p.drawEllipse(QRectF(7, 4, 8, 8));
    p.drawLine(QPointF(15, 8), QPointF(25, 8));
    p.drawLine(QPointF(22, 8), QPointF(22, 12));
    p.drawLine(QPointF(25, 8), QPointF(25, 11));
}

void drawPartitions(QPainter &p)
{
    p.drawRect(QRectF(8, 2, 7, 5));
    p.drawRect(QRectF(17, 2, 7, 5));
    p.drawRect(QRectF(8, 9, 7, 5));
    p.drawRect(QRectF(17, 9, 7, 5));
}

void drawText(QPainter &p, const QString &text)
{
    QFont font = p.font();
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, Width, 16), Qt::AlignCenter, text);
}

void drawLocks(QPainter &p)
{
    p.drawRect(QRectF(10, 7, 12, 8));
    p.drawArc(QRectF(12, 1, 8, 11), 0, 180 * 16);
}

void drawLongOps(QPainter &p)
{
    p.drawEllipse(QRectF(9, 1, 14, 14));
    p.drawLine(QPointF(16, 8), QPointF(16, 4));
    p.drawLine(QPointF(16, 8), QPointF(19, 10));
}

void drawRefresh(QPainter &p)
{
    p.drawArc(QRectF(10, 2, 12, 12), 60 * 16, 280 * 16);
    QPainterPath head;
    head.moveTo(19, 1);
    head.lineTo(22.5, 4.5);
    head.lineTo(18, 6);
    p.drawPath(head);
}
} // namespace

QString InfoButtonImages::imageName(qint64 type)
{
    switch (type) {
    case 2:
        return QStringLiteral("InfoColumns");
    case 4:
        return QStringLiteral("InfoIndex");
    case 8:
        return QStringLiteral("InfoConstraints");
    case 16:
        return QStringLiteral("InfoPartitions");
    case 32:
        return QStringLiteral("InfoDDL");
    case 128:
        return QStringLiteral("InfoSql");
    case 256:
        return QStringLiteral("InfoLocks");
    case 512:
        return QStringLiteral("InfoLongOps");
    case 0x20000000:
        return QStringLiteral("InfoRefresh");
    default:
        return QStringLiteral("InfoGeneral");
    }
}

QPixmap InfoButtonImages::image(const QString &name, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(Width, Height) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (name == QLatin1String("InfoColumns"))
        drawColumns(p);
    else if (name == QLatin1String("InfoIndex"))
        drawIndex(p);
    else if (name == QLatin1String("InfoConstraints"))
        drawConstraints(p);
    else if (name == QLatin1String("InfoPartitions"))
        drawPartitions(p);
    else if (name == QLatin1String("InfoDDL"))
        drawText(p, QStringLiteral("DDL"));
    else if (name == QLatin1String("InfoSql"))
        drawText(p, QStringLiteral("SQL"));
    else if (name == QLatin1String("InfoLocks"))
        drawLocks(p);
    else if (name == QLatin1String("InfoLongOps"))
        drawLongOps(p);
    else if (name == QLatin1String("InfoRefresh"))
        drawRefresh(p);
    else
        drawGeneral(p);
    return pixmap;
}
