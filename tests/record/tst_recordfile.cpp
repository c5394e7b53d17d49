#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

#include "core/errorlog.h"
#include "core/textfile.h"
#include "record/recordfields.h"
#include "record/recordfile.h"
#include "store/folderstore.h"
#include "support/files.h"
#include "support/patients.h"
#include "support/testcontext.h"

using namespace velto;
using velto::test::TestContext;

namespace {

const QString kSnapshot = QStringLiteral("平成18年12月03日");

struct Fixture : TestContext {
    Fixture()
    {
        makeFolders();
        ctx.currentAccount
            = {QStringLiteral("nurse1"), Authority::Full, QStringLiteral("Yamada"), QStringLiteral("pw")};
    }
    QString dbFile(const QString &name) const { return path(QStringLiteral("DB/") + name); }
};

using test::readBytes;

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString errorLogFunc(const Fixture &fx)
{
    const QList<QByteArray> lines = readBytes(fx.path("log/error.log")).split('\n');
    return lines.size() >= 3 ? QString::fromLatin1(lines[2].trimmed()) : QString();
}

PatientRecord sampleRecord()
{
    PatientRecord r = newPatientRecord();
    r.setValue("003", QStringLiteral("佐藤"));
    r.setValue("004", QStringLiteral("一郎"));
    r.setValue("007", QStringLiteral("昭和"));
    r.setValue("008", QStringLiteral("10年"));
    r.setValue("009", QStringLiteral("5月"));
    r.setValue("010", QStringLiteral("3日"));
    return r;
}

} // namespace

class TstRecordFile : public QObject {
    Q_OBJECT

private slots:
    void patientKey_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("key");
        QTest::newRow("plain") << "佐藤"
                               << "一郎"
                               << "佐藤_一郎_昭和10年5月3日";
        QTest::newRow("spaces kept") << " 佐藤"
                                     << "一郎 "
                                     << " 佐藤_一郎 _昭和10年5月3日";
        QTest::newRow("underscore in name") << "佐_藤"
                                            << "一郎"
                                            << "佐_藤_一郎_昭和10年5月3日";
        // Typed wave dash: the key must equal what the layout file gives back.
        QTest::newRow("wave dash as stored")
            << QString::fromUtf8("佐\u301C藤") << "一郎" << QString::fromUtf8("佐～藤_一郎_昭和10年5月3日");
    }
    void patientKey()
    {
        QFETCH(QString, family);
        QFETCH(QString, given);
        QFETCH(QString, key);
        PatientRecord r = sampleRecord();
        r.setValue("003", family);
        r.setValue("004", given);
        QCOMPARE(makePatientKey(r), key);
    }

    void filePath_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("relative"); // empty: refused
        QTest::newRow("today") << "佐藤_一郎_昭和10年5月3日"
                               << ""
                               << "DB/佐藤_一郎_昭和10年5月3日";
        QTest::newRow("snapshot") << "a_b_c" << kSnapshot << "BackUp/" + kSnapshot + "/a_b_c";
        QTest::newRow("slash in key") << "../../x_b_c"
                                      << ""
                                      << "";
        QTest::newRow("backslash in key") << "..\\x_b_c"
                                          << ""
                                          << "";
        QTest::newRow("dot-dot key") << ".."
                                     << ""
                                     << "";
        QTest::newRow("empty key") << ""
                                   << ""
                                   << "";
        QTest::newRow("line break in key") << "a\r\nb_c_d"
                                           << ""
                                           << "";
        QTest::newRow("folder escapes") << "a_b_c"
                                        << "../DB"
                                        << "";
        QTest::newRow("dot-dot folder") << "a_b_c"
                                        << ".."
                                        << "";
    }
    void filePath()
    {
        QFETCH(QString, key);
        QFETCH(QString, folder);
        QFETCH(QString, relative);
        Fixture fx;
        const RecordRef ref = folder.isEmpty() ? RecordRef::today(key) : RecordRef::inSnapshot(folder, key);
        QCOMPARE(FolderStore(fx.ctx.appDir).recordPath(ref), relative.isEmpty() ? QString() : fx.path(relative));
    }

    // The exact bytes: write order, "key:value", CP932, CR LF, stamp from account and clock.
    void writeIsByteExact()
    {
        Fixture fx;
        PatientRecord r = sampleRecord();
        r.setValue("000", QStringLiteral("12"));
        r.setValue("016", QStringLiteral("ｱ～1:2"));
        r.setValue("300", QStringLiteral("stale")); // the stamp is always the current one
        r.setValue("110", QStringLiteral("x"));     // reserved: never written
        SaveStamp stamp;
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(makePatientKey(r)), r, &stamp));
        QCOMPARE(stamp.loginId, QStringLiteral("nurse1"));
        QCOMPARE(stamp.staffName, QStringLiteral("Yamada"));
        QCOMPARE(stamp.savedAt, QStringLiteral("2026/12/10 09:30:00"));

        const QHash<QString, QByteArray> values {
            {"000", "12"},
            {"003", "\x8d\xb2\x93\xa1"},
            {"004", "\x88\xea\x98\x59"},
            {"007", "\x8f\xba\x98\x61"},
            {"008", "10\x94\x4e"},
            {"009", "5\x8c\x8e"},
            {"010", "3\x93\xfa"},
            {"016", "\xb1\x81\x60"
                    "1:2"},
            {"072", "\x82\xc8\x82\xb5"},
            {"300", "nurse1"},
            {"301", "Yamada"},
            {"302", "2026/12/10 09:30:00"},
        };
        QByteArray expected;
        for (const QString &key : recordWriteOrder())
            expected += key.toLatin1() + ':' + values.value(key) + "\r\n";
        const QByteArray actual = readBytes(fx.dbFile(test::Sato));
        QCOMPARE(actual.count("\r\n"), 237);
        QCOMPARE(actual, expected);
        QVERIFY(fx.prompter.asked.isEmpty());
    }

    void readLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("last wins") << QByteArray("000:a\r\n003:x\r\n000:b\r\n") << "000"
                                   << "b";
        QTest::newRow("any order") << QByteArray("A10:z\r\n000:a\r\n") << "A10"
                                   << "z";
        QTest::newRow("colons kept") << QByteArray("302:2006/12/03 15:14:05\r\n") << "302"
                                     << "2006/12/03 15:14:05";
        QTest::newRow("fourth char ignored") << QByteArray("000Xabc\r\n") << "000"
                                             << "abc";
        QTest::newRow("empty value") << QByteArray("003:\r\n") << "003"
                                     << "";
        QTest::newRow("last line without CRLF") << QByteArray("000:a\r\n003:b") << "003"
                                                << "b";
        QTest::newRow("no 072 gives nashi") << QByteArray("000:a\r\n") << "072"
                                            << "なし";
        QTest::newRow("stored empty 072 wins") << QByteArray("072:\r\n") << "072"
                                               << "";
        QTest::newRow("cp932 value") << QByteArray("003:\x8d\xb2\x93\xa1\r\n") << "003"
                                     << "佐藤";
        QTest::newRow("empty file") << QByteArray() << "072"
                                    << "なし";
    }
    void readLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(QString, value);
        Fixture fx;
        writeBytes(fx.dbFile("k_k_k"), content);
        PatientRecord r;
        r.setValue("000", "left over");
        QCOMPARE(readPatientRecord(fx.ctx, RecordRef::today("k_k_k"), &r), RecordReadResult::Read);
        QCOMPARE(r.value(key), value);
        QCOMPARE(r.values().size(), 237);
        QVERIFY(fx.prompter.asked.isEmpty());
    }

    void reservedAndUnknownKeysSkipped()
    {
        Fixture fx;
        writeBytes(fx.dbFile("k_k_k"), "999:x\r\n110:y\r\n111:y\r\n218:z\r\na01:w\r\n000:a\r\n");
        PatientRecord r;
        QCOMPARE(readPatientRecord(fx.ctx, RecordRef::today("k_k_k"), &r), RecordReadResult::Read);
        PatientRecord expected = newPatientRecord();
        expected.setValue("000", "a");
        QCOMPARE(r, expected);
    }

    void reverseOrderReadsTheSame()
    {
        Fixture fx;
        PatientRecord r = sampleRecord();
        for (const auto &key : recordWriteOrder())
            if (r.value(key).isEmpty())
                r.setValue(key, key + "v");
        const QString file = fx.dbFile(makePatientKey(r));
        const RecordRef ref = RecordRef::today(makePatientKey(r));
        QVERIFY(writePatientRecord(fx.ctx, ref, r));
        PatientRecord forward, backward;
        QCOMPARE(readPatientRecord(fx.ctx, ref, &forward), RecordReadResult::Read);

        QList<QByteArray> lines = readBytes(file).split('\n');
        lines.removeLast();
        std::reverse(lines.begin(), lines.end());
        writeBytes(fx.dbFile("rev_r_r"), lines.join('\n') + '\n');
        QCOMPARE(readPatientRecord(fx.ctx, RecordRef::today("rev_r_r"), &backward), RecordReadResult::Read);
        QCOMPARE(backward, forward);
    }

    // A line too short for "key:" stops the read through the error report;
    // what came before stays, what follows is not read.
    void unreadableLineStops_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("id");
        QTest::newRow("two chars") << QByteArray("000:a\r\n00\r\n003:b\r\n") << "a";
        QTest::newRow("empty line") << QByteArray("000:a\r\n\r\n003:b\r\n") << "a";
        QTest::newRow("key only") << QByteArray("000:a\r\n072\r\n003:b\r\n") << "a";
    }
    void unreadableLineStops()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, id);
        Fixture fx;
        writeBytes(fx.dbFile("k_k_k"), content);
        PatientRecord r;
        QCOMPARE(readPatientRecord(fx.ctx, RecordRef::today("k_k_k"), &r), RecordReadResult::Failed);
        QCOMPARE(r.value("000"), id);
        QCOMPARE(r.value("003"), QString());
        QCOMPARE(r.value("072"), QStringLiteral("なし"));
        QCOMPARE(fx.prompter.asked.size(), 1);
        QCOMPARE(fx.prompter.asked[0].kind, DialogKind::Error);
        QCOMPARE(fx.prompter.asked[0].text, unexpectedErrorText());
        QCOMPARE(errorLogFunc(fx), QStringLiteral("[FUNC] frmKozinInf.Form_Load()"));
    }

    // A byte that does not decode costs its own line only: the lines before
    // and after it are read, its field stays empty, and its number is given.
    void undecodableLineCostsOnlyItself_data()
    {
        QTest::addColumn<QList<int>>("bad");
        QTest::addColumn<QByteArray>("badBytes");
        QTest::newRow("0xFF on line 23") << QList<int> {23} << QByteArray("\xff");
        QTest::newRow("first and last line") << QList<int> {1, 30} << QByteArray("\xff");
        QTest::newRow("cut double-byte character") << QList<int> {5} << QByteArray("\x81\x20");
    }
    void undecodableLineCostsOnlyItself()
    {
        QFETCH(QList<int>, bad);
        QFETCH(QByteArray, badBytes);
        Fixture fx;
        const QStringList keys = recordWriteOrder().mid(0, 30);
        QByteArray content;
        for (int i = 0; i < keys.size(); ++i)
            content += keys.at(i).toLatin1() + ':' + (bad.contains(i + 1) ? badBytes : "v" + keys.at(i).toLatin1())
                       + "\r\n";
        writeBytes(fx.dbFile("k_k_k"), content);

        PatientRecord r;
        QList<int> badLines;
        QCOMPARE(readPatientRecord(fx.ctx, RecordRef::today("k_k_k"), &r, &badLines), RecordReadResult::PartlyRead);
        QCOMPARE(badLines, bad);
        for (int i = 0; i < keys.size(); ++i) {
            const QString expected = bad.contains(i + 1) ? newPatientRecord().value(keys.at(i)) : "v" + keys.at(i);
            QCOMPARE(r.value(keys.at(i)), expected);
        }
        QVERIFY(fx.prompter.asked.isEmpty());
        QCOMPARE(badLinesText(bad).contains(QString::number(bad.last()) + QStringLiteral("行目")), true);
    }

    // Empty lines after the last field are an editor's doing, not a fault.
    void emptyLinesAfterRecordRead_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("one CR LF") << QByteArray("\r\n");
        QTest::newRow("three CR LF") << QByteArray("\r\n\r\n\r\n");
    }
    void emptyLinesAfterRecordRead()
    {
        QFETCH(QByteArray, tail);
        Fixture fx;
        const QString file = fx.dbFile(makePatientKey(sampleRecord()));
        const RecordRef ref = RecordRef::today(makePatientKey(sampleRecord()));
        QVERIFY(writePatientRecord(fx.ctx, ref, sampleRecord()));
        writeBytes(file, readBytes(file) + tail);
        PatientRecord r;
        QCOMPARE(readPatientRecord(fx.ctx, ref, &r), RecordReadResult::Read);
        QCOMPARE(r.value("003"), QStringLiteral("佐藤"));
        QCOMPARE(r.value("A10"), QString());
        QVERIFY(fx.prompter.asked.isEmpty());
    }

    // A snapshot copied from a Windows PC names its records in code page 932
    // bytes; snapshots are never renamed, so they are read under either name.
    void snapshotRecordUnderByteName_data()
    {
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<bool>("byteName");
        QTest::addColumn<bool>("found");
        QTest::newRow("snapshot, UTF-8 name") << true << false << true;
        QTest::newRow("snapshot, code page 932 name") << true << true << true;
        QTest::newRow("today, code page 932 name (renamed at start-up)") << false << true << false;
    }
    void snapshotRecordUnderByteName()
    {
        QFETCH(bool, snapshot);
        QFETCH(bool, byteName);
        QFETCH(bool, found);
        Fixture fx;
        const QString key = makePatientKey(sampleRecord());
        const QString folder = fx.path(snapshot ? "BackUp/" + kSnapshot : QStringLiteral("DB"));
        QDir().mkpath(folder);
        QByteArray name = QFile::encodeName(key);
        if (byteName)
            QVERIFY(textfile::encode(key, &name, nullptr));
        QByteArray text;
        QVERIFY(textfile::encode(QStringLiteral("003:佐藤\r\n004:一郎\r\n"), &text, nullptr));
        const int fd = ::open((QFile::encodeName(folder) + '/' + name).constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, text.constData(), size_t(text.size())), ssize_t(text.size()));
        ::close(fd);

        PatientRecord r;
        const RecordRef ref = snapshot ? RecordRef::inSnapshot(kSnapshot, key) : RecordRef::today(key);
        QCOMPARE(readPatientRecord(fx.ctx, ref, &r), found ? RecordReadResult::Read : RecordReadResult::Missing);
        QCOMPARE(r.value("004"), found ? QStringLiteral("一郎") : QString());
    }

    void missingFileReadsNothing()
    {
        Fixture fx;
        PatientRecord r;
        r.setValue("000", "left over");
        QCOMPARE(readPatientRecord(fx.ctx, RecordRef::today("none_n_n"), &r), RecordReadResult::Missing);
        QCOMPARE(readPatientRecord(fx.ctx, RecordRef::today(QString()), &r), RecordReadResult::Missing);
        QCOMPARE(r, newPatientRecord());
        QVERIFY(fx.prompter.asked.isEmpty());
    }

    void fullRecordRoundTrip()
    {
        Fixture fx;
        PatientRecord r;
        int n = 0;
        for (const auto &f : recordFields())
            r.setValue(f.key, QStringLiteral("値%1ｶﾅ:～ ").arg(n++));
        const QString file = fx.dbFile("round_trip_1");
        const RecordRef ref = RecordRef::today("round_trip_1");
        SaveStamp stamp;
        QVERIFY(writePatientRecord(fx.ctx, ref, r, &stamp));
        PatientRecord back;
        QCOMPARE(readPatientRecord(fx.ctx, ref, &back), RecordReadResult::Read);
        r.setValue("300", stamp.loginId);
        r.setValue("301", stamp.staffName);
        r.setValue("302", stamp.savedAt);
        QCOMPARE(back, r);
    }

    void snapshotIsReadOnly()
    {
        Fixture fx;
        const QString key = QStringLiteral("a_b_c");
        const QString file = fx.path("BackUp/" + kSnapshot + "/" + key);
        const RecordRef ref = RecordRef::inSnapshot(kSnapshot, key);
        const QByteArray old("000:old\r\n");
        writeBytes(file, old);
        PatientRecord r;
        QCOMPARE(readPatientRecord(fx.ctx, ref, &r), RecordReadResult::Read);
        QCOMPARE(r.value("000"), QStringLiteral("old"));

        r.setValue("000", "new");
        QVERIFY(!writePatientRecord(fx.ctx, ref, r));
        QCOMPARE(readBytes(file), old);
        QCOMPARE(fx.prompter.texts(), QStringList {PastDataReadOnlyText});
        QCOMPARE(fx.prompter.asked[0].kind, DialogKind::Error);
        QVERIFY(!QFile::exists(fx.path("log/error.log")));
    }

    // Only today's records are written, under a name every disk takes;
    // anything else is refused and nothing is created.
    void writeOutsideTodayRefused_data()
    {
        QTest::addColumn<int>("place");
        QTest::addColumn<QString>("key");
        const int today = int(RecordPlace::Today);
        QTest::newRow("parent of DB") << today << "../x_y_z";
        QTest::newRow("kept record") << int(RecordPlace::Kept) << "x_y_z";
        QTest::newRow("no key") << today << "";
        QTest::newRow("dots only") << today << "...";
        for (const char *bad : {"a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a\\b", "a\tb"})
            QTest::newRow(qPrintable(QStringLiteral("name %1").arg(QLatin1String(bad)))) << today << QString(bad);
    }
    void writeOutsideTodayRefused()
    {
        QFETCH(int, place);
        QFETCH(QString, key);
        Fixture fx;
        const QStringList before = test::filesUnder(fx.dir.path());
        QVERIFY(!writePatientRecord(fx.ctx, RecordRef {RecordPlace(place), key, QString()}, sampleRecord()));
        QCOMPARE(errorLogFunc(fx), QStringLiteral("[FUNC] frmKozinInf.UpdateFile()"));
        QStringList after = test::filesUnder(fx.dir.path());
        after.removeAll(QStringLiteral("app/log/error.log"));
        QCOMPARE(after, before);
    }

    // A family name like "../../x" yields no path at all, so nothing is written anywhere.
    void traversingNameWritesNothing()
    {
        Fixture fx;
        PatientRecord r = sampleRecord();
        r.setValue("003", QStringLiteral("../../evil"));
        QVERIFY(!writePatientRecord(fx.ctx, RecordRef::today(makePatientKey(r)), r));
        QCOMPARE(errorLogFunc(fx), QStringLiteral("[FUNC] frmKozinInf.UpdateFile()"));
        QCOMPARE(QDir(fx.dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
    }

    void refusedCharacterKeepsOldFile()
    {
        Fixture fx;
        PatientRecord r = sampleRecord();
        const QString file = fx.dbFile(makePatientKey(r));
        const RecordRef ref = RecordRef::today(makePatientKey(r));
        QVERIFY(writePatientRecord(fx.ctx, ref, r));
        const QByteArray old = readBytes(file);

        r.setValue("021", QStringLiteral("한국"));
        r.setValue("000", QStringLiteral("changed"));
        QVERIFY(!writePatientRecord(fx.ctx, ref, r));
        QCOMPARE(readBytes(file), old);
        QCOMPARE(fx.prompter.asked.size(), 1);
        QCOMPARE(fx.prompter.asked[0].kind, DialogKind::Error);
        QVERIFY(fx.prompter.asked[0].text.contains(QStringLiteral("한")));
        QCOMPARE(QDir(fx.path("DB")).entryList(QDir::Files), QStringList {makePatientKey(r)});
    }

    // A pasted line break must not add a line that would shift the keys.
    void lineBreakInValueStaysOneLine()
    {
        Fixture fx;
        PatientRecord r = sampleRecord();
        r.setValue("147", QStringLiteral("a\r\nb\nc\rd"));
        const QString file = fx.dbFile(makePatientKey(r));
        const RecordRef ref = RecordRef::today(makePatientKey(r));
        QVERIFY(writePatientRecord(fx.ctx, ref, r));
        const QByteArray bytes = readBytes(file);
        QCOMPARE(bytes.count('\n'), 237);
        QCOMPARE(bytes.count('\r'), 237);
        PatientRecord back;
        QCOMPARE(readPatientRecord(fx.ctx, ref, &back), RecordReadResult::Read);
        QCOMPARE(back.value("147"), QStringLiteral("a b c d"));
        QCOMPARE(back.value("148"), QString());
    }

    void missingDbFolderReported()
    {
        Fixture fx;
        QVERIFY(QDir(fx.path("DB")).removeRecursively());
        QVERIFY(!writePatientRecord(fx.ctx, RecordRef::today("a_b_c"), sampleRecord()));
        QCOMPARE(fx.prompter.texts(), QStringList {unexpectedErrorText()});
        QCOMPARE(errorLogFunc(fx), QStringLiteral("[FUNC] frmKozinInf.UpdateFile()"));
    }

    void sameKeyReplacesFile()
    {
        Fixture fx;
        PatientRecord a = sampleRecord(), b = sampleRecord();
        a.setValue("000", "A");
        b.setValue("000", "B");
        const QString file = fx.dbFile(makePatientKey(a));
        const RecordRef ref = RecordRef::today(makePatientKey(a));
        QVERIFY(writePatientRecord(fx.ctx, ref, a));
        QVERIFY(writePatientRecord(fx.ctx, ref, b));
        PatientRecord back;
        QCOMPARE(readPatientRecord(fx.ctx, ref, &back), RecordReadResult::Read);
        QCOMPARE(back.value("000"), QStringLiteral("B"));
        QCOMPARE(QDir(fx.path("DB")).entryList(QDir::Files).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TstRecordFile)
#include "tst_recordfile.moc"
