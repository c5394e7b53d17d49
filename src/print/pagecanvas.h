#pragma once
// What a summary page draws on, in sheet millimetres from the sheet's top-left
// corner. The page layout is the same for a printer, a PDF or a test recorder.
#include <QColor>

#include "printitem.h"

namespace velto::print {

struct LinePen {
    double widthMm = 0;
    QColor color;
    bool dotted = false;
};

class PageCanvas {
public:
    virtual ~PageCanvas() = default;
    virtual void drawLine(double x1, double y1, double x2, double y2, const LinePen &pen) = 0;
    // Arc of the circle at (cx, cy); angles in degrees, 0 at three o'clock,
    // counter-clockwise as seen on the sheet.
    virtual void drawArc(double cx, double cy, double radius, double startDeg, double spanDeg, const LinePen &pen) = 0;
    // One line of text, the item's top-left corner at its (x, y); never wrapped or clipped.
    virtual void drawText(const PrintItem &item) = 0;
};

} // namespace velto::print
