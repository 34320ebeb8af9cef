#pragma once
// An axes' frame: the box, the ticks and their numbers, the axis labels and the title.
#include <QPainter>
#include <QRectF>

#include "platform/graphics/graphics.h"
#include "qt/figure_painter.h"

namespace qiv::qt {

// Adds what it draws to *ink when given (see draw_text).
void draw_frame(QPainter& p, const Graphics& gfx, Handle ax, const DataMap& m,
                QRectF* ink = nullptr);

}  // namespace qiv::qt
