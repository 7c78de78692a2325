// SPDX-License-Identifier: MIT
// A command button that shows a picture instead of a caption, with an optional mask colour
// drawn transparent and an optional picture of its own for the disabled state.
#pragma once

#include <QColor>
#include <QPushButton>
#include <optional>

class PictureButton : public QPushButton
{
    Q_OBJECT
public:
    explicit PictureButton(QWidget *parent = nullptr);

    // A picture "name.ext" may have a variant drawn at twice the size, "name@2x.ext", with
    // the same mask colour; screens that scale the interface show that one.
    void setPicture(const QString &file, std::optional<QColor> mask = std::nullopt);
    void setDisabledPicture(const QString &file, std::optional<QColor> mask = std::nullopt);

    // Pixels of the mask colour become fully transparent.
    static QPixmap loadMasked(const QString &file, std::optional<QColor> mask);
    // The name of a picture's 2x variant.
    static QString doubleSizeFile(const QString &file);
    // The picture, then its 2x variant (device pixel ratio 2) where there is one.
    static QList<QPixmap> loadPictures(const QString &file, std::optional<QColor> mask);

private:
    void updateIcon();
    QList<QPixmap> m_picture;
    QList<QPixmap> m_disabledPicture;
};
