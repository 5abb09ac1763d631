#include "artwork.h"

#include <algorithm>

namespace art {

std::uint64_t Rng::next()
{
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform()
{
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

QColor mix(const QColor &a, const QColor &b, double t)
{
    auto lerp = [t](double x, double y) {
        return x + (y - x) * t;
    };
    return QColor::fromRgbF(float(lerp(a.redF(), b.redF())), float(lerp(a.greenF(), b.greenF())),
                            float(lerp(a.blueF(), b.blueF())), float(lerp(a.alphaF(), b.alphaF())));
}

QColor withAlpha(const QColor &c, int alpha)
{
    QColor r = c;
    r.setAlpha(alpha);
    return r;
}

QColor vary(const QColor &c, Rng &rng, double amount)
{
    const double f = 1.0 + rng.range(-amount, amount);
    auto ch = [f](int v) {
        return std::clamp(int(v * f + 0.5), 0, 255);
    };
    return QColor(ch(c.red()), ch(c.green()), ch(c.blue()), c.alpha());
}

namespace {
int g_pixelRatio = 1;
}

void setPixelRatio(int ratio)
{
    g_pixelRatio = ratio;
}

QImage render(QSize out, QSizeF logical, int factor, const std::function<void(QPainter &)> &draw)
{
    out *= g_pixelRatio;
    QImage big(out * factor, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(double(big.width()) / logical.width(), double(big.height()) / logical.height());
        draw(p);
    }
    if (factor == 1)
        return big;
    return big.scaled(out, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void addGrain(QImage &img, std::uint64_t seed, int amount)
{
    if (img.format() != QImage::Format_ARGB32_Premultiplied)
        img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Rng rng(seed);
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = line[x];
            const int a = qAlpha(px);
            const int d = int(rng.range(-amount, amount + 1));
            if (a == 0)
                continue;
            auto ch = [a, d](int v) {
                return std::clamp(v + d * a / 255, 0, a);
            };
            line[x] = qRgba(ch(qRed(px)), ch(qGreen(px)), ch(qBlue(px)), a);
        }
    }
}

void fillVertical(QPainter &p, const QRectF &r, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

void drawStone(QPainter &p, const QPainterPath &shape, const QColor &base, double bevel, Rng &rng,
               double speckle)
{
    const QRectF r = shape.boundingRect();
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0.0, mix(base, Qt::white, 0.10));
    g.setColorAt(1.0, mix(base, Qt::black, 0.10));
    p.fillPath(shape, g);

    p.save();
    p.setClipPath(shape, Qt::IntersectClip);
    if (speckle > 0) {
        const int n = int(r.width() * r.height() * speckle);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < n; ++i) {
            const QPointF c(rng.range(r.left(), r.right()), rng.range(r.top(), r.bottom()));
            const double rad = rng.range(0.12, 0.4);
            const int a = 12 + rng.below(26);
            p.setBrush(rng.chance(0.55) ? QColor(0, 0, 0, a) : QColor(255, 255, 255, a));
            p.drawEllipse(c, rad, rad);
        }
    }
    p.setBrush(Qt::NoBrush);
    const double d = bevel * 0.5;
    p.strokePath(shape.translated(d, d), QPen(QColor(255, 255, 255, 75), bevel));
    p.strokePath(shape.translated(-d, -d), QPen(QColor(0, 0, 0, 75), bevel));
    p.restore();
}

QPainterPath polygonPath(const std::vector<QPointF> &points)
{
    QPainterPath path;
    if (points.empty())
        return path;
    path.moveTo(points.front());
    for (std::size_t i = 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    path.closeSubpath();
    return path;
}

} // namespace art
