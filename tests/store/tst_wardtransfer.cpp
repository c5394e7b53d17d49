// A ward folder copied into the database and written back: byte for byte,
// foreign files included; refused whole when it cannot be done whole.
#include <QProcess>
#include <QtTest>

#include "core/textfile.h"
#include "scratchdatabase.h"
#include "staff/accounts.h"
#include "store/folderstore.h"
#include "store/pg/pgstore.h"
#include "store/pg/wardtransfer.h"
#include "store/rawfiles.h"
#include "support/files.h"
#include "support/patients.h"
#include "support/testcontext.h"

using namespace velto;
using test::ScratchDatabase;

namespace {

const int Iterations = 1000;
const QString SnapshotDay = QStringLiteral("令和08年12月09日");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Code page 932 from iconv, not from the program's own encoder.
QByteArray foreign(const QString &text)
{
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"),
                {QStringLiteral("-f"), QStringLiteral("UTF-8"), QStringLiteral("-t"), QStringLiteral("CP932")});
    iconv.waitForStarted();
    iconv.write(text.toUtf8());
    iconv.closeWriteChannel();
    iconv.waitForFinished();
    return iconv.readAllStandardOutput();
}

// Every file of a ward folder with its bytes (the lock and the log left out).
QMap<QString, QByteArray> wardFiles(const QString &root)
{
    QMap<QString, QByteArray> files;
    for (const QString &f : test::filesUnder(root)) {
        if (f.startsWith(QLatin1String("log/")) || f.contains(QLatin1String(".lock")))
            continue;
        files.insert(f, test::readBytes(QDir(root).filePath(f)));
    }
    return files;
}

// A ward folder as a Windows PC may have left it.
struct FolderWard {
    test::TestContext t;
    QString picture;

    FolderWard()
    {
        t.makeFolders();
        picture = t.dir.filePath(QStringLiteral("pictures/sato.jpg"));
        writeFile(picture, QByteArray("\xFF\xD8\xFF\xE0 not really a jpeg", 22));
        const QString db = t.path(QStringLiteral("DB/"));
        // A full record, no final line end, an unknown key, another order.
        writeFile(db + test::Sato, foreign(QStringLiteral("003:佐藤\r\n004:一郎\r\n999:謎の項目\r\n400:") + picture
                                           + QStringLiteral("\r\n021:東京都～区\r\n200:①②")));
        writeFile(db + test::Suzuki, foreign(QStringLiteral("003:鈴木\r\n400:C:\\写真\\suzuki.jpg\r\n")));
        writeFile(db + QStringLiteral("Out/") + test::Tanaka, foreign(QStringLiteral("003:田中\r\n")));
        QString beds;
        for (int b = 0; b < 240; ++b)
            beds += (b == 3 ? test::Sato : b == 9 ? test::Suzuki : QString()) + QStringLiteral("\r\n");
        writeFile(db + layoutfile::Beds, foreign(beds));
        QString rooms, colours;
        for (int r = 0; r < 30; ++r) {
            rooms += QStringLiteral("%1号室\r\n").arg(101 + r);
            colours += QStringLiteral("%1\r\n").arg(r * 4096);
        }
        writeFile(db + layoutfile::RoomNumbers, foreign(rooms));
        writeFile(db + layoutfile::RoomColours, foreign(colours));
        writeFile(db + QStringLiteral("HOSPITAL_INFO.WBD"), foreign(QStringLiteral("001:中央病院\r\n002:内科\r\n")));
        // A snapshot, one record under its code page 932 name.
        const QString day = t.path(QStringLiteral("BackUp/") + SnapshotDay);
        writeFile(day + QLatin1Char('/') + layoutfile::Beds, foreign(beds));
        QDir().mkpath(day);
        QString error;
        QVERIFY(rawfiles::writeFileAtomic(day, foreign(test::Sato), foreign(QStringLiteral("003:佐藤\r\n")), &error));
        // No snapshot the date list could show: not copied.
        QDir().mkpath(t.path(QStringLiteral("BackUp/short")));
        // The history, written by another encoder: a value with an escaped
        // tab and line break, and an empty one.
        writeFile(t.path(HistoryFile),
                  foreign(QStringLiteral("e1\t2026/12/01 09:00:00\tnurse1\t山田\t入院\t101号室\t4\t") + test::Sato
                          + QStringLiteral("\t\r\ne2\t2026/12/02 10:00:00\tnurse2\t看護 花子\t記録保存\t101号室\t4\t")
                          + test::Sato + QStringLiteral("\t住所\\t電話\\r\\n①\r\n")));
        t.settings->setValue("Pass", "cnt", "2");
        t.settings->setValue("Pass", "user1", QStringLiteral("Administrator,2,管理者,Brellowinster"));
        t.settings->setValue("Pass", "user2", QStringLiteral("nurse2,1,看護 花子,np2"));
        t.settings->setValue("Option", "backup_on_off", "0");
        t.settings->setValue("Option", "backup_off_time", "2");
        t.settings->setValue("Option", "midashi_on_off", "1");
    }
};

struct Database {
    ScratchDatabase scratch;
    std::unique_ptr<PgStore> store;
    Database()
    {
        store = std::make_unique<PgStore>(scratch.connectionString(), QString(), QStringLiteral("transfer"));
        QString error;
        if (!scratch.ok() || !store->open(&error, Iterations))
            qWarning() << error;
    }
};

} // namespace

class TestWardTransfer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!ScratchDatabase::server().isEmpty(),
                 "VELTO_TEST_DATABASE is not set: run scripts/test.sh, which starts the private server");
    }

    void roundTripIsByteExact()
    {
        FolderWard ward;
        Database db;
        QVERIFY(db.store->connected());
        QStringList report;
        QString error;
        QVERIFY2(importFolder(ward.t.ctx.appDir, *ward.t.settings, *db.store, &report, &error), qPrintable(error));
        QCOMPARE(report, (QStringList {transfertext::MissingPhoto.arg("C:\\写真\\suzuki.jpg", test::Suzuki),
                                       transfertext::Imported.arg(2).arg(1).arg(1).arg("あり").arg(2)}));

        QTemporaryDir out;
        const QString target = out.filePath(QStringLiteral("exported"));
        report.clear();
        QVERIFY2(exportFolder(*db.store, target, &report, &error), qPrintable(error));
        QCOMPARE(report.constLast(), transfertext::AccountsNotExported);

        QCOMPARE(test::readBytes(QDir(target).filePath(HistoryFile)), test::readBytes(ward.t.path(HistoryFile)));
        QList<HistoryEvent> history;
        QVERIFY(db.store->readHistory(&history, &error));
        QCOMPARE(history.size(), 2);
        QCOMPARE(history.at(1).detail, QStringLiteral("住所\t電話\r\n①"));
        QMap<QString, QByteArray> expected = wardFiles(ward.t.ctx.appDir);
        QVERIFY(expected.contains("DB/" + test::Sato));
        expected.insert(QStringLiteral("photos/sato.jpg"), test::readBytes(ward.picture));
        QCOMPARE(wardFiles(target), expected);

        // The accounts came with it, hashed, and log in.
        QVERIFY(!db.store->wardSettings()->value("Pass", "user2").endsWith(",np2"));
        test::TestContext t;
        t.ctx.store = db.store.get();
        AccountTable table;
        t.prompter.answers = {true};
        QCOMPARE(int(loginCheck(t.ctx, table, "nurse2", "np2").kind), int(LoginResult::LoggedIn));
        QCOMPARE(wardSettings(t.ctx).value("Option", "midashi_on_off"), QStringLiteral("1"));
    }

    // Each refusal names its cause and writes nothing to the database.
    void refusals_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("ward not empty") << "not empty" << transfertext::NotEmpty;
        QTest::newRow("undecodable layout line") << "bad line"
                                                 << "<unreadable>";
        QTest::newRow("a history line that is no event") << "bad history"
                                                         << "<unreadable>";
        QTest::newRow("folder in use") << "locked"
                                       << "既に起動しています。";
        QTest::newRow("no ward folder") << "no DB"
                                        << "<no ward>";
    }
    void refusals()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        FolderWard ward;
        Database db;
        QString error;
        QStringList report;
        FolderStore other(ward.t.ctx.appDir);
        if (fault == "not empty") {
            QVERIFY(importFolder(ward.t.ctx.appDir, *ward.t.settings, *db.store, &report, &error));
        } else if (fault == "bad line") {
            writeFile(ward.t.path("DB/" + layoutfile::RoomNumbers), QByteArray("101\r\n\x82\r\n"));
            message = transfertext::Unreadable.arg(textfile::undecodableLineText(
                QDir::toNativeSeparators(ward.t.path("DB/" + layoutfile::RoomNumbers)), 2));
        } else if (fault == "bad history") {
            writeFile(ward.t.path(HistoryFile), QByteArray("only\tthree\tfields\r\n"));
            message = transfertext::Unreadable.arg(QDir::toNativeSeparators(ward.t.path(HistoryFile)));
        } else if (fault == "locked") {
            QString refused;
            QVERIFY(other.lock(&refused));
        } else if (fault == "no DB") {
            QVERIFY(QDir(ward.t.path("DB")).removeRecursively());
            message = transfertext::NoWard.arg(QDir::toNativeSeparators(ward.t.ctx.appDir));
        }
        WardImage before;
        QVERIFY(db.store->readWard(&before, &error));
        const QString accountsBefore = db.store->wardSettings()->value("Pass", "user1");

        QVERIFY(!importFolder(ward.t.ctx.appDir, *ward.t.settings, *db.store, &report, &error));
        QCOMPARE(error, message);
        WardImage after;
        QVERIFY(db.store->readWard(&after, &error));
        QCOMPARE(after.records.size(), before.records.size());
        QCOMPARE(after.snapshots.keys(), before.snapshots.keys());
        QCOMPARE(after.layout->beds, before.layout->beds);
        db.store->wardSettings()->reload();
        QCOMPARE(db.store->wardSettings()->value("Pass", "user1"), accountsBefore);
    }

    void exportNeedsAnEmptyFolder()
    {
        Database db;
        QTemporaryDir out;
        writeFile(out.filePath("note.txt"), "x");
        QStringList report;
        QString error;
        QVERIFY(!exportFolder(*db.store, out.path(), &report, &error));
        QCOMPARE(error, transfertext::TargetNotEmpty.arg(QDir::toNativeSeparators(out.path())));
        QCOMPARE(test::filesUnder(out.path()), QStringList {"note.txt"});
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("database");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        QTest::newRow("no command") << QStringList {"--help"} << true << -1 << "";
        QTest::newRow("no folder") << QStringList {"--import-folder"} << true << 2 << transfertext::NoFolderGiven;
        QTest::newRow("no database") << QStringList {"--export-folder", "x"} << false << 1 << "<no database>";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, database);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        test::TestContext t;
        ScratchDatabase scratch;
        if (database)
            t.settings->setValue("Ward", "database", scratch.connectionString());
        if (err == "<no database>")
            err = transfertext::NoDatabase.arg(QDir::toNativeSeparators(t.settings->filePath()));
        QStringList out, errors;
        QCOMPARE(runTransferCommand(args, *t.settings, &out, &errors, Iterations), exitCode);
        QCOMPARE(errors.join('\n'), err);
    }
};

QTEST_GUILESS_MAIN(TestWardTransfer)
#include "tst_wardtransfer.moc"
