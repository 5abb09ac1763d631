// Title picture of the home page, 329 x 529.
//
// Upper part: the program name, the subtitle and a building-site scene on blueprint paper.
// Lower part (y 312..515) stays calm: the page lays a white text box over it at (24, 320).

#include "artwork.h"

#include <QFontMetricsF>
#include <QtMath>

#include <cmath>

namespace art {
namespace {

const QColor kNavy(0x1d, 0x3b, 0x5f);
const QColor kBrickRed(0xb8, 0x4a, 0x30);
const QColor kBlueprint(0x2f, 0x6e, 0xa5);

void grid(QPainter &p, const QRectF &r, double fadeFrom, double fadeTo)
{
    for (int i = 0; i * 8.0 <= r.width(); ++i) {
        const double x = r.left() + i * 8.0;
        const bool major = i % 5 == 0;
        // vertical lines fade out downwards: draw them in short pieces
        for (double y = r.top(); y < r.bottom(); y += 8) {
            const double t = std::clamp((y - fadeFrom) / (fadeTo - fadeFrom), 0.0, 1.0);
            const int a = int((major ? 34 : 16) * (1.0 - 0.8 * t));
            p.setPen(QPen(withAlpha(kBlueprint, a), 0.5));
            p.drawLine(QPointF(x, y), QPointF(x, std::min(y + 8, r.bottom())));
        }
    }
    for (int j = 0; j * 8.0 <= r.height(); ++j) {
        const double y = r.top() + j * 8.0;
        const double t = std::clamp((y - fadeFrom) / (fadeTo - fadeFrom), 0.0, 1.0);
        const int a = int((j % 5 == 0 ? 34 : 16) * (1.0 - 0.8 * t));
        p.setPen(QPen(withAlpha(kBlueprint, a), 0.5));
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
}

void arrowHead(QPainter &p, QPointF tip, double dir, const QColor &c)
{
    const double s = 4.0;
    const QPointF a(std::cos(dir), std::sin(dir));
    const QPointF n(-a.y(), a.x());
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({tip, tip - a * s + n * s * 0.4, tip - a * s - n * s * 0.4}));
}

void dimensionLine(QPainter &p, double x0, double x1, double y, const QColor &c,
                   const QString &text)
{
    p.setPen(QPen(c, 0.8));
    p.drawLine(QPointF(x0, y), QPointF(x1, y));
    p.drawLine(QPointF(x0, y - 5), QPointF(x0, y + 3));
    p.drawLine(QPointF(x1, y - 5), QPointF(x1, y + 3));
    arrowHead(p, QPointF(x0, y), M_PI, c);
    arrowHead(p, QPointF(x1, y), 0, c);
    if (!text.isEmpty()) {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(9);
        p.setFont(f);
        const QFontMetricsF fm(f);
        const double w = fm.horizontalAdvance(text) + 6;
        const double cx = (x0 + x1) / 2;
        p.setPen(c);
        p.drawText(QRectF(cx - w / 2, y - 12, w, 11), Qt::AlignCenter, text);
    }
}

void cloud(QPainter &p, QPointF c, double s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    QPainterPath path;
    path.addEllipse(c, 12 * s, 6 * s);
    path.addEllipse(c + QPointF(-9 * s, 2 * s), 8 * s, 5 * s);
    path.addEllipse(c + QPointF(9 * s, 1.5 * s), 9 * s, 5.5 * s);
    path.addEllipse(c + QPointF(2 * s, -4 * s), 8 * s, 6 * s);
    path.setFillRule(Qt::WindingFill);
    p.drawPath(path.simplified());
}

void skyline(QPainter &p, Rng &rng, double ground, double x0, double x1)
{
    double x = x0;
    while (x < x1) {
        const double w = rng.range(14, 26);
        const double h = rng.range(18, 46);
        const QRectF b(x, ground - h, w - 2, h);
        p.fillRect(b, QColor(0xc6, 0xd7, 0xe6));
        for (double wy = b.top() + 4; wy < b.bottom() - 4; wy += 6)
            for (double wx = b.left() + 3; wx < b.right() - 3; wx += 5)
                if (rng.chance(0.6))
                    p.fillRect(QRectF(wx, wy, 2, 2.5), QColor(0xdd, 0xe8, 0xf2));
        x += w;
    }
}

void brick(QPainter &p, const QRectF &r, Rng &rng)
{
    const QColor palette[] = {QColor(0xc0, 0x5a, 0x3c), QColor(0xb0, 0x4e, 0x34),
                              QColor(0xcb, 0x68, 0x46), QColor(0xa6, 0x48, 0x31)};
    const QColor c = vary(palette[rng.below(4)], rng, 0.05);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, mix(c, Qt::white, 0.12));
    g.setColorAt(1, mix(c, Qt::black, 0.10));
    p.fillRect(r, g);
    p.fillRect(QRectF(r.left(), r.top(), r.width(), 0.8), QColor(255, 255, 255, 50));
    p.fillRect(QRectF(r.left(), r.bottom() - 0.8, r.width(), 0.8), QColor(0, 0, 0, 40));
}

// Brick wall under construction: racked back on the right, with a window opening.
void wall(QPainter &p, Rng &rng, double left, double ground)
{
    const double bw = 19, bh = 7, mj = 1.6;
    const double pitch = bw + mj, course = bh + mj;
    const int courses = 8;
    const int fullBricks = 6;
    p.setPen(Qt::NoPen);
    for (int c = 0; c < courses; ++c) {
        const double y = ground - (c + 1) * course + mj;
        const double shift = (c % 2) ? -pitch / 2 : 0;
        // racking: from course 4 on each course ends half a brick earlier
        const double end = left + fullBricks * pitch - (c >= 4 ? (c - 3) * pitch / 2 : 0);
        const double start = left;
        // mortar bed
        p.fillRect(QRectF(start, y - mj, end - start - mj, course), QColor(0xd9, 0xd0, 0xc2));
        for (double x = start + shift; x < end - 1; x += pitch) {
            double bx0 = std::max(x, start), bx1 = std::min(x + bw, end - mj);
            if (bx1 - bx0 < 2)
                continue;
            // window opening in courses 2..5 between bricks 2 and 4
            const double wx0 = left + 2.0 * pitch, wx1 = left + 3.5 * pitch;
            if (c >= 2 && c <= 5 && bx1 > wx0 && bx0 < wx1) {
                if (bx0 < wx0)
                    bx1 = wx0 - mj;
                else if (bx1 > wx1)
                    bx0 = wx1;
                else
                    continue;
                if (bx1 - bx0 < 2)
                    continue;
            }
            brick(p, QRectF(bx0, y, bx1 - bx0, bh), rng);
        }
    }
    // window opening: dark inside with a concrete lintel over it
    const double wx0 = left + 2.0 * pitch, wx1 = left + 3.5 * pitch;
    const double wy0 = ground - 6 * course + mj, wy1 = ground - 2 * course + mj;
    QLinearGradient g(0, wy0, 0, wy1);
    g.setColorAt(0, QColor(0x5b, 0x6b, 0x7c));
    g.setColorAt(1, QColor(0x7d, 0x8d, 0x9c));
    p.fillRect(QRectF(wx0 - mj, wy0 - mj, wx1 - wx0 + mj, wy1 - wy0 + mj), g);
    const QRectF lintel(wx0 - 6, wy0 - course, wx1 - wx0 + 11, bh);
    p.fillRect(lintel, QColor(0xa9, 0xab, 0xa8));
    p.fillRect(QRectF(lintel.left(), lintel.top(), lintel.width(), 1), QColor(255, 255, 255, 90));
    // foundation slab
    const QRectF slab(left - 4, ground + mj, fullBricks * pitch + 8, 6);
    p.fillRect(slab, QColor(0x9d, 0xa1, 0xa3));
    p.fillRect(QRectF(slab.left(), slab.top(), slab.width(), 1.2), QColor(0xc4, 0xc8, 0xca));
}

void lattice(QPainter &p, QPointF a, QPointF b, QPointF dirAcross, int n, const QColor &c)
{
    // two chords a->b and (a,b)+dirAcross with zigzag diagonals
    p.setPen(QPen(c, 1.0));
    const QPointF a2 = a + dirAcross, b2 = b + dirAcross;
    p.drawLine(a, b);
    p.drawLine(a2, b2);
    for (int i = 0; i < n; ++i) {
        const double t0 = double(i) / n, t1 = double(i + 1) / n;
        const QPointF p0 = a + (b - a) * t0, p1 = a2 + (b2 - a2) * t1;
        p.drawLine(p0, p1);
        p.drawLine(p1, a + (b - a) * t1);
    }
}

void crane(QPainter &p, Rng &rng, double mastX, double ground, double jibY)
{
    const QColor yellow(0xf0, 0xa8, 0x2c), dark(0x8a, 0x5a, 0x10);
    const double mw = 9;
    // mast
    p.fillRect(QRectF(mastX, jibY, mw, ground - jibY), withAlpha(yellow, 60));
    lattice(p, QPointF(mastX, ground), QPointF(mastX, jibY + 6), QPointF(mw, 0), 12, dark);
    p.setPen(QPen(yellow, 1.6));
    p.drawLine(QPointF(mastX, ground), QPointF(mastX, jibY + 6));
    p.drawLine(QPointF(mastX + mw, ground), QPointF(mastX + mw, jibY + 6));
    // base
    p.fillRect(QRectF(mastX - 6, ground - 4, mw + 12, 5), QColor(0x8f, 0x93, 0x96));
    // jib and counter-jib
    const double jibL = 120, jibR = 300;
    p.fillRect(QRectF(jibL, jibY, jibR - jibL, 6), withAlpha(yellow, 60));
    lattice(p, QPointF(jibL, jibY + 6), QPointF(jibR, jibY + 6), QPointF(0, -6), 24, dark);
    p.setPen(QPen(yellow, 1.6));
    p.drawLine(QPointF(jibL, jibY + 6), QPointF(jibR, jibY + 6));
    p.drawLine(QPointF(jibL, jibY), QPointF(jibR, jibY));
    // apex and ties
    const QPointF apex(mastX + mw / 2, jibY - 20);
    p.setPen(QPen(dark, 0.8));
    p.drawLine(apex, QPointF(jibL + 30, jibY));
    p.drawLine(apex, QPointF(jibR - 4, jibY));
    p.setPen(QPen(yellow, 1.8));
    p.drawLine(QPointF(mastX, jibY), apex);
    p.drawLine(QPointF(mastX + mw, jibY), apex);
    // counterweight and cab
    p.fillRect(QRectF(jibR - 22, jibY + 6, 18, 11), QColor(0x8a, 0x8f, 0x93));
    p.fillRect(QRectF(jibR - 22, jibY + 6, 18, 1.5), QColor(0xb5, 0xba, 0xbe));
    const QRectF cab(mastX - 10, jibY + 6, 11, 10);
    p.fillRect(cab, yellow);
    p.fillRect(QRectF(cab.left() + 1.5, cab.top() + 2, 6, 4.5), QColor(0x9f, 0xc9, 0xe8));
    // trolley, rope, hook and a pallet of bricks
    const double tx = 192;
    p.fillRect(QRectF(tx - 4, jibY + 6, 8, 3), QColor(0x55, 0x5a, 0x60));
    const double hookY = jibY + 46;
    p.setPen(QPen(QColor(0x44, 0x44, 0x48), 0.6));
    p.drawLine(QPointF(tx, jibY + 9), QPointF(tx, hookY));
    p.fillRect(QRectF(tx - 2.5, hookY, 5, 4), QColor(0xd8, 0x3a, 0x2a));
    const QRectF pallet(tx - 13, hookY + 14, 26, 13);
    p.setPen(QPen(QColor(0x44, 0x44, 0x48), 0.6));
    p.drawLine(QPointF(tx, hookY + 4), pallet.topLeft());
    p.drawLine(QPointF(tx, hookY + 4), pallet.topRight());
    for (int r = 0; r < 3; ++r)
        for (int i = 0; i < 2; ++i)
            brick(p,
                  QRectF(pallet.left() + i * 13 + ((r % 2) ? 0.5 : 0), pallet.top() + r * 4, 12.4,
                         3.4),
                  rng);
    p.fillRect(QRectF(pallet.left() - 1, pallet.bottom() - 1, pallet.width() + 2, 2.5),
               QColor(0x9a, 0x70, 0x45));
}

void scene(QPainter &p)
{
    Rng rng(2024);
    const QRectF panel(16, 126, 297, 170);
    QPainterPath clip;
    clip.addRoundedRect(panel, 8, 8);
    p.save();
    p.setClipPath(clip);
    const double ground = 262;
    fillVertical(p, QRectF(panel.left(), panel.top(), panel.width(), ground - panel.top()),
                 QColor(0xb6, 0xd8, 0xf2), QColor(0xee, 0xf6, 0xfc));
    // sun
    QRadialGradient sun(QPointF(60, 160), 30);
    sun.setColorAt(0, QColor(0xff, 0xf2, 0xc4, 255));
    sun.setColorAt(0.35, QColor(0xff, 0xe2, 0x8c, 255));
    sun.setColorAt(0.4, QColor(0xff, 0xf0, 0xc0, 120));
    sun.setColorAt(1, QColor(0xff, 0xf0, 0xc0, 0));
    p.fillRect(QRectF(30, 130, 60, 60), sun);
    cloud(p, QPointF(118, 150), 1.0);
    cloud(p, QPointF(282, 200), 0.8);
    skyline(p, rng, ground, panel.left(), panel.right());
    // ground
    fillVertical(p, QRectF(panel.left(), ground, panel.width(), panel.bottom() - ground),
                 QColor(0xc8, 0xb4, 0x94), QColor(0xb0, 0x98, 0x76));
    for (int i = 0; i < 140; ++i) {
        const QPointF c(rng.range(panel.left(), panel.right()),
                        rng.range(ground + 2, panel.bottom()));
        p.setPen(Qt::NoPen);
        p.setBrush(rng.chance(0.5) ? QColor(0x8d, 0x74, 0x55, 90) : QColor(0xe6, 0xd8, 0xbe, 90));
        p.drawEllipse(c, 0.7, 0.5);
    }
    crane(p, rng, 238, ground, 152);
    wall(p, rng, 40, ground - 4);
    dimensionLine(p, 40, 40 + 6 * 20.6 - 1.6, 284, kNavy, QStringLiteral("6,0 м"));
    p.restore();
    // frame
    p.setPen(QPen(QColor(0x9f, 0xb4, 0xc9), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(panel.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

void titles(QPainter &p)
{
    QFont title(QStringLiteral("Liberation Sans"));
    title.setPixelSize(46);
    title.setBold(true);
    const QFontMetricsF fm(title);
    const QString name = QStringLiteral("Мерилон ");
    const QString number = QStringLiteral("3");
    const double total = fm.horizontalAdvance(name) + fm.horizontalAdvance(number);
    const double x = (329 - total) / 2;
    const double base = 74;
    QPainterPath text;
    text.addText(QPointF(x, base), title, name);
    QPainterPath digit;
    digit.addText(QPointF(x + fm.horizontalAdvance(name), base), title, number);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 28));
    p.drawPath(text.translated(1.5, 2));
    p.drawPath(digit.translated(1.5, 2));
    p.setBrush(kNavy);
    p.drawPath(text);
    p.setBrush(kBrickRed);
    p.drawPath(digit);

    dimensionLine(p, 38, 291, 90, QColor(0x7f, 0x97, 0xb0), QString());

    QFont sub(QStringLiteral("Liberation Sans"));
    sub.setPixelSize(13);
    p.setFont(sub);
    p.setPen(QColor(0x34, 0x50, 0x6c));
    p.drawText(QRectF(0, 96, 329, 18), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Расчет расхода строительных материалов"));
}

QImage homePicture()
{
    return render({329, 529}, {329, 529}, 2, [](QPainter &p) {
        fillVertical(p, QRectF(0, 0, 329, 529), QColor(0xf8, 0xfa, 0xfc), QColor(0xe7, 0xed, 0xf3));
        grid(p, QRectF(0, 4, 329, 521), 120, 330);
        // accent bands
        p.fillRect(QRectF(0, 0, 329, 3), kBrickRed);
        p.fillRect(QRectF(0, 526, 329, 3), kBrickRed);
        titles(p);
        scene(p);
        // calm frame around the place of the text box
        const QRectF frame(14, 310, 301, 205);
        p.setPen(QPen(QColor(0xc3, 0xd1, 0xdf), 1));
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    });
}

} // namespace

void addHome(Album &album)
{
    album.push_back({QStringLiteral("home.jpg"), homePicture()});
}

} // namespace art
