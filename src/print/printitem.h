#pragma once
// One piece of text at a fixed place on the sheet, and the groups a page is made of.
#include <QColor>
#include <QString>
#include <QVector>

namespace velto::print {

// The face every item asks for; substituted by an installed Mincho face.
inline const QString kMinchoFace = QStringLiteral("ＭＳ 明朝");
// Item sizes are millimetres; the printer gets points.
constexpr double kPointsPerSizeMm = 2.88;

struct PrintItem {
    QString fontName = kMinchoFace;
    double fontSize = 3.0;
    QColor foreColor = QColor(0, 0, 0);
    bool fontBold = true;
    bool fontItalic = false;
    bool fontUnderline = false;
    bool fontStrikethru = false;
    double x = 0; // sheet millimetres, left edge of the text
    double y = 0; // sheet millimetres, top edge of the text
    QString text; // empty prints nothing

    double pointSize() const { return fontSize * kPointsPerSizeMm; }
};

inline PrintItem defaultPrintItem()
{
    return PrintItem();
}

// Item 0 is usually a section heading, the others its lines.
using ItemGroup = QVector<PrintItem>;

} // namespace velto::print
