#include "recordfields.h"

#include <QHash>

#include "recordsave.h"

namespace velto {

QString RecordField::objectName() const
{
    return index < 0 ? control : control + QLatin1Char('_') + QString::number(index);
}

namespace {

QString numKey(int n)
{
    return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
}

class Builder {
public:
    QVector<RecordField> fields;

    void text(const QString &key, const QString &control, int maxLength, InputMode mode, int tab,
              const QString &caption, const QString &suffix = QString())
    {
        add(key, control, -1, maxLength, FieldKind::Text, mode, tab, caption, suffix);
    }
    void list(const QString &key, const QString &control, int tab, const QString &caption)
    {
        add(key, control, -1, 0, FieldKind::EditableList, InputMode::Default, tab, caption);
    }
    // Lines firstLine.. of a group, keys counted up from firstKey.
    void lines(int firstKey, int count, const QString &control, int maxLength, int tab, const QString &caption,
               int firstLine = 0)
    {
        for (int i = 0; i < count; ++i)
            add(numKey(firstKey + i), control, firstLine + i, maxLength, FieldKind::Text, InputMode::Hiragana, tab,
                caption);
    }
    void add(const QString &key, const QString &control, int index, int maxLength, FieldKind kind, InputMode mode,
             int tab, const QString &caption, const QString &suffix = QString())
    {
        RecordField f;
        f.key = key;
        f.control = control;
        f.index = index;
        f.maxLength = maxLength;
        f.kind = kind;
        f.inputMode = mode;
        f.tab = tab;
        f.caption = caption;
        f.suffix = suffix;
        fields.append(f);
    }
};

QVector<RecordField> buildFields()
{
    const auto Off = InputMode::Off;
    const auto Hira = InputMode::Hiragana;
    const QString careNotes = QStringLiteral("ケア上の留意点");
    const QString state = QStringLiteral("患者の状態");
    Builder b;

    // Personal data.
    b.text("000", "txtID", 26, Off, 0, "患者ID");
    b.text("001", "txtNameKana", 0, Hira, 0, "ふりがな");
    b.text("002", "txtNameKana2", 0, Hira, 0, "ふりがな");
    b.text("003", "txtNameKanji", 0, Hira, 0, "氏名");
    b.text("004", "txtNameKanji2", 0, Hira, 0, "氏名");
    b.list("005", "cmbSeibetu", 0, "性 別");
    b.add("006", "cmbNenrei", -1, 0, FieldKind::AgeList, InputMode::Default, 0, "年齢");
    b.list("007", "cmbYmd1", 0, "生年月日");
    b.add("008", "cmbYmd2", -1, 0, FieldKind::FixedList, InputMode::Default, 0, "生年月日");
    b.add("009", "cmbYmd3", -1, 0, FieldKind::FixedList, InputMode::Default, 0, "生年月日");
    b.add("010", "cmbYmd4", -1, 0, FieldKind::FixedList, InputMode::Default, 0, "生年月日");
    b.list("011", "cmbKetueki", 0, "血液型");
    b.list("012", "cmbRH", 0, "RH");
    b.text("013", "txtZip1", 3, Off, 0, "〒");
    b.text("014", "txtZip2", 4, Off, 0, "-");
    b.list("015", "cmbZyu1", 0, "都道府県");
    b.text("016", "cmbZyu2", 35, Hira, 0, "住所");
    b.text("017", "cmbZyu3", 37, Hira, 0, "住所");
    b.text("018", "txtTel", 15, Off, 0, "TEL(自宅）");
    b.text("019", "txtKinkyuTel", 15, Off, 0, "TEL");
    b.text("020", "txtKinkyuYobi", 15, Hira, 0, "呼出名");
    b.text("021", "txtKinkyuKankei", 15, Hira, 0, "本人との関係");

    // Medical notes.
    b.lines(22, 3, "txtShindan", 28, 1, "診断名");
    b.lines(25, 8, "txtKioureki", 28, 2, "既往歴");
    b.lines(33, 18, "txtNaifukuyaku", 28, 3, "内服薬");

    // Last vital signs; the average blood pressure came later, hence its keys.
    b.text("051", "txtKetuatu1", 3, Off, 4, "最終");
    b.text("052", "txtKetuatu2", 3, Off, 4, "/");
    b.text("224", "txtKetuatu3", 3, Off, 4, "平均");
    b.text("225", "txtKetuatu4", 3, Off, 4, "/");
    b.text("053", "txtTaion", 4, Off, 4, "体温", "℃");
    b.text("054", "txtMyakuhaku", 3, Off, 4, "脈拍", "回/分");
    b.list("055", "cmbMyakuHoka", 4, QString());
    b.text("056", "txtSintyou", 5, Off, 4, "身長", "cm");
    b.text("057", "txtTaizyu", 5, Off, 4, "体重", "kg");

    // Infections, allergy, disabilities, paralysis, equipment.
    b.list("058", "cmbKansenAri", 5, "感染症名");
    b.lines(59, 5, "txtKansenMemo", 26, 5, "備考");
    b.list("064", "cmbArerugi", 6, "ｱﾚﾙｷﾞｰ");
    b.lines(65, 5, "txtArerugiMemo", 26, 6, "備考");
    b.text("070", "txtTyouryoku", 56, Hira, 7, "聴力");
    b.text("071", "txtSiryoku", 56, Hira, 7, "視力");
    b.list("072", "cmbMasui", 8, "麻痺");
    b.lines(73, 5, "txtMasuiMemo", 59, 8, "備考");
    b.lines(78, 2, "cmbKiguAri", 59, 9, "器具・装具");

    // Progress: lines 30 to 39 live under A01 to A10.
    b.lines(80, 30, "txtKeireki", 28, 10, "現在までの経過");
    for (int i = 0; i < 10; ++i)
        b.add(QStringLiteral("A%1").arg(i + 1, 2, 10, QLatin1Char('0')), "txtKeireki", 30 + i, 28, FieldKind::Text,
              Hira, 10, "現在までの経過");
    b.lines(112, 8, "txtPerson", 28, 11, "家族背景（ｷｰﾊﾟｰｿﾝ）");
    b.lines(120, 27, "txtMondaiten", 59, 12, "問題点");
    b.lines(147, 27, "txtMemo", 59, 13, "その他");

    // Nursing assessment.
    b.list("174", "cmbKouSyokuzi", 14, "食事の状態");
    b.list("175", "cmbKanSyokuzi", 14, state);
    b.lines(176, 4, "txtKanSyokuziMemo", 58, 14, careNotes);
    b.list("180", "cmbKouHaisetu", 15, "排泄の状態");
    b.list("181", "cmbKanHaisetu", 15, state);
    b.lines(182, 4, "txtKanHaisetuMemo", 58, 15, careNotes);
    b.list("186", "cmbKouSeiketu", 16, "清潔の状態");
    b.list("187", "cmbKanSeiketu", 16, state);
    b.lines(188, 4, "txtKanSeiketuMemo", 58, 16, careNotes);
    b.list("192", "cmbKouIdou", 17, "移動・移乗");
    b.list("193", "cmbKanIdou", 17, state);
    b.list("194", "comRehabiri", 17, "リハビリ利用");
    b.list("195", "comUndo", 17, "運動制限");
    b.lines(196, 4, "txtKanIdouMemo", 58, 17, careNotes);
    b.list("200", "comKouKomunication", 18, "問題点");
    b.list("201", "comkanKomunication", 18, state);
    b.lines(202, 4, "txtkanKomunicationMemo", 58, 18, careNotes);
    b.list("206", "cmbHifu", 19, "皮膚もしくは創部管理の必要性");
    b.list("207", "cmbKanHifu", 19, state);
    b.lines(208, 4, "txtKanHifuMemo", 58, 19, careNotes);
    b.list("212", "cmbKouKokyu", 20, "呼吸管理の必要性");
    b.list("213", "cmbKanKokyu", 20, state);
    b.lines(214, 4, "txtKanKokyu", 58, 20, "㍑/分・サイズ最終交換日等");
    b.lines(219, 5, "txtKanKokyuMemo", 58, 20, careNotes);

    // Last save and photo.
    b.add("300", QString(), -1, 0, FieldKind::SaveStamp, InputMode::Default, -1, QString());
    b.add("301", QString(), -1, 0, FieldKind::SaveStamp, InputMode::Default, -1, QString());
    b.add("302", QString(), -1, 0, FieldKind::SaveStamp, InputMode::Default, -1, QString());
    b.add("400", "txtPathKao", -1, 0, FieldKind::PhotoPath, InputMode::Default, 0, QString());
    return b.fields;
}

struct Index {
    QHash<QString, int> byKey;
    QHash<QString, int> byObjectName;
    QStringList order;
};

const Index &index()
{
    static const Index idx = [] {
        Index i;
        const auto &fields = recordFields();
        for (int n = 0; n < fields.size(); ++n) {
            i.byKey.insert(fields[n].key, n);
            if (fields[n].hasControl())
                i.byObjectName.insert(fields[n].objectName(), n);
            i.order << fields[n].key;
        }
        return i;
    }();
    return idx;
}

QStringList numbered(int from, int to, const QString &unit)
{
    QStringList l;
    for (int n = from; n <= to; ++n)
        l << QString::number(n) + unit;
    return l;
}

} // namespace

const QVector<RecordField> &recordFields()
{
    static const QVector<RecordField> fields = buildFields();
    return fields;
}

const QStringList &recordWriteOrder()
{
    return index().order;
}

const RecordField *recordField(const QString &key)
{
    const auto it = index().byKey.constFind(key);
    return it == index().byKey.constEnd() ? nullptr : &recordFields()[*it];
}

const RecordField *recordFieldByObjectName(const QString &objectName)
{
    const auto it = index().byObjectName.constFind(objectName);
    return it == index().byObjectName.constEnd() ? nullptr : &recordFields()[*it];
}

QVector<const RecordField *> recordLineGroup(const QString &control)
{
    QVector<const RecordField *> group;
    for (const auto &f : recordFields())
        if (f.isLine() && f.control == control)
            group.append(&f);
    std::sort(group.begin(), group.end(),
              [](const RecordField *a, const RecordField *b) { return a->index < b->index; });
    return group;
}

bool isReservedRecordKey(const QString &key)
{
    return key == QLatin1String("110") || key == QLatin1String("111");
}

QStringList recordListItems(const QString &control)
{
    static const QHash<QString, QStringList> lists = [] {
        const QStringList yesNo {"あり", "なし"};
        const QStringList independence {"自立", "部分介助", "全介助"};
        QHash<QString, QStringList> h;
        h.insert("cmbSeibetu", {"男", "女"});
        h.insert("cmbYmd1", {"明治", "大正", "昭和", "平成"});
        h.insert("cmbYmd2", numbered(1, 99, "年"));
        h.insert("cmbYmd3", numbered(1, 12, "月"));
        h.insert("cmbYmd4", numbered(1, 31, "日"));
        h.insert("cmbNenrei", numbered(1, 120, "歳"));
        h.insert("cmbKetueki", {"A型", "B型", "O型", "AB型"});
        h.insert("cmbRH", {"＋", "－"});
        h.insert("cmbZyu1", {"北海道",   "青森県", "岩手県", "秋田県", "宮城県", "山形県",   "福島県", "東京都",
                             "神奈川県", "埼玉県", "千葉県", "茨城県", "栃木県", "群馬県",   "新潟県", "富山県",
                             "石川県",   "福井県", "山梨県", "長野県", "岐阜県", "静岡県",   "愛知県", "三重県",
                             "滋賀県",   "京都府", "大阪府", "兵庫県", "奈良県", "和歌山県", "鳥取県", "島根県",
                             "岡山県",   "広島県", "山口県", "徳島県", "香川県", "愛媛県",   "高知県", "福岡県",
                             "佐賀県",   "長崎県", "熊本県", "大分県", "宮崎県", "鹿児島県", "沖縄県"});
        h.insert("cmbMyakuHoka", {"整脈", "不整脈", "ペースメーカー"});
        h.insert("cmbKansenAri", {"HBV", "HCV", "HIV", "MRSA", "梅毒", "輸血歴", "その他"});
        for (const char *c :
             {"cmbArerugi", "cmbMasui", "comRehabiri", "comUndo", "comKouKomunication", "cmbHifu", "cmbKouKokyu"})
            h.insert(c, yesNo);
        for (const char *c : {"cmbKouSyokuzi", "cmbKouHaisetu", "cmbKouSeiketu", "cmbKouIdou"})
            h.insert(c, independence);
        h.insert("cmbKanSyokuzi", {"普通食", "軟菜食", "ミキサー食", "流動食", "経管栄養", "制限食", "禁食", "その他"});
        h.insert("cmbKanHaisetu", {"オムツ", "リハビリパンツ", "尿意無し", "便意無し", "膀胱カテーテル",
                                   "バルーンカテーテル", "下剤の使用", "ストマー造設"});
        h.insert("cmbKanSeiketu",
                 {"入浴(介助)", "入浴(見守り)", "機械浴", "シャワー浴", "全身清拭(最終)", "洗髪清拭(最終)", "口腔ケア",
                  "陰部ケア", "衣類の着脱(自立)", "衣類の着脱(部分介助)", "衣類の着脱(全介助)]", "その他"});
        h.insert("cmbKanIdou", {"車椅子", "歩行器", "杖", "その他"});
        h.insert("comkanKomunication", {"話すことができない", "書くことができない", "読むことができない",
                                        "会話を理解できない", "しぐさを理解できない", "痴呆がある", "その他"});
        h.insert("cmbKanHifu",
                 {"発赤", "発疹", "打撲症", "皮膚剥離", "創傷", "抜糸（済）部位/ｻｲｽﾞ", "抜糸（未）部位/ｻｲｽﾞ",
                  "ｶﾞｰｾﾞ交換（回/日）", "洗浄", "薬剤", "排菌（有）", "排菌（無）", "その他"});
        h.insert("cmbKanKokyu", {"酸素療法流量(ﾏｽｸ)", "酸素療法流量(ｶﾇﾗ)", "気管切開ｶﾆｭｰﾚ", "その他"});
        return h;
    }();
    return lists.value(control);
}

const QVector<RecordTab> &recordTabs()
{
    static const QVector<RecordTab> tabs {
        {" 個人情報", QString()},
        {" 診断名", "診断名"},
        {" 既往歴  ", "既往歴"},
        {" 内服薬", "内服薬"},
        {"　最終ﾊﾞｲﾀﾙｻｲﾝ", "最終ﾊﾞｲﾀﾙｻｲﾝ"},
        {"　感染症", "感染症"},
        {" ｱﾚﾙｷﾞｰ", "ｱﾚﾙｷﾞｰ"},
        {"　障　害　", "障害"},
        {"　麻　痺", "麻痺"},
        {" 装具・器具", "器具・装具"},
        {" 現在までの経過", "現在までの経過"},
        {" ｷｰﾊﾟｰｿﾝ", "家族背景（ｷｰﾊﾟｰｿﾝ）"},
        {"　問題点", "問題点"},
        {" その他", "その他"},
        {" 食事状態", "食事状態"},
        {" 排泄状態", "排泄状態"},
        {" 清潔状態", "清潔状態"},
        {" 移動・移乗", "移動・移乗"},
        {" ｺﾐｭﾆｹｰｼｮﾝ", "ｺﾐｭﾆｹｰｼｮﾝ"},
        {" 創部管理", "創部管理"},
        {" 呼吸管理", "呼吸管理"},
    };
    return tabs;
}

QString recordInitialValue(const QString &key)
{
    return key == recordkey::Paralysis ? QStringLiteral("なし") : QString();
}

PatientRecord newPatientRecord()
{
    PatientRecord r;
    for (const auto &key : recordWriteOrder())
        r.setValue(key, recordInitialValue(key));
    return r;
}

QStringList changedFieldCaptions(const PatientRecord &before, const PatientRecord &after)
{
    QStringList captions;
    QString last;
    for (const RecordField &f : recordFields()) {
        if (f.kind == FieldKind::SaveStamp)
            continue; // who saved and when: the event says so itself
        if (f.kind == FieldKind::PhotoPath)
            last = recordtext::PhotoButton;
        else if (!f.caption.isEmpty())
            last = f.caption;
        if (before.value(f.key) != after.value(f.key) && !last.isEmpty() && !captions.contains(last))
            captions << last;
    }
    return captions;
}

} // namespace velto
