#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace zento::twips {

/// Window layouts are given in twips (1/1440 inch): 15 twips make one pixel at 96 DPI. This is
/// the one place that converts them, scaled with the screen's logical DPI.

/// The logical DPI of the conversions: the primary screen's when a GUI application exists at
/// the first conversion, else 96.
double logicalDpi();

int px(int twips);
QPoint point(int left, int top);
QSize size(int width, int height);
QRect rect(int left, int top, int width, int height);

} // namespace zento::twips
