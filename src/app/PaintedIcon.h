// Icons and pictures of our own windows, drawn with QPainter rather than
// shipped as image files: nothing to install, sharp at every screen scale.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <functional>

class QPainter;

namespace kvq {

// Paints on a 16 x 16 canvas (antialiased, transparent background).
using TIconPainter = std::function<void(QPainter&)>;

// An icon rendered by `paint` at 16, 24, 32 and 48 pixels.
QIcon PaintedIcon(const TIconPainter& paint);

// A closed yellow folder.
QIcon FolderIcon();

// A pixmap of `width` x `height` device-independent pixels at the primary
// screen's scale, painted by `paint` on a canvas of that size.
QPixmap PaintedPixmap(int width, int height, const std::function<void(QPainter&)>& paint);

}  // namespace kvq
