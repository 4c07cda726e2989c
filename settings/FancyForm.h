#pragma once
// The shaded background of the settings program's windows: 128 horizontal
// colour bands from top to bottom and a two-pixel raised edge.
#include <QColor>
#include <QSize>

class QPainter;
class QWidget;

// Gives form the shaded background (painted whenever the form paints, so it
// survives repaints and follows resizes) and shows the form. Band i of 128
// has red = shadeRed * i, green = 127 - shadeGreen * i, blue = 127 - shadeBlue * i;
// components above 255 count as 255. Shades that drive a component below 0
// show "error in FancyForm : ..." and log it; the bands before that one are
// still painted.
void FancyForm(QWidget* form, short shadeRed, short shadeGreen, short shadeBlue);

// Colour of band i (0..127), or an invalid colour when a component is negative.
QColor FancyBandColour(int i, short shadeRed, short shadeGreen, short shadeBlue);

// Paints the bands and the edge over an area of the given size.
void PaintFancyBackground(QPainter& painter, const QSize& size, short shadeRed, short shadeGreen, short shadeBlue);
