// A value the code page 932 files cannot hold is refused in the window where
// it is typed, naming the field and each character with its code point, and
// nothing is stored. What the files can hold passes and survives the trip.
#include <QtTest>

#include "board/bedops.h"
#include "core/textfile.h"
#include "facility/facilityinfo.h"
#include "record/recordfields.h"
#include "record/recordfile.h"
#include "record/recordsave.h"
#include "staff/staffadmin.h"
#include "support/fixtures.h"
#include "support/testcontext.h"

using namespace velto;

namespace {

const QStringList Accounts = {QStringLiteral("Administrator,2,管理者,Brellowinster"), QStringLiteral("sato,1,佐藤,s")};

struct Fixture : test::TestContext {
    Fixture()
    {
        makeFolders();
        settings->setValue("Pass", "cnt", QString::number(Accounts.size()));
        for (int i = 0; i < Accounts.size(); ++i)
            settings->setValue("Pass", QStringLiteral("user%1").arg(i + 1), Accounts.at(i));
        if (!settings->commit())
            qFatal("settings not written");
        splitAccountLine(Accounts.at(0), &ctx.currentAccount);
    }
};

PatientRecord patient()
{
    return test::patientRecord();
}

FacilityInfo facility()
{
    FacilityInfo f;
    f.hospitalName = QStringLiteral("中央病院");
    f.departmentName = QStringLiteral("内科");
    f.zip1 = QStringLiteral("123");
    f.zip2 = QStringLiteral("4567");
    f.address1 = QStringLiteral("東京都千代田区");
    f.tel = QStringLiteral("03-1234-5678");
    return f;
}

const FacilityField *facilityField(const QString &box)
{
    for (const FacilityField &f : facilityFields())
        if (QString::fromLatin1(f.boxName) == box)
            return &f;
    return nullptr;
}

// What one press of OK did: the messages shown, the field given the focus,
// and whether the value reached its store.
struct Outcome {
    QStringList messages;
    QString focus;
    bool stored = false;
};

// Types value into field of the entry point and presses its OK.
Outcome pressOk(const QString &entry, const QString &field, const QString &value)
{
    Fixture fx;
    Outcome out;
    if (entry == "room number") {
        // The rule only; its dialog is driven in tst_board.
        const QString refusal = roomNumberRefusal(value);
        if (!refusal.isEmpty())
            out.messages << refusal;
        out.stored = refusal.isEmpty();
    } else if (entry == "new staff" || entry == "staff properties") {
        const bool adding = entry == "new staff";
        StaffAdmin admin(fx.ctx);
        admin.load();
        admin.setDialogMode(adding ? StaffAdmin::AddMode : StaffAdmin::PropertiesMode);
        admin.setSelectedRow(1);
        const StaffDialogState state = admin.staffDialogState();
        StaffEntry e {adding ? QStringLiteral("ito") : state.loginId, adding ? QStringLiteral("伊藤") : state.staffName,
                      Authority::Full};
        (field == "txtUser" ? e.loginId : e.staffName) = value;
        bool askedPassword = false;
        const StaffOkResult r = admin.staffDialogOk(e, [&] { return askedPassword = true; });
        out.messages = fx.prompter.texts();
        out.focus = r.focusControl;
        const QString line = admin.table().lines.value(adding ? 2 : 1);
        StaffAccount a;
        out.stored = r.close && splitAccountLine(line, &a) && (field == "txtUser" ? a.loginId : a.staffName) == value;
        if (!out.stored && (askedPassword || admin.table().lines != Accounts))
            out.messages << "the refused entry changed the account table";
        if (out.stored) {
            // The account's own saves take its ID and name into the record.
            fx.ctx.currentAccount = a;
            QString key;
            if (savePatientRecord(fx.ctx, patient(), true, &key).outcome != SaveResult::Saved)
                out.messages << "a record save by the accepted account failed";
        }
    } else if (entry == "password") {
        StaffAdmin admin(fx.ctx);
        admin.load();
        admin.setSelectedRow(1);
        const bool set = admin.setPassword([&] { return admin.passwordOk(value, value); });
        out.messages = fx.prompter.texts();
        StaffAccount a;
        out.stored = set && admin.apply()
                     && splitAccountLine(SettingsStore(fx.settings->filePath()).value("Pass", "user2"), &a)
                     && a.password == value;
    } else if (entry == "facility") {
        FacilityInfo info = facility();
        info.*(facilityField(field)->member) = value;
        const FacilityOkResult r = facilityOk(fx.ctx, &info);
        out.messages = fx.prompter.texts();
        out.focus = r.focus;
        FacilityInfo back;
        out.stored = r.closeForm && loadFacilityInfo(fx.ctx, &back)
                     && back.*(facilityField(field)->member) == textfile::mapTypedCharacters(value);
        if (!r.closeForm && facilityFileExists(fx.ctx))
            out.messages << "the refused entry wrote the facility file";
    } else if (entry == "record") {
        PatientRecord r = patient();
        r.setValue(field, value);
        QString key;
        const SaveResult s = savePatientRecord(fx.ctx, r, true, &key);
        out.messages = fx.prompter.texts();
        out.focus = s.focusField;
        const QStringList files = QDir(fx.path("DB")).entryList(QDir::Files);
        PatientRecord back;
        out.stored = s.outcome == SaveResult::Saved && files.size() == 1
                     && readPatientRecord(fx.ctx, RecordRef::today(files.first()), &back) == RecordReadResult::Read
                     && back.value(field) == textfile::mapTypedCharacters(value);
        if (s.outcome != SaveResult::Saved && !QDir(fx.path("DB")).entryList(QDir::Files).isEmpty())
            out.messages << "the refused entry wrote a record file";
    } else {
        qFatal("unknown entry point %s", qPrintable(entry));
    }
    return out;
}

} // namespace

class TstInputRefusal : public QObject {
    Q_OBJECT

private slots:
    void refusedWhereTyped_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("field");   // box objectName, or the record key
        QTest::addColumn<QString>("focus");   // the box that gets the focus; empty: none
        QTest::addColumn<QString>("caption"); // how the message names the field
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("offenders"); // "ch（U+XXXX）" as listed; empty: accepted

        struct Sample {
            const char *name;
            QString text;
            QString shortText; // for the fixed-length postal code parts
            QString offenders;
        };
        const Sample samples[] = {
            {"Latin accent", QStringLiteral("Café"), QStringLiteral("é"), QStringLiteral("é（U+00E9）")},
            {"beyond 16 bits", QStringLiteral("𠮷田"), QStringLiteral("𠮷"), QStringLiteral("𠮷（U+20BB7）")},
            {"two offenders, once each", QStringLiteral("é𠮷é"), QStringLiteral("é𠮷"),
             QStringLiteral("é（U+00E9）、𠮷（U+20BB7）")},
            // In the code page: must pass.
            {"circled digit", QStringLiteral("①"), QStringLiteral("①"), QString()},
            {"typed wave dash", QStringLiteral("〜"), QStringLiteral("〜"), QString()},
        };
        struct Point {
            const char *entry;
            QString field;
            QString focus;
            QString caption;
            int length = 0; // a value of exactly this length passes the other checks
        };
        QList<Point> points = {
            {"room number", "txtRoomNo", "", QStringLiteral("部屋番号")},
            {"new staff", "txtUser", "txtUser", QStringLiteral("ログインID")},
            {"new staff", "txtName", "txtName", QStringLiteral("看護師名")},
            {"staff properties", "txtUser", "txtUser", QStringLiteral("ログインID")},
            {"staff properties", "txtName", "txtName", QStringLiteral("看護師名")},
            {"record", "003", "txtNameKanji", QStringLiteral("氏名")},
            {"record", "004", "txtNameKanji2", QStringLiteral("氏名")},
            {"record", "148", "txtMemo_1", QStringLiteral("その他(2行目)")},
        };
        const QString facilityCaptions[] = {QStringLiteral("病院名"), QStringLiteral("科名"), QStringLiteral("〒"),
                                            QStringLiteral("〒"),     QStringLiteral("住所"), QStringLiteral("住所"),
                                            QStringLiteral("TEL"),    QStringLiteral("FAX"),  QStringLiteral("E-Mail")};
        for (const FacilityField &f : facilityFields()) {
            const QString box = QString::fromLatin1(f.boxName);
            const bool zip = box == "txtZip1" || box == "txtZip2";
            points.append(
                {"facility", box, box, facilityCaptions[QByteArray(f.key).toInt() - 1], zip ? f.maxLength : 0});
        }

        for (const Point &p : points) {
            for (const Sample &s : samples) {
                // The postal code parts must have their length: digits fill up.
                const QString value = p.length ? (s.shortText + "0000").left(p.length) : s.text;
                QTest::addRow("%s %s, %s", p.entry, qPrintable(p.field), s.name)
                    << p.entry << p.field << p.focus << p.caption << value << s.offenders;
            }
        }
        // The settings file is not in code page 932: a password may hold anything.
        for (const Sample &s : samples)
            QTest::addRow("password, %s", s.name) << "password"
                                                  << "txtPassword"
                                                  << ""
                                                  << "" << s.text << QString();
    }
    void refusedWhereTyped()
    {
        QFETCH(QString, entry);
        QFETCH(QString, field);
        QFETCH(QString, focus);
        QFETCH(QString, caption);
        QFETCH(QString, value);
        QFETCH(QString, offenders);

        const Outcome out = pressOk(entry, field, value);
        if (offenders.isEmpty()) {
            QVERIFY2(out.messages.isEmpty(), qPrintable(out.messages.join('|')));
            QVERIFY(out.stored);
            return;
        }
        QCOMPARE(out.messages.size(), 1);
        const QString expected = caption + "に保存できない文字があります。\r次の文字は保存できません：" + offenders
                                 + "\r別の文字に置き換えてから保存してください。";
        QCOMPARE(out.messages.first(), expected);
        QVERIFY(!out.stored);
        QCOMPARE(out.focus, focus);
    }
};

QTEST_MAIN(TstInputRefusal)
#include "tst_inputrefusal.moc"
