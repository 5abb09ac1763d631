// Samples of the ten paving-tile types, 50 x 50 pixels (the triangle 50 x 49).

#include "artwork.h"

#include <QtMath>

#include <cmath>

namespace art {
namespace {

const QColor kJoint(0x5f, 0x5a, 0x53);
const QColor kGreyLight(0xb0, 0xac, 0xa5);
const QColor kGrey(0x98, 0x94, 0x8d);
const QColor kGreyDark(0x7f, 0x7b, 0x75);
const QColor kTerracotta(0xb9, 0x6a, 0x4c);
const QColor kTerracottaDark(0x9a, 0x55, 0x3f);
const QColor kOchre(0xc2, 0x9a, 0x62);

enum class Surface
{
    Plain,
    Layered
};

struct Stone
{
    QPainterPath path;
    QColor color;
    Surface surface = Surface::Plain;
};

struct TileSet
{
    std::vector<Stone> stones;
    double joint = 1.3;
    double bevel = 1.1; // visible bevel width inside the joint
    void add(const QPainterPath &path, const QColor &c, Surface s = Surface::Plain)
    {
        stones.push_back({path, c, s});
    }
};

void layers(QPainter &p, const QPainterPath &shape, Rng &rng)
{
    const QRectF r = shape.boundingRect();
    p.save();
    p.setClipPath(shape, Qt::IntersectClip);
    const int n = 3 + rng.below(4);
    for (int i = 0; i < n; ++i) {
        const double y = rng.range(r.top(), r.bottom());
        const double slope = rng.range(-0.12, 0.12);
        const bool light = rng.chance(0.5);
        p.setPen(
            QPen(light ? QColor(255, 255, 255, 30) : QColor(0, 0, 0, 34), rng.range(0.3, 0.8)));
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y + slope * r.width()));
    }
    p.restore();
}

QImage renderTiles(QSize size, std::uint64_t seed,
                   const std::function<void(TileSet &, Rng &)> &build)
{
    QImage img = render(size, QSizeF(size), 4, [&](QPainter &p) {
        Rng rng(seed);
        TileSet set;
        build(set, rng);
        p.fillRect(QRectF(QPointF(0, 0), QSizeF(size)), kJoint);
        const QRectF area(-2, -2, size.width() + 4, size.height() + 4);
        for (auto &s : set.stones) {
            if (!s.path.intersects(area))
                continue;
            drawStone(p, s.path, vary(s.color, rng, 0.05), set.joint / 2 + set.bevel, rng, 0.9);
            if (s.surface == Surface::Layered)
                layers(p, s.path, rng);
        }
        const QPen joint(kJoint, set.joint, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
        p.setBrush(Qt::NoBrush);
        for (auto &s : set.stones)
            if (s.path.intersects(area))
                p.strokePath(s.path, joint);
    });
    addGrain(img, seed * 31 + 7, 4);
    return img;
}

QPainterPath rectPath(double x, double y, double w, double h)
{
    QPainterPath p;
    p.addRect(QRectF(x, y, w, h));
    return p;
}

QPainterPath hexagon(QPointF c, double r, bool pointyTop)
{
    std::vector<QPointF> pts;
    for (int i = 0; i < 6; ++i) {
        const double a = qDegreesToRadians(60.0 * i + (pointyTop ? 30.0 : 0.0));
        pts.push_back(c + QPointF(r * std::cos(a), r * std::sin(a)));
    }
    return polygonPath(pts);
}

QColor pick(Rng &rng, std::initializer_list<std::pair<QColor, double>> weights)
{
    double u = rng.uniform();
    for (const auto &[c, w] : weights) {
        if (u < w)
            return c;
        u -= w;
    }
    return weights.begin()->first;
}

QImage squareTile()
{
    return renderTiles({50, 50}, 101, [](TileSet &s, Rng &rng) {
        const double c = 16.0;
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 5; ++i)
                s.add(rectPath(-5 + i * c, -5 + j * c, c, c),
                      pick(rng, {{kGreyLight, 0.5}, {kGrey, 0.35}, {kGreyDark, 0.15}}));
    });
}

QImage hexagonTile()
{
    return renderTiles({50, 50}, 102, [](TileSet &s, Rng &rng) {
        const double r = 10.0;
        const double dx = 1.5 * r, dy = std::sqrt(3.0) * r;
        for (int q = -1; q < 6; ++q)
            for (int k = -1; k < 5; ++k) {
                const QPointF c(2 + q * dx, -3 + k * dy + ((q & 1) ? dy / 2 : 0));
                s.add(hexagon(c, r, false),
                      pick(rng, {{kGrey, 0.55}, {kGreyLight, 0.3}, {kGreyDark, 0.15}}));
            }
    });
}

QImage honeycombTile()
{
    return renderTiles({50, 50}, 103, [](TileSet &s, Rng &) {
        s.joint = 1.1;
        const double r = 5.6;
        const double w = std::sqrt(3.0) * r;
        for (int row = -2; row < 9; ++row)
            for (int q = -6; q < 8; ++q) {
                const QPointF c(w * (q + row / 2.0), 1.5 * r * row);
                if (c.x() < -8 || c.x() > 58)
                    continue;
                const int m = ((q - row) % 3 + 3) % 3;
                const QColor col = m == 0 ? kTerracottaDark : (m == 1 ? kTerracotta : kOchre);
                s.add(hexagon(c, r, true), col);
            }
    });
}

// Voronoi cell of seed i clipped to a box (convex polygon clipping by half-planes).
std::vector<QPointF> voronoiCell(const std::vector<QPointF> &seeds, std::size_t i,
                                 const QRectF &box)
{
    std::vector<QPointF> poly = {box.topLeft(), box.topRight(), box.bottomRight(),
                                 box.bottomLeft()};
    const QPointF a = seeds[i];
    for (std::size_t j = 0; j < seeds.size(); ++j) {
        if (j == i)
            continue;
        const QPointF n = seeds[j] - a;
        const QPointF m = (seeds[j] + a) / 2;
        auto side = [&](QPointF p) {
            return QPointF::dotProduct(p - m, n);
        };
        std::vector<QPointF> out;
        for (std::size_t k = 0; k < poly.size(); ++k) {
            const QPointF p = poly[k], q = poly[(k + 1) % poly.size()];
            const double sp = side(p), sq = side(q);
            if (sp <= 0)
                out.push_back(p);
            if ((sp < 0) != (sq < 0) && sp != sq)
                out.push_back(p + (q - p) * (sp / (sp - sq)));
        }
        poly = out;
        if (poly.empty())
            break;
    }
    return poly;
}

QImage wildStoneTile()
{
    return renderTiles({50, 50}, 104, [](TileSet &s, Rng &rng) {
        s.joint = 1.7;
        std::vector<QPointF> seeds;
        const double g = 13.0;
        for (int j = -1; j < 6; ++j)
            for (int i = -1; i < 6; ++i)
                seeds.push_back(QPointF((i + rng.range(0.15, 0.85)) * g - 4,
                                        (j + rng.range(0.15, 0.85)) * g - 4));
        const QColor palette[] = {QColor(0xc0, 0xa2, 0x7c), QColor(0x9d, 0x97, 0x8d),
                                  QColor(0xa9, 0x78, 0x55), QColor(0xb6, 0x8e, 0x78),
                                  QColor(0x8d, 0x86, 0x7b)};
        for (std::size_t i = 0; i < seeds.size(); ++i) {
            const auto cell = voronoiCell(seeds, i, QRectF(-20, -20, 90, 90));
            if (cell.size() < 3)
                continue;
            s.add(polygonPath(cell), palette[rng.below(5)]);
        }
    });
}

QImage slateTile()
{
    return renderTiles({50, 50}, 105, [](TileSet &s, Rng &rng) {
        s.joint = 1.2;
        const QColor palette[] = {QColor(0x76, 0x7a, 0x7b), QColor(0x68, 0x6d, 0x71),
                                  QColor(0x86, 0x7e, 0x73), QColor(0x8c, 0x8b, 0x84),
                                  QColor(0x7d, 0x6c, 0x5e)};
        double y = -4;
        while (y < 52) {
            const double h = 8 + 2 * rng.below(4);
            double x = -rng.range(2, 12);
            while (x < 52) {
                const double w = rng.range(11, 24);
                s.add(rectPath(x, y, w, h), palette[rng.below(5)], Surface::Layered);
                x += w;
            }
            y += h;
        }
    });
}

QImage paversTile()
{
    return renderTiles({50, 50}, 106, [](TileSet &s, Rng &rng) {
        s.joint = 1.1;
        s.bevel = 0.7;
        const double a = 7.0;
        const QPointF o(-3, 0);
        const QColor palette[] = {kTerracotta, kTerracottaDark, QColor(0xa8, 0x5f, 0x47),
                                  QColor(0x8a, 0x4c, 0x3a), QColor(0xc0, 0x7a, 0x58)};
        for (int k = -12; k < 16; ++k)
            for (int m = -10; m < 10; ++m) {
                const double hx = (k + 2 * m) * a + o.x(), hy = (k - 2 * m) * a + o.y();
                if (hx > -14 && hx < 52 && hy > -8 && hy < 52)
                    s.add(rectPath(hx, hy, 2 * a, a), palette[rng.below(5)]);
                const double vx = (k + 2 + 2 * m) * a + o.x(), vy = (k - 1 - 2 * m) * a + o.y();
                if (vx > -8 && vx < 52 && vy > -14 && vy < 52)
                    s.add(rectPath(vx, vy, a, 2 * a), palette[rng.below(5)]);
            }
    });
}

QImage violetTile()
{
    return renderTiles({50, 50}, 107, [](TileSet &s, Rng &) {
        s.joint = 1.2;
        const double c = 17.0;
        const QPointF o(-1.5, -1.5);
        auto flower = [&](QPointF center) {
            QPainterPath shape;
            shape.addEllipse(center, 4.8, 4.8);
            const double d = 3.9, r = 4.3;
            for (QPointF dir : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)}) {
                QPainterPath lobe;
                lobe.addEllipse(center + dir * d, r, r);
                shape = shape.united(lobe);
            }
            return shape.simplified();
        };
        for (int j = -1; j < 4; ++j)
            for (int i = -1; i < 4; ++i) {
                const QPointF corner = o + QPointF(i * c, j * c);
                QPainterPath star;
                star.addRect(QRectF(corner - QPointF(c / 2, c / 2), QSizeF(c, c)));
                for (QPointF d : {QPointF(-0.5, -0.5), QPointF(0.5, -0.5), QPointF(-0.5, 0.5),
                                  QPointF(0.5, 0.5)})
                    star = star.subtracted(flower(corner + d * c));
                s.add(star.simplified(), kGreyLight);
            }
        for (int j = -1; j < 4; ++j)
            for (int i = -1; i < 4; ++i)
                s.add(flower(o + QPointF((i + 0.5) * c, (j + 0.5) * c)), kTerracotta);
    });
}

QImage crossTile()
{
    return renderTiles({50, 50}, 108, [](TileSet &s, Rng &) {
        const double u = 6.2;
        const QPointF o(22, 24);
        for (int a = -6; a < 7; ++a)
            for (int b = -6; b < 7; ++b) {
                const QPointF c = o + QPointF(2 * a - b, a + 2 * b) * u;
                if (c.x() < -12 || c.x() > 62 || c.y() < -12 || c.y() > 62)
                    continue;
                const double h = u / 2, f = 1.5 * u;
                const std::vector<QPointF> pts = {
                    c + QPointF(-h, -f), c + QPointF(h, -f),  c + QPointF(h, -h),
                    c + QPointF(f, -h),  c + QPointF(f, h),   c + QPointF(h, h),
                    c + QPointF(h, f),   c + QPointF(-h, f),  c + QPointF(-h, h),
                    c + QPointF(-f, h),  c + QPointF(-f, -h), c + QPointF(-h, -h)};
                const int m = ((a + 2 * b) % 5 + 5) % 5;
                const QColor col = m == 0 ? kTerracotta : (m % 2 ? kGrey : kGreyLight);
                s.add(polygonPath(pts), col);
            }
    });
}

QPainterPath sector(QPointF c, double r0, double r1, double a0, double a1)
{
    QPainterPath p;
    const QRectF outer(c.x() - r1, c.y() - r1, 2 * r1, 2 * r1);
    const QRectF inner(c.x() - r0, c.y() - r0, 2 * r0, 2 * r0);
    p.arcMoveTo(outer, a0);
    p.arcTo(outer, a0, a1 - a0);
    p.arcTo(inner, a1, a0 - a1);
    p.closeSubpath();
    return p;
}

QImage sunTile()
{
    return renderTiles({50, 50}, 109, [](TileSet &s, Rng &) {
        s.joint = 1.1;
        const QPointF c(25, 25);
        QPainterPath disc;
        disc.addEllipse(c, 5.5, 5.5);
        s.add(disc, kOchre);
        struct Ring
        {
            double r0, r1;
            int n;
            double turn;
        };
        const Ring rings[] = {
            {5.5, 12.5, 8, 0}, {12.5, 20.5, 16, 11.25}, {20.5, 29, 24, 0}, {29, 38, 32, 5.625}};
        for (int k = 0; k < 4; ++k) {
            const Ring &r = rings[k];
            for (int i = 0; i < r.n; ++i) {
                const double a0 = r.turn + 360.0 * i / r.n, a1 = r.turn + 360.0 * (i + 1) / r.n;
                QColor col;
                if (k == 0)
                    col = kTerracotta;
                else if (k == 1)
                    col = i % 2 ? kGreyLight : kTerracottaDark;
                else if (k == 2)
                    col = i % 3 == 0 ? kTerracotta : kGrey;
                else
                    col = i % 2 ? kGreyLight : kGrey;
                s.add(sector(c, r.r0, r.r1, a0, a1), col);
            }
        }
    });
}

QImage triangleTile()
{
    return renderTiles({50, 49}, 110, [](TileSet &s, Rng &rng) {
        const double a = 14.0;
        const double h = a * std::sqrt(3.0) / 2;
        for (int j = -1; j < 6; ++j)
            for (int i = -2; i < 6; ++i) {
                const double x = i * a + ((j & 1) ? a / 2 : 0) - 3, y = j * h - 2;
                s.add(polygonPath({{x, y + h}, {x + a, y + h}, {x + a / 2, y}}),
                      rng.chance(0.8) ? kGreyLight : kGrey);
                s.add(polygonPath({{x + a / 2, y}, {x + 1.5 * a, y}, {x + a, y + h}}),
                      rng.chance(0.8) ? kTerracotta : kTerracottaDark);
            }
    });
}

} // namespace

void addTiles(Album &album)
{
    album.push_back({QStringLiteral("tile_square.jpg"), squareTile()});
    album.push_back({QStringLiteral("tile_hexagon.jpg"), hexagonTile()});
    album.push_back({QStringLiteral("tile_wildstone.jpg"), wildStoneTile()});
    album.push_back({QStringLiteral("tile_slate.jpg"), slateTile()});
    album.push_back({QStringLiteral("tile_pavers.jpg"), paversTile()});
    album.push_back({QStringLiteral("tile_honeycomb.jpg"), honeycombTile()});
    album.push_back({QStringLiteral("tile_violet.jpg"), violetTile()});
    album.push_back({QStringLiteral("tile_cross.jpg"), crossTile()});
    album.push_back({QStringLiteral("tile_sun.jpg"), sunTile()});
    album.push_back({QStringLiteral("tile_triangle.jpg"), triangleTile()});
}

} // namespace art
