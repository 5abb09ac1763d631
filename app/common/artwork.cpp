#include "artwork.h"

#include <QEvent>
#include <QFile>
#include <QImageReader>
#include <QLabel>

namespace artwork {

namespace {

QImage read(const QString &resource)
{
    QImageReader reader(resource, resource.endsWith(u".jpg") ? "jpeg" : "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QString doubleSized(const QString &resource)
{
    const qsizetype dot = resource.lastIndexOf(u'.');
    return resource.left(dot) + QStringLiteral("@2x") + resource.mid(dot);
}

// Loads a label's picture on the label's first show event, before its first paint.
class PictureOnShow : public QObject
{
public:
    PictureOnShow(QLabel *label, const QString &resource) : QObject(label), m_resource(resource)
    {
        label->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            auto *label = static_cast<QLabel *>(watched);
            label->setPixmap(picture(m_resource, label->devicePixelRatioF()));
            label->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QString m_resource;
};

} // namespace

QPixmap picture(const QString &resource, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1) {
        const QString sharp = doubleSized(resource);
        if (QFile::exists(sharp)) {
            QPixmap pixmap = QPixmap::fromImage(read(sharp));
            pixmap.setDevicePixelRatio(2);
            return pixmap;
        }
    }
    return QPixmap::fromImage(read(resource));
}

void showWhenShown(QLabel *label, const QString &resource)
{
    new PictureOnShow(label, resource);
}

QIcon icon(std::initializer_list<const char *> resources, QIcon::Mode mode)
{
    QIcon icon;
    for (const char *resource : resources)
        icon.addPixmap(picture(QString::fromLatin1(resource)), mode);
    return icon;
}

} // namespace artwork
