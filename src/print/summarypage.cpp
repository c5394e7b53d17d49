#include "summarypage.h"

namespace velto::print {

void drawSectionFrame(PageCanvas &canvas, const FrameRect &f, double dx, double dy, const LinePen &pen)
{
    const double l = f.left + dx, t = f.top + dy, r = f.right + dx, b = f.bottom + dy;
    if (f.breakFrom < f.breakTo) {
        canvas.drawLine(l, t, f.breakFrom + dx, t, pen);
        canvas.drawLine(f.breakTo + dx, t, r, t, pen);
    } else {
        canvas.drawLine(l, t, r, t, pen);
    }
    canvas.drawLine(r, t, r, b, pen);
    canvas.drawLine(l, b, r, b, pen);
    canvas.drawLine(l, t, l, b, pen);
}

void SummaryPage::DrawPage(PageCanvas &canvas, double dx, double dy, int lineWidth) const
{
    const double widthMm = lineWidth * kPrinterPixelMm;
    const LinePen solid {widthMm, kFrameColor, false};
    const LinePen dotted {widthMm, kFrameColor, true};
    for (const FrameRect &f : sectionFrames())
        drawSectionFrame(canvas, f, dx, dy, solid);
    for (const FrameRect &f : innerBoxes())
        drawSectionFrame(canvas, f, dx, dy, dotted);
    drawExtraFrames(canvas, dx, dy, widthMm);

    for (const ItemGroup &group : m_groups) {
        for (PrintItem item : group) {
            if (item.text.isEmpty())
                continue;
            item.x += dx;
            item.y += dy;
            canvas.drawText(item);
        }
    }
}

PrintItem SummaryPage::itemAt(double x, double y, double size)
{
    PrintItem item = defaultPrintItem();
    item.x = x;
    item.y = y;
    item.fontSize = size;
    return item;
}

PrintItem SummaryPage::labelAt(double x, double y, const QString &label, double size)
{
    PrintItem item = itemAt(x, y, size);
    item.text = label;
    return item;
}

ItemGroup SummaryPage::headGroup(double dateX, double pageX, int page)
{
    return {labelAt(77, 8, QStringLiteral("患　者　情　報"), 8.0), itemAt(dateX, 11),
            labelAt(pageX, 7, QStringLiteral("Page %1/3").arg(page))};
}

ItemGroup SummaryPage::linesAt(int count, double x, double y, double pitch)
{
    ItemGroup group;
    for (int i = 0; i < count; ++i)
        group << itemAt(x, y + i * pitch);
    return group;
}

ItemGroup SummaryPage::lineSection(const QString &heading, double hx, double hy, int count, double lx, double ly,
                                   double pitch)
{
    return ItemGroup {labelAt(hx, hy, heading)} + linesAt(count, lx, ly, pitch);
}

void SummaryPage::fillLines(ItemGroup &group, int first, const PatientRecord &record, const QStringList &keys)
{
    for (int i = 0; i < keys.size(); ++i)
        setText(group, first + i, record.value(keys.at(i)));
}

void SummaryPage::setText(ItemGroup &group, int index, const QString &text)
{
    if (index >= 0 && index < group.size())
        group[index].text = text;
}

} // namespace velto::print
