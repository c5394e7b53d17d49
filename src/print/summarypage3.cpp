#include "summarypages.h"
#include "summarytexts.h"

namespace velto::print {

namespace {
enum Group { Head, Mondaiten, Memo, Facility, GroupCount };
} // namespace

void SummaryPage3::InitPrintItems()
{
    m_groups = QVector<ItemGroup>(GroupCount);
    m_groups[Head] = headGroup(177, 186, 3);
    m_groups[Mondaiten] = lineSection(QStringLiteral("問題点"), 13, 19, 27, 12, 23, 4);
    m_groups[Memo] = lineSection(QStringLiteral("その他"), 13, 135, 27, 12, 140, 4);
    m_groups[Facility] = {
        itemAt(51, 253, 4.0), itemAt(57, 258, 4.0),
        itemAt(57, 264),      itemAt(60, 267),
        itemAt(63, 270),      labelAt(67, 274, QStringLiteral("TEL")),
        itemAt(79, 274),      labelAt(67, 277, QStringLiteral("FAX")),
        itemAt(80, 277),      labelAt(134, 277, QStringLiteral("E-Mail")),
        itemAt(147, 277),
    };
}

void SummaryPage3::SetPrintText(const SummaryInput &input)
{
    if (m_groups.size() != GroupCount)
        InitPrintItems();
    setText(m_groups[Head], 1, input.printDate);
    fillLines(m_groups[Mondaiten], 1, input.record, lineKeys(120, 27));
    fillLines(m_groups[Memo], 1, input.record, lineKeys(147, 27));

    const FacilityTexts &f = input.facility;
    ItemGroup &g = m_groups[Facility];
    setText(g, 0, f.hospitalName);
    setText(g, 1, f.departmentName);
    setText(g, 2, postalCodeText(f.zip1, f.zip2));
    setText(g, 3, f.address1);
    setText(g, 4, f.address2);
    setText(g, 6, f.tel);
    setText(g, 8, f.fax);
    setText(g, 10, f.mail);
}

QVector<FrameRect> SummaryPage3::sectionFrames() const
{
    return {
        {10, 20, 204, 131, 12, 24},  // 問題点
        {10, 136, 204, 249, 12, 24}, // その他
    };
}

QVector<FrameRect> SummaryPage3::innerBoxes() const
{
    return {};
}

void SummaryPage3::drawExtraFrames(PageCanvas &canvas, double dx, double dy, double widthMm) const
{
    // The facility block: a solid frame of double width with rounded corners.
    const LinePen pen {2 * widthMm, kFrameColor, false};
    const FrameRect &f = kFacilityFrame;
    const double r = kCornerRadius;
    const double l = f.left + dx, t = f.top + dy, rt = f.right + dx, b = f.bottom + dy;
    canvas.drawLine(l + r, t, rt - r, t, pen);
    canvas.drawLine(l + r, b, rt - r, b, pen);
    canvas.drawLine(l, t + r, l, b - r, pen);
    canvas.drawLine(rt, t + r, rt, b - r, pen);
    canvas.drawArc(l + r, t + r, r, 90, 90, pen);   // top left
    canvas.drawArc(rt - r, t + r, r, 0, 90, pen);   // top right
    canvas.drawArc(rt - r, b - r, r, 270, 90, pen); // bottom right
    canvas.drawArc(l + r, b - r, r, 180, 90, pen);  // bottom left
}

} // namespace velto::print
