// Every writer on a full disk (a small file size limit in a forked child):
// the old file stays byte for byte and the user is told.
#include <QDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "backup/snapshot.h"
#include "core/errorlog.h"
#include "facility/options.h"
#include "safetyversions.h"
#include "support/testcontext.h"

using namespace velto;
using namespace velto::safety;

namespace {

// Below every new file the writers are given here.
constexpr int FileSizeLimit = 16384;

enum class Writer { Record, Layout, LayoutRoomNumbers, Facility, Settings, Backup, ErrorLog };

// What the forked child tells the parent.
enum ChildExit { Refused = 0, ClaimedSuccess = 10, NotTold = 11, NoLimit = 12 };

QString big(int n)
{
    return fieldValue(n) + QString(FileSizeLimit, QChar(0x8A18));
} // 記

QMap<QString, QByteArray> snapshotOf(const QString &folder)
{
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            files.insert(name, f.readAll());
    }
    return files;
}

// Runs in the child under the limit: true when the write was refused.
bool writeUnderLimit(test::TestContext &tc, Writer w)
{
    AppContext &ctx = tc.ctx;
    setAccount(ctx, 1);
    switch (w) {
    case Writer::Record: {
        PatientRecord r = recordOf(1);
        r.setValue(QStringLiteral("000"), big(1));
        return !writePatientRecord(ctx, RecordRef::today(RecordName), r);
    }
    case Writer::Layout: {
        BoardModel m;
        fillModel(m, 1);
        m.setBedEntry(0, big(1));
        return saveWardLayout(ctx, m) != LayoutSaveResult::Saved;
    }
    case Writer::LayoutRoomNumbers: {
        // The beds fit; the room numbers (20 double-byte characters each) do not.
        BoardModel m;
        for (int r = 0; r < BoardModel::RoomCount; ++r)
            m.setRoomNumber(r, QString(BoardModel::RoomNumberMaxLength, QChar(0x5BA4))); // 室
        return saveWardLayout(ctx, m) != LayoutSaveResult::Saved;
    }
    case Writer::Facility: {
        FacilityInfo f = facilityOf(1);
        f.mail = big(1);
        return !saveFacilityInfo(ctx, f);
    }
    case Writer::Settings: {
        // Through the options window's Apply, which shows its own report.
        OptionsForm form;
        form.backupOffTime = big(1);
        return !optionsApply(ctx, form);
    }
    case Writer::Backup:
        return !copySnapshot(ctx).ok;
    case Writer::ErrorLog:
        writeErrorLog(ctx, big(1));
        return true;
    }
    return false;
}

// The report a writer must show itself; empty where any error message will do.
QString expectedReport(const test::TestContext &tc, Writer w)
{
    if (w == Writer::Settings)
        return QStringLiteral("オプションを保存できませんでした。\r設定を保存できませんでした。\r")
               + QDir::toNativeSeparators(tc.settings->filePath());
    return QString();
}

} // namespace

class DiskFullTest : public QObject {
    Q_OBJECT

private slots:
    void writerKeepsOldFile_data();
    void writerKeepsOldFile();
};

void DiskFullTest::writerKeepsOldFile_data()
{
    QTest::addColumn<int>("writer");
    QTest::addColumn<QStringList>("kept"); // relative to AppDir; "settings" is the INI
    QTest::addColumn<int>("limit");
    const QString record = QStringLiteral("DB/") + RecordName;
    const QStringList layout {QStringLiteral("DB/") + layoutfile::Beds, QStringLiteral("DB/") + layoutfile::RoomNumbers,
                              QStringLiteral("DB/") + layoutfile::RoomColours};
    QTest::newRow("record") << int(Writer::Record) << QStringList {record} << FileSizeLimit;
    QTest::newRow("layout, beds too big") << int(Writer::Layout) << layout << FileSizeLimit;
    QTest::newRow("layout, room numbers too big")
        << int(Writer::LayoutRoomNumbers) << layout << 1000; // above ROOM.WBD's 480 bytes, below ROOM_NO.WBD's 1260
    QTest::newRow("facility") << int(Writer::Facility) << QStringList {QStringLiteral("DB/HOSPITAL_INFO.WBD")}
                              << FileSizeLimit;
    QTest::newRow("settings") << int(Writer::Settings) << QStringList {QStringLiteral("settings")} << FileSizeLimit;
    QTest::newRow("backup copy") << int(Writer::Backup) << QStringList {QStringLiteral("BackUp/*")} << FileSizeLimit;
    QTest::newRow("error log") << int(Writer::ErrorLog) << QStringList {QStringLiteral("log/error.log")}
                               << FileSizeLimit;
}

void DiskFullTest::writerKeepsOldFile()
{
    QFETCH(int, writer);
    QFETCH(QStringList, kept);
    QFETCH(int, limit);
    const Writer w = Writer(writer);

    test::TestContext tc;
    tc.makeFolders();
    QVERIFY(writeVersion(tc.ctx, 0));
    writeErrorLog(tc.ctx, QStringLiteral("frmRoom.NewLoad()"));
    QString snapshotFolder;
    if (w == Writer::Backup) {
        // Yesterday's copies stand in the day's folder; a big new record cannot be copied.
        QVERIFY(copySnapshot(tc.ctx).ok);
        snapshotFolder = tc.path(QStringLiteral("BackUp/") + snapshotDayName(tc.ctx));
        PatientRecord r = recordOf(2);
        r.setValue(QStringLiteral("000"), big(2));
        QVERIFY(writePatientRecord(tc.ctx, RecordRef::today(RecordName), r));
    }
    tc.prompter.clear();

    auto fileOf
        = [&](const QString &rel) { return rel == QLatin1String("settings") ? tc.settings->filePath() : tc.path(rel); };
    QMap<QString, QByteArray> before;
    for (const QString &rel : kept) {
        if (rel == QLatin1String("BackUp/*")) {
            before.insert(rel, QByteArray());
            continue;
        }
        QFile f(fileOf(rel));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(rel));
        before.insert(rel, f.readAll());
    }
    const auto backUpBefore = snapshotFolder.isEmpty() ? QMap<QString, QByteArray>() : snapshotOf(snapshotFolder);
    const auto dbBefore = snapshotOf(tc.path(QStringLiteral("DB")));

    const pid_t pid = fork();
    QVERIFY(pid >= 0);
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit lim {rlim_t(limit), rlim_t(limit)};
        if (setrlimit(RLIMIT_FSIZE, &lim) != 0)
            _exit(NoLimit);
        const bool refused = writeUnderLimit(tc, w);
        const QString report = expectedReport(tc, w);
        bool told = false;
        for (const test::Asked &a : tc.prompter.asked)
            told = told || (a.kind == DialogKind::Error && (report.isEmpty() || a.text == report));
        _exit(!refused ? ClaimedSuccess : !told ? NotTold : Refused);
    }
    int status = 0;
    QCOMPARE(waitpid(pid, &status, 0), pid);
    QVERIFY2(WIFEXITED(status), "the writer died instead of failing");
    QCOMPARE(WEXITSTATUS(status), int(Refused));

    for (const QString &rel : kept) {
        if (rel == QLatin1String("BackUp/*"))
            continue;
        QFile f(fileOf(rel));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(rel + QStringLiteral(" is gone")));
        QVERIFY2(f.readAll() == before.value(rel), qPrintable(rel + QStringLiteral(" changed")));
    }
    if (!snapshotFolder.isEmpty()) {
        const auto backUpAfter = snapshotOf(snapshotFolder);
        QCOMPARE(backUpAfter.keys(), backUpBefore.keys());
        QVERIFY2(backUpAfter == backUpBefore, "a copy in the snapshot changed");
    }
    const auto dbAfter = snapshotOf(tc.path(QStringLiteral("DB")));
    if (w == Writer::Backup) {
        QCOMPARE(dbAfter.keys(), dbBefore.keys());
        QVERIFY2(dbAfter == dbBefore, "the backup touched DB");
    }
}

QTEST_GUILESS_MAIN(DiskFullTest)
#include "tst_diskfull.moc"
