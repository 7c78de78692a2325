// SPDX-License-Identifier: MIT
// The file formats the pictures are stored in.
#pragma once

#include <QImage>
#include <QString>

namespace writers {

// Uncompressed 24-bit BMP.
bool writeBmp(const QImage &image, const QString &path);
// Uncompressed 32-bit BMP whose rows are laid out as the screen's own pixels: the reserved
// byte is 255, and the rows start 56 bytes in, on a 4-byte boundary. The viewer draws such a
// picture where it is stored, without reading it into memory of its own.
bool writeBmp32(const QImage &image, const QString &path);
// A single-image 256-colour ICO with an AND mask for the transparent pixels.
bool writeIco(const QImage &drawing, const QString &path);
// PNG with alpha, for the desktop's icon theme.
bool writePng(const QImage &image, const QString &path);

} // namespace writers
