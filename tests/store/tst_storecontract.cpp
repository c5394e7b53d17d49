// What every store must do, one table of cases run against each store: the
// moves of a ward day through the program's own rules, their refusals, and
// a change that fails part-way leaving everything as it was.
#include <QtTest>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>

#include "backup/snapshotdelete.h"
#include "board/admission.h"
#include "board/bedops.h"
#include "board/boardmodel.h"
#include "board/wardlayout.h"
#include "core/textfile.h"
#include "record/recordfields.h"
#include "record/recordfile.h"
#include "record/recordsave.h"
#include "scratchdatabase.h"
#include "store/folderstore.h"
#include "store/pg/pgstore.h"
#include "support/patients.h"
#include "support/testcontext.h"

using namespace velto;

namespace {

using test::Sato;
using test::Suzuki;
const QString SnapshotDay = QStringLiteral("令和08年12月09日");

// One store under test: how to make it on a test's context, and how to make
// its next change fail while the change is being written (a full disk, a
// lost connection).
struct StoreKind {
    std::function<std::unique_ptr<WardStore>(test::TestContext &)> make;
    // While on, every change fails part-way through being written.
    std::function<void(WardStore &, bool on)> failChanges;
};

// The database store on a database of its own, dropped with it.
struct ScratchHolder {
    test::ScratchDatabase database;
};
class ScratchPgStore : private ScratchHolder, public PgStore {
public:
    explicit ScratchPgStore(const QString &lockPath)
        : PgStore(database.connectionString(), lockPath, QStringLiteral("contract"))
    {
        QString error;
        m_open = database.ok() && open(&error);
        if (!m_open)
            qWarning() << error;
    }
    bool isOpen() const { return m_open; }
    // A failure inside the transaction, after the records are written: the
    // layout's update is refused as a lost connection or a full disk would.
    void failChanges(bool on)
    {
        QSqlDatabase admin = database.connect(QStringLiteral("contract-admin"));
        QSqlQuery q(admin);
        if (on) {
            q.exec(QStringLiteral("create or replace function velto_fail() returns trigger language plpgsql"
                                  " as $$ begin raise exception 'refused'; end $$"));
            q.exec(QStringLiteral("create trigger velto_fail before update on ward_bed"
                                  " for each statement execute function velto_fail()"));
        } else {
            q.exec(QStringLiteral("drop trigger if exists velto_fail on ward_bed"));
        }
    }

private:
    bool m_open = false;
};

QMap<QString, StoreKind> &storeKinds()
{
    static QMap<QString, StoreKind> kinds {
        {QStringLiteral("folder"),
         {[](test::TestContext &t) {
              t.makeFolders();
              return std::make_unique<FolderStore>(t.ctx.appDir);
          },
          // The last file of a change cannot be staged.
          [](WardStore &, bool on) {
              if (on)
                  textfile::setStepHook(
                      [](const QString &step) { return step != QStringLiteral("stage ROOM_COL.WBD"); });
              else
                  textfile::setStepHook({});
          }}},
        {QStringLiteral("database"),
         {[](test::TestContext &t) -> std::unique_ptr<WardStore> {
              auto store = std::make_unique<ScratchPgStore>(t.dir.filePath(QStringLiteral("velto.lock")));
              if (!store->isOpen())
                  return nullptr;
              return store;
          },
          [](WardStore &store, bool on) { static_cast<ScratchPgStore &>(store).failChanges(on); }}},
    };
    return kinds;
}

// A ward with the test's store, a full-authority nurse and yes to every question.
struct Ward {
    test::TestContext t;
    std::unique_ptr<WardStore> store;
    BoardModel board;

    explicit Ward(const StoreKind &kind)
    {
        store = kind.make(t);
        t.ctx.store = store.get();
        t.ctx.currentAccount
            = {QStringLiteral("nurse1"), Authority::Full, QStringLiteral("山田"), QStringLiteral("pw")};
        t.ctx.todayEraDate = QStringLiteral("令和08年12月10日");
    }
    AppContext &ctx() { return t.ctx; }

    static PatientRecord patient(const QString &family, const QString &given, const QString &era, const QString &year,
                                 const QString &month, const QString &day)
    {
        using namespace recordkey;
        PatientRecord r = newPatientRecord();
        r.setValue(FamilyName, family);
        r.setValue(GivenName, given);
        r.setValue(QStringLiteral("005"), QStringLiteral("男"));
        r.setValue(Era, era);
        r.setValue(Year, year);
        r.setValue(Month, month);
        r.setValue(Day, day);
        return r;
    }
    // Saves a new patient into bed as the record window does.
    bool admit(int bed, const PatientRecord &record)
    {
        QString oldKey;
        const SaveResult r = savePatientRecord(
            ctx(), record, true, &oldKey,
            [&](const SaveResult &s) {
                // As the board does: the layout naming the key is stored now.
                board.setBedEntry(bed, s.key);
                LayoutLines stored;
                QString error;
                if (wardLayoutLines(board, &stored, &error))
                    board.setStoredLayout(stored);
            },
            [&](const QString &key) { return entryInUse(board, key, bed); },
            [&](const QString &key, WardChange *change) { return layoutWithBedEntry(ctx(), board, bed, key, change); });
        return r.outcome == SaveResult::Saved;
    }
    bool admitSato(int bed) { return admit(bed, patient("佐藤", "一郎", "昭和", "10年", "5月", "3日")); }
    bool admitSuzuki(int bed) { return admit(bed, patient("鈴木", "花子", "平成", "1年", "2月", "3日")); }

    // What the store holds, as a fresh run would read it.
    QStringList beds()
    {
        BoardModel back;
        loadWardLayout(ctx(), back, QString());
        QStringList occupied;
        for (int b = 0; b < BoardModel::BedCount; ++b)
            if (!back.bedEntry(b).isEmpty())
                occupied << QStringLiteral("%1:%2").arg(b).arg(back.bedEntry(b));
        return occupied;
    }
    QStringList today(const QStringList &keys)
    {
        QStringList present;
        for (const QString &k : keys)
            if (store->hasRecord(RecordRef::today(k)))
                present << k;
        return present;
    }
    QStringList state()
    {
        return beds() + QStringList {"|"} + today({Sato, Suzuki}) + QStringList {"|"} + store->keptRecords();
    }
    void answer(const QString &yn)
    {
        t.prompter.answers.clear();
        for (const QChar c : yn)
            t.prompter.answers << (c == 'Y');
    }
};

using Case = std::function<void(Ward &, const StoreKind &)>;

QMap<QString, Case> &cases()
{
    static QMap<QString, Case> table {
        {QStringLiteral("an empty ward"),
         [](Ward &w, const StoreKind &) {
             // Today's board loads whole: free beds, unnumbered light grey rooms, editable.
             BoardModel board;
             QVERIFY(loadWardLayout(w.ctx(), board, QString()));
             QCOMPARE(w.ctx().layoutFault, QString());
             QCOMPARE(board.roomColour(0), BoardModel::InitialRoomColour);
             QCOMPARE(board.roomNumber(29), QString());
             QCOMPARE(w.beds(), QStringList());
             QCOMPARE(w.store->keptRecords(), QStringList());
             QCOMPARE(w.store->snapshots(), QStringList());
             QVERIFY(!w.store->hasFacility());
         }},
        {QStringLiteral("admission names the record it saved"),
         [](Ward &w, const StoreKind &) {
             QVERIFY(w.admitSato(3));
             QCOMPARE(w.state(), (QStringList {"3:" + Sato, "|", Sato, "|"}));
             PatientRecord r;
             QCOMPARE(readPatientRecord(w.ctx(), RecordRef::today(Sato), &r), RecordReadResult::Read);
             QCOMPARE(r.value(QStringLiteral("301")), QStringLiteral("山田"));
         }},
        {QStringLiteral("a second bed for the same patient is refused"),
         [](Ward &w, const StoreKind &) {
             QVERIFY(w.admitSato(3));
             QVERIFY(!w.admitSato(4));
             QCOMPARE(w.t.prompter.texts().constLast(), recordtext::KeyOfOtherBed);
             QCOMPARE(w.state(), (QStringList {"3:" + Sato, "|", Sato, "|"}));
         }},
        {QStringLiteral("a renamed patient leaves no old record"),
         [](Ward &w, const StoreKind &) {
             QVERIFY(w.admitSato(3));
             QString oldKey = Sato;
             PatientRecord renamed = Ward::patient("佐藤", "一郎", "昭和", "11年", "5月", "3日");
             const SaveResult r
                 = savePatientRecord(w.ctx(), renamed, true, &oldKey, {}, {}, [&](const QString &key, WardChange *c) {
                       return layoutWithBedEntry(w.ctx(), w.board, 3, key, c);
                   });
             QCOMPARE(int(r.outcome), int(SaveResult::Saved));
             QCOMPARE(w.beds(), QStringList {"3:" + r.key});
             QVERIFY(!w.store->hasRecord(RecordRef::today(Sato)));
             QVERIFY(w.store->hasRecord(RecordRef::today(r.key)));
         }},
        {QStringLiteral("discharge keeping the record"),
         [](Ward &w, const StoreKind &) {
             QVERIFY(w.admitSato(3));
             w.answer("YN");
             QVERIFY(dischargePatient(w.ctx(), w.board, 3));
             QCOMPARE(w.state(), (QStringList {"|", "|", Sato}));
         }},
        {QStringLiteral("discharge erasing the record"),
         [](Ward &w, const StoreKind &) {
             QVERIFY(w.admitSato(3));
             w.answer("YY");
             QVERIFY(dischargePatient(w.ctx(), w.board, 3));
             QCOMPARE(w.state(), (QStringList {"|", "|"}));
         }},
        {QStringLiteral("a kept record is replaced only with consent"),
         [](Ward &w, const StoreKind &) {
             QVERIFY(w.admitSato(3));
             w.answer("YN");
             QVERIFY(dischargePatient(w.ctx(), w.board, 3));
             QByteArray kept;
             QString error;
             QCOMPARE(int(w.store->readRecord(RecordRef::kept(Sato), &kept, &error)), int(StoreRead::Read));
             QVERIFY(w.admitSato(5));
             w.answer("YNN"); // discharge, keep, do not replace
             QVERIFY(!dischargePatient(w.ctx(), w.board, 5));
             QCOMPARE(w.state(), (QStringList {"5:" + Sato, "|", Sato, "|", Sato}));
             QByteArray after;
             QCOMPARE(int(w.store->readRecord(RecordRef::kept(Sato), &after, &error)), int(StoreRead::Read));
             QCOMPARE(after, kept);
         }},
        {QStringLiteral("readmission into a free bed"),
         [](Ward &w, const StoreKind &) {
             QVERIFY(w.admitSato(3));
             w.answer("YN");
             QVERIFY(dischargePatient(w.ctx(), w.board, 3));
             QByteArray kept;
             QString error;
             w.store->readRecord(RecordRef::kept(Sato), &kept, &error);
             w.answer("Y");
             QVERIFY(readmitClick(w.ctx(), w.board, 7, Sato).readmitted);
             QCOMPARE(w.state(), (QStringList {"7:" + Sato, "|", Sato, "|"}));
             QByteArray back;
             QCOMPARE(int(w.store->readRecord(RecordRef::today(Sato), &back, &error)), int(StoreRead::Read));
             QCOMPARE(back, kept);
         }},
        {QStringLiteral("readmission over a record in use is refused"),
         [](Ward &w, const StoreKind &) {
             QVERIFY(w.admitSato(3));
             w.answer("YN");
             QVERIFY(dischargePatient(w.ctx(), w.board, 3));
             QVERIFY(w.admitSato(4));
             const int asked = int(w.t.prompter.asked.size());
             QVERIFY(!readmitClick(w.ctx(), w.board, 7, Sato).readmitted);
             QCOMPARE(w.t.prompter.texts().mid(asked), QStringList {recordInUseText()}); // nothing asked first
             QCOMPARE(w.state(), (QStringList {"4:" + Sato, "|", Sato, "|", Sato}));
         }},
        {QStringLiteral("erasure"),
         [](Ward &w, const StoreKind &) {
             QVERIFY(w.admitSato(3));
             QVERIFY(w.admitSuzuki(4));
             w.answer("Y");
             QVERIFY(erasePatient(w.ctx(), w.board, 3));
             QCOMPARE(w.state(), (QStringList {"4:" + Suzuki, "|", Suzuki, "|"}));
         }},
        {QStringLiteral("a move that fails part-way changes nothing"),
         [](Ward &w, const StoreKind &kind) {
             QVERIFY(w.admitSato(3));
             QVERIFY(w.admitSuzuki(4));
             w.answer("YN");
             QVERIFY(dischargePatient(w.ctx(), w.board, 4));
             const QStringList before = w.state();
             QCOMPARE(before, (QStringList {"3:" + Sato, "|", Sato, "|", Suzuki}));

             w.answer("YN");
             kind.failChanges(*w.store, true);
             QVERIFY(!dischargePatient(w.ctx(), w.board, 3));
             kind.failChanges(*w.store, false);
             QCOMPARE(w.state(), before);
             QCOMPARE(w.board.bedEntry(3), Sato);

             w.answer("Y");
             kind.failChanges(*w.store, true);
             QVERIFY(!readmitClick(w.ctx(), w.board, 7, Suzuki).readmitted);
             kind.failChanges(*w.store, false);
             QCOMPARE(w.state(), before);
             QCOMPARE(w.board.bedEntry(7), QString());

             w.answer("Y");
             kind.failChanges(*w.store, true);
             QVERIFY(!erasePatient(w.ctx(), w.board, 3));
             kind.failChanges(*w.store, false);
             QCOMPARE(w.state(), before);
         }},
        {QStringLiteral("an admission that fails part-way changes nothing"),
         [](Ward &w, const StoreKind &kind) {
             kind.failChanges(*w.store, true);
             QVERIFY(!w.admitSato(3));
             kind.failChanges(*w.store, false);
             QCOMPARE(w.state(), (QStringList {"|", "|"}));
         }},
        {QStringLiteral("layout, records and facility come back byte for byte"),
         [](Ward &w, const StoreKind &) {
             // Written by another program: no final line end, unknown keys, another order.
             QByteArray foreign;
             QVERIFY(textfile::encode(QStringLiteral("004:花子\r\n999:謎\r\n003:鈴木～"), &foreign, nullptr));
             WardChange change;
             change.writes.append({RecordRef::today(Suzuki), foreign});
             LayoutLines layout;
             for (int b = 0; b < BoardModel::BedCount; ++b)
                 layout.beds << (b == 9 ? Suzuki : QString());
             for (int r = 0; r < BoardModel::RoomCount; ++r) {
                 layout.roomNumbers << QStringLiteral("%1号室").arg(101 + r);
                 layout.roomColours << QString::number(r * 1000);
             }
             change.layout = layout;
             QString error;
             QVERIFY2(w.store->apply(change, &error) == ChangeResult::Done, qPrintable(error));
             QByteArray back;
             QCOMPARE(int(w.store->readRecord(RecordRef::today(Suzuki), &back, &error)), int(StoreRead::Read));
             QCOMPARE(back, foreign);
             const StoredLayout stored = w.store->readLayout(QString());
             QCOMPARE(stored.beds.lines, layout.beds);
             QCOMPARE(stored.roomNumbers.lines, layout.roomNumbers);
             QCOMPARE(stored.roomColours.lines, layout.roomColours);

             QByteArray facility;
             QVERIFY(textfile::encode(QStringLiteral("001:病院\r\n002:内科"), &facility, nullptr));
             QCOMPARE(int(w.store->writeFacility(facility, std::nullopt, &error)), int(ChangeResult::Done));
             QVERIFY(w.store->hasFacility());
             QByteArray facilityBack;
             QCOMPARE(int(w.store->readFacility(&facilityBack, &error)), int(StoreRead::Read));
             QCOMPARE(facilityBack, facility);
         }},
        {QStringLiteral("a picture goes with its record"),
         [](Ward &w, const StoreKind &) {
             const QString picture = w.t.dir.filePath(QStringLiteral("face.jpg"));
             QFile f(picture);
             QVERIFY(f.open(QIODevice::WriteOnly));
             f.write("\xFF\xD8 face");
             f.close();
             PatientRecord sato = Ward::patient("佐藤", "一郎", "昭和", "10年", "5月", "3日");
             sato.setValue(recordkey::PhotoPath, picture);
             QVERIFY(w.admit(3, sato));
             QByteArray bytes;
             QVERIFY(w.store->readPhoto(RecordRef::today(Sato), picture, &bytes));
             QCOMPARE(bytes, QByteArray("\xFF\xD8 face"));
             w.answer("YN");
             QVERIFY(dischargePatient(w.ctx(), w.board, 3));
             bytes.clear();
             QVERIFY(w.store->readPhoto(RecordRef::kept(Sato), picture, &bytes));
             QCOMPARE(bytes, QByteArray("\xFF\xD8 face"));
             w.answer("Y");
             QVERIFY(readmitClick(w.ctx(), w.board, 5, Sato).readmitted);
             bytes.clear();
             QVERIFY(w.store->readPhoto(RecordRef::today(Sato), picture, &bytes));
             QCOMPARE(bytes, QByteArray("\xFF\xD8 face"));
         }},
        {QStringLiteral("a snapshot keeps the day as it was"),
         [](Ward &w, const StoreKind &) {
             QVERIFY(w.admitSato(3));
             const SnapshotCopy copy = w.store->takeSnapshot(SnapshotDay, QString());
             QVERIFY(copy.started);
             QCOMPARE(copy.failed, QStringList());
             w.answer("Y");
             QVERIFY(erasePatient(w.ctx(), w.board, 3));
             QCOMPARE(w.store->snapshots(), QStringList {SnapshotDay});
             BoardModel past;
             QVERIFY(loadWardLayout(w.ctx(), past, SnapshotDay));
             QCOMPARE(past.bedEntry(3), Sato);
             PatientRecord r;
             QCOMPARE(readPatientRecord(w.ctx(), RecordRef::inSnapshot(SnapshotDay, Sato), &r), RecordReadResult::Read);
             QCOMPARE(r.value(QStringLiteral("003")), QStringLiteral("佐藤"));
             QString error;
             QVERIFY2(w.store->removeSnapshot(SnapshotDay, {}, &error), qPrintable(error));
             QCOMPARE(w.store->snapshots(), QStringList());
             QVERIFY(!w.store->removeSnapshot(SnapshotDay, {}, &error));
         }},
        {QStringLiteral("every change of a ward day is in the history, where and by whom"),
         [](Ward &w, const StoreKind &) {
             QVERIFY(w.admitSato(3));
             // The record window saves again: the reading and two address lines.
             QString oldKey = Sato;
             QByteArray loaded;
             PatientRecord changed;
             QCOMPARE(readPatientRecord(w.ctx(), RecordRef::today(Sato), &changed, nullptr, &loaded),
                      RecordReadResult::Read);
             changed.setValue(QStringLiteral("016"), QStringLiteral("東京都"));
             changed.setValue(QStringLiteral("017"), QStringLiteral("千代田区"));
             changed.setValue(QStringLiteral("001"), QStringLiteral("さとう"));
             QCOMPARE(
                 savePatientRecord(
                     w.ctx(), changed, true, &oldKey, {}, {},
                     [&](const QString &key, WardChange *c) { return layoutWithBedEntry(w.ctx(), w.board, 3, key, c); },
                     &loaded)
                     .outcome,
                 SaveResult::Saved);
             // And once with nothing changed.
             QCOMPARE(savePatientRecord(w.ctx(), changed, true, &oldKey, {}, {}, {}, &loaded).outcome,
                      SaveResult::Saved);
             QVERIFY(moveBed(w.ctx(), w.board, 3, 12));
             QVERIFY(w.admitSuzuki(5));
             QVERIFY(moveBed(w.ctx(), w.board, 12, 5));
             QVERIFY(setRoomNumber(w.ctx(), w.board, 12, BoardOrigin::MenuBar,
                                   [](const QString &) { return std::optional<QString>(QStringLiteral("201")); }));
             QVERIFY(setRoomColour(w.ctx(), w.board, 0, BoardOrigin::MenuBar,
                                   [](int) { return std::optional<int>(0x0000FF); }));
             w.answer("YN");
             QVERIFY(dischargePatient(w.ctx(), w.board, 5)); // 佐藤, kept
             QCOMPARE(readmitClick(w.ctx(), w.board, 20, Sato).readmitted, true);
             w.answer("Y");
             QVERIFY(erasePatient(w.ctx(), w.board, 12)); // 鈴木
             QVERIFY(w.store->takeSnapshot(SnapshotDay, QString()).started);
             QString error;
             QVERIFY2(removeSnapshot(w.ctx(), SnapshotDay, &error), qPrintable(error));
             QCOMPARE(w.store->snapshots(), QStringList());

             QList<HistoryEvent> events;
             QVERIFY2(w.store->readHistory(&events, &error), qPrintable(error));
             QStringList seen;
             QSet<QString> ids;
             for (const HistoryEvent &e : events) {
                 QCOMPARE(e.time, QStringLiteral("2026/12/10 09:30:00"));
                 QCOMPARE(e.loginId + e.staffName, QStringLiteral("nurse1山田"));
                 QVERIFY(!QUuid::fromString(e.id).isNull());
                 ids << e.id;
                 seen << QStringList {e.kind, e.room, e.bed, e.patientKey, e.detail}.join(QLatin1Char('|'));
             }
             QCOMPARE(ids.size(), events.size());
             const QStringList expected {
                 "入院|（1室目）|4|" + Sato + "|",
                 "記録保存|（1室目）|4|" + Sato + "|ふりがな、住所",
                 "記録保存|||" + Sato + "|変更なし",
                 "ベッド移動|（1室目）|4|" + Sato + "|（1室目） 4番 → （2室目） 5番",
                 "入院|（1室目）|6|" + Suzuki + "|",
                 "ベッド交換|（2室目）|5|" + Sato + "|（2室目） 5番 → （1室目） 6番",
                 "ベッド交換|（1室目）|6|" + Suzuki + "|（1室目） 6番 → （2室目） 5番",
                 "部屋番号|201|||（なし） → 201",
                 "部屋の色|（1室目）|||#E0E0E0 → #FF0000",
                 "退院（保存）|（1室目）|6|" + Sato + "|",
                 "再入院|（3室目）|5|" + Sato + "|",
                 "消去|201|5|" + Suzuki + "|",
                 "バックアップ削除||||" + SnapshotDay,
             };
             QCOMPARE(seen, expected);
         }},
        {QStringLiteral("the history goes with its change, once"),
         [](Ward &w, const StoreKind &kind) {
             auto event = [](const QString &id, const QString &detail) {
                 HistoryEvent e {id,
                                 QStringLiteral("2026/12/10 09:00:00"),
                                 QStringLiteral("nurse1"),
                                 QStringLiteral("山田"),
                                 historykind::RecordSave,
                                 QStringLiteral("201"),
                                 QStringLiteral("3"),
                                 Sato,
                                 detail};
                 return e;
             };
             QString error;
             QList<HistoryEvent> read;
             QVERIFY(w.store->readHistory(&read, &error));
             QVERIFY(read.isEmpty());
             WardChange first;
             first.events << event("e1", QStringLiteral("住所\t電話")) << event("e2", QStringLiteral("二行\r\n目"));
             QCOMPARE(int(w.store->apply(first, &error)), int(ChangeResult::Done));
             // A replay of e2 with a new event: e2 is not recorded twice.
             WardChange again;
             again.events << event("e2", QStringLiteral("二行\r\n目")) << event("e3", QString());
             QCOMPARE(int(w.store->apply(again, &error)), int(ChangeResult::Done));
             // A change that fails part-way leaves no event behind.
             WardChange failing;
             const StoredLayout stored = w.store->readLayout(QString());
             LayoutLines now {stored.beds.lines, stored.roomNumbers.lines, stored.roomColours.lines};
             now.beds.resize(BoardModel::BedCount);
             now.roomNumbers.resize(BoardModel::RoomCount);
             now.roomColours.resize(BoardModel::RoomCount);
             failing.layout = now;
             failing.layout->beds[5] = Suzuki; // a bed and a room colour: each store's failing part
             failing.layout->roomColours[0] = QStringLiteral("255");
             failing.base = now;
             failing.events << event("e4", QStringLiteral("lost"));
             kind.failChanges(*w.store, true);
             QVERIFY(w.store->apply(failing, &error) != ChangeResult::Done);
             kind.failChanges(*w.store, false);
             QVERIFY2(w.store->readHistory(&read, &error), qPrintable(error));
             QCOMPARE(read.size(), 3);
             QCOMPARE(read.at(0), event("e1", QStringLiteral("住所\t電話")));
             QCOMPARE(read.at(1), event("e2", QStringLiteral("二行\r\n目")));
             QCOMPARE(read.at(2).id, QStringLiteral("e3"));
         }},
        {QStringLiteral("a snapshot's record cannot be written"),
         [](Ward &w, const StoreKind &) {
             QVERIFY(w.admitSato(3));
             QVERIFY(w.store->takeSnapshot(SnapshotDay, QString()).started);
             QVERIFY(!writePatientRecord(w.ctx(), RecordRef::inSnapshot(SnapshotDay, Sato),
                                         Ward::patient("x", "y", "昭和", "1年", "1月", "1日")));
             QCOMPARE(w.t.prompter.texts().constLast(), PastDataReadOnlyText);
             WardChange change;
             change.removals << RecordRef::inSnapshot(SnapshotDay, Sato);
             QString error;
             QVERIFY(w.store->apply(change, &error) == ChangeResult::Failed);
             QVERIFY(w.store->hasRecord(RecordRef::inSnapshot(SnapshotDay, Sato)));
         }},
    };
    return table;
}

} // namespace

class TestStoreContract : public QObject {
    Q_OBJECT

private slots:
    void contract_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<QString>("name");
        for (const QString &store : storeKinds().keys())
            for (const QString &name : cases().keys())
                QTest::newRow(qPrintable(store + ": " + name)) << store << name;
    }
    void contract()
    {
        QFETCH(QString, store);
        QFETCH(QString, name);
        const StoreKind &kind = storeKinds()[store];
        Ward w(kind);
        QVERIFY2(w.store, "the store did not open (the database store needs VELTO_TEST_DATABASE: scripts/test.sh)");
        cases()[name](w, kind);
        kind.failChanges(*w.store, false);
    }

    // What a crash cut short in the folder's history is no event: the start
    // removes that torn last line and never a line before it.
    void folderStartRemovesATornHistoryLine()
    {
        test::TestContext t;
        t.makeFolders();
        QDir().mkpath(t.path("log"));
        HistoryEvent e;
        e.id = QStringLiteral("e1");
        e.kind = historykind::Admission;
        QByteArray line;
        QString error;
        QVERIFY(encodeHistoryLine(e, &line, &error));
        QFile history(t.path(HistoryFile));
        QVERIFY(history.open(QIODevice::WriteOnly));
        history.write(line + "e2\t2026/12/10 09:");
        history.close();
        FolderStore store(t.ctx.appDir);
        QString message;
        QVERIFY(store.prepare(&message));
        QVERIFY(history.open(QIODevice::ReadOnly));
        QCOMPARE(history.readAll(), line);
        QList<HistoryEvent> read;
        QVERIFY(store.readHistory(&read, &error));
        QCOMPARE(read, QList<HistoryEvent> {e});
    }

    // The folder store lists snapshots and kept records from the directory
    // entries' own types: the same names in the same order as Qt's listing,
    // with hidden entries, links of either kind and devices left out.
    void folderListsSnapshotsAndKeptRecordsAsQtDoes()
    {
        test::TestContext t;
        t.makeFolders();
        QVERIFY(QDir().mkpath(t.path("DB/Out")));
        for (const QString &where : {QStringLiteral("BackUp"), QStringLiteral("DB/Out")}) {
            const QString dir = t.path(where);
            // "𠮷" (beyond U+FFFF) sorts before "ｱ" as strings but after it
            // by its UTF-8 bytes.
            for (const QString &name :
                 {QStringLiteral("令和08年12月10日"), QStringLiteral("令和08年01月02日"),
                  QStringLiteral("平成31年04月30日"), QStringLiteral("Z"), QStringLiteral("ｱ"), QStringLiteral("𠮷")})
                QVERIFY(QDir().mkpath(dir + "/d" + name));
            QVERIFY(QDir().mkpath(dir + "/.removing-令和08年12月01日"));
            for (const QString &name : {QStringLiteral("退院佐藤_花子"), QStringLiteral("退院ｱｲ"), QStringLiteral("a"),
                                        QStringLiteral("𠮷")}) {
                QFile f(dir + "/f" + name);
                QVERIFY(f.open(QIODevice::WriteOnly));
            }
            QFile hidden(dir + "/.hidden");
            QVERIFY(hidden.open(QIODevice::WriteOnly));
            QVERIFY(QFile::link(dir + "/d令和08年12月10日", dir + "/link-to-folder"));
            QVERIFY(QFile::link(dir + "/fa", dir + "/link-to-file"));
            QVERIFY(QFile::link(dir + "/nowhere", dir + "/dangling"));
            QCOMPARE(::mkfifo(QFile::encodeName(dir + "/fifo").constData(), 0600), 0);
        }
        FolderStore store(t.ctx.appDir);
        const QStringList folders = store.snapshots();
        QCOMPARE(folders,
                 QDir(t.path("BackUp")).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name));
        QCOMPARE(folders,
                 (QStringList {"dZ", "d令和08年01月02日", "d令和08年12月10日", "d平成31年04月30日", "d𠮷", "dｱ"}));
        const QStringList files = store.keptRecords();
        QCOMPARE(files, QDir(t.path("DB/Out")).entryList(QDir::Files | QDir::NoSymLinks, QDir::Name));
        QCOMPARE(files, (QStringList {"fa", "f退院佐藤_花子", "f退院ｱｲ", "f𠮷"}));
    }

    // The snapshot list a start has read is not read again while BackUp is
    // unchanged, yet every change shows at the next look: a folder another
    // program adds, the program's own backup and deletion.
    void folderSnapshotListFollowsEveryChange()
    {
        Ward w(storeKinds()[QStringLiteral("folder")]);
        QVERIFY(w.admitSato(3));
        const QString backUp = w.t.path("BackUp");
        QVERIFY(QDir().mkpath(backUp + "/令和08年12月01日"));
        const auto settle = [&] { // as a ward's BackUp is: last changed long ago
            const timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(backUp).constData(), times, 0), 0);
        };
        settle();
        FolderStore store(w.t.ctx.appDir);
        QString message;
        QVERIFY2(store.prepare(&message), qPrintable(message));
        QCOMPARE(store.snapshots(), QStringList {"令和08年12月01日"});

        QVERIFY(QDir().mkpath(backUp + "/令和08年12月02日"));
        QCOMPARE(store.snapshots(), (QStringList {"令和08年12月01日", "令和08年12月02日"}));
        settle();
        QCOMPARE(store.snapshots(), (QStringList {"令和08年12月01日", "令和08年12月02日"}));
        QVERIFY(store.takeSnapshot(SnapshotDay, QString()).started);
        QCOMPARE(store.snapshots(), (QStringList {"令和08年12月01日", "令和08年12月02日", SnapshotDay}));
        settle();
        QCOMPARE(store.snapshots().size(), 3);
        QString error;
        QVERIFY2(store.removeSnapshot("令和08年12月01日", {}, &error), qPrintable(error));
        QCOMPARE(store.snapshots(), (QStringList {"令和08年12月02日", SnapshotDay}));
    }

    // A snapshot's deletion and its event, stopped at each step and started
    // again: both happened or neither did, and nothing is left aside.
    void folderSnapshotDeletionIsWholeAcrossAStop_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("staging the event") << "stage ../log/history.WBD" << false;
        QTest::newRow("the intent") << "intent" << false;
        QTest::newRow("the append") << "append ../log/history.WBD" << true;
        QTest::newRow("putting the folder aside") << "move ../BackUp/" + SnapshotDay << true;
    }
    void folderSnapshotDeletionIsWholeAcrossAStop()
    {
        QFETCH(QString, step);
        QFETCH(bool, deleted);
        Ward w(storeKinds()[QStringLiteral("folder")]);
        QVERIFY(w.admitSato(3));
        QVERIFY(w.store->takeSnapshot(SnapshotDay, QString()).started);
        // And one a run removed only in part before it ended.
        const QString leftAside = w.t.path(QStringLiteral("BackUp/.removing-令和08年12月01日"));
        QVERIFY(QDir().mkpath(leftAside + "/DB"));
        textfile::setStepHook([&](const QString &s) { return s != step; });
        QString error;
        QVERIFY(!removeSnapshot(w.ctx(), SnapshotDay, &error));
        textfile::setStepHook({});

        FolderStore again(w.t.ctx.appDir);
        QString message;
        QVERIFY2(again.prepare(&message), qPrintable(message));
        QCOMPARE(again.snapshots(), deleted ? QStringList() : QStringList {SnapshotDay});
        QList<HistoryEvent> events;
        QVERIFY(again.readHistory(&events, &error));
        const auto deletions = std::count_if(events.begin(), events.end(), [](const HistoryEvent &e) {
            return e.kind == historykind::SnapshotDeletion && e.detail == SnapshotDay;
        });
        QCOMPARE(int(deletions), deleted ? 1 : 0);
        QCOMPARE(QDir(w.t.path("BackUp")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 deleted ? QStringList() : QStringList {SnapshotDay});
    }
};

QTEST_GUILESS_MAIN(TestStoreContract)
#include "tst_storecontract.moc"
