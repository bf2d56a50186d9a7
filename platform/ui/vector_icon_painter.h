// Icon drawings (platform/core/vector_icon.h) on screen: painted with
// QPainter at any size, as an image, or as a window icon holding the sizes
// a desktop asks for.
#pragma once

#include <QIcon>
#include <QImage>

#include "platform/core/vector_icon.h"

class QPainter;

namespace platform {

// The sizes of a program icon: the window icon's and the installed files'.
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// Paints the drawing into the square (0, 0, nPixels, nPixels) of the painter.
void PaintVectorIcon(QPainter& painter, const VectorIcon& icon, int nPixels);
// The drawing on a transparent image of nPixels square.
QImage RenderVectorIcon(const VectorIcon& icon, int nPixels);
// A window icon holding the drawing at every size of kIconSizes.
QIcon VectorIconToQIcon(const VectorIcon& icon);

}  // namespace platform
