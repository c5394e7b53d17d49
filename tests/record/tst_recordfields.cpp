#include <QSet>
#include <QtTest>

#include "record/recordfields.h"

using namespace velto;

class TstRecordFields : public QObject {
    Q_OBJECT

    static QStringList keys(int from, int to)
    {
        QStringList l;
        for (int n = from; n <= to; ++n)
            l << QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
        return l;
    }

private slots:
    void writeOrder()
    {
        QStringList expected = keys(0, 52);
        expected << "224"
                 << "225" << keys(53, 109);
        for (int i = 1; i <= 10; ++i)
            expected << QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0'));
        expected << keys(112, 217) << keys(219, 223) << "300"
                 << "301"
                 << "302"
                 << "400";
        QCOMPARE(expected.size(), 237);
        QCOMPARE(recordWriteOrder(), expected);
        QCOMPARE(recordFields().size(), 237);
    }

    void reservedAndUnknownKeys()
    {
        for (const char *k : {"110", "111", "218", "999", "a01", "A11", "00", ""})
            QVERIFY2(!recordField(k), k);
        QVERIFY(isReservedRecordKey("110"));
        QVERIFY(isReservedRecordKey("111"));
        QVERIFY(!isReservedRecordKey("112"));
    }

    void objectNamesUnique()
    {
        QSet<QString> names;
        for (const auto &f : recordFields()) {
            if (!f.hasControl())
                continue;
            QVERIFY2(!names.contains(f.objectName()), qPrintable(f.objectName()));
            names.insert(f.objectName());
            QCOMPARE(recordFieldByObjectName(f.objectName()), &f);
        }
        QCOMPARE(names.size(), 234); // every key but the three save-stamp keys
    }

    void field_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("inputMode");
        const int text = int(FieldKind::Text), editable = int(FieldKind::EditableList);
        const int off = int(InputMode::Off), hira = int(InputMode::Hiragana), def = int(InputMode::Default);
        QTest::newRow("patient id") << "000"
                                    << "txtID" << 26 << text << 0 << off;
        QTest::newRow("family name") << "003"
                                     << "txtNameKanji" << 0 << text << 0 << hira;
        QTest::newRow("sex") << "005"
                             << "cmbSeibetu" << 0 << editable << 0 << def;
        QTest::newRow("age") << "006"
                             << "cmbNenrei" << 0 << int(FieldKind::AgeList) << 0 << def;
        QTest::newRow("era") << "007"
                             << "cmbYmd1" << 0 << editable << 0 << def;
        QTest::newRow("day") << "010"
                             << "cmbYmd4" << 0 << int(FieldKind::FixedList) << 0 << def;
        QTest::newRow("address 2 is a text box") << "017"
                                                 << "cmbZyu3" << 37 << text << 0 << hira;
        QTest::newRow("diagnosis 0") << "022"
                                     << "txtShindan_0" << 28 << text << 1 << hira;
        QTest::newRow("medication 17") << "050"
                                       << "txtNaifukuyaku_17" << 28 << text << 3 << hira;
        QTest::newRow("avg bp") << "225"
                                << "txtKetuatu4" << 3 << text << 4 << off;
        QTest::newRow("temperature") << "053"
                                     << "txtTaion" << 4 << text << 4 << off;
        QTest::newRow("paralysis") << "072"
                                   << "cmbMasui" << 0 << editable << 8 << def;
        QTest::newRow("equipment 1") << "079"
                                     << "cmbKiguAri_1" << 59 << text << 9 << hira;
        QTest::newRow("progress 29") << "109"
                                     << "txtKeireki_29" << 28 << text << 10 << hira;
        QTest::newRow("progress 30") << "A01"
                                     << "txtKeireki_30" << 28 << text << 10 << hira;
        QTest::newRow("progress 39") << "A10"
                                     << "txtKeireki_39" << 28 << text << 10 << hira;
        QTest::newRow("key person 0") << "112"
                                      << "txtPerson_0" << 28 << text << 11 << hira;
        QTest::newRow("remarks 26") << "173"
                                    << "txtMemo_26" << 59 << text << 13 << hira;
        QTest::newRow("rehab") << "194"
                               << "comRehabiri" << 0 << editable << 17 << def;
        QTest::newRow("oxygen 3") << "217"
                                  << "txtKanKokyu_3" << 58 << text << 20 << hira;
        QTest::newRow("resp notes 0") << "219"
                                      << "txtKanKokyuMemo_0" << 58 << text << 20 << hira;
        QTest::newRow("photo") << "400"
                               << "txtPathKao" << 0 << int(FieldKind::PhotoPath) << 0 << def;
    }
    void field()
    {
        QFETCH(QString, key);
        QFETCH(QString, objectName);
        QFETCH(int, maxLength);
        QFETCH(int, kind);
        QFETCH(int, tab);
        QFETCH(int, inputMode);
        const RecordField *f = recordField(key);
        QVERIFY(f);
        QCOMPARE(f->objectName(), objectName);
        QCOMPARE(f->maxLength, maxLength);
        QCOMPARE(int(f->kind), kind);
        QCOMPARE(f->tab, tab);
        QCOMPARE(int(f->inputMode), inputMode);
    }

    void saveStampHasNoControl()
    {
        for (const char *k : {"300", "301", "302"}) {
            QVERIFY(recordField(k));
            QVERIFY(!recordField(k)->hasControl());
            QCOMPARE(recordField(k)->tab, -1);
        }
    }

    // Each group's lines are 0..n-1 with no gap, so the window can lay them out by index.
    void lineGroups_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("lines");
        QTest::newRow("txtShindan") << "txtShindan" << 3;
        QTest::newRow("txtKioureki") << "txtKioureki" << 8;
        QTest::newRow("txtNaifukuyaku") << "txtNaifukuyaku" << 18;
        QTest::newRow("txtKansenMemo") << "txtKansenMemo" << 5;
        QTest::newRow("txtMasuiMemo") << "txtMasuiMemo" << 5;
        QTest::newRow("cmbKiguAri") << "cmbKiguAri" << 2;
        QTest::newRow("txtKeireki") << "txtKeireki" << 40;
        QTest::newRow("txtMondaiten") << "txtMondaiten" << 27;
        QTest::newRow("txtKanKokyuMemo") << "txtKanKokyuMemo" << 5;
    }
    void lineGroups()
    {
        QFETCH(QString, control);
        QFETCH(int, lines);
        const auto group = recordLineGroup(control);
        QCOMPARE(group.size(), lines);
        for (int i = 0; i < group.size(); ++i)
            QCOMPARE(group[i]->index, i);
    }

    void listItems_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("year") << "cmbYmd2" << 99 << "1年"
                              << "99年";
        QTest::newRow("month") << "cmbYmd3" << 12 << "1月"
                               << "12月";
        QTest::newRow("day") << "cmbYmd4" << 31 << "1日"
                             << "31日";
        QTest::newRow("age") << "cmbNenrei" << 120 << "1歳"
                             << "120歳";
        QTest::newRow("prefecture") << "cmbZyu1" << 47 << "北海道"
                                    << "沖縄県";
        QTest::newRow("rh") << "cmbRH" << 2 << "＋"
                            << "－";
        QTest::newRow("paralysis") << "cmbMasui" << 2 << "あり"
                                   << "なし";
        QTest::newRow("hygiene") << "cmbKanSeiketu" << 12 << "入浴(介助)"
                                 << "その他";
        QTest::newRow("skin") << "cmbKanHifu" << 13 << "発赤"
                              << "その他";
        QTest::newRow("communication") << "comkanKomunication" << 7 << "話すことができない"
                                       << "その他";
        QTest::newRow("text box") << "txtID" << 0 << QString() << QString();
    }
    void listItems()
    {
        QFETCH(QString, control);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        const QStringList items = recordListItems(control);
        QCOMPARE(items.size(), count);
        if (count) {
            QCOMPARE(items.first(), first);
            QCOMPARE(items.last(), last);
        }
    }

    // Every list field of the table has its vocabulary.
    void everyListHasItems()
    {
        for (const auto &f : recordFields()) {
            const bool isList
                = f.kind == FieldKind::EditableList || f.kind == FieldKind::FixedList || f.kind == FieldKind::AgeList;
            QCOMPARE(!recordListItems(f.control).isEmpty(), isList);
        }
    }

    void tabs()
    {
        QCOMPARE(recordTabs().size(), 21);
        QCOMPARE(recordTabs()[2].caption, QStringLiteral(" 既往歴  "));
        QCOMPARE(recordTabs()[4].caption, QStringLiteral("　最終ﾊﾞｲﾀﾙｻｲﾝ"));
        QCOMPARE(recordTabs()[11].frame, QStringLiteral("家族背景（ｷｰﾊﾟｰｿﾝ）"));
        for (const auto &f : recordFields())
            QVERIFY(f.tab >= -1 && f.tab < 21);
    }

    // What a save changed, by the captions the nurse sees: each once, in
    // the fields' order; who saved and when is not one of them.
    void changedFieldCaptions_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("nothing") << QStringList {} << QStringList {};
        QTest::newRow("the family name") << QStringList {"003"} << QStringList {"氏名"};
        QTest::newRow("two lines of one note") << QStringList {"121", "140"} << QStringList {"問題点"};
        QTest::newRow("the second address line, named by the first") << QStringList {"017"} << QStringList {"住所"};
        QTest::newRow("name, note, picture")
            << QStringList {"400", "121", "003"} << QStringList {"氏名", "問題点", "顔写真"};
        QTest::newRow("only the save stamp") << QStringList {"300", "301", "302"} << QStringList {};
    }
    void changedFieldCaptions()
    {
        QFETCH(QStringList, keys);
        QFETCH(QStringList, captions);
        PatientRecord before = newPatientRecord();
        PatientRecord after = before;
        for (const QString &key : keys)
            after.setValue(key, QStringLiteral("変更"));
        QCOMPARE(velto::changedFieldCaptions(before, after), captions);
    }

    void newRecord()
    {
        const PatientRecord r = newPatientRecord();
        QCOMPARE(r.values().size(), 237);
        for (const auto &key : recordWriteOrder())
            QCOMPARE(r.value(key), key == "072" ? QStringLiteral("なし") : QString());
    }
};

QTEST_GUILESS_MAIN(TstRecordFields)
#include "tst_recordfields.moc"
