#include "summarypages.h"
#include "summarytexts.h"

namespace velto::print {

namespace {
// One assessment section: heading, state line, care-note heading and lines.
struct Section {
    const char *heading;
    double hx, hy;
    double sx, sy;
    const char *levelKey;
    const char *stateKey;
    double noteY;
    int firstNoteKey;
    int noteLines;
    double firstNoteY;
};

const Section kSections[] = {
    {"食事の状態", 12, 19, 16, 23, "174", "175", 28, 176, 4, 32},
    {"排泄の状態", 12, 52, 16, 57, "180", "181", 62, 182, 4, 66},
    {"清潔の状態", 12, 85, 16, 89, "186", "187", 94, 188, 4, 98},
    {"移動・移乗", 12, 117, 16, 121, "192", "193", 134, 196, 4, 138},
    {"ｺﾐｭﾆｹｰｼｮﾝ問題", 12, 157, 16, 161, "200", "201", 166, 202, 4, 170},
    {"皮膚もしくは創部管理の必要性", 11, 190, 15, 194, "206", "207", 199, 208, 4, 203},
    {"呼吸管理の必要性", 12, 223, 16, 227, "212", "213", 253, 219, 5, 257},
};
constexpr int kSectionCount = int(sizeof kSections / sizeof kSections[0]);
constexpr int kHead = 0;
constexpr int kIdou = 1 + 3;
constexpr int kKokyu = 1 + 6;
constexpr int kFirstNote = 3; // item index of the first care-note line
} // namespace

void SummaryPage2::InitPrintItems()
{
    m_groups = {headGroup(178, 187, 2)};
    for (const Section &s : kSections) {
        ItemGroup g {labelAt(s.hx, s.hy, QString::fromUtf8(s.heading)), itemAt(s.sx, s.sy),
                     labelAt(16, s.noteY, QStringLiteral("留意点"))};
        g += linesAt(s.noteLines, 19, s.firstNoteY, 4);
        m_groups << g;
    }
    m_groups[kIdou] << itemAt(16, 126) << itemAt(16, 130);
    m_groups[kKokyu] << labelAt(16, 231, QStringLiteral("㍑/分・サイズ、最終交換日等"));
    m_groups[kKokyu] += linesAt(4, 16, 235, 4);
}

void SummaryPage2::SetPrintText(const SummaryInput &input)
{
    if (m_groups.size() != 1 + kSectionCount)
        InitPrintItems();
    const PatientRecord &r = input.record;
    setText(m_groups[kHead], 1, input.printDate);
    for (int i = 0; i < kSectionCount; ++i) {
        const Section &s = kSections[i];
        ItemGroup &g = m_groups[1 + i];
        setText(g, 1, stateLineText(r.value(QLatin1String(s.levelKey)), r.value(QLatin1String(s.stateKey))));
        fillLines(g, kFirstNote, r, lineKeys(s.firstNoteKey, s.noteLines));
    }
    const int idouExtra = kFirstNote + kSections[3].noteLines;
    setText(m_groups[kIdou], idouExtra,
            QStringLiteral("リハビリ利用(") + r.value(QStringLiteral("194")) + QStringLiteral(")"));
    setText(m_groups[kIdou], idouExtra + 1,
            QStringLiteral("運動制限(") + r.value(QStringLiteral("195")) + QStringLiteral(")"));
    const int kokyuExtra = kFirstNote + kSections[6].noteLines;
    fillLines(m_groups[kKokyu], kokyuExtra + 1, r, lineKeys(214, 4));
}

QVector<FrameRect> SummaryPage2::sectionFrames() const
{
    return {
        {10, 20, 204, 49, 12, 29},   // 食事の状態
        {10, 54, 204, 83, 12, 29},   // 排泄の状態
        {10, 86, 204, 115, 12, 29},  // 清潔の状態
        {10, 118, 204, 155, 12, 29}, // 移動・移乗
        {10, 158, 204, 187, 12, 35}, // ｺﾐｭﾆｹｰｼｮﾝ問題
        {10, 191, 204, 220, 12, 56}, // 皮膚もしくは創部管理の必要性
        {10, 224, 204, 281, 12, 38}, // 呼吸管理の必要性
    };
}

QVector<FrameRect> SummaryPage2::innerBoxes() const
{
    return {
        {14, 29, 203, 48, 16, 26},   // 食事 留意点
        {14, 63, 203, 82, 16, 26},   // 排泄 留意点
        {14, 95, 203, 114, 16, 26},  // 清潔 留意点
        {14, 135, 203, 154, 16, 26}, // 移動 留意点
        {14, 167, 203, 186, 16, 26}, // ｺﾐｭﾆｹｰｼｮﾝ 留意点
        {14, 200, 203, 219, 16, 26}, // 皮膚 留意点
        {14, 232, 202, 251, 16, 60}, // 呼吸 oxygen
        {14, 254, 202, 278, 16, 26}, // 呼吸 留意点
    };
}

} // namespace velto::print
