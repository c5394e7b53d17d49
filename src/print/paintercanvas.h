#pragma once
// Summary pages on a real paint device: a printer, a PDF file or an image.
#include <QMarginsF>
#include <QRectF>
#include <QStringList>
#include <QVector>

#include "pagecanvas.h"
#include "summarypage.h"

class QPainter;
class QPagedPaintDevice;

namespace velto::print {

// The pages assume the device's origin this far right of and below the
// sheet's corner, as a printer's printable area begins there.
constexpr double kSheetOffsetMm = 5.0;
// The installed face used wherever the pages ask for kMinchoFace.
inline const QString kMinchoSubstitute = QStringLiteral("IPAMincho");

// Lets kMinchoFace resolve to the installed Mincho face; safe to call often.
void installMinchoSubstitution();

// Draws on an active painter in sheet millimetres: the painter is scaled from
// its device's resolution and every coordinate reduced by sheetOffsetMm.
// Line widths are millimetres; fonts keep their point sizes.
class PainterCanvas : public PageCanvas {
public:
    explicit PainterCanvas(QPainter *painter, double sheetOffsetMm = kSheetOffsetMm);
    ~PainterCanvas() override;
    PainterCanvas(const PainterCanvas &) = delete;
    PainterCanvas &operator=(const PainterCanvas &) = delete;

    void drawLine(double x1, double y1, double x2, double y2, const LinePen &pen) override;
    void drawArc(double cx, double cy, double radius, double startDeg, double spanDeg, const LinePen &pen) override;
    void drawText(const PrintItem &item) override;

    // The part of the sheet the device can print (sheet millimetres); a text
    // that would fall outside it moves inside by the smallest offset, so a
    // printer's unprintable edge never cuts the title or the page number.
    void setPrintableArea(const QRectF &sheetMm) { m_printable = sheetMm; }

private:
    void setPen(const LinePen &pen);
    QPainter *m_painter;
    double m_offset;
    QRectF m_printable;
};

// How far a box must move to lie inside area: the smallest offset, and the
// left or top edge when it is larger than the area.
QPointF offsetInto(const QRectF &box, const QRectF &area);

// The printable part of a device's sheet, in sheet millimetres.
QRectF printableArea(const QPagedPaintDevice *device);

// A4, portrait, no margins; each is set only when the device differs.
void SetupPrinter(QPagedPaintDevice *device);

// The page driver: lays out and fills the page, prepares the device and paints
// the page as one job (one painter begin and end). False when the device could
// not be opened; nothing is reported, as a failing page is simply skipped.
bool PrintSummaryPage(SummaryPage &page, const SummaryInput &input, QPagedPaintDevice *device,
                      double sheetOffsetMm = kSheetOffsetMm);

// Writes each of `pages` (1 to 3, in the order given) as a PDF of its own,
// folder/baseName_<n>.pdf. Returns the files written; a page that fails is left out.
// unprintableMm: the edges a printer could not print, to lay the pages out
// as for that printer.
QStringList writeSummaryPdfs(const SummaryInput &input, const QString &folder, const QString &baseName,
                             const QVector<int> &pages = {1, 2, 3}, double sheetOffsetMm = kSheetOffsetMm,
                             const QMarginsF &unprintableMm = QMarginsF());

} // namespace velto::print
