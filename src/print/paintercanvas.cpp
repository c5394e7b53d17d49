#include "paintercanvas.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <memory>

#include "summarypages.h"

namespace velto::print {

void installMinchoSubstitution()
{
    if (!QFont::substitutes(kMinchoFace).contains(kMinchoSubstitute))
        QFont::insertSubstitution(kMinchoFace, kMinchoSubstitute);
}

QPointF offsetInto(const QRectF &box, const QRectF &area)
{
    auto along = [](double low, double high, double areaLow, double areaHigh) {
        if (low < areaLow)
            return areaLow - low;
        if (high > areaHigh)
            return std::max(areaHigh - high, areaLow - low);
        return 0.0;
    };
    return {along(box.left(), box.right(), area.left(), area.right()),
            along(box.top(), box.bottom(), area.top(), area.bottom())};
}

QRectF printableArea(const QPagedPaintDevice *device)
{
    QPageLayout layout = device->pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QRectF sheet = layout.fullRect(QPageLayout::Millimeter);
    return sheet.marginsRemoved(layout.minimumMargins());
}

PainterCanvas::PainterCanvas(QPainter *painter, double sheetOffsetMm)
    : m_painter(painter)
    , m_offset(sheetOffsetMm)
{
    installMinchoSubstitution();
    m_painter->save();
    const QPaintDevice *device = m_painter->device();
    m_painter->scale(device->logicalDpiX() / 25.4, device->logicalDpiY() / 25.4);
    m_painter->translate(-sheetOffsetMm, -sheetOffsetMm);
    m_painter->setRenderHint(QPainter::Antialiasing);
    m_painter->setBrush(Qt::NoBrush);
}

PainterCanvas::~PainterCanvas()
{
    m_painter->restore();
}

void PainterCanvas::setPen(const LinePen &pen)
{
    QPen p(pen.color, pen.widthMm, pen.dotted ? Qt::DotLine : Qt::SolidLine, pen.dotted ? Qt::FlatCap : Qt::SquareCap);
    m_painter->setPen(p);
}

void PainterCanvas::drawLine(double x1, double y1, double x2, double y2, const LinePen &pen)
{
    setPen(pen);
    m_painter->drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void PainterCanvas::drawArc(double cx, double cy, double radius, double startDeg, double spanDeg, const LinePen &pen)
{
    setPen(pen);
    const QRectF box(cx - radius, cy - radius, 2 * radius, 2 * radius);
    m_painter->drawArc(box, qRound(startDeg * 16), qRound(spanDeg * 16));
}

void PainterCanvas::drawText(const PrintItem &item)
{
    QFont font(item.fontName);
    font.setPointSizeF(item.pointSize());
    font.setBold(item.fontBold);
    font.setItalic(item.fontItalic);
    font.setUnderline(item.fontUnderline);
    font.setStrikeOut(item.fontStrikethru);

    // Fonts are sized in points on the device itself, so the text is drawn
    // without the millimetre scaling, at the mapped top-left corner.
    QPointF sheetAt(item.x, item.y);
    if (!m_printable.isEmpty()) {
        const QPaintDevice *device = m_painter->device();
        const QFontMetricsF metrics(font, device);
        const QSizeF size(metrics.horizontalAdvance(item.text) * 25.4 / device->logicalDpiX(),
                          metrics.height() * 25.4 / device->logicalDpiY());
        // Where it lands on the sheet: the pages are drawn m_offset up and left.
        const QRectF box(sheetAt - QPointF(m_offset, m_offset), size);
        sheetAt += offsetInto(box, m_printable);
    }
    const QPointF at = m_painter->transform().map(sheetAt);
    m_painter->save();
    m_painter->resetTransform();
    m_painter->setFont(font);
    m_painter->setPen(item.foreColor);
    m_painter->drawText(QRectF(at, QSizeF(1e6, 1e6)),
                        Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, item.text);
    m_painter->restore();
}

void SetupPrinter(QPagedPaintDevice *device)
{
    const QPageLayout current = device->pageLayout();
    if (current.pageSize().id() != QPageSize::A4)
        device->setPageSize(QPageSize(QPageSize::A4));
    if (current.orientation() != QPageLayout::Portrait)
        device->setPageOrientation(QPageLayout::Portrait);
    if (current.units() != QPageLayout::Millimeter || !current.margins(QPageLayout::Millimeter).isNull())
        device->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool PrintSummaryPage(SummaryPage &page, const SummaryInput &input, QPagedPaintDevice *device, double sheetOffsetMm)
{
    page.InitPrintItems();
    page.SetPrintText(input);
    if (!device)
        return false;
    SetupPrinter(device);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    {
        PainterCanvas canvas(&painter, sheetOffsetMm);
        canvas.setPrintableArea(printableArea(device));
        page.DrawPage(canvas, 0, 0, kDefaultLineWidth);
    }
    return painter.end();
}

QStringList writeSummaryPdfs(const SummaryInput &input, const QString &folder, const QString &baseName,
                             const QVector<int> &pages, double sheetOffsetMm, const QMarginsF &unprintableMm)
{
    QStringList written;
    for (int number : pages) {
        const std::unique_ptr<SummaryPage> page = makeSummaryPage(number);
        if (!page)
            continue;
        const QString path = QDir(folder).filePath(QStringLiteral("%1_%2.pdf").arg(baseName).arg(number));
        bool ok = false;
        {
            QPdfWriter writer(path);
            writer.setCreator(QStringLiteral("Velto"));
            writer.setTitle(QStringLiteral("患者情報 %1/3").arg(number));
            if (!unprintableMm.isNull()) {
                QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                                   QPageLayout::Millimeter, unprintableMm);
                layout.setMode(QPageLayout::FullPageMode);
                writer.setPageLayout(layout);
            }
            ok = PrintSummaryPage(*page, input, &writer, sheetOffsetMm);
        }
        if (ok)
            written << path;
        else
            QFile::remove(path);
    }
    return written;
}

} // namespace velto::print
