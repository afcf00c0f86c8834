#include "app/PreferencesPaneImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

#include <functional>

namespace
{

const QColor ink(0x44, 0x4a, 0x55);
const QColor paper(0xfb, 0xfb, 0xfb);
const QColor accent(0x3d, 0x7c, 0xc9);
const QColor shade(0xc9, 0xd6, 0xe6);

// Drawn on a 32-unit square at twice the size, so the icon stays sharp on dense screens too.
QIcon drawn(const std::function<void(QPainter &)> &draw)
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(2, 2);
    painter.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    draw(painter);
    painter.end();
    pixmap.setDevicePixelRatio(2);
    return QIcon(pixmap);
}

void gear(QPainter &p)
{
    QPainterPath teeth;
    for (int i = 0; i < 8; ++i) {
        QTransform turn;
        turn.translate(16, 16);
        turn.rotate(i * 45);
        teeth.addPolygon(turn.map(QPolygonF(QRectF(-3, -14, 6, 6))));
    }
    QPainterPath body;
    body.addEllipse(QPointF(16, 16), 10, 10);
    QPainterPath hole;
    hole.addEllipse(QPointF(16, 16), 4, 4);
    p.setBrush(shade);
    p.drawPath(teeth.united(body).subtracted(hole));
}

void tree(QPainter &p)
{
    p.drawLine(QPointF(8, 10), QPointF(8, 24));
    p.drawLine(QPointF(8, 16), QPointF(16, 16));
    p.drawLine(QPointF(8, 24), QPointF(16, 24));
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(4, 4, 10, 7), 1.5, 1.5);
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(16, 13, 12, 6), 1.5, 1.5);
    p.drawRoundedRect(QRectF(16, 21, 12, 6), 1.5, 1.5);
}

void tabs(QPainter &p)
{
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(15, 5, 11, 7), 1.5, 1.5);
    p.setBrush(paper);
    p.drawRect(QRectF(3, 11, 26, 17));
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(3, 5, 12, 7), 1.5, 1.5);
}

void grid(QPainter &p)
{
    const QRectF table(3, 5, 26, 22);
    p.setBrush(paper);
    p.drawRect(table);
    p.fillRect(QRectF(3.75, 5.75, 24.5, 5), accent);
    for (qreal y : {11.0, 16.5, 22.0})
        p.drawLine(QPointF(3, y), QPointF(29, y));
    for (qreal x : {12.0, 20.5})
        p.drawLine(QPointF(x, 5), QPointF(x, 27));
}

void sqlText(QPainter &p)
{
    QPainterPath sheet;
    sheet.moveTo(7, 3);
    sheet.lineTo(20, 3);
    sheet.lineTo(26, 9);
    sheet.lineTo(26, 29);
    sheet.lineTo(7, 29);
    sheet.closeSubpath();
    p.setBrush(paper);
    p.drawPath(sheet);
    p.drawPolyline(QPolygonF({QPointF(20, 3), QPointF(20, 9), QPointF(26, 9)}));
    p.setPen(QPen(accent, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 14), QPointF(18, 14));
    p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 19), QPointF(22, 19));
    p.drawLine(QPointF(10, 24), QPointF(19, 24));
}

void database(QPainter &p)
{
    p.setBrush(shade);
    QPainterPath body;
    body.moveTo(6, 8);
    body.lineTo(6, 24);
    body.arcTo(QRectF(6, 20, 20, 8), 180, 180);
    body.lineTo(26, 8);
    p.drawPath(body);
    p.setBrush(accent);
    p.drawEllipse(QRectF(6, 4, 20, 8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 12, 20, 8), 180 * 16, 180 * 16);
}

void printer(QPainter &p)
{
    p.setBrush(paper);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
    p.setBrush(paper);
    p.drawRect(QRectF(9, 19, 14, 10));
    p.setPen(QPen(accent, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawPoint(QPointF(25, 16));
}

} // namespace

QIcon PreferencesPaneImages::imageNamed(const QString &name)
{
    const struct {
        const char *name;
        void (*draw)(QPainter &);
    } images[] = {
        {"PrefGeneral", gear},   {"PrefBrowser", tree},      {"PrefTabs", tabs},
        {"PrefResultset", grid}, {"PrefSqlEditor", sqlText}, {"PrefConnections", database},
        {"PrefPrint", printer},
    };
    for (const auto &image : images) {
        if (name == QLatin1String(image.name))
            return drawn(image.draw);
    }
    return {};
}
