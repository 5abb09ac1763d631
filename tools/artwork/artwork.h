// Shared declarations of the artwork generator.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace art {

// Small deterministic random generator (splitmix64), identical on every platform.
class Rng
{
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    double uniform(); // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return int(uniform() * n); }
    bool chance(double p) { return uniform() < p; }

private:
    std::uint64_t state_;
};

struct Picture
{
    QString name;
    QImage image;
};
using Album = std::vector<Picture>;

QColor mix(const QColor &a, const QColor &b, double t);
QColor withAlpha(const QColor &c, int alpha);
// Random brightness variation of +-amount (relative).
QColor vary(const QColor &c, Rng &rng, double amount);

// Pixels per logical pixel of what render() draws from now on: 2 for the "@2x" variants.
void setPixelRatio(int ratio);
// Draws in logical coordinates on a canvas `factor` times larger than `out`, then scales down.
QImage render(QSize out, QSizeF logical, int factor, const std::function<void(QPainter &)> &draw);
// Fine luminance grain of +-amount, deterministic.
void addGrain(QImage &img, std::uint64_t seed, int amount);

void fillVertical(QPainter &p, const QRectF &r, const QColor &top, const QColor &bottom);
// A stone, brick or slab: gradient body, speckles and a bevel lit from the top left.
// `bevel` is measured from the outline inwards; joints are stroked over it later.
void drawStone(QPainter &p, const QPainterPath &shape, const QColor &base, double bevel, Rng &rng,
               double speckle);
QPainterPath polygonPath(const std::vector<QPointF> &points);

void addHome(Album &album);
void addPhotos(Album &album);
void addTiles(Album &album);
void addIcons(Album &album);

} // namespace art
