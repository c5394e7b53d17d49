#include <QtTest>

#include "core/errorlog.h"
#include "record/recordfields.h"
#include "record/recordfile.h"
#include "record/recordsave.h"
#include "support/fixtures.h"
#include "support/patients.h"
#include "support/testcontext.h"

using namespace velto;
using velto::test::TestContext;

namespace {

struct Fixture : TestContext {
    Fixture()
    {
        makeFolders();
        ctx.currentAccount = {QStringLiteral("nurse1"), Authority::Full, QStringLiteral("山田"), QStringLiteral("pw")};
    }
    QString dbFile(const QString &name) const { return path(QStringLiteral("DB/") + name); }
};

PatientRecord patient(const QString &family = QStringLiteral("佐藤"), const QString &given = QStringLiteral("一郎"))
{
    return test::patientRecord(family, given);
}

QStringList fileLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
}

} // namespace

class TstRecordSave : public QObject {
    Q_OBJECT

private slots:
    // The field a message names: its caption, the frame for a caption-less
    // field, and the field before a separator caption ("-", "/").
    void fieldLabels_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("label");
        QTest::newRow("caption") << "003"
                                 << "氏名";
        QTest::newRow("postal code, second part") << "014"
                                                  << "〒";
        QTest::newRow("last blood pressure, diastolic") << "052"
                                                        << "最終";
        QTest::newRow("average blood pressure, diastolic") << "225"
                                                           << "平均";
        QTest::newRow("note line") << "023"
                                   << "診断名(2行目)";
    }
    void fieldLabels()
    {
        QFETCH(QString, key);
        QTEST(recordFieldLabel(key), "label");
    }

    void inputCheck_data()
    {
        QTest::addColumn<QStringList>("changes"); // "key=value"
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("focusFirst");

        const QString fam = QStringLiteral("名字を入力してください");
        QTest::newRow("all empty: family name only")
            << QStringList {"003=", "004=", "005=", "007=", "008=", "009=", "010="} << fam << "txtNameKanji" << false;
        QTest::newRow("family name of spaces") << QStringList {"003=  　"} << fam << "txtNameKanji" << false;
        QTest::newRow("given name") << QStringList {"004= "} << QStringLiteral("名前を入力してください")
                                    << "txtNameKanji2" << false;
        QTest::newRow("era") << QStringList {"007=", "010="} << QStringLiteral("生年月日(年号)を入力してください")
                             << "cmbYmd1" << false;
        QTest::newRow("year") << QStringList {"008="} << QStringLiteral("生年月日(年)を入力してください") << "cmbYmd2"
                              << false;
        QTest::newRow("month") << QStringList {"009="} << QStringLiteral("生年月日(月)を入力してください") << "cmbYmd3"
                               << false;
        QTest::newRow("day before sex") << QStringList {"010=", "005="}
                                        << QStringLiteral("生年月日(日)を入力してください") << "cmbYmd4" << false;
        QTest::newRow("sex") << QStringList {"005="} << QStringLiteral("性別を入力してください") << "cmbSeibetu"
                             << false;
        const QString noDay = QStringLiteral("指定した生年月日の日付は存在しません。");
        QTest::newRow("30 February") << QStringList {"007=平成", "008=18年", "009=2月", "010=30日"} << noDay
                                     << "cmbYmd1" << false;
        QTest::newRow("typed era that is none") << QStringList {"007=西暦"} << noDay << "cmbYmd1" << false;
        QTest::newRow("stray space in the date") << QStringList {"007=昭和 "} << noDay << "cmbYmd1" << false;
        // The fixed clock stands at 2026-12-10 (令和8年).
        QTest::newRow("tomorrow") << QStringList {"007=令和", "008=8年", "009=12月", "010=11日"}
                                  << QStringLiteral("未来日付は入力できません。") << "cmbYmd1" << true;
        QTest::newRow("today passes") << QStringList {"007=令和", "008=8年", "009=12月", "010=10日"} << QString()
                                      << QString() << false;
        QTest::newRow("complete passes, notes empty") << QStringList {} << QString() << QString() << false;
    }
    void inputCheck()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(bool, focusFirst);
        Fixture fx;
        PatientRecord r = patient();
        for (const QString &c : changes)
            r.setValue(c.section('=', 0, 0), c.section('=', 1));

        QStringList events;
        struct Recorder : test::ScriptedPrompter {
            QStringList *events;
            void errorMsg(const QString &t) override { events->append("msg:" + t); }
        } prompter;
        prompter.events = &events;
        fx.ctx.prompter = &prompter;

        const bool passed = checkRecordInputAndTell(fx.ctx, r, [&](const QString &f) { events.append("focus:" + f); });
        QCOMPARE(passed, message.isEmpty());
        if (message.isEmpty()) {
            QVERIFY(events.isEmpty());
            return;
        }
        const QStringList expected = focusFirst ? QStringList {"focus:" + focus, "msg:" + message}
                                                : QStringList {"msg:" + message, "focus:" + focus};
        QCOMPARE(events, expected);
    }

    void age()
    {
        Fixture fx;
        PatientRecord r = patient();
        QCOMPARE(ageText(fx.ctx, r), QStringLiteral("91歳")); // 1935-05-03 on 2026-12-10
        r.setValue("008", QStringLiteral(" 10年 "));
        QCOMPARE(ageText(fx.ctx, r), QStringLiteral("91歳")); // trimmed before computing

        r.setValue("010", QString());
        QCOMPARE(ageText(fx.ctx, r), QString());
        QVERIFY(fx.prompter.asked.isEmpty()); // incomplete: silent

        r = patient();
        r.setValue("007", QStringLiteral("平成"));
        r.setValue("008", QStringLiteral("18年"));
        r.setValue("009", QStringLiteral("2月"));
        r.setValue("010", QStringLiteral("30日"));
        QCOMPARE(ageText(fx.ctx, r), QString());
        QCOMPARE(fx.prompter.texts(), QStringList {QStringLiteral("指定した生年月日の日付は存在しません。")});
    }

    void updaterTextForms()
    {
        QCOMPARE(updaterText("nurse1", QStringLiteral("山田"), "2026/12/10 09:30:00"),
                 QStringLiteral("最終更新者 : nurse1(山田)   最終更新時間 : 2026/12/10 09:30:00"));
        QCOMPARE(updaterText("nurse1", QString(), "2026/12/10 09:30:00"),
                 QStringLiteral("最終更新者 : nurse1  最終更新時間 : 2026/12/10 09:30:00"));
    }

    void saveNewPatient()
    {
        Fixture fx;
        QString oldKey;
        QStringList told;
        const SaveResult s = savePatientRecord(fx.ctx, patient(), true, &oldKey, [&](const SaveResult &w) {
            told << w.key << w.caption << w.updaterText;
            // The bed learns of the patient once the file is there.
            QVERIFY(QFileInfo::exists(fx.dbFile(w.key)));
        });
        const QString key = test::Sato;
        QCOMPARE(s.outcome, SaveResult::Saved);
        QCOMPARE(told,
                 (QStringList {key, QStringLiteral("佐藤"),
                               QStringLiteral("最終更新者 : nurse1(山田)   最終更新時間 : 2026/12/10 09:30:00")}));
        QCOMPARE(QDir(fx.path("DB")).entryList(QDir::Files), QStringList {key});

        PatientRecord back;
        QCOMPARE(readPatientRecord(fx.ctx, RecordRef::today(key), &back), RecordReadResult::Read);
        QCOMPARE(back.value("300"), QStringLiteral("nurse1"));
        QCOMPARE(back.value("301"), QStringLiteral("山田"));
        QCOMPARE(back.value("302"), QStringLiteral("2026/12/10 09:30:00"));
        QCOMPARE(back.value("005"), QStringLiteral("男"));
        QVERIFY(fx.prompter.asked.isEmpty());
    }

    void saveRenamedAndUnchanged()
    {
        Fixture fx;
        QString oldKey;
        QCOMPARE(savePatientRecord(fx.ctx, patient(), true, &oldKey).outcome, SaveResult::Saved);
        const QString first = test::Sato;

        // Same key: overwritten in place, nothing removed.
        oldKey = first;
        fx.clock.set(QDateTime(QDate(2026, 12, 10), QTime(10, 0, 0)));
        QCOMPARE(savePatientRecord(fx.ctx, patient(), true, &oldKey).outcome, SaveResult::Saved);
        QCOMPARE(QDir(fx.path("DB")).entryList(QDir::Files), QStringList {first});
        QVERIFY(fileLines(fx.dbFile(first)).contains(QStringLiteral("302:2026/12/10 10:00:00")));
        QCOMPARE(oldKey, first);

        // Given name changed: one file under the new key.
        oldKey = first;
        const SaveResult s
            = savePatientRecord(fx.ctx, patient(QStringLiteral("佐藤"), QStringLiteral("次郎")), true, &oldKey);
        QCOMPARE(s.key, QStringLiteral("佐藤_次郎_昭和10年5月3日"));
        QCOMPARE(QDir(fx.path("DB")).entryList(QDir::Files), QStringList {s.key});
        // The window's next save replaces this file rather than leave it behind.
        QCOMPARE(oldKey, s.key);

        // An old key whose file is already gone is nothing to report.
        oldKey = QStringLiteral("消えた_人_昭和1年1月1日");
        QCOMPARE(savePatientRecord(fx.ctx, patient(), true, &oldKey).outcome, SaveResult::Saved);
        QVERIFY(fx.prompter.asked.isEmpty());
        QVERIFY(!QFileInfo::exists(fx.path("log/error.log")));
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("today");
        QTest::addColumn<int>("authority");
        QTest::addColumn<QString>("message");
        QTest::newRow("snapshot day") << false << 2
                                      << QStringLiteral(
                                             "過去のデータは変更できません。キャンセルをクリックしてください。");
        QTest::newRow("snapshot day, restricted")
            << false << 1 << QStringLiteral("過去のデータは変更できません。キャンセルをクリックしてください。");
        QTest::newRow("restricted") << true << 1
                                    << QStringLiteral("保存する権限がありません。キャンセルをクリックしてください。");
    }
    void refusals()
    {
        QFETCH(bool, today);
        QFETCH(int, authority);
        QFETCH(QString, message);
        Fixture fx;
        fx.ctx.currentAccount.authority = static_cast<Authority>(authority);
        QString oldKey = QStringLiteral("佐藤_一郎_昭和1年1月1日");
        bool told = false;
        const SaveResult s
            = savePatientRecord(fx.ctx, patient(), today, &oldKey, [&](const SaveResult &) { told = true; });
        QCOMPARE(s.outcome, SaveResult::Refused);
        QCOMPARE(fx.prompter.texts(), QStringList {message});
        QVERIFY(!told);
        QVERIFY(QDir(fx.path("DB")).entryList(QDir::Files).isEmpty());
        QCOMPARE(oldKey, QStringLiteral("佐藤_一郎_昭和1年1月1日"));
    }

    // Values that cannot become the file or its name: one message naming the
    // field, nothing written, the old file and key untouched.
    void rejectedValuesWriteNothing_data()
    {
        QTest::addColumn<QStringList>("changes"); // "key=value"
        QTest::addColumn<bool>("takenByOtherBed");
        QTest::addColumn<QString>("message"); // start of the message
        QTest::addColumn<QString>("focus");

        const QString unsafeName
            = QStringLiteral("氏名に使用できない文字（\\ / : * ? \" < > | や制御文字）が含まれています。");
        QTest::newRow("slash") << QStringList {"003=佐/藤"} << false << unsafeName << "txtNameKanji";
        QTest::newRow("parent folder") << QStringList {"003=../佐藤"} << false << unsafeName << "txtNameKanji";
        for (const QString c : {"\\", ":", "*", "?", "\"", "<", ">", "|", "\t", "\x7f"})
            QTest::newRow(qPrintable("given name with " + c))
                << QStringList {"004=一" + c + "郎"} << false << unsafeName << "txtNameKanji2";
        // Hidden, and the program's own staged files begin so.
        QTest::newRow("leading dot") << QStringList {"003=.tanaka"} << false
                                     << QStringLiteral("氏名の先頭に「.」は使用できません。") << "txtNameKanji";
        QTest::newRow("staging name") << QStringList {"003=.~velto-x"} << false
                                      << QStringLiteral("氏名の先頭に「.」は使用できません。") << "txtNameKanji";
        QTest::newRow("typed era") << QStringList {"007=昭和?"} << false << QStringLiteral("生年月日に使用できない文字")
                                   << "cmbYmd1";

        QTest::newRow("emoji in given name")
            << QStringList {"004=一郎😀"} << false
            << QStringLiteral("氏名に保存できない文字があります。\r次の文字は保存できません：😀") << "txtNameKanji2";
        QTest::newRow("hangul in a note line")
            << QStringList {"148=한국"} << false << QStringLiteral("その他(2行目)に保存できない文字があります。")
            << "txtMemo_1";
        QTest::newRow("list without caption")
            << QStringList {"055=한"} << false << QStringLiteral("最終ﾊﾞｲﾀﾙｻｲﾝに保存できない文字があります。")
            << "cmbMyakuHoka";
        QTest::newRow("photo path") << QStringList {"400=/写真/한.jpg"} << false
                                    << QStringLiteral("顔写真に保存できない文字があります。") << "txtPathKao";

        QTest::newRow("key of another bed")
            << QStringList {"004=次郎"} << true
            << QStringLiteral("同じ氏名・生年月日の患者が他のベッドに登録されているため、保存できません。")
            << "txtNameKanji";
    }
    void rejectedValuesWriteNothing()
    {
        QFETCH(QStringList, changes);
        QFETCH(bool, takenByOtherBed);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Fixture fx;
        QString oldKey;
        QCOMPARE(savePatientRecord(fx.ctx, patient(), true, &oldKey).outcome, SaveResult::Saved);
        const QString first = oldKey;
        const QStringList before = fileLines(fx.dbFile(first));

        PatientRecord r = patient();
        for (const QString &c : changes)
            r.setValue(c.section('=', 0, 0), c.section('=', 1));
        QStringList asked;
        bool told = false;
        const SaveResult s = savePatientRecord(
            fx.ctx, r, true, &oldKey, [&](const SaveResult &) { told = true; },
            [&](const QString &key) {
                asked << key;
                return takenByOtherBed;
            });
        QCOMPARE(s.outcome, SaveResult::Rejected);
        QCOMPARE(s.focusField, focus);
        QCOMPARE(fx.prompter.asked.size(), 1);
        QVERIFY2(fx.prompter.asked[0].text.startsWith(message), qPrintable(fx.prompter.asked[0].text));
        if (takenByOtherBed)
            QCOMPARE(asked, QStringList {QStringLiteral("佐藤_次郎_昭和10年5月3日")});
        QVERIFY(!told);
        QCOMPARE(oldKey, first);
        QCOMPARE(QDir(fx.path("DB")).entryList(QDir::Files), QStringList {first});
        QCOMPARE(fileLines(fx.dbFile(first)), before);
        QVERIFY(!QFileInfo::exists(fx.path("log/error.log")));
    }

    void failedWriteKeepsOldFileAndBed()
    {
        Fixture fx;
        QString oldKey;
        savePatientRecord(fx.ctx, patient(), true, &oldKey);
        const QString first = test::Sato;
        const QStringList before = fileLines(fx.dbFile(first));

        // A folder in the new file's place: the disk refuses the write.
        const QString renamed = QStringLiteral("佐藤_次郎_昭和10年5月3日");
        QVERIFY(QDir().mkpath(fx.dbFile(renamed)));
        bool told = false;
        const SaveResult s = savePatientRecord(
            fx.ctx, patient(QStringLiteral("佐藤"), QStringLiteral("次郎")), true, &oldKey,
            [&](const SaveResult &) { told = true; }, [](const QString &) { return false; });
        QCOMPARE(s.outcome, SaveResult::Failed);
        QVERIFY(!told);
        QCOMPARE(oldKey, first);
        QCOMPARE(fileLines(fx.dbFile(first)), before);
        QVERIFY(QFileInfo(fx.dbFile(renamed)).isDir());
        QVERIFY(QFileInfo::exists(fx.path("log/error.log")));
    }
};

QTEST_GUILESS_MAIN(TstRecordSave)
#include "tst_recordsave.moc"
