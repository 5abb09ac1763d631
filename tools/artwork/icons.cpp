// Application icon, tool bar, menu and catalogue icons.
//
// The small icons are drawn on their own pixel grid (24 or 16 units); lines sit on half-units
// so that 1-unit outlines stay crisp, also when the 24-unit grid is drawn at 48 pixels.

#include "artwork.h"

#include <QtMath>

#include <cmath>

namespace art {
namespace {

struct Tone
{
    QColor top, bottom, outline;
};

const Tone kBlue{QColor(0x5a, 0xa2, 0xec), QColor(0x25, 0x67, 0xb8), QColor(0x1a, 0x47, 0x80)};
const Tone kGreen{QColor(0x62, 0xc4, 0x6f), QColor(0x2e, 0x8f, 0x3e), QColor(0x1c, 0x62, 0x28)};
const Tone kRed{QColor(0xe8, 0x63, 0x4a), QColor(0xb5, 0x38, 0x25), QColor(0x7c, 0x22, 0x15)};
const Tone kWood{QColor(0xc8, 0x8a, 0x52), QColor(0x8e, 0x58, 0x2d), QColor(0x5a, 0x36, 0x18)};
const Tone kAmber{QColor(0xfb, 0xd8, 0x76), QColor(0xe8, 0xa8, 0x34), QColor(0x9c, 0x6a, 0x16)};
const Tone kPaper{QColor(0xff, 0xfb, 0xf0), QColor(0xec, 0xe0, 0xc4), QColor(0x8a, 0x7a, 0x5c)};
const Tone kMetal{QColor(0xe6, 0xea, 0xee), QColor(0xae, 0xb7, 0xc0), QColor(0x5e, 0x6a, 0x77)};
const Tone kDark{QColor(0x4a, 0x4e, 0x57), QColor(0x24, 0x26, 0x2b), QColor(0x17, 0x18, 0x1c)};
const Tone kBook{QColor(0xc9, 0x4a, 0x3f), QColor(0x8e, 0x27, 0x22), QColor(0x5a, 0x16, 0x12)};

class IconPainter
{
public:
    IconPainter(QImage &img, double grid) : p(&img)
    {
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(img.width() / grid, img.height() / grid);
    }

    void shape(const QPainterPath &path, const Tone &t, double pen = 1.0)
    {
        const QRectF r = path.boundingRect();
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, t.top);
        g.setColorAt(1, t.bottom);
        p.setBrush(g);
        p.setPen(pen > 0 ? QPen(t.outline, pen, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin)
                         : QPen(Qt::NoPen));
        p.drawPath(path);
    }
    void rect(const QRectF &r, const Tone &t, double pen = 1.0)
    {
        QPainterPath path;
        path.addRect(r);
        shape(path, t, pen);
    }
    void poly(const std::vector<QPointF> &pts, const Tone &t, double pen = 1.0)
    {
        shape(polygonPath(pts), t, pen);
    }
    void line(QPointF a, QPointF b, const QColor &c, double w = 1.0)
    {
        p.setPen(QPen(c, w, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(a, b);
    }
    // Soft gloss over the upper part of a shape.
    void gloss(const QPainterPath &path, double untilY, int alpha = 70)
    {
        p.save();
        p.setClipPath(path);
        const QRectF r = path.boundingRect();
        QLinearGradient g(r.topLeft(), QPointF(r.left(), untilY));
        g.setColorAt(0, QColor(255, 255, 255, alpha));
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(QRectF(r.left(), r.top(), r.width(), untilY - r.top()), g);
        p.restore();
    }

    QPainter p;
};

QImage canvas(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

std::vector<QPointF> mirrored(const std::vector<QPointF> &pts, double grid)
{
    std::vector<QPointF> out;
    for (auto p : pts)
        out.push_back(QPointF(grid - p.x(), p.y()));
    return out;
}

// ---- tool bar, 24-unit grid -------------------------------------------------------------

const std::vector<QPointF> kBackArrow24 = {{1.5, 12},    {11.5, 2.5},  {11.5, 7.5}, {21.5, 7.5},
                                           {21.5, 16.5}, {11.5, 16.5}, {11.5, 21.5}};

QImage arrow24(int size, bool forward)
{
    QImage img = canvas(size);
    IconPainter ip(img, 24);
    const auto pts = forward ? mirrored(kBackArrow24, 24) : kBackArrow24;
    const QPainterPath path = polygonPath(pts);
    ip.shape(path, kBlue);
    ip.gloss(path, 12, 90);
    return img;
}

QImage exit24(int size)
{
    QImage img = canvas(size);
    IconPainter ip(img, 24);
    ip.rect(QRectF(3.5, 1.5, 11, 21), kDark);                             // doorway
    ip.poly({{3.5, 1.5}, {10.5, 3.5}, {10.5, 20.5}, {3.5, 22.5}}, kWood); // open leaf
    ip.p.setPen(Qt::NoPen);
    ip.p.setBrush(kAmber.bottom);
    ip.p.drawEllipse(QPointF(9.0, 12.5), 0.9, 0.9);
    const QPainterPath arrow = polygonPath({{11.5, 9.5},
                                            {16.5, 9.5},
                                            {16.5, 5.5},
                                            {22.5, 12},
                                            {16.5, 18.5},
                                            {16.5, 14.5},
                                            {11.5, 14.5}});
    ip.shape(arrow, kGreen);
    ip.gloss(arrow, 12, 90);
    return img;
}

QImage home24(int size)
{
    QImage img = canvas(size);
    IconPainter ip(img, 24);
    ip.rect(QRectF(15.5, 3.5, 3, 6), kRed);     // chimney
    ip.rect(QRectF(4.5, 10.5, 15, 11), kPaper); // walls
    ip.poly({{1.5, 12.5}, {12, 2}, {22.5, 12.5}, {19.5, 12.5}, {12, 5.5}, {4.5, 12.5}},
            kRed);                            // roof
    ip.rect(QRectF(7.5, 14.5, 4, 7), kWood);  // door
    ip.rect(QRectF(13.5, 14.5, 4, 4), kBlue); // window
    ip.line({15.5, 14.5}, {15.5, 18.5}, QColor(255, 255, 255, 150), 0.8);
    return img;
}

QImage history24(int size)
{
    QImage img = canvas(size);
    IconPainter ip(img, 24);
    const QPainterPath body =
        polygonPath({{1.5, 1.5}, {15.5, 1.5}, {18.5, 4.5}, {18.5, 18.5}, {1.5, 18.5}});
    ip.shape(body, kBlue);
    ip.rect(QRectF(5.5, 1.5, 9, 6), kMetal);            // shutter
    ip.p.fillRect(QRectF(11, 2.5, 2, 4), kDark.bottom); // shutter slot
    ip.rect(QRectF(4.5, 10.5, 11, 8), kPaper);          // label
    ip.line({6, 13}, {14, 13}, QColor(0x7d, 0x9c, 0xc8), 0.8);
    ip.line({6, 15.5}, {12, 15.5}, QColor(0x7d, 0x9c, 0xc8), 0.8);
    // clock badge
    const QPointF c(17.5, 17.5);
    QPainterPath face;
    face.addEllipse(c, 5.5, 5.5);
    ip.shape(face, {QColor(0xff, 0xff, 0xff), QColor(0xf0, 0xe6, 0xcf), QColor(0xb0, 0x5a, 0x12)},
             1.4);
    ip.line(c, c + QPointF(0, -3.5), kDark.bottom, 1.1);
    ip.line(c, c + QPointF(2.6, 0), kDark.bottom, 1.1);
    ip.p.setPen(Qt::NoPen);
    ip.p.setBrush(kDark.bottom);
    ip.p.drawEllipse(c, 0.8, 0.8);
    return img;
}

void globe(IconPainter &ip, QPointF c, double r)
{
    QPainterPath sphere;
    sphere.addEllipse(c, r, r);
    ip.shape(sphere, kBlue, 1.0);
    ip.p.save();
    ip.p.setClipPath(sphere);
    ip.p.setBrush(Qt::NoBrush);
    ip.p.setPen(QPen(QColor(255, 255, 255, 200), 0.8));
    ip.p.drawEllipse(c, r * 0.45, r);
    ip.p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    ip.p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    ip.p.drawLine(QPointF(c.x() - r, c.y() - r * 0.5), QPointF(c.x() + r, c.y() - r * 0.5));
    ip.p.drawLine(QPointF(c.x() - r, c.y() + r * 0.5), QPointF(c.x() + r, c.y() + r * 0.5));
    ip.p.restore();
    ip.gloss(sphere, c.y(), 80);
}

QImage gost24(int size)
{
    QImage img = canvas(size);
    IconPainter ip(img, 24);
    ip.rect(QRectF(4.5, 18.5, 13, 3), kPaper);                 // page edges
    ip.rect(QRectF(2.5, 1.5, 15, 18), kBook);                  // cover
    ip.p.fillRect(QRectF(3, 2, 2.5, 17), QColor(0, 0, 0, 50)); // spine shade
    const QColor gold(0xf3, 0xc8, 0x5a);
    ip.line({7.5, 5.5}, {14.5, 5.5}, gold, 1.0);
    ip.line({7.5, 8.5}, {14.5, 8.5}, gold, 1.0);
    ip.line({7.5, 11.5}, {12.5, 11.5}, QColor(0xf3, 0xc8, 0x5a, 150), 1.0);
    globe(ip, QPointF(17.5, 17.5), 5.5);
    return img;
}

// ---- menu, 16-unit grid -----------------------------------------------------------------

const std::vector<QPointF> kBackArrow16 = {{1, 8},       {7.5, 1.5},  {7.5, 5.5}, {14.5, 5.5},
                                           {14.5, 10.5}, {7.5, 10.5}, {7.5, 14.5}};

QImage arrow16(bool forward)
{
    QImage img = canvas(16);
    IconPainter ip(img, 16);
    const QPainterPath path = polygonPath(forward ? mirrored(kBackArrow16, 16) : kBackArrow16);
    ip.shape(path, kBlue);
    ip.gloss(path, 8, 90);
    return img;
}

QImage exit16()
{
    QImage img = canvas(16);
    IconPainter ip(img, 16);
    ip.rect(QRectF(1.5, 1.5, 8, 13), kDark);
    ip.poly({{1.5, 1.5}, {6.5, 2.5}, {6.5, 13.5}, {1.5, 14.5}}, kWood);
    const QPainterPath arrow = polygonPath(
        {{7.5, 6.5}, {10.5, 6.5}, {10.5, 3.5}, {15, 8}, {10.5, 12.5}, {10.5, 9.5}, {7.5, 9.5}});
    ip.shape(arrow, kGreen);
    return img;
}

QImage home16()
{
    QImage img = canvas(16);
    IconPainter ip(img, 16);
    ip.rect(QRectF(10.5, 2.5, 2, 4), kRed);
    ip.rect(QRectF(3.5, 7.5, 9, 7), kPaper);
    ip.poly({{0.5, 8.5}, {8, 1}, {15.5, 8.5}, {13, 8.5}, {8, 3.8}, {3, 8.5}}, kRed);
    ip.rect(QRectF(5.5, 10.5, 3, 4), kWood);
    ip.rect(QRectF(9.5, 10.5, 2, 2), kBlue, 0.8);
    return img;
}

// ---- catalogue, 16-unit grid ------------------------------------------------------------

QImage folder16(bool open)
{
    QImage img = canvas(16);
    IconPainter ip(img, 16);
    const Tone back{QColor(0xeb, 0xb5, 0x4a), QColor(0xd3, 0x93, 0x2a), kAmber.outline};
    ip.poly({{1.5, 2.5}, {6, 2.5}, {7.5, 4}, {14.5, 4}, {14.5, 13.5}, {1.5, 13.5}}, back);
    if (!open) {
        QPainterPath front;
        front.addRect(QRectF(1.5, 5.5, 13, 8));
        ip.shape(front, kAmber);
        ip.gloss(front, 9, 80);
        return img;
    }
    ip.rect(QRectF(3.5, 2.5, 9, 8),
            {Qt::white, QColor(0xe9, 0xef, 0xf6), QColor(0x7c, 0x8c, 0xa0)});
    ip.line({5, 5}, {11, 5}, QColor(0x8f, 0xb0, 0xd8), 0.8);
    ip.line({5, 7}, {10, 7}, QColor(0x8f, 0xb0, 0xd8), 0.8);
    const QPainterPath flap = polygonPath({{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}});
    ip.shape(flap, {QColor(0xff, 0xe6, 0x94), QColor(0xf2, 0xb8, 0x3e), kAmber.outline});
    return img;
}

// ---- application icon -------------------------------------------------------------------

void appBackground(QPainter &p, const QRectF &r, double radius)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0x46, 0x8d, 0xdb));
    g.setColorAt(1, QColor(0x1b, 0x4a, 0x8a));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
}

QImage appIconLarge(int size)
{
    QImage img = canvas(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    const bool detailed = size >= 96;

    const QRectF bg(10, 10, 236, 236);
    appBackground(p, bg, 46);
    QPainterPath bgPath;
    bgPath.addRoundedRect(bg, 46, 46);
    if (detailed) { // blueprint grid
        p.save();
        p.setClipPath(bgPath);
        p.setPen(QPen(QColor(255, 255, 255, 22), 1.5));
        for (double v = 10 + 19.7; v < 246; v += 19.7) {
            p.drawLine(QPointF(v, 10), QPointF(v, 246));
            p.drawLine(QPointF(10, v), QPointF(246, v));
        }
        p.restore();
    }
    { // top gloss
        p.save();
        p.setClipPath(bgPath);
        QLinearGradient g(0, 10, 0, 120);
        g.setColorAt(0, QColor(255, 255, 255, 60));
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(QRectF(10, 10, 236, 110), g);
        p.restore();
    }

    // brick wall
    const double left = 44, right = 212, top = 46, mortar = 7, courseH = 27;
    const int courses = 4;
    const double wallBottom = top + courses * courseH + (courses - 1) * mortar;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60)); // drop shadow
    p.drawRoundedRect(QRectF(left + 4, top + 8, right - left, wallBottom - top), 6, 6);
    p.setBrush(QColor(0xec, 0xe2, 0xd2));
    p.drawRoundedRect(QRectF(left - mortar, top - mortar, right - left + 2 * mortar,
                             wallBottom - top + 2 * mortar),
                      8, 8);
    const QColor brickTop(0xdb, 0x70, 0x4e), brickBottom(0xa9, 0x45, 0x2d);
    const double full = (right - left - 2 * mortar) / 3.0;
    for (int c = 0; c < courses; ++c) {
        const double y = top + c * (courseH + mortar);
        std::vector<std::pair<double, double>> bricks; // x, width
        if (c % 2 == 0) {
            for (int i = 0; i < 3; ++i)
                bricks.push_back({left + i * (full + mortar), full});
        } else {
            const double half = (full - mortar) / 2;
            bricks.push_back({left, half});
            bricks.push_back({left + half + mortar, full});
            bricks.push_back({left + half + full + 2 * mortar, full});
            bricks.push_back({right - half, half});
        }
        for (auto [x, w] : bricks) {
            const QRectF r(x, y, w, courseH);
            QLinearGradient g(r.topLeft(), r.bottomLeft());
            g.setColorAt(0, brickTop);
            g.setColorAt(1, brickBottom);
            p.setBrush(g);
            p.drawRoundedRect(r, 3, 3);
            p.setBrush(QColor(255, 255, 255, 55));
            p.drawRect(QRectF(x + 3, y + 2, w - 6, 3));
        }
    }

    // ruler
    const QRectF ruler(30, 196, 196, 34);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(ruler.translated(3, 5), 5, 5);
    QLinearGradient rg(ruler.topLeft(), ruler.bottomLeft());
    rg.setColorAt(0, QColor(0xff, 0xd8, 0x4d));
    rg.setColorAt(1, QColor(0xe8, 0xa6, 0x1a));
    p.setBrush(rg);
    p.setPen(QPen(QColor(0x7a, 0x52, 0x08), 3));
    p.drawRoundedRect(ruler, 5, 5);
    const int step = detailed ? 1 : 2;
    const double pitch = 9.0;
    for (int i = step; i * pitch < ruler.width() - 6; i += step) {
        const double x = ruler.left() + i * pitch;
        const double len = i % 10 == 0 ? 20 : (i % 5 == 0 ? 15 : 9);
        p.setPen(QPen(QColor(0x3a, 0x2a, 0x08), detailed ? 2.5 : 4.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(x, ruler.top() + 1.5), QPointF(x, ruler.top() + len));
    }
    return img;
}

QImage appIconSmall(int size)
{
    // Pixel-snapped versions for 16 and 32 pixels: bricks and ruler on whole pixels.
    QImage img = canvas(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double k = size / 16.0;
    appBackground(p, QRectF(0.5 * k, 0.5 * k, 15 * k, 15 * k), 3 * k);
    p.setRenderHint(QPainter::Antialiasing, false);

    const QColor mortar(0xec, 0xe2, 0xd2), brick(0xc8, 0x5c, 0x3c), brickLight(0xe0, 0x7a, 0x56);
    const QColor rulerEdge(0x7a, 0x52, 0x08), rulerFace(0xf6, 0xc2, 0x32), tick(0x3a, 0x2a, 0x08);
    using Row = std::vector<std::pair<int, int>>; // x, width
    if (size >= 32) {
        p.fillRect(QRect(4, 4, 24, 16), mortar);
        const Row even = {{5, 10}, {16, 11}}, odd = {{5, 5}, {11, 10}, {22, 5}};
        for (int c = 0; c < 3; ++c)
            for (auto [x, w] : (c % 2 ? odd : even)) {
                p.fillRect(QRect(x, 5 + 5 * c, w, 4), brick);
                p.fillRect(QRect(x, 5 + 5 * c, w, 1), brickLight);
            }
        p.fillRect(QRect(3, 22, 26, 6), rulerEdge);
        p.fillRect(QRect(4, 23, 24, 4), rulerFace);
        for (int x = 6; x < 28; x += 3)
            p.fillRect(QRect(x, 23, 1, (x - 6) % 9 == 0 ? 3 : 2), tick);
        return img;
    }
    p.fillRect(QRect(2, 2, 12, 8), mortar);
    const Row even = {{2, 5}, {8, 6}}, odd = {{2, 2}, {5, 5}, {11, 3}};
    for (int c = 0; c < 3; ++c)
        for (auto [x, w] : (c % 2 ? odd : even))
            p.fillRect(QRect(x, 2 + 3 * c, w, 2), brick);
    p.fillRect(QRect(1, 11, 14, 3), rulerEdge);
    p.fillRect(QRect(2, 11, 12, 2), rulerFace);
    for (int x = 3; x < 14; x += 2)
        p.fillRect(QRect(x, 11, 1, 1), tick);
    return img;
}

} // namespace

void addIcons(Album &album)
{
    album.push_back({QStringLiteral("merilon.png"), appIconLarge(256)});
    album.push_back({QStringLiteral("merilon-128.png"), appIconLarge(128)});
    album.push_back({QStringLiteral("merilon-64.png"), appIconLarge(64)});
    album.push_back({QStringLiteral("merilon-48.png"), appIconLarge(48)});
    album.push_back({QStringLiteral("merilon-32.png"), appIconSmall(32)});
    album.push_back({QStringLiteral("merilon-16.png"), appIconSmall(16)});

    struct Tool
    {
        const char *name;
        QImage (*draw)(int);
    };
    const Tool tools[] = {
        {"tb_exit", exit24},
        {"tb_home", home24},
        {"tb_back",
         [](int s) {
             return arrow24(s, false);
         }},
        {"tb_forward",
         [](int s) {
             return arrow24(s, true);
         }},
        {"tb_history", history24},
        {"tb_gost", gost24},
    };
    for (const auto &t : tools) {
        album.push_back({QString::fromLatin1(t.name) + QStringLiteral(".png"), t.draw(24)});
        album.push_back({QString::fromLatin1(t.name) + QStringLiteral("@2x.png"), t.draw(48)});
    }

    album.push_back({QStringLiteral("mi_exit.png"), exit16()});
    album.push_back({QStringLiteral("mi_forward.png"), arrow16(true)});
    album.push_back({QStringLiteral("mi_back.png"), arrow16(false)});
    album.push_back({QStringLiteral("mi_home.png"), home16()});

    album.push_back({QStringLiteral("node.png"), folder16(false)});
    album.push_back({QStringLiteral("node_selected.png"), folder16(true)});
}

} // namespace art
