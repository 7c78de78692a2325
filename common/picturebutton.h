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

    void setPicture(const QString &file, std::optional<QColor> mask = std::nullopt);
    void setDisabledPicture(const QString &file, std::optional<QColor> mask = std::nullopt);

    // Pixels of the mask colour become fully transparent.
    static QPixmap loadMasked(const QString &file, std::optional<QColor> mask);

private:
    void updateIcon();
    QPixmap m_picture;
    QPixmap m_disabledPicture;
};
