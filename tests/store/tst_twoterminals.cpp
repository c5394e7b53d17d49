// Two terminals on one ward database: each sees the other's changes without
// a click, changes to different beds never conflict, and a change made from
// what another terminal has already changed is refused, with nothing lost.
#include <QtTest>

#include "board/admission.h"
#include "board/bedops.h"
#include "board/boardcontroller.h"
#include "board/wardlayout.h"
#include "core/startup.h"
#include "facility/facilityinfo.h"
#include "facility/options.h"
#include "record/recordfields.h"
#include "record/recordfile.h"
#include "record/recordsave.h"
#include "scratchdatabase.h"
#include "staff/staffadmin.h"
#include "store/pg/pgstore.h"
#include "store/pg/wardsettings.h"
#include "support/patients.h"
#include "support/testcontext.h"
#include "wardterminal.h"

using namespace velto;
using test::Sato;
using test::ScratchDatabase;
using test::Suzuki;

namespace {

using test::patient;
using test::Terminal;
const QString SatoKey = QStringLiteral("佐藤_一郎_昭和10年5月3日");
const QString SuzukiKey = QStringLiteral("鈴木_花子_昭和10年5月3日");

FacilityInfo facility(const QString &hospital)
{
    FacilityInfo f;
    f.hospitalName = hospital;
    f.departmentName = QStringLiteral("内科");
    f.zip1 = QStringLiteral("100");
    f.zip2 = QStringLiteral("0001");
    f.address1 = QStringLiteral("東京都千代田区");
    f.tel = QStringLiteral("03-0000-0000");
    return f;
}

bool addStaff(StaffAdmin &admin, const QString &id, const QString &name)
{
    admin.setDialogMode(StaffAdmin::AddMode);
    return admin.staffDialogOk({id, name, Authority::Full}, [&] { return admin.passwordOk("pw", "pw"); }).close;
}

QStringList loginIds(const StaffAdmin &admin)
{
    QStringList ids;
    for (int i = 0; i < admin.rowCount(); ++i)
        ids << admin.row(i).loginId;
    return ids;
}

} // namespace

class TestTwoTerminals : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!ScratchDatabase::server().isEmpty(),
                 "VELTO_TEST_DATABASE is not set: run scripts/test.sh, which starts the private server");
    }

    // A's admission shows on B's board within a second, with no click; A's
    // own board is not read again for its own change.
    void changeShowsOnTheOtherBoard()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString(), "a"), b(s.connectionString(), "b");
        int reloadsA = 0, reloadsB = 0;
        a.board->setReloadedCallback([&] { ++reloadsA; });
        b.board->setReloadedCallback([&] { ++reloadsB; });
        QCOMPARE(int(a.admit(3, patient("佐藤", "一郎", "10年")).outcome), int(SaveResult::Saved));
        QTRY_COMPARE_WITH_TIMEOUT(b.model().bedEntry(3), SatoKey, 1000);
        QCOMPARE(reloadsB, 1);
        QCOMPARE(reloadsA, 0);

        // Held while B's user is deciding: shown once released.
        b.board->setHeld(true);
        a.t.prompter.answers = {true, true}; // discharge, erase
        QVERIFY(dischargePatient(a.t.ctx, a.model(), 3));
        QTest::qWait(300);
        QCOMPARE(b.model().bedEntry(3), SatoKey);
        b.board->setHeld(false);
        QCOMPARE(b.model().bedEntry(3), QString());
    }

    void differentBedsNeverConflict()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString(), "a"), b(s.connectionString(), "b");
        b.board->setHeld(true); // B's board stays as it was
        QCOMPARE(int(a.admit(3, patient("佐藤", "一郎", "10年")).outcome), int(SaveResult::Saved));
        QCOMPARE(int(b.admit(4, patient("鈴木", "花子", "10年")).outcome), int(SaveResult::Saved));
        b.t.prompter.answers = {true};
        QVERIFY(setRoomNumber(b.t.ctx, b.model(), 40, BoardOrigin::PopupMenu,
                              [](const QString &) { return std::optional<QString>("102号室"); }));
        QCOMPARE(a.stored(3), SatoKey);
        QCOMPARE(a.stored(4), SuzukiKey);
        QVERIFY(b.t.prompter.asked.isEmpty() || b.t.prompter.texts() == QStringList());
    }

    // B acts on what it showed before A's change: refused with the board's
    // message, B's board then shows the store, and nothing of A's is lost.
    void staleChangeIsRefused_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("admission into a bed filled meanwhile") << "admit";
        QTest::newRow("discharge of a patient moved meanwhile") << "discharge";
        QTest::newRow("erasure of a patient moved meanwhile") << "erase";
        QTest::newRow("exchange with a bed changed meanwhile") << "exchange";
        QTest::newRow("room number changed meanwhile") << "room";
    }
    void staleChangeIsRefused()
    {
        QFETCH(QString, action);
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString(), "a"), b(s.connectionString(), "b");
        QCOMPARE(int(a.admit(3, patient("佐藤", "一郎", "10年")).outcome), int(SaveResult::Saved));
        QTRY_COMPARE_WITH_TIMEOUT(b.model().bedEntry(3), SatoKey, 1000);
        b.board->setHeld(true); // from here on B acts on what it shows
        // A's change: Sato moves to bed 5, room 0 gets a number.
        QVERIFY(moveBed(a.t.ctx, a.model(), 3, 5));
        QVERIFY(setRoomNumber(a.t.ctx, a.model(), 3, BoardOrigin::PopupMenu,
                              [](const QString &) { return std::optional<QString>("101号室"); }));
        QTest::qWait(200);
        QCOMPARE(b.model().bedEntry(3), SatoKey); // B still shows the old board

        if (action == "admit") {
            QCOMPARE(int(b.admit(5, patient("鈴木", "花子", "10年")).outcome), int(SaveResult::Failed));
            QVERIFY(!a.store->hasRecord(RecordRef::today(SuzukiKey))); // nothing of it stored
        } else if (action == "discharge") {
            b.t.prompter.answers = {true, false}; // discharge, keep the record
            QVERIFY(dischargePatient(b.t.ctx, b.model(), 3));
            QVERIFY(!a.store->hasRecord(RecordRef::kept(SatoKey)));
        } else if (action == "erase") {
            b.t.prompter.answers = {true};
            QVERIFY(erasePatient(b.t.ctx, b.model(), 3));
        } else if (action == "exchange") {
            QVERIFY(moveBed(b.t.ctx, b.model(), 3, 4));
        } else if (action == "room") {
            QVERIFY(setRoomNumber(b.t.ctx, b.model(), 0, BoardOrigin::PopupMenu,
                                  [](const QString &) { return std::optional<QString>("999号室"); }));
        }
        QCOMPARE(b.t.prompter.texts().value(b.t.prompter.texts().size() - 1), storetext::ChangedElsewhere);
        // A's change stands, Sato's record with it.
        BoardModel fresh;
        loadWardLayout(a.t.ctx, fresh, QString());
        QCOMPARE(fresh.bedEntry(5), SatoKey);
        QCOMPARE(fresh.bedEntry(3), QString());
        QCOMPARE(fresh.roomNumber(0), QStringLiteral("101号室"));
        QVERIFY(a.store->hasRecord(RecordRef::today(SatoKey)));
        if (action != "admit")
            QCOMPARE(b.model().bedEntry(5), SatoKey); // B was shown the store at once
    }

    // Two terminals admit the same new patient at once, each into a bed free
    // on its board: the database lets exactly one of them have it.
    void samePatientOnTwoTerminals()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString(), "a"), b(s.connectionString(), "b");
        b.board->setHeld(true);
        QCOMPARE(int(a.admit(5, patient("佐藤", "一郎", "10年")).outcome), int(SaveResult::Saved));
        QCOMPARE(int(b.admit(6, patient("佐藤", "一郎", "10年")).outcome), int(SaveResult::Failed));
        QCOMPARE(b.t.prompter.texts(), QStringList {storetext::ChangedElsewhere});
        QCOMPARE(a.stored(5), SatoKey);
        QCOMPARE(a.stored(6), QString());
    }

    // Snapshot days are the ward's: a day taken or deleted on A shows in
    // B's date list; while B looks at a past day its list stays as it is,
    // and it is read again when B goes back to today.
    void snapshotDaysOnBothTerminals()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString(), "a"), b(s.connectionString(), "b");
        QCOMPARE(int(a.admit(3, patient("佐藤", "一郎", "10年")).outcome), int(SaveResult::Saved));
        const QString day1 = QStringLiteral("令和08年12月08日"), day2 = QStringLiteral("令和08年12月09日");
        QVERIFY(a.store->takeSnapshot(day1, QString()).failed.isEmpty());
        QVERIFY(a.store->takeSnapshot(day2, QString()).failed.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(b.board->dates(), (QStringList {"令和08年12月10日", day1, day2}), 1000);

        QVERIFY(b.board->changeDisplayDate(1));
        QString error;
        QVERIFY(a.store->removeSnapshot(day2, {}, &error));
        QTest::qWait(300);
        QCOMPARE(b.board->dates().size(), 3); // the indices stay what B chose from
        QCOMPARE(b.model().bedEntry(3), SatoKey);
        QVERIFY(b.board->changeDisplayDate(0));
        QCOMPARE(b.board->dates(), (QStringList {"令和08年12月10日", day1}));
    }

    // A record moved (readmitted, discharged) by a change made from an old
    // reading, after another terminal has moved or erased it: refused, so
    // an erased patient never comes back.
    void moveOfARecordGoneMeanwhile()
    {
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString(), "a"), b(s.connectionString(), "b");
        QCOMPARE(int(a.admit(3, patient("佐藤", "一郎", "10年")).outcome), int(SaveResult::Saved));
        a.t.prompter.answers = {true, false}; // discharge, keep the record
        QVERIFY(dischargePatient(a.t.ctx, a.model(), 3));
        QByteArray kept;
        QString error;
        QCOMPARE(int(b.store->readRecord(RecordRef::kept(SatoKey), &kept, &error)), int(StoreRead::Read));
        // A readmits and erases the patient while B holds its reading.
        a.t.prompter.answers = {true};
        QVERIFY(readmitClick(a.t.ctx, a.model(), 7, SatoKey).readmitted);
        a.t.prompter.answers = {true};
        QVERIFY(erasePatient(a.t.ctx, a.model(), 7));

        WardChange readmit;
        readmit.writes.append({RecordRef::today(SatoKey), kept});
        readmit.removals << RecordRef::kept(SatoKey);
        QCOMPARE(int(b.store->apply(readmit, &error)), int(ChangeResult::Conflict));
        QVERIFY(!a.store->hasRecord(RecordRef::today(SatoKey)));
        QVERIFY(!a.store->hasRecord(RecordRef::kept(SatoKey)));
    }

    // Two nurses have the same record open; the second save asks before it
    // goes over the first, and nothing is merged behind anyone's back.
    void recordSavedOnTwoTerminals_data()
    {
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<bool>("rename"); // B also changes the patient's name
        QTest::newRow("No keeps the first save") << false << false;
        QTest::newRow("Yes saves over it") << true << false;
        QTest::newRow("renamed: No keeps the first save") << false << true;
        QTest::newRow("renamed: Yes saves over it") << true << true;
    }
    void recordSavedOnTwoTerminals()
    {
        QFETCH(bool, overwrite);
        QFETCH(bool, rename);
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString(), "a"), b(s.connectionString(), "b");
        a.t.clock.set(QDateTime(QDate(2026, 12, 10), QTime(10, 15, 30)));
        QCOMPARE(int(a.admit(3, patient("佐藤", "一郎", "10年")).outcome), int(SaveResult::Saved));
        const RecordRef ref = RecordRef::today(SatoKey);
        PatientRecord onA, onB;
        QByteArray loadedA, loadedB;
        QCOMPARE(readPatientRecord(a.t.ctx, ref, &onA, nullptr, &loadedA), RecordReadResult::Read);
        QCOMPARE(readPatientRecord(b.t.ctx, ref, &onB, nullptr, &loadedB), RecordReadResult::Read);
        a.t.ctx.currentAccount.staffName = QStringLiteral("看護 花子");

        onA.setValue("021", QStringLiteral("Aの住所"));
        QString key = SatoKey;
        QCOMPARE(int(savePatientRecord(a.t.ctx, onA, true, &key, {}, {}, {}, &loadedA).outcome),
                 int(SaveResult::Saved));
        onB.setValue("021", QStringLiteral("Bの住所"));
        if (rename)
            onB.setValue(recordkey::GivenName, QStringLiteral("二郎"));
        const QString renamedKey = QStringLiteral("佐藤_二郎_昭和10年5月3日");
        b.t.prompter.answers = {overwrite};
        const QByteArray before = loadedB;
        QString keyOnB = key;
        QTRY_COMPARE_WITH_TIMEOUT(b.model().bedEntry(3), SatoKey, 1000);
        QCOMPARE(
            int(savePatientRecord(
                    b.t.ctx, onB, true, &keyOnB, {}, {},
                    [&](const QString &k, WardChange *change) { return b.board->layoutWithBedEntry(3, k, change); },
                    &loadedB)
                    .outcome),
            int(overwrite ? SaveResult::Saved : SaveResult::Failed));
        QCOMPARE(b.t.prompter.texts(),
                 QStringList {recordtext::SavedElsewhere.arg("看護 花子", "2026/12/10 10:15:30")});
        QCOMPARE(b.t.prompter.asked.at(0).kind, DialogKind::WarnYesNoDefNo);
        // One record, the first save's or, on purpose, B's.
        const RecordRef nowRef = RecordRef::today(rename && overwrite ? renamedKey : SatoKey);
        PatientRecord stored;
        QCOMPARE(readPatientRecord(a.t.ctx, nowRef, &stored), RecordReadResult::Read);
        QCOMPARE(stored.value("021"), overwrite ? QStringLiteral("Bの住所") : QStringLiteral("Aの住所"));
        if (rename)
            QVERIFY(!a.store->hasRecord(RecordRef::today(overwrite ? SatoKey : renamedKey)));
        QCOMPARE(a.stored(3), nowRef.key);
        QCOMPARE(loadedB == before, !overwrite); // No keeps the window as it was
        if (rename)
            return;
        // Saving again from A: asked in turn only when B saved over it.
        a.t.prompter.answers = {false};
        savePatientRecord(a.t.ctx, onA, true, &key, {}, {}, {}, &loadedA);
        QCOMPARE(a.t.prompter.asked.size(), overwrite ? 1 : 0);
    }

    // Two administrators at once: the second save of the staff list, the
    // options or the facility form is refused with the board's message and
    // shows the first one's; saved again from there, both are kept.
    void sharedSettingsConflict_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("staff list Apply") << "staff";
        QTest::newRow("options") << "options";
        QTest::newRow("facility form") << "facility";
    }
    void sharedSettingsConflict()
    {
        QFETCH(QString, what);
        ScratchDatabase s;
        QVERIFY(s.ok());
        Terminal a(s.connectionString(), "a"), b(s.connectionString(), "b");
        QVERIFY(prepareDataFolders(a.t.ctx)); // the ward's first start, seeded by A
        const QStringList refused {storetext::ChangedElsewhere};

        if (what == "staff") {
            StaffAdmin onA(a.t.ctx), onB(b.t.ctx);
            onA.load();
            onB.load();
            QVERIFY(addStaff(onA, "ito", QStringLiteral("伊藤")));
            QVERIFY(onA.apply());
            QVERIFY(addStaff(onB, "kato", QStringLiteral("加藤")));
            QVERIFY(!onB.apply());
            QCOMPARE(b.t.prompter.texts(), refused);
            QCOMPARE(b.t.prompter.asked.at(0).kind, DialogKind::Info);
            QCOMPARE(loginIds(onB), (QStringList {"Administrator", "ito"})); // theirs, reloaded
            QVERIFY(addStaff(onB, "kato", QStringLiteral("加藤")));
            QVERIFY(onB.apply());
            WardDatabaseSettings fresh(QStringLiteral("a"));
            QVERIFY(fresh.load(nullptr));
            QCOMPARE(fresh.value("Pass", "cnt"), QStringLiteral("3"));
            QVERIFY(fresh.value("Pass", "user2").startsWith("ito,"));
            QVERIFY(fresh.value("Pass", "user3").startsWith("kato,"));
        } else if (what == "options") {
            OptionsForm onA = optionsActivate(a.t.ctx), onB = optionsActivate(b.t.ctx);
            QVERIFY(onB.backOn);
            onA.clickBackOff(true);
            QVERIFY(optionsApply(a.t.ctx, onA));
            onB.clickBackOff(true);
            onB.midashi = true;
            std::optional<OptionsForm> latest;
            QVERIFY(!optionsApply(b.t.ctx, onB, &latest));
            QCOMPARE(b.t.prompter.texts(), refused);
            QCOMPARE(b.t.prompter.asked.at(0).kind, DialogKind::Info);
            QVERIFY(latest && latest->backOff && !latest->midashi); // A's, not B's half
            QCOMPARE(b.t.ctx.optionValues.midashiOnOff, 0);
            // A different option, changed from the latest, goes through and
            // keeps A's.
            latest->midashi = true;
            QVERIFY(optionsApply(b.t.ctx, *latest));
            const OptionsForm back = optionsActivate(a.t.ctx);
            QVERIFY(back.backOff && back.midashi);
        } else {
            FacilityInfo onA, onB;
            QByteArray loadedA, loadedB;
            QVERIFY(loadFacilityInfo(a.t.ctx, &onA, &loadedA));
            QVERIFY(loadFacilityInfo(b.t.ctx, &onB, &loadedB));
            onA = facility(QStringLiteral("A病院"));
            QVERIFY(facilityOk(a.t.ctx, &onA, &loadedA).closeForm);
            onB = facility(QStringLiteral("B病院"));
            FacilityOkResult r = facilityOk(b.t.ctx, &onB, &loadedB);
            QVERIFY(!r.closeForm && r.reloaded && !r.writeFailed);
            QCOMPARE(b.t.prompter.texts(), refused);
            QCOMPARE(onB.hospitalName, QStringLiteral("A病院"));
            onB.departmentName = QStringLiteral("外科");
            QVERIFY(facilityOk(b.t.ctx, &onB, &loadedB).closeForm);
            // A's form is now the stale one.
            onA.tel = QStringLiteral("03-1111-1111");
            r = facilityOk(a.t.ctx, &onA, &loadedA);
            QVERIFY(r.reloaded);
            QCOMPARE(onA.departmentName, QStringLiteral("外科"));
            QCOMPARE(onA.tel, QStringLiteral("03-0000-0000"));
        }
    }
};

QTEST_GUILESS_MAIN(TestTwoTerminals)
#include "tst_twoterminals.moc"
