// The window's pictures (the two logos, the splash): drawn from their SVG
// where Qt Svg is at hand, else from PNGs rendered from the same SVGs when
// the program was built (at 1x and 2x, for displays of either density).
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

namespace trekmor {

// A widget of the fixed `size` showing the picture `name` of the resources
// (":/pictures/NAME.svg", or ":/pictures/NAME.png" and "NAME@2x.png").
QWidget* newPicture(const QString& name, QSize size, QWidget* parent = nullptr);

}  // namespace trekmor
