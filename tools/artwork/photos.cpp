// Six small illustrations of building work for the section overview page.
// Drawn on a 200 x 150 logical canvas (the lawn is written at 150 x 113).

#include "artwork.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace art {
namespace {

const QSizeF kLogical(200, 150);

QImage photo(QSize out, std::uint64_t seed, const std::function<void(QPainter &, Rng &)> &draw)
{
    QImage img = render(out, kLogical, 3, [&](QPainter &p) {
        Rng rng(seed);
        draw(p, rng);
        // soft vignette, as from a camera lens
        QRadialGradient v(QPointF(100, 75), 130);
        v.setColorAt(0.6, QColor(0, 0, 0, 0));
        v.setColorAt(1.0, QColor(0, 0, 0, 55));
        p.fillRect(QRectF(0, 0, 200, 150), v);
    });
    addGrain(img, seed * 13 + 5, 3);
    return img;
}

void sky(QPainter &p, double bottom, const QColor &top = QColor(0x6f, 0xaa, 0xe0),
         const QColor &low = QColor(0xdc, 0xee, 0xfa))
{
    fillVertical(p, QRectF(0, 0, 200, bottom), top, low);
}

void cloud(QPainter &p, QPointF c, double s, int alpha = 220)
{
    QPainterPath path;
    path.addEllipse(c, 14 * s, 6 * s);
    path.addEllipse(c + QPointF(-10 * s, 1.5 * s), 9 * s, 5 * s);
    path.addEllipse(c + QPointF(10 * s, 1 * s), 10 * s, 5.5 * s);
    path.addEllipse(c + QPointF(1 * s, -4.5 * s), 9 * s, 6.5 * s);
    path.addEllipse(c + QPointF(-5 * s, -3 * s), 6 * s, 5 * s);
    path.setFillRule(Qt::WindingFill);
    path = path.simplified();
    QLinearGradient g(c - QPointF(0, 10 * s), c + QPointF(0, 6 * s));
    g.setColorAt(0, QColor(255, 255, 255, alpha));
    g.setColorAt(1, QColor(0xdd, 0xe6, 0xef, alpha));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
}

void crown(QPainter &p, Rng &rng, QPointF c, double r, const QColor &base)
{
    p.setPen(Qt::NoPen);
    // shadow mass, main mass, highlights
    for (int layer = 0; layer < 3; ++layer) {
        const int n = layer == 0 ? 7 : (layer == 1 ? 9 : 6);
        for (int i = 0; i < n; ++i) {
            const double a = rng.range(0, 2 * M_PI);
            const double d = rng.range(0, r * (layer == 2 ? 0.45 : 0.6));
            QPointF q = c + QPointF(std::cos(a) * d, std::sin(a) * d * 0.85);
            double rr = r * rng.range(0.35, 0.55);
            QColor col;
            if (layer == 0) {
                q += QPointF(r * 0.12, r * 0.15);
                col = mix(base, Qt::black, 0.3);
            } else if (layer == 1) {
                col = vary(base, rng, 0.06);
            } else {
                q += QPointF(-r * 0.2, -r * 0.25);
                rr *= 0.6;
                col = mix(base, QColor(0xe8, 0xf0, 0x90), 0.25);
            }
            p.setBrush(col);
            p.drawEllipse(q, rr, rr);
        }
    }
}

void grassBlades(QPainter &p, Rng &rng, double y0, double y1, int count, double minH, double maxH,
                 const QColor &dark, const QColor &light, const QPainterPath &exclude = {})
{
    struct Blade
    {
        double x, y, h, lean;
        QColor c;
    };
    std::vector<Blade> blades;
    for (int i = 0; i < count; ++i) {
        const double y = rng.range(y0, y1);
        const double t = (y - y0) / std::max(1.0, y1 - y0);
        blades.push_back({rng.range(-4, 204), y, rng.range(minH, maxH) * (0.6 + 0.6 * t),
                          rng.range(-0.5, 0.5), mix(dark, light, rng.uniform())});
    }
    std::sort(blades.begin(), blades.end(),
              [](const Blade &a, const Blade &b) { return a.y < b.y; });
    p.save();
    if (!exclude.isEmpty()) {
        QPainterPath all;
        all.addRect(QRectF(-10, -10, 220, 170));
        p.setClipPath(all.subtracted(exclude), Qt::IntersectClip);
    }
    p.setPen(Qt::NoPen);
    for (const auto &b : blades) {
        const double w = 0.5 + b.h * 0.04;
        QPainterPath path;
        const QPointF tip(b.x + b.lean * b.h, b.y - b.h);
        path.moveTo(b.x - w, b.y);
        path.quadTo(QPointF(b.x - w * 0.5, b.y - b.h * 0.6), tip);
        path.quadTo(QPointF(b.x + w * 0.5, b.y - b.h * 0.6), QPointF(b.x + w, b.y));
        path.closeSubpath();
        p.setBrush(b.c);
        p.drawPath(path);
    }
    p.restore();
}

void shadowEllipse(QPainter &p, const QRectF &r, int alpha)
{
    QRadialGradient g(r.center(), r.width() / 2);
    g.setColorAt(0, QColor(0, 0, 0, alpha));
    g.setColorAt(1, QColor(0, 0, 0, 0));
    p.save();
    p.translate(r.center());
    p.scale(1, r.height() / r.width());
    p.translate(-r.center());
    p.fillRect(QRectF(r.left(), r.center().y() - r.width() / 2, r.width(), r.width()), g);
    p.restore();
}

void woodPlank(QPainter &p, Rng &rng, const QRectF &r, const QColor &base, bool vertical)
{
    const QColor c = vary(base, rng, 0.07);
    QLinearGradient g(r.topLeft(), vertical ? r.topRight() : r.bottomLeft());
    g.setColorAt(0, mix(c, Qt::white, 0.10));
    g.setColorAt(0.5, c);
    g.setColorAt(1, mix(c, Qt::black, 0.15));
    p.fillRect(r, g);
    // grain
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    const int lines = int((vertical ? r.width() : r.height()) / 1.6) + 1;
    for (int i = 0; i < lines; ++i) {
        p.setPen(
            QPen(withAlpha(mix(c, Qt::black, 0.35), 40 + rng.below(40)), rng.range(0.2, 0.45)));
        const double off = rng.range(0, vertical ? r.width() : r.height());
        const double amp = rng.range(0.2, 0.9), freq = rng.range(0.05, 0.15);
        QPainterPath path;
        const double len = vertical ? r.height() : r.width();
        for (double s = 0; s <= len; s += 2) {
            const double d = off + amp * std::sin(s * freq + i);
            const QPointF q =
                vertical ? QPointF(r.left() + d, r.top() + s) : QPointF(r.left() + s, r.top() + d);
            if (s == 0)
                path.moveTo(q);
            else
                path.lineTo(q);
        }
        p.drawPath(path);
    }
    // a knot now and then
    if (rng.chance(0.35)) {
        const QPointF k(rng.range(r.left() + 1, r.right() - 1),
                        rng.range(r.top() + 1, r.bottom() - 1));
        p.setPen(QPen(withAlpha(mix(c, Qt::black, 0.45), 120), 0.4));
        p.setBrush(withAlpha(mix(c, Qt::black, 0.3), 120));
        p.drawEllipse(k, vertical ? 0.9 : 1.8, vertical ? 1.8 : 0.9);
    }
    p.restore();
    p.setPen(QPen(withAlpha(mix(c, Qt::black, 0.5), 150), 0.4));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

// ---- 1. brick masonry --------------------------------------------------------------------

QImage masonry()
{
    return photo({200, 150}, 301, [](QPainter &p, Rng &rng) {
        sky(p, 150);
        cloud(p, QPointF(150, 22), 1.1);
        cloud(p, QPointF(40, 14), 0.7, 190);
        // a crane far away
        const QColor haze(0xa6, 0xc2, 0xdc);
        p.setPen(QPen(haze, 0.6));
        for (double y = 12; y < 96; y += 4) {
            p.drawLine(QPointF(172, y), QPointF(178, y + 4));
            p.drawLine(QPointF(178, y), QPointF(172, y + 4));
        }
        for (double x = 128; x < 198; x += 4)
            p.drawLine(QPointF(x, 12), QPointF(x + 2, 8.5));
        p.setPen(QPen(haze, 1.0));
        p.drawLine(QPointF(172, 12), QPointF(172, 96));
        p.drawLine(QPointF(178, 12), QPointF(178, 96));
        p.drawLine(QPointF(128, 12), QPointF(200, 12));
        p.drawLine(QPointF(128, 8.5), QPointF(200, 8.5));
        p.drawLine(QPointF(175, 0), QPointF(132, 8.5));
        p.setPen(QPen(haze, 0.5));
        p.drawLine(QPointF(146, 12), QPointF(146, 40));
        p.fillRect(QRectF(142, 40, 8, 5), haze);

        const double bw = 25, bh = 10, mj = 2.4;
        const double pitch = bw + mj, course = bh + mj;
        const int courses = 9;
        const QColor mortar(0xcf, 0xc7, 0xb9);
        const QColor palette[] = {QColor(0xb4, 0x51, 0x38), QColor(0xa6, 0x48, 0x33),
                                  QColor(0xc2, 0x62, 0x42), QColor(0x98, 0x42, 0x30),
                                  QColor(0xb9, 0x5e, 0x47)};
        const double e0 = -6 + 7 * pitch; // end of the full courses
        std::vector<double> ends, tops;
        for (int c = 0; c < courses; ++c) {
            const double y = 152 - (c + 1) * course;
            const double shift = -6 - ((c % 2) ? pitch / 2 : 0);
            const double end = c < 4 ? 210 : e0 - (c - 3) * pitch / 2;
            ends.push_back(end);
            tops.push_back(y);
            p.fillRect(QRectF(-1, y - mj, end + 1 - mj + (c < 4 ? 0 : 0), course + mj), mortar);
            for (double x = shift; x < end - 2; x += pitch) {
                const double x1 = std::min(x + bw, end - mj);
                QPainterPath b;
                b.addRoundedRect(QRectF(x, y, x1 - x, bh), 0.8, 0.8);
                drawStone(p, b, vary(palette[rng.below(5)], rng, 0.05), 1.2, rng, 0.5);
            }
        }
        // mortar texture
        p.setPen(Qt::NoPen);
        // spirit level on the top course
        const double topY = tops.back() - mj;
        const QRectF level(10, topY - 6, 70, 6);
        p.fillRect(level.translated(1, 1.5), QColor(0, 0, 0, 50));
        fillVertical(p, level, QColor(0xff, 0xd8, 0x4a), QColor(0xe0, 0xa4, 0x18));
        p.fillRect(QRectF(level.left(), level.top(), 4, level.height()), QColor(0x30, 0x30, 0x34));
        p.fillRect(QRectF(level.right() - 4, level.top(), 4, level.height()),
                   QColor(0x30, 0x30, 0x34));
        const QRectF vial(level.center().x() - 7, level.top() + 1.2, 14, 3.6);
        p.setBrush(QColor(0xc8, 0xe8, 0x6a));
        p.setPen(QPen(QColor(0x50, 0x50, 0x40), 0.4));
        p.drawRoundedRect(vial, 1.5, 1.5);
        p.setBrush(QColor(255, 255, 255, 220));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(vial.center().x() + 0.6, vial.center().y()), 1.6, 1.1);
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 0.4));
        p.drawLine(QPointF(vial.center().x() - 2.6, vial.top()),
                   QPointF(vial.center().x() - 2.6, vial.bottom()));
        p.drawLine(QPointF(vial.center().x() + 2.6, vial.top()),
                   QPointF(vial.center().x() + 2.6, vial.bottom()));
        // mortar heap and trowel on the top course
        const double heapX = ends.back() - 22;
        QPainterPath heap;
        heap.moveTo(heapX - 10, topY);
        heap.cubicTo(QPointF(heapX - 7, topY - 6), QPointF(heapX + 5, topY - 7),
                     QPointF(heapX + 10, topY));
        heap.closeSubpath();
        QLinearGradient hg(0, topY - 7, 0, topY);
        hg.setColorAt(0, QColor(0xd8, 0xd2, 0xc6));
        hg.setColorAt(1, QColor(0xa9, 0xa2, 0x95));
        p.setBrush(hg);
        p.drawPath(heap);
        QPainterPath blade;
        blade.moveTo(heapX + 2, topY - 4);
        blade.lineTo(heapX + 24, topY - 9);
        blade.lineTo(heapX + 21, topY - 2.5);
        blade.closeSubpath();
        QLinearGradient bg(QPointF(heapX, topY - 9), QPointF(heapX, topY));
        bg.setColorAt(0, QColor(0xe6, 0xea, 0xee));
        bg.setColorAt(1, QColor(0x8d, 0x96, 0x9f));
        p.setBrush(bg);
        p.setPen(QPen(QColor(0x55, 0x5d, 0x66), 0.4));
        p.drawPath(blade);
        p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1.0));
        p.drawLine(QPointF(heapX + 22, topY - 6), QPointF(heapX + 27, topY - 13));
        p.setPen(QPen(QColor(0x8a, 0x52, 0x2a), 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(heapX + 27, topY - 13), QPointF(heapX + 34, topY - 22));
        // line pins and mason's line
        p.setPen(QPen(QColor(0xe0, 0x40, 0x30), 0.5));
        p.drawLine(QPointF(0, tops[courses - 2] - mj - 0.8),
                   QPointF(ends[courses - 2] + 4, tops[courses - 2] - mj - 0.8));
        // ground shade
        QLinearGradient shade(0, 120, 0, 150);
        shade.setColorAt(0, QColor(0, 0, 0, 0));
        shade.setColorAt(1, QColor(0, 0, 0, 60));
        p.fillRect(QRectF(0, 120, 200, 30), shade);
    });
}

// ---- 2. concrete foundation with formwork ---------------------------------------------------

QImage foundation()
{
    return photo({200, 150}, 302, [](QPainter &p, Rng &rng) {
        const double horizon = 64;
        sky(p, horizon + 2);
        cloud(p, QPointF(52, 20), 0.9);
        cloud(p, QPointF(160, 34), 0.6, 180);
        for (int i = 0; i < 14; ++i)
            crown(p, rng, QPointF(i * 15 + rng.range(-4, 4), horizon - rng.range(2, 8)),
                  rng.range(8, 12), QColor(0x5f, 0x8c, 0x55));
        fillVertical(p, QRectF(0, horizon, 200, 150 - horizon), QColor(0x9a, 0x7c, 0x58),
                     QColor(0x6f, 0x53, 0x38));
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 260; ++i) {
            const double y = rng.range(horizon, 150);
            const double s = 0.3 + (y - horizon) / 60;
            p.setBrush(rng.chance(0.5) ? QColor(0x4e, 0x3a, 0x26, 90)
                                       : QColor(0xc8, 0xb0, 0x8a, 90));
            p.drawEllipse(QPointF(rng.range(0, 200), y), 0.7 * s, 0.45 * s);
        }
        shadowEllipse(p, QRectF(10, 118, 200, 26), 110);

        const double x0 = 24, x1 = 168, yTop = 88, yBot = 130, dx = 18, dy = -14;
        const QColor wood(0xcf, 0xa4, 0x68);
        // right side formwork (in perspective)
        p.save();
        p.setTransform(QTransform(1, dy / dx, 0, 1, x1, yTop), true); // shear along the side
        for (int i = 0; i < 3; ++i)
            woodPlank(p, rng, QRectF(0, i * 14, dx, 14), mix(wood, Qt::black, 0.25), false);
        p.restore();
        // concrete top face
        const QPainterPath topFace = polygonPath(
            {{x0 + 3, yTop}, {x1, yTop}, {x1 + dx, yTop + dy}, {x0 + dx + 3, yTop + dy}});
        QLinearGradient cg(QPointF(0, yTop + dy), QPointF(0, yTop));
        cg.setColorAt(0, QColor(0xb6, 0xb6, 0xb0));
        cg.setColorAt(1, QColor(0x9c, 0x9c, 0x96));
        p.fillPath(topFace, cg);
        p.save();
        p.setClipPath(topFace);
        for (int i = 0; i < 160; ++i) {
            p.setBrush(rng.chance(0.5) ? QColor(0, 0, 0, 28) : QColor(255, 255, 255, 40));
            p.drawEllipse(QPointF(rng.range(x0, x1 + dx), rng.range(yTop + dy, yTop)), 0.5, 0.35);
        }
        p.restore();
        // back board edge
        p.fillRect(QRectF(x0 + dx + 3, yTop + dy - 2, x1 - x0 - 3, 2), mix(wood, Qt::black, 0.1));
        // rebar cage sticking out of the concrete
        const QColor rust(0x7a, 0x4a, 0x30);
        for (int row = 0; row < 2; ++row) {
            const double t = row == 0 ? 0.3 : 0.7;
            for (int i = 0; i < 9; ++i) {
                const double bx = x0 + 12 + i * 17 + dx * t, by = yTop + dy * t;
                p.setPen(QPen(rust, 1.1, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(bx, by), QPointF(bx, by - 16));
                p.setPen(QPen(QColor(0xc0, 0x86, 0x5e), 0.35));
                p.drawLine(QPointF(bx - 0.3, by), QPointF(bx - 0.3, by - 16));
            }
            const double bx0 = x0 + 12 + dx * t, bx1 = x0 + 12 + 8 * 17 + dx * t;
            const double by = yTop + dy * t - 14;
            p.setPen(QPen(rust, 0.9));
            p.drawLine(QPointF(bx0 - 3, by), QPointF(bx1 + 3, by));
            p.drawLine(QPointF(bx0 - 3, by + 6), QPointF(bx1 + 3, by + 6));
        }
        // front formwork: three boards with stakes and braces
        for (int i = 0; i < 3; ++i)
            woodPlank(p, rng, QRectF(x0, yTop + i * 14, x1 - x0, 14), wood, false);
        p.fillRect(QRectF(x0, yTop, x1 - x0, 1.2), mix(wood, Qt::white, 0.3));
        for (int i = 0; i < 5; ++i) {
            const double sx = x0 + 6 + i * 33;
            // brace
            p.setPen(QPen(mix(wood, Qt::black, 0.35), 3.2, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(sx + 2.5, yTop + 10), QPointF(sx - 12, yBot + 12));
            p.setPen(QPen(mix(wood, Qt::black, 0.1), 2.0, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(sx + 2.5, yTop + 10), QPointF(sx - 12, yBot + 12));
            woodPlank(p, rng, QRectF(sx, yTop - 3, 5, yBot - yTop + 10), mix(wood, Qt::black, 0.2),
                      true);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x50, 0x50, 0x55));
            for (int n = 0; n < 3; ++n)
                p.drawEllipse(QPointF(sx + 2.5, yTop + 6 + n * 14), 0.6, 0.6);
        }
        // shovel stuck in the soil
        p.save();
        p.translate(11, 140);
        p.rotate(8);
        p.setPen(QPen(QColor(0x9a, 0x68, 0x38), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, -4), QPointF(0, -40));
        p.setPen(QPen(QColor(0x6a, 0x44, 0x22), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(-3.5, -40), QPointF(3.5, -40));
        QPainterPath spade = polygonPath({{-5, -4}, {5, -4}, {5, 6}, {0, 11}, {-5, 6}});
        QLinearGradient sg(QPointF(-5, -4), QPointF(5, 11));
        sg.setColorAt(0, QColor(0xb4, 0xbc, 0xc4));
        sg.setColorAt(1, QColor(0x4f, 0x57, 0x60));
        p.setPen(Qt::NoPen);
        p.fillPath(spade, sg);
        p.fillRect(QRectF(-5, 4, 10, 8), QColor(0x6f, 0x53, 0x38, 200)); // buried in the soil
        p.restore();
    });
}

// ---- 3. wooden gate ---------------------------------------------------------------------

QImage gate()
{
    return photo({200, 150}, 303, [](QPainter &p, Rng &rng) {
        const double ground = 116;
        sky(p, ground);
        cloud(p, QPointF(40, 20), 0.9);
        cloud(p, QPointF(168, 14), 0.7, 190);
        // hills and trees
        QPainterPath hill;
        hill.moveTo(0, 80);
        hill.cubicTo(QPointF(60, 64), QPointF(120, 86), QPointF(200, 70));
        hill.lineTo(200, ground);
        hill.lineTo(0, ground);
        hill.closeSubpath();
        p.fillPath(hill, QColor(0x8d, 0xb8, 0x72));
        crown(p, rng, QPointF(22, 52), 20, QColor(0x4f, 0x85, 0x45));
        crown(p, rng, QPointF(178, 48), 24, QColor(0x4a, 0x7e, 0x40));
        crown(p, rng, QPointF(150, 64), 13, QColor(0x5d, 0x90, 0x4c));
        fillVertical(p, QRectF(0, ground - 6, 200, 150 - ground + 6), QColor(0x86, 0xb8, 0x55),
                     QColor(0x55, 0x8c, 0x34));
        // path to the gate
        const QPainterPath path = polygonPath({{74, ground}, {126, ground}, {168, 150}, {32, 150}});
        QLinearGradient pg(0, ground, 0, 150);
        pg.setColorAt(0, QColor(0xc8, 0xb2, 0x88));
        pg.setColorAt(1, QColor(0xb3, 0x98, 0x6c));
        p.fillPath(path, pg);
        p.save();
        p.setClipPath(path);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 220; ++i) {
            const double y = rng.range(ground, 150);
            p.setBrush(rng.chance(0.5) ? QColor(0x7a, 0x66, 0x48, 110)
                                       : QColor(0xf0, 0xe6, 0xcc, 110));
            p.drawEllipse(QPointF(rng.range(30, 170), y), 0.4 + (y - ground) / 40,
                          0.3 + (y - ground) / 60);
        }
        p.restore();
        shadowEllipse(p, QRectF(40, ground - 2, 130, 12), 90);

        const QColor fence(0xae, 0x7e, 0x4c), post(0x6e, 0x4a, 0x2c), leaf(0xbe, 0x88, 0x52);
        // fences to both sides
        for (double x = -4; x < 54; x += 9)
            woodPlank(p, rng, QRectF(x, 66, 8.2, ground + 2 - 66), fence, true);
        for (double x = 146; x < 204; x += 9)
            woodPlank(p, rng, QRectF(x, 66, 8.2, ground + 2 - 66), fence, true);
        p.fillRect(QRectF(0, 74, 54, 4), withAlpha(mix(fence, Qt::black, 0.3), 160));
        p.fillRect(QRectF(146, 74, 54, 4), withAlpha(mix(fence, Qt::black, 0.3), 160));
        // gate leaves with an arched top
        QPainterPath arch;
        arch.moveTo(62, 56);
        arch.quadTo(QPointF(100, 36), QPointF(138, 56));
        arch.lineTo(138, ground + 1);
        arch.lineTo(62, ground + 1);
        arch.closeSubpath();
        p.save();
        p.setClipPath(arch);
        for (double x = 62; x < 138; x += 7.6)
            woodPlank(p, rng, QRectF(x, 38, 7.2, ground + 2 - 38), leaf, true);
        p.restore();
        p.fillRect(QRectF(99.6, 44, 0.8, ground - 44), QColor(0x3a, 0x24, 0x12));
        // rails and braces on each leaf
        const QColor rail = mix(leaf, Qt::black, 0.22);
        for (int side = 0; side < 2; ++side) {
            const double l = side == 0 ? 64 : 102, r = side == 0 ? 98 : 136;
            woodPlank(p, rng, QRectF(l, 62, r - l, 6), rail, false);
            woodPlank(p, rng, QRectF(l, 100, r - l, 6), rail, false);
            p.save();
            const QPointF a(side == 0 ? l + 3 : r - 3, 100), b(side == 0 ? r - 3 : l + 3, 68);
            const double len = std::hypot(b.x() - a.x(), b.y() - a.y());
            p.translate(a);
            p.rotate(qRadiansToDegrees(std::atan2(b.y() - a.y(), b.x() - a.x())));
            woodPlank(p, rng, QRectF(0, -2.6, len, 5.2), rail, false);
            p.restore();
        }
        // posts with caps
        for (double x : {54.0, 138.0}) {
            woodPlank(p, rng, QRectF(x, 44, 8, ground + 3 - 44), post, true);
            p.setPen(Qt::NoPen);
            p.setBrush(mix(post, Qt::black, 0.25));
            p.drawPolygon(
                QPolygonF({QPointF(x - 1.5, 44), QPointF(x + 9.5, 44), QPointF(x + 4, 38)}));
        }
        // black strap hinges and the latch
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x26, 0x26, 0x2a));
        for (double y : {64.0, 102.0}) {
            p.drawRoundedRect(QRectF(60, y, 18, 2.2), 1, 1);
            p.drawRoundedRect(QRectF(122, y, 18, 2.2), 1, 1);
        }
        p.drawRoundedRect(QRectF(93, 83, 14, 2.2), 1, 1);
        p.drawEllipse(QPointF(96, 88), 1.3, 1.3);
        // grass in front
        grassBlades(p, rng, ground + 2, 152, 380, 3, 7, QColor(0x3f, 0x78, 0x28),
                    QColor(0x9c, 0xcc, 0x5c), path);
    });
}

// ---- 4. painting a metal surface ------------------------------------------------------------

QImage painting()
{
    return photo({200, 150}, 304, [](QPainter &p, Rng &rng) {
        fillVertical(p, QRectF(0, 0, 200, 150), QColor(0xdc, 0xe1, 0xe6), QColor(0xae, 0xb5, 0xbd));
        // steel sheet
        const QRectF sheet(8, 14, 184, 112);
        p.fillRect(sheet.translated(2, 3), QColor(0, 0, 0, 60));
        QLinearGradient mg(sheet.topLeft(), sheet.bottomRight());
        mg.setColorAt(0.0, QColor(0x8b, 0x95, 0x9e));
        mg.setColorAt(0.3, QColor(0xc9, 0xd0, 0xd6));
        mg.setColorAt(0.55, QColor(0x86, 0x8f, 0x98));
        mg.setColorAt(0.8, QColor(0xb2, 0xba, 0xc1));
        mg.setColorAt(1.0, QColor(0x7a, 0x83, 0x8c));
        p.fillRect(sheet, mg);
        p.save();
        p.setClipRect(sheet);
        for (int i = 0; i < 160; ++i) {
            const double y = rng.range(sheet.top(), sheet.bottom());
            const double x = rng.range(sheet.left() - 20, sheet.right());
            p.setPen(QPen(rng.chance(0.5) ? QColor(255, 255, 255, 35) : QColor(0, 0, 0, 25), 0.3));
            p.drawLine(QPointF(x, y), QPointF(x + rng.range(15, 60), y));
        }
        // a few rust spots on the bare metal
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 9; ++i) {
            p.setBrush(QColor(0x8a, 0x50, 0x2a, 60 + rng.below(50)));
            p.drawEllipse(QPointF(rng.range(120, 188), rng.range(20, 120)), rng.range(1, 3.5),
                          rng.range(0.8, 2.5));
        }
        p.restore();
        // red-lead paint: finished passes on the left, the current pass down to the roller
        const double edge = 98, band = 30, rollY = 74;
        auto jitter = [&rng] {
            return rng.range(-0.7, 0.7);
        };
        QPainterPath paint;
        paint.moveTo(sheet.topLeft());
        paint.lineTo(edge + band, sheet.top());
        for (double y = sheet.top() + 3; y < rollY; y += 3)
            paint.lineTo(edge + band + jitter(), y);
        paint.lineTo(edge + band, rollY);
        paint.lineTo(edge, rollY);
        for (double y = rollY + 3; y < sheet.bottom(); y += 3)
            paint.lineTo(edge + jitter(), y);
        paint.lineTo(edge, sheet.bottom());
        paint.lineTo(sheet.bottomLeft());
        paint.closeSubpath();
        QLinearGradient rg(sheet.topLeft(), QPointF(edge, sheet.bottom()));
        rg.setColorAt(0, QColor(0xd2, 0x55, 0x24));
        rg.setColorAt(0.5, QColor(0xc0, 0x44, 0x1a));
        rg.setColorAt(1, QColor(0xa5, 0x36, 0x12));
        p.fillPath(paint, rg);
        p.save();
        p.setClipPath(paint);
        for (int k = 0; k * band + sheet.left() < edge + band; ++k) { // roller passes
            const double x = edge + band - (k + 1) * band;
            p.fillRect(QRectF(x, sheet.top(), band, sheet.height()),
                       k % 2 ? QColor(255, 255, 255, 8) : QColor(0, 0, 0, 7));
            p.fillRect(QRectF(x, sheet.top(), 0.8, sheet.height()), QColor(0x80, 0x20, 0x08, 50));
        }
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 500; ++i) { // roller nap texture
            p.setBrush(rng.chance(0.5) ? QColor(255, 200, 170, 30) : QColor(90, 20, 0, 30));
            p.drawEllipse(QPointF(rng.range(sheet.left(), edge + band),
                                  rng.range(sheet.top(), sheet.bottom())),
                          rng.range(0.3, 0.9), rng.range(0.2, 0.5));
        }
        p.restore();
        // rivets
        for (double rx = sheet.left() + 8; rx < sheet.right() - 4; rx += 16)
            for (double ry : {sheet.top() + 6, sheet.bottom() - 6}) {
                const bool painted = paint.contains(QPointF(rx, ry));
                const QColor base = painted ? QColor(0xc4, 0x48, 0x1c) : QColor(0xa4, 0xac, 0xb4);
                QRadialGradient g(QPointF(rx - 0.8, ry - 0.8), 2.6);
                g.setColorAt(0, mix(base, Qt::white, 0.5));
                g.setColorAt(1, mix(base, Qt::black, 0.35));
                p.setBrush(g);
                p.setPen(Qt::NoPen);
                p.drawEllipse(QPointF(rx, ry), 1.9, 1.9);
            }
        // paint roller rolling down the current pass
        const QRectF roller(edge - 1, rollY - 5, band + 2, 11);
        const QColor rod(0x6a, 0x72, 0x7a);
        p.setPen(QPen(rod, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath frame;
        frame.moveTo(roller.right() - 2, roller.center().y());
        frame.lineTo(roller.right() + 5, roller.center().y());
        frame.lineTo(roller.right() + 5, roller.bottom() + 12);
        frame.lineTo(roller.right() + 16, roller.bottom() + 30);
        p.drawPath(frame);
        p.fillRect(roller.translated(2, 2.5), QColor(0, 0, 0, 50));
        QLinearGradient cyl(roller.topLeft(), roller.bottomLeft());
        cyl.setColorAt(0, QColor(0xe8, 0x70, 0x3a));
        cyl.setColorAt(0.35, QColor(0xd0, 0x52, 0x22));
        cyl.setColorAt(1, QColor(0x86, 0x28, 0x0a));
        p.setPen(Qt::NoPen);
        p.setBrush(cyl);
        p.drawRoundedRect(roller, 2.5, 2.5);
        p.setBrush(QColor(255, 220, 200, 70));
        p.drawRoundedRect(QRectF(roller.left() + 2, roller.top() + 1.6, roller.width() - 4, 1.4),
                          0.7, 0.7);
        const QPointF grip0(roller.right() + 16, roller.bottom() + 30),
            grip1(roller.right() + 34, 154);
        p.setPen(QPen(QColor(0x2a, 0x6a, 0xb8), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(grip0, grip1);
        p.setPen(QPen(QColor(0x7f, 0xb0, 0xe8), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(grip0 + QPointF(-1.2, 0.6), grip1 + QPointF(-1.2, 0.6));
        // paint can
        const QRectF can(16, 108, 44, 40);
        p.fillRect(QRectF(can.left() + 3, can.bottom() - 2, can.width(), 4), QColor(0, 0, 0, 50));
        QLinearGradient cg(can.topLeft(), can.topRight());
        cg.setColorAt(0, QColor(0x8e, 0x96, 0x9e));
        cg.setColorAt(0.3, QColor(0xe8, 0xec, 0xf0));
        cg.setColorAt(1, QColor(0x78, 0x80, 0x88));
        p.setPen(Qt::NoPen);
        p.setBrush(cg);
        p.drawRect(QRectF(can.left(), can.top() + 4, can.width(), can.height() - 6));
        p.drawEllipse(QRectF(can.left(), can.bottom() - 5, can.width(), 6));
        QLinearGradient lg(can.topLeft(), can.topRight());
        lg.setColorAt(0, QColor(0xa8, 0x38, 0x12));
        lg.setColorAt(0.3, QColor(0xe8, 0x6a, 0x34));
        lg.setColorAt(1, QColor(0x96, 0x30, 0x10));
        p.fillRect(QRectF(can.left(), can.top() + 14, can.width(), 17), lg);
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(8);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(255, 255, 255, 230));
        p.drawText(QRectF(can.left(), can.top() + 14, can.width(), 17), Qt::AlignCenter,
                   QStringLiteral("СУРИК"));
        p.setPen(QPen(QColor(0x6a, 0x72, 0x7a), 0.8));
        p.setBrush(QColor(0xb0, 0xb8, 0xc0));
        p.drawEllipse(QRectF(can.left(), can.top(), can.width(), 9));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xb8, 0x40, 0x16));
        p.drawEllipse(QRectF(can.left() + 2.5, can.top() + 1.2, can.width() - 5, 6.6));
        p.setBrush(QColor(255, 190, 150, 90));
        p.drawEllipse(QRectF(can.left() + 10, can.top() + 2.2, 12, 2.2));
    });
}

// ---- 5. paving tiles -------------------------------------------------------------------

QImage paving()
{
    return photo({200, 150}, 305, [](QPainter &p, Rng &rng) {
        const double horizon = 40;
        sky(p, horizon + 2);
        cloud(p, QPointF(150, 14), 0.8);
        // hedge and a house wall far away
        p.fillRect(QRectF(72, 18, 60, 24), QColor(0xe6, 0xd5, 0xb8));
        p.fillRect(QRectF(72, 18, 60, 3), QColor(0, 0, 0, 30));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x9c, 0x4a, 0x34));
        p.drawPolygon(
            QPolygonF({QPointF(66, 19), QPointF(78, 6), QPointF(126, 6), QPointF(138, 19)}));
        p.setBrush(QColor(255, 255, 255, 40));
        p.drawPolygon(
            QPolygonF({QPointF(66, 19), QPointF(78, 6), QPointF(84, 6), QPointF(73, 19)}));
        p.fillRect(QRectF(95, 26, 14, 16), QColor(0x7a, 0x56, 0x38));
        for (double x : {78.0, 116.0}) {
            p.fillRect(QRectF(x, 25, 10, 9), QColor(0x8f, 0xb6, 0xd6));
            p.fillRect(QRectF(x + 4.6, 25, 0.8, 9), QColor(255, 255, 255, 200));
        }
        for (int i = 0; i < 12; ++i) {
            const double x = i * 18 + rng.range(-3, 3);
            if (x > 60 && x < 140)
                continue;
            crown(p, rng, QPointF(x, horizon - 8), rng.range(9, 13), QColor(0x4f, 0x84, 0x44));
        }
        fillVertical(p, QRectF(0, horizon - 2, 200, 150 - horizon + 2), QColor(0x7e, 0xb0, 0x50),
                     QColor(0x4e, 0x88, 0x30));

        // the paved path, drawn flat (width 120, length 300) and put into perspective
        const QRectF flat(0, 0, 120, 300);
        QPolygonF from({flat.topLeft(), flat.topRight(), flat.bottomRight(), flat.bottomLeft()});
        QPolygonF to({QPointF(84, horizon + 2), QPointF(120, horizon + 2), QPointF(226, 150),
                      QPointF(-26, 150)});
        QTransform persp;
        QTransform::quadToQuad(from, to, persp);
        p.save();
        p.setTransform(persp, true);
        p.fillRect(flat, QColor(0x6a, 0x64, 0x5c));
        // curbs
        const QColor curb(0xc8, 0xc6, 0xc0);
        std::vector<std::pair<QPainterPath, QColor>> stones;
        for (double y = 0; y < 300; y += 25)
            for (double x : {0.0, 112.0}) {
                QPainterPath c;
                c.addRect(QRectF(x, y, 8, 25));
                stones.push_back({c, curb});
            }
        // herringbone pavers
        const double a = 6.5;
        const QColor palette[] = {QColor(0xb6, 0x68, 0x4a), QColor(0x9c, 0x57, 0x40),
                                  QColor(0xa8, 0xa3, 0x9a), QColor(0x93, 0x8e, 0x86),
                                  QColor(0xbd, 0x78, 0x56)};
        const QRectF inner(8, 0, 104, 300);
        for (int k = -40; k < 60; ++k)
            for (int m = -40; m < 40; ++m) {
                const QRectF h((k + 2 * m) * a, (k - 2 * m) * a, 2 * a, a);
                const QRectF v((k + 2 + 2 * m) * a, (k - 1 - 2 * m) * a, a, 2 * a);
                for (const QRectF &r : {h, v}) {
                    if (!r.intersects(inner))
                        continue;
                    QPainterPath s;
                    s.addRect(r.intersected(inner));
                    stones.push_back({s, palette[rng.below(5)]});
                }
            }
        for (auto &[s, c] : stones)
            drawStone(p, s, vary(c, rng, 0.05), 1.5, rng, 0.0);
        p.setPen(QPen(QColor(0x5e, 0x58, 0x50), 1.0));
        p.setBrush(Qt::NoBrush);
        for (auto &[s, c] : stones)
            p.drawPath(s);
        p.restore();
        // haze towards the far end
        QLinearGradient haze(0, horizon, 0, 90);
        haze.setColorAt(0, QColor(0xdc, 0xea, 0xf4, 110));
        haze.setColorAt(1, QColor(0xdc, 0xea, 0xf4, 0));
        p.fillRect(QRectF(0, horizon, 200, 50), haze);
        // grass edges and a few flowers
        QPainterPath flatPath;
        flatPath.addRect(flat);
        const QPainterPath pathArea = persp.map(flatPath);
        grassBlades(p, rng, horizon + 6, 150, 260, 2, 6, QColor(0x3c, 0x74, 0x26),
                    QColor(0x9a, 0xc8, 0x5a), pathArea);
        // shrubs on both sides
        crown(p, rng, QPointF(16, 100), 15, QColor(0x3f, 0x7a, 0x36));
        crown(p, rng, QPointF(190, 92), 14, QColor(0x45, 0x80, 0x3a));
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 24; ++i) {
            const QPointF c(rng.range(0, 200), rng.range(56, 146));
            if (pathArea.contains(c))
                continue;
            p.setBrush(rng.chance(0.5) ? QColor(0xf4, 0xd0, 0x3c) : QColor(0xf4, 0xf4, 0xf0));
            const double size = 0.4 + (c.y() - 56) / 90;
            p.drawEllipse(c, 1.2 * size, 1.0 * size);
        }
    });
}

// ---- 6. lawn ---------------------------------------------------------------------------

QImage lawn()
{
    return photo({150, 113}, 306, [](QPainter &p, Rng &rng) {
        const double horizon = 62;
        sky(p, horizon + 4, QColor(0x64, 0xa6, 0xe2), QColor(0xe4, 0xf2, 0xfb));
        QRadialGradient sun(QPointF(164, 20), 40);
        sun.setColorAt(0, QColor(255, 252, 230, 255));
        sun.setColorAt(0.18, QColor(255, 244, 200, 255));
        sun.setColorAt(0.22, QColor(255, 244, 200, 140));
        sun.setColorAt(1, QColor(255, 244, 200, 0));
        p.fillRect(QRectF(120, 0, 80, 60), sun);
        cloud(p, QPointF(56, 22), 1.1);
        cloud(p, QPointF(112, 40), 0.6, 170);
        // far trees
        for (int i = 0; i < 16; ++i)
            crown(p, rng, QPointF(i * 13 + rng.range(-3, 3), horizon - rng.range(3, 10)),
                  rng.range(7, 12), QColor(0x4c, 0x7c, 0x44));
        crown(p, rng, QPointF(36, 40), 22, QColor(0x44, 0x78, 0x3a));
        p.fillRect(QRectF(34, 50, 4, 14), QColor(0x5a, 0x42, 0x2c));
        crown(p, rng, QPointF(36, 40), 20, QColor(0x4a, 0x82, 0x3e));
        // lawn with mowing stripes converging far away
        fillVertical(p, QRectF(0, horizon, 200, 150 - horizon), QColor(0x8c, 0xc2, 0x5a),
                     QColor(0x4a, 0x8c, 0x2c));
        const QPointF vp(100, horizon - 30);
        for (int i = -10; i < 12; ++i) {
            const double x0 = i * 22.0, x1 = x0 + 22.0;
            auto at = [&](double x, double y) {
                const double t = (y - vp.y()) / (150 - vp.y());
                return QPointF(vp.x() + (x - vp.x()) * t, y);
            };
            const QPainterPath stripe =
                polygonPath({at(x0, horizon), at(x1, horizon), at(x1, 150), at(x0, 150)});
            p.fillPath(stripe, (i % 2) ? QColor(255, 255, 255, 22) : QColor(0, 40, 0, 18));
        }
        QLinearGradient far(0, horizon, 0, horizon + 16);
        far.setColorAt(0, QColor(0xd8, 0xe8, 0xd0, 120));
        far.setColorAt(1, QColor(0xd8, 0xe8, 0xd0, 0));
        p.fillRect(QRectF(0, horizon, 200, 16), far);
        // flowers in the grass
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 40; ++i) {
            const double y = rng.range(horizon + 10, 140);
            const double s = 0.3 + (y - horizon) / 80;
            const QPointF c(rng.range(0, 200), y);
            if (rng.chance(0.6)) {
                p.setBrush(QColor(255, 255, 255, 230));
                for (int k = 0; k < 5; ++k) {
                    const double a = k * 2 * M_PI / 5;
                    p.drawEllipse(c + QPointF(std::cos(a), std::sin(a)) * 1.0 * s, 0.9 * s,
                                  0.9 * s);
                }
                p.setBrush(QColor(0xf4, 0xc8, 0x30));
                p.drawEllipse(c, 0.7 * s, 0.7 * s);
            } else {
                p.setBrush(QColor(0xf6, 0xd2, 0x2c));
                p.drawEllipse(c, 1.2 * s, 1.1 * s);
            }
        }
        grassBlades(p, rng, 104, 154, 1100, 6, 18, QColor(0x2e, 0x66, 0x1c),
                    QColor(0xa8, 0xd6, 0x64));
    });
}

} // namespace

void addPhotos(Album &album)
{
    album.push_back({QStringLiteral("overview1.jpg"), masonry()});
    album.push_back({QStringLiteral("overview2.jpg"), foundation()});
    album.push_back({QStringLiteral("overview3.jpg"), gate()});
    album.push_back({QStringLiteral("overview4.jpg"), painting()});
    album.push_back({QStringLiteral("overview5.jpg"), paving()});
    album.push_back({QStringLiteral("overview6.jpg"), lawn()});
}

} // namespace art
