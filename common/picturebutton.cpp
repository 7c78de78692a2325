// SPDX-License-Identifier: MIT
#include "picturebutton.h"

#include <QFileInfo>
#include <QIcon>
#include <QImage>

PictureButton::PictureButton(QWidget *parent) : QPushButton(parent) {}

QPixmap PictureButton::loadMasked(const QString &file, std::optional<QColor> mask)
{
    QImage image(file);
    if (image.isNull())
        return QPixmap();
    if (mask) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = mask->rgb() & RGB_MASK;
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if ((line[x] & RGB_MASK) == key)
                    line[x] = 0;
            }
        }
    }
    return QPixmap::fromImage(image);
}

QString PictureButton::doubleSizeFile(const QString &file)
{
    const int dot = file.lastIndexOf(QLatin1Char('.'));
    const int slash = file.lastIndexOf(QLatin1Char('/'));
    if (dot <= slash + 1)
        return file + QLatin1String("@2x");
    return file.left(dot) + QLatin1String("@2x") + file.mid(dot);
}

QList<QPixmap> PictureButton::loadPictures(const QString &file, std::optional<QColor> mask)
{
    const QPixmap normal = loadMasked(file, mask);
    if (normal.isNull())
        return {};
    // Without it a scaled screen would get the 1x picture blown up with hard steps.
    QPixmap doubled = loadMasked(doubleSizeFile(file), mask);
    if (doubled.isNull() || doubled.size() != normal.size() * 2)
        return {normal};
    doubled.setDevicePixelRatio(2);
    return {normal, doubled};
}

void PictureButton::setPicture(const QString &file, std::optional<QColor> mask)
{
    m_picture = loadPictures(file, mask);
    updateIcon();
}

void PictureButton::setDisabledPicture(const QString &file, std::optional<QColor> mask)
{
    m_disabledPicture = loadPictures(file, mask);
    updateIcon();
}

void PictureButton::updateIcon()
{
    QIcon icon;
    for (const QPixmap &picture : m_picture)
        icon.addPixmap(picture, QIcon::Normal);
    // Without a picture of its own Qt greys the normal one, as a graphical button does.
    for (const QPixmap &picture : m_disabledPicture)
        icon.addPixmap(picture, QIcon::Disabled);
    setIcon(icon);
    setIconSize(m_picture.isEmpty() ? QSize(0, 0) : m_picture.first().size());
}
