#include "TFormMenuPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace velmora::pictures {

namespace {

// A pulse line in a rounded square: the product's mark.
void DrawMark(QPainter& p, const QRectF& r) {
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(30, 90, 160));
    g.setColorAt(1, QColor(20, 50, 100));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, r.width() * 0.18, r.height() * 0.18);
    QPainterPath path;
    const double w = r.width();
    const double h = r.height();
    path.moveTo(r.left() + w * 0.10, r.top() + h * 0.55);
    path.lineTo(r.left() + w * 0.35, r.top() + h * 0.55);
    path.lineTo(r.left() + w * 0.45, r.top() + h * 0.25);
    path.lineTo(r.left() + w * 0.58, r.top() + h * 0.80);
    path.lineTo(r.left() + w * 0.66, r.top() + h * 0.55);
    path.lineTo(r.left() + w * 0.90, r.top() + h * 0.55);
    p.setPen(QPen(QColor(120, 230, 120), std::max(1.5, w * 0.07), Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

QPixmap Dot(const QColor& c) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(c.darker(150), 1));
    p.setBrush(c);
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    return pm;
}

} // namespace

QPixmap Product(int width, int height) {
    QPixmap pm(width, height);
    pm.fill(QColor(245, 247, 250));
    QPainter p(&pm);
    const int side = std::min(height - 16, width / 3);
    DrawMark(p, QRectF(8, (height - side) / 2.0, side, side));
    QFont f = p.font();
    f.setPointSizeF(std::max(10.0, height / 5.0));
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(20, 50, 100));
    p.drawText(QRectF(side + 20, 0, width - side - 24, height), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Velmora Pro"));
    return pm;
}

QIcon Application() {
    QIcon icon;
    for (int s : {16, 32, 64}) {
        QPixmap pm(s, s);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        DrawMark(p, QRectF(0, 0, s, s));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon Started() { return QIcon(Dot(QColor(40, 170, 60))); }
QIcon Stopped() { return QIcon(Dot(QColor(200, 40, 40))); }

QPixmap BusyFrame(int index, int count, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double c = size / 2.0;
    const double radius = size * 0.36;
    const double dot = size * 0.09;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * M_PI * i / count - M_PI / 2;
        const int age = (index - i + count) % count;
        QColor col(30, 90, 160);
        col.setAlphaF(age == 0 ? 1.0 : std::max(0.15, 1.0 - age * 0.2));
        p.setPen(Qt::NoPen);
        p.setBrush(col);
        p.drawEllipse(QPointF(c + radius * std::cos(a), c + radius * std::sin(a)), dot, dot);
    }
    return pm;
}

} // namespace velmora::pictures
