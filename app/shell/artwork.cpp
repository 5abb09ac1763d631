#include "artwork.h"

#include <QImageReader>

namespace artwork {

QPixmap picture(const QString &resource)
{
    QImageReader reader(resource, resource.endsWith(u".jpg") ? "jpeg" : "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon icon(std::initializer_list<const char *> resources, QIcon::Mode mode)
{
    QIcon icon;
    for (const char *resource : resources)
        icon.addPixmap(picture(QString::fromLatin1(resource)), mode);
    return icon;
}

} // namespace artwork
