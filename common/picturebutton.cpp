// SPDX-License-Identifier: MIT
#include "picturebutton.h"

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

void PictureButton::setPicture(const QString &file, std::optional<QColor> mask)
{
    m_picture = loadMasked(file, mask);
    updateIcon();
}

void PictureButton::setDisabledPicture(const QString &file, std::optional<QColor> mask)
{
    m_disabledPicture = loadMasked(file, mask);
    updateIcon();
}

void PictureButton::updateIcon()
{
    QIcon icon;
    icon.addPixmap(m_picture, QIcon::Normal);
    // Without a picture of its own Qt greys the normal one, as a graphical button does.
    if (!m_disabledPicture.isNull())
        icon.addPixmap(m_disabledPicture, QIcon::Disabled);
    setIcon(icon);
    setIconSize(m_picture.size());
}
