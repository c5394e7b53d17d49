#pragma once
// The item model shared by the three pages of the patient summary and the
// drawing of a page onto a PageCanvas.
#include <QVector>

#include "facilitytexts.h"
#include "pagecanvas.h"
#include "printitem.h"
#include "record/patientrecord.h"

namespace velto::print {

// What a page prints: the record as the window holds it now, saved or not,
// the facility texts as just reloaded, and today's era date.
struct SummaryInput {
    PatientRecord record;
    FacilityTexts facility;
    QString printDate;
};

// A section frame; its top edge is open from breakFrom to breakTo for the heading.
// breakFrom == breakTo means a closed top edge.
struct FrameRect {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    double breakFrom = 0;
    double breakTo = 0;
};

// Line width handed to DrawPage is in printer pixels of a 600 dpi printer.
constexpr int kDefaultLineWidth = 4;
constexpr double kPrinterPixelMm = 25.4 / 600.0;
inline const QColor kFrameColor = QColor(192, 192, 192);

class SummaryPage {
public:
    virtual ~SummaryPage() = default;

    virtual int pageNumber() const = 0;
    // Every item back to the default item at its place and size; no text survives.
    virtual void InitPrintItems() = 0;
    virtual void SetPrintText(const SummaryInput &input) = 0;
    // Section frames solid, inner boxes dotted, then every non-empty item.
    // dx, dy shift everything (millimetres); lineWidth is in printer pixels.
    void DrawPage(PageCanvas &canvas, double dx = 0, double dy = 0, int lineWidth = kDefaultLineWidth) const;

    const QVector<ItemGroup> &groups() const { return m_groups; }

    virtual QVector<FrameRect> sectionFrames() const = 0;
    virtual QVector<FrameRect> innerBoxes() const = 0;

protected:
    // Frames a page adds after its section frames and inner boxes.
    virtual void drawExtraFrames(PageCanvas &, double, double, double) const { }

    static PrintItem itemAt(double x, double y, double size = 3.0);
    static PrintItem labelAt(double x, double y, const QString &label, double size = 3.0);
    // Title, print date and page number at the head of every page.
    static ItemGroup headGroup(double dateX, double pageX, int page);
    // `count` empty lines `pitch` mm apart from (x, y) down.
    static ItemGroup linesAt(int count, double x, double y, double pitch);
    // A heading and `count` lines `pitch` mm apart.
    static ItemGroup lineSection(const QString &heading, double hx, double hy, int count, double lx, double ly,
                                 double pitch);
    // Lines from `first` on take the record's values of `keys`, one line each.
    static void fillLines(ItemGroup &group, int first, const PatientRecord &record, const QStringList &keys);
    static void setText(ItemGroup &group, int index, const QString &text);

    QVector<ItemGroup> m_groups;
};

void drawSectionFrame(PageCanvas &canvas, const FrameRect &frame, double dx, double dy, const LinePen &pen);

} // namespace velto::print
