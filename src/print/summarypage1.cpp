#include "summarypages.h"
#include "summarytexts.h"

namespace velto::print {

namespace {
enum Group {
    Head,
    Personal,
    Shindan,
    Kioureki,
    Person,
    Naifuku,
    Keireki,
    Vital,
    Kansen,
    Arerugi,
    Shogai,
    Kigu,
    GroupCount
};

// Value items of the personal group, after the heading and the labels.
enum PersonalItem {
    Kana1 = 2,
    Kana2 = 3,
    Kanji1 = 5,
    Kanji2 = 6,
    Birth = 8,
    Blood = 10,
    Sex = 12,
    Zip = 13,
    Address1 = 14,
    Address2 = 15,
    Tel = 17,
    Emergency = 19
};
} // namespace

void SummaryPage1::InitPrintItems()
{
    m_groups = QVector<ItemGroup>(GroupCount);
    m_groups[Head] = headGroup(177, 187, 1);
    m_groups[Personal] = {
        labelAt(20, 17, QStringLiteral("個人情報")),
        labelAt(20, 23, QStringLiteral("ふりがな")),
        itemAt(36, 23),
        itemAt(56, 23),
        labelAt(20, 28, QStringLiteral("氏　　名")),
        itemAt(36, 28),
        itemAt(56, 28),
        labelAt(20, 33, QStringLiteral("生年月日")),
        itemAt(36, 33),
        labelAt(20, 37, QStringLiteral("血液型")),
        itemAt(36, 37),
        labelAt(20, 41, QStringLiteral("性別")),
        itemAt(36, 41),
        itemAt(79, 22),
        itemAt(79, 27),
        itemAt(82, 31),
        labelAt(86, 37, QStringLiteral("TEL 自宅")),
        itemAt(112, 37),
        labelAt(93, 42, QStringLiteral("緊急連絡先")),
        itemAt(112, 42),
    };
    m_groups[Shindan] = lineSection(QStringLiteral("診断名"), 20, 49, 3, 19, 52, 3);
    m_groups[Kioureki] = lineSection(QStringLiteral("既往歴"), 20, 64, 8, 19, 68, 3);
    m_groups[Person] = lineSection(QStringLiteral("家族背景（キーパーソン）"), 20, 96, 8, 19, 100, 3);
    m_groups[Naifuku] = lineSection(QStringLiteral("服薬内容"), 20, 129, 18, 19, 134, 3);
    m_groups[Keireki] = lineSection(QStringLiteral("現在までの経過"), 115, 64, 40, 114, 68, 3);
    m_groups[Vital] = {
        labelAt(114, 49, QStringLiteral("最終バイタルサイン")),
        itemAt(113, 54),
        itemAt(143, 54),
        itemAt(113, 58),
        itemAt(143, 58),
        itemAt(165, 58),
        itemAt(185, 58),
    };
    m_groups[Kansen]
        = {labelAt(19, 193, QStringLiteral("感染症")), itemAt(20, 197), labelAt(22, 201, QStringLiteral("備考"))};
    m_groups[Kansen] += linesAt(5, 20, 205, 3);
    m_groups[Arerugi] = {labelAt(114, 193, QStringLiteral("アレルギー")), itemAt(115, 197),
                         labelAt(117, 201, QStringLiteral("備考"))};
    m_groups[Arerugi] += linesAt(5, 115, 205, 3);
    m_groups[Shogai] = {labelAt(20, 225, QStringLiteral("障　害")), itemAt(20, 229), itemAt(20, 233), itemAt(20, 238),
                        labelAt(22, 242, QStringLiteral("備考"))};
    m_groups[Shogai] += linesAt(5, 20, 246, 3);
    m_groups[Kigu] = {labelAt(20, 266, QStringLiteral("装具・器具")), itemAt(20, 270), itemAt(20, 274)};
}

void SummaryPage1::SetPrintText(const SummaryInput &input)
{
    if (m_groups.size() != GroupCount)
        InitPrintItems();
    const PatientRecord &r = input.record;
    auto v = [&r](const char *key) { return r.value(QLatin1String(key)); };

    setText(m_groups[Head], 1, input.printDate);

    ItemGroup &p = m_groups[Personal];
    setText(p, Kana1, v("001"));
    setText(p, Kana2, v("002"));
    setText(p, Kanji1, v("003"));
    setText(p, Kanji2, v("004"));
    setText(p, Birth, v("007") + v("008") + v("009") + v("010"));
    setText(p, Blood, bloodTypeText(v("011"), v("012")));
    setText(p, Sex, v("005"));
    setText(p, Zip, postalCodeText(v("013"), v("014")));
    setText(p, Address1, v("015") + v("016"));
    setText(p, Address2, v("017"));
    setText(p, Tel, v("018"));
    setText(p, Emergency, emergencyContactText(v("019"), v("020"), v("021")));

    fillLines(m_groups[Shindan], 1, r, lineKeys(22, 3));
    fillLines(m_groups[Kioureki], 1, r, lineKeys(25, 8));
    fillLines(m_groups[Person], 1, r, lineKeys(112, 8));
    fillLines(m_groups[Naifuku], 1, r, lineKeys(33, 18));
    fillLines(m_groups[Keireki], 1, r, progressKeys());

    ItemGroup &vital = m_groups[Vital];
    setText(vital, 1, QStringLiteral("最終血圧 ") + v("051") + QStringLiteral("/") + v("052"));
    setText(vital, 2, pulseText(v("054"), v("055")));
    setText(vital, 3, QStringLiteral("平均血圧 ") + v("224") + QStringLiteral("/") + v("225"));
    setText(vital, 4, QStringLiteral("体温 ") + v("053") + QStringLiteral("℃"));
    setText(vital, 5, QStringLiteral("身長 ") + v("056") + QStringLiteral(" ㎝"));
    setText(vital, 6, QStringLiteral("体重 ") + v("057") + QStringLiteral(" ㎏"));

    setText(m_groups[Kansen], 1, textOrDefault(v("058"), QStringLiteral("なし")));
    fillLines(m_groups[Kansen], 3, r, lineKeys(59, 5));
    setText(m_groups[Arerugi], 1, textOrDefault(v("064"), QStringLiteral("なし")));
    fillLines(m_groups[Arerugi], 3, r, lineKeys(65, 5));

    ItemGroup &s = m_groups[Shogai];
    setText(s, 1, textOrDefault(v("071"), QStringLiteral("なし")).prepend(QStringLiteral("視力：")));
    setText(s, 2, textOrDefault(v("070"), QStringLiteral("なし")).prepend(QStringLiteral("聴力：")));
    setText(s, 3, QStringLiteral("麻痺：") + v("072"));
    fillLines(s, 5, r, lineKeys(73, 5));

    fillLines(m_groups[Kigu], 1, r, lineKeys(78, 2));
}

QVector<FrameRect> SummaryPage1::sectionFrames() const
{
    return {
        {17, 19, 204, 47, 20, 33},      // 個人情報
        {17, 50, 109, 62, 19, 30},      // 診断名
        {17, 65, 109, 93, 19, 31},      // 既往歴
        {17, 97, 109, 125, 19, 58},     // 家族背景
        {17, 130, 109, 191, 19, 34},    // 服薬内容
        {112, 50, 204, 62, 114, 143},   // 最終バイタルサイン
        {112, 65, 204, 191, 114, 138},  // 現在までの経過
        {17, 194, 108, 223, 19, 30},    // 感染症
        {112, 194, 204, 223, 114, 131}, // アレルギー
        {17, 226, 204, 264, 19, 37},    // 障害
        {17, 267, 204, 279, 19, 37},    // 装具・器具
    };
}

QVector<FrameRect> SummaryPage1::innerBoxes() const
{
    return {
        {19, 202, 106, 221, 22, 29},    // 感染症 備考
        {114, 202, 201, 221, 117, 124}, // アレルギー 備考
        {19, 243, 202, 262, 22, 28},    // 障害 備考
    };
}

} // namespace velto::print
