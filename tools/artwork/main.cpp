// Draws the pictures and icons of "Мерилон 3" and writes them into a folder.
//
//   artwork <output-folder> [--sheet <contact-sheet.png>]
//
// All drawing is deterministic, so running it again gives the same files.

#include "artwork.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

namespace {

bool writePicture(const QString &folder, const art::Picture &pic)
{
    const QString path = QDir(folder).filePath(pic.name);
    QImageWriter writer(path);
    QImage image = pic.image;
    if (pic.name.endsWith(QLatin1String(".jpg"))) {
        writer.setFormat("jpeg");
        writer.setQuality(90);
        image = image.convertToFormat(QImage::Format_RGB32);
    } else {
        writer.setFormat("png");
        image = image.convertToFormat(QImage::Format_ARGB32);
    }
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    std::printf("%-26s %4d x %-4d\n", qPrintable(pic.name), image.width(), image.height());
    return true;
}

// The home picture with the text box and the build label laid over it, as the page shows it.
QImage homePreview(const QImage &home)
{
    QImage img = home.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.fillRect(QRect(24, 320, 281, 185), Qt::white);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(11);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRect(24, 320, 281, 185), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("\nДанная программа создана для производственно-\nтехнических служб "
                              "строительных организаций\n\nВ основу расчетов программы положены "
                              "\nрасчетные коэффициенты из следующих \nисточников:"));
    p.drawText(QRect(250, 4, 75, 14), Qt::AlignRight, QStringLiteral("Сборка 3.1"));
    return img;
}

void writeSheet(const art::Album &album, const QString &path)
{
    struct Item
    {
        QString label;
        QImage image;
    };
    std::vector<Item> items;
    for (const auto &pic : album) {
        items.push_back({pic.name, pic.image});
        if (pic.name == QLatin1String("home.jpg"))
            items.push_back({QStringLiteral("home (page view)"), homePreview(pic.image)});
    }

    const int width = 1600;
    const int gap = 16;
    const int labelH = 16;
    // Flow layout, every picture shown twice as large.
    std::vector<QPoint> pos;
    int x = gap, y = gap, rowH = 0;
    for (const auto &it : items) {
        const QSize s = it.image.size() * 2;
        const int w = std::max(s.width(), 90);
        if (x + w + gap > width) {
            x = gap;
            y += rowH + labelH + gap;
            rowH = 0;
        }
        pos.push_back(QPoint(x, y));
        x += w + gap;
        rowH = std::max(rowH, s.height());
    }
    const int height = y + rowH + labelH + gap;

    QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xe4, 0xe4, 0xe4));
    QPainter p(&sheet);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    p.setFont(f);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const QImage &img = items[i].image;
        const QRect r(pos[i], img.size() * 2);
        for (int cy = r.top(); cy < r.bottom(); cy += 8)
            for (int cx = r.left(); cx < r.right(); cx += 8)
                p.fillRect(QRect(cx, cy, 8, 8).intersected(r),
                           ((cx - r.left()) / 8 + (cy - r.top()) / 8) % 2 ? QColor(0xcc, 0xcc, 0xcc)
                                                                          : Qt::white);
        p.drawImage(r, img.scaled(r.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
        p.setPen(Qt::black);
        p.drawText(QRect(r.left(), r.bottom() + 2, 300, labelH), Qt::AlignLeft, items[i].label);
    }
    p.end();
    sheet.save(path);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = QCoreApplication::arguments();
    QString folder, sheet;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sheet") && i + 1 < args.size())
            sheet = args[++i];
        else if (folder.isEmpty())
            folder = args[i];
    }
    if (folder.isEmpty()) {
        std::fprintf(stderr, "usage: artwork <output-folder> [--sheet <file.png>]\n");
        return 2;
    }
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }

    art::Album album;
    art::addHome(album);
    art::addPhotos(album);
    art::addTiles(album);
    art::addIcons(album);

    // The pictures again at twice the pixels, for screens scaled to 150 % and more; the tool
    // bar icons have theirs drawn by hand above.
    art::Album sharp;
    art::setPixelRatio(2);
    art::addHome(sharp);
    art::addPhotos(sharp);
    art::addTiles(sharp);
    art::setPixelRatio(1);
    for (auto &pic : sharp) {
        pic.name.insert(pic.name.lastIndexOf(u'.'), QStringLiteral("@2x"));
        album.push_back(std::move(pic));
    }

    bool ok = true;
    for (const auto &pic : album)
        ok = writePicture(folder, pic) && ok;
    if (!sheet.isEmpty())
        writeSheet(album, sheet);
    return ok ? 0 : 1;
}
