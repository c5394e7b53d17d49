#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include "board/boardmodel.h"
#include "board/wardlayout.h"
#include "core/errorlog.h"
#include "support/files.h"
#include "support/patients.h"
#include "support/testcontext.h"

using namespace velto;
using velto::test::TestContext;

namespace {

// 佐藤_一郎_昭和10年5月3日 and 山_田_花子_平成1年2月3日 in code page 932.
const QByteArray SatoKey("\x8d\xb2\x93\xa1\x5f\x88\xea\x98\x59\x5f\x8f\xba\x98\x61\x31\x30\x94\x4e"
                         "\x35\x8c\x8e\x33\x93\xfa");
const QByteArray YamaKey("\x8e\x52\x5f\x93\x63\x5f\x89\xd4\x8e\x71\x5f\x95\xbd\x90\xac\x31\x94\x4e"
                         "\x32\x8c\x8e\x33\x93\xfa");
// "１０１号室 " (trailing space kept) and "ﾃｽﾄ～".
const QByteArray RoomNo101("\x82\x50\x82\x4f\x82\x50\x8d\x86\x8e\xba\x20");
const QByteArray KanaTilde("\xc3\xbd\xc4\x81\x60");

QByteArray crlf(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &l : lines)
        out += l + "\r\n";
    return out;
}

QList<QByteArray> repeat(const QByteArray &line, int n)
{
    QList<QByteArray> l;
    for (int i = 0; i < n; ++i)
        l << line;
    return l;
}

// A whole layout: beds 0, 5 and 239 taken (bed 7 holds an entry without "_"),
// rooms 0 and 29 numbered and coloured.
QByteArray fullBeds()
{
    QList<QByteArray> l = repeat(QByteArray(), 240);
    l[0] = SatoKey;
    l[5] = YamaKey;
    l[7] = "NOUNDERSCORE";
    l[239] = SatoKey;
    return crlf(l);
}
QByteArray fullNumbers()
{
    QList<QByteArray> l = repeat(QByteArray(), 30);
    l[0] = RoomNo101;
    l[29] = KanaTilde;
    return crlf(l);
}
QByteArray fullColours()
{
    QList<QByteArray> l = repeat("14737632", 30);
    l[0] = "255";
    l[29] = "16777215";
    l[1] = "0";
    return crlf(l);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

using test::readBytes;

// Marks every bed and room so that untouched state is recognisable.
void fillOld(BoardModel &m)
{
    for (int i = 0; i < BoardModel::BedCount; ++i)
        m.setBedEntry(i, QStringLiteral("old_%1").arg(i));
    for (int i = 0; i < BoardModel::RoomCount; ++i) {
        m.setRoomNumber(i, QStringLiteral("R%1").arg(i));
        m.setRoomColour(i, 1000 + i);
    }
}

} // namespace

class TestWardLayout : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> tc;
    QString db(const QString &f) const { return tc->path(QStringLiteral("DB/") + f); }

private slots:
    void init()
    {
        tc = std::make_unique<TestContext>();
        tc->makeFolders();
        tc->ctx.currentAccount.authority = Authority::Full;
        tc->ctx.todayEraDate = QStringLiteral("令和08年12月10日");
    }

    void loadThenSaveIsByteExact()
    {
        const QString snap = tc->path(QStringLiteral("BackUp/令和08年12月01日/"));
        writeBytes(snap + layoutfile::Beds, fullBeds());
        writeBytes(snap + layoutfile::RoomNumbers, fullNumbers());
        writeBytes(snap + layoutfile::RoomColours, fullColours());

        BoardModel m;
        fillOld(m);
        QVERIFY(loadWardLayout(tc->ctx, m, QStringLiteral("令和08年12月01日")));
        QCOMPARE(m.bedEntry(0), test::Sato);
        QCOMPARE(m.bedCaption(0), QStringLiteral("佐藤"));
        QCOMPARE(m.bedCaption(5), QStringLiteral("山")); // only up to the first "_"
        QCOMPARE(m.bedEntry(7), QStringLiteral("NOUNDERSCORE"));
        QVERIFY(!m.isOccupied(7));
        QVERIFY(!m.isOccupied(1));
        QCOMPARE(m.bedEntry(1), QString());
        QCOMPARE(m.roomNumber(0), QStringLiteral("１０１号室 "));
        QCOMPARE(m.roomNumber(29), QStringLiteral("ﾃｽﾄ～"));
        QCOMPARE(m.roomColour(0), 255);
        QCOMPARE(BoardModel::red(m.roomColour(0)), 255);
        QCOMPARE(m.roomColour(1), 0);
        QCOMPARE(m.roomColour(2), BoardModel::InitialRoomColour);

        QCOMPARE(saveWardLayout(tc->ctx, m), LayoutSaveResult::Saved);
        QCOMPARE(readBytes(db(layoutfile::Beds)), fullBeds());
        QCOMPARE(readBytes(db(layoutfile::RoomNumbers)), fullNumbers());
        QCOMPARE(readBytes(db(layoutfile::RoomColours)), fullColours());
        QVERIFY(tc->prompter.asked.isEmpty());
    }

    void firstStartSavesWholeFiles()
    {
        BoardModel m;
        QVERIFY(loadWardLayout(tc->ctx, m, QString())); // nothing there yet
        QCOMPARE(saveWardLayout(tc->ctx, m), LayoutSaveResult::Saved);
        QCOMPARE(readBytes(db(layoutfile::Beds)), crlf(repeat(QByteArray(), 240)));
        QCOMPARE(readBytes(db(layoutfile::RoomNumbers)), crlf(repeat(QByteArray(), 30)));
        QCOMPARE(readBytes(db(layoutfile::RoomColours)), crlf(repeat("14737632", 30)));
    }

    void missingFileEndsLoadingQuietly_data()
    {
        QTest::addColumn<bool>("beds");
        QTest::addColumn<bool>("numbers");
        QTest::addColumn<bool>("colours");
        QTest::addColumn<bool>("bedsLoaded");
        QTest::addColumn<bool>("numbersLoaded");
        QTest::addColumn<bool>("coloursLoaded");
        QTest::newRow("no files") << false << false << false << false << false << false;
        QTest::newRow("no beds, others there") << false << true << true << false << false << false;
        QTest::newRow("no numbers") << true << false << true << true << false << false;
        QTest::newRow("no colours") << true << true << false << true << true << false;
        QTest::newRow("all") << true << true << true << true << true << true;
    }
    void missingFileEndsLoadingQuietly()
    {
        QFETCH(bool, beds);
        QFETCH(bool, numbers);
        QFETCH(bool, colours);
        QFETCH(bool, bedsLoaded);
        QFETCH(bool, numbersLoaded);
        QFETCH(bool, coloursLoaded);
        if (beds)
            writeBytes(db(layoutfile::Beds), fullBeds());
        if (numbers)
            writeBytes(db(layoutfile::RoomNumbers), fullNumbers());
        if (colours)
            writeBytes(db(layoutfile::RoomColours), fullColours());

        BoardModel m;
        fillOld(m);
        QVERIFY(loadWardLayout(tc->ctx, m, QString()));
        QCOMPARE(m.bedEntry(1), bedsLoaded ? QString() : QStringLiteral("old_1"));
        QCOMPARE(m.roomNumber(1), numbersLoaded ? QString() : QStringLiteral("R1"));
        QCOMPARE(m.roomColour(2), coloursLoaded ? BoardModel::InitialRoomColour : 1002);
        QVERIFY(tc->prompter.asked.isEmpty());
    }

    void shortFilesKeepLaterState()
    {
        writeBytes(db(layoutfile::Beds), crlf({SatoKey, "", YamaKey}));
        writeBytes(db(layoutfile::RoomNumbers), crlf({RoomNo101}));
        writeBytes(db(layoutfile::RoomColours), QByteArray("255\r\n65280")); // last line without CR LF

        BoardModel m;
        fillOld(m);
        QVERIFY(loadWardLayout(tc->ctx, m, QString()));
        QCOMPARE(m.bedCaption(0), QStringLiteral("佐藤"));
        QCOMPARE(m.bedEntry(1), QString());
        QCOMPARE(m.bedCaption(2), QStringLiteral("山"));
        QCOMPARE(m.bedEntry(3), QStringLiteral("old_3"));
        QCOMPARE(m.bedEntry(239), QStringLiteral("old_239"));
        QCOMPARE(m.roomNumber(0), QStringLiteral("１０１号室 "));
        QCOMPARE(m.roomNumber(1), QStringLiteral("R1"));
        QCOMPARE(m.roomColour(0), 255);
        QCOMPARE(m.roomColour(1), 65280);
        QCOMPARE(m.roomColour(2), 1002);
        QVERIFY(tc->prompter.asked.isEmpty());
    }

    void badLineIsReportedAndKeepsWhatWasRead_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("lastBed");     // entry of bed 239 afterwards
        QTest::addColumn<QString>("room0Number"); // room 0's number afterwards
        QTest::addColumn<int>("room1Colour");
        QTest::addColumn<int>("room2Colour");

        const QString sato = test::Sato;
        const QString r101 = QStringLiteral("１０１号室 ");
        QList<QByteArray> cols = repeat("14737632", 30);
        cols[2] = "abc";
        QTest::newRow("colour not a number")
            << layoutfile::RoomColours << crlf(cols) << sato << r101 << 14737632 << 1002;
        cols[2] = "-5";
        QTest::newRow("negative colour") << layoutfile::RoomColours << crlf(cols) << sato << r101 << 14737632 << 1002;
        cols[2] = "16777216";
        QTest::newRow("colour beyond 24 bits")
            << layoutfile::RoomColours << crlf(cols) << sato << r101 << 14737632 << 1002;
        cols[2] = "";
        QTest::newRow("empty colour line") << layoutfile::RoomColours << crlf(cols) << sato << r101 << 14737632 << 1002;
        QTest::newRow("31 colour lines") << layoutfile::RoomColours << crlf(repeat("255", 31)) << sato << r101 << 255
                                         << 255;
        QTest::newRow("31 room numbers") << layoutfile::RoomNumbers << crlf(repeat("N", 31)) << sato
                                         << QStringLiteral("N") << 1001 << 1002;
        QTest::newRow("241 beds") << layoutfile::Beds << (fullBeds() + "extra_x\r\n") << sato << QStringLiteral("R0")
                                  << 1001 << 1002;
        QTest::newRow("undecodable numbers") << layoutfile::RoomNumbers << QByteArray("A\r\n\x81\x20\r\n") << sato
                                             << QStringLiteral("R0") << 1001 << 1002;
    }
    void badLineIsReportedAndKeepsWhatWasRead()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, lastBed);
        QFETCH(QString, room0Number);
        QFETCH(int, room1Colour);
        QFETCH(int, room2Colour);
        writeBytes(db(layoutfile::Beds), fullBeds());
        writeBytes(db(layoutfile::RoomNumbers), fullNumbers());
        writeBytes(db(layoutfile::RoomColours), fullColours());
        writeBytes(db(file), content);

        BoardModel m;
        fillOld(m);
        QVERIFY(!loadWardLayout(tc->ctx, m, QString()));
        QCOMPARE(m.bedEntry(239), lastBed);
        QCOMPARE(m.roomNumber(0), room0Number);
        QCOMPARE(m.roomColour(1), room1Colour);
        QCOMPARE(m.roomColour(2), room2Colour);
        QCOMPARE(tc->prompter.texts(), QStringList {unexpectedErrorText()});
        QVERIFY(readBytes(tc->path(QStringLiteral("log/error.log"))).contains("frmRoom.NewLoad()"));
    }

    void onlyFullAuthorityOnTodayWrites_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<int>("dateIndex");
        QTest::addColumn<bool>("writes");
        QTest::newRow("full, today") << 2 << 0 << true;
        QTest::newRow("restricted, today") << 1 << 0 << false;
        QTest::newRow("full, snapshot") << 2 << 1 << false;
    }
    void onlyFullAuthorityOnTodayWrites()
    {
        QFETCH(int, authority);
        QFETCH(int, dateIndex);
        QFETCH(bool, writes);
        tc->ctx.currentAccount.authority = static_cast<Authority>(authority);
        tc->ctx.displayDateIndex = dateIndex;
        BoardModel m;
        QCOMPARE(saveWardLayout(tc->ctx, m), writes ? LayoutSaveResult::Saved : LayoutSaveResult::NotPermitted);
        QCOMPARE(QFile::exists(db(layoutfile::Beds)), writes);
        QCOMPARE(QFile::exists(db(layoutfile::RoomColours)), writes);
    }

    void unwritableValueKeepsOldFiles_data()
    {
        QTest::addColumn<int>("bed");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("roomNumber");
        QTest::newRow("character outside the code page") << -1 << QString() << QStringLiteral("101\U0001F600");
        QTest::newRow("line break in a room number") << -1 << QString() << QStringLiteral("1\n2");
        QTest::newRow("line break in an entry") << 3 << QStringLiteral("a_b\r\nc") << QString();
    }
    void unwritableValueKeepsOldFiles()
    {
        QFETCH(int, bed);
        QFETCH(QString, entry);
        QFETCH(QString, roomNumber);
        writeBytes(db(layoutfile::Beds), fullBeds());
        writeBytes(db(layoutfile::RoomNumbers), fullNumbers());
        writeBytes(db(layoutfile::RoomColours), fullColours());

        BoardModel m;
        m.setBedEntry(bed, entry);
        m.setRoomNumber(29, roomNumber);
        QCOMPARE(saveWardLayout(tc->ctx, m), LayoutSaveResult::Failed);
        QCOMPARE(readBytes(db(layoutfile::Beds)), fullBeds());
        QCOMPARE(readBytes(db(layoutfile::RoomNumbers)), fullNumbers());
        QCOMPARE(readBytes(db(layoutfile::RoomColours)), fullColours());
        QCOMPARE(tc->prompter.asked.size(), 1);
        QCOMPARE(tc->prompter.asked.at(0).kind, DialogKind::Error);
        QVERIFY(tc->prompter.asked.at(0).text.startsWith(layoutNotSavedText(QString()) + '\r'));
        QVERIFY(!QFile::exists(tc->path(QStringLiteral("log/error.log"))));
    }

    // A board that did not read today's files whole must never write them:
    // what it lacks would replace what the files hold.
    void partlyReadLayoutIsNeverWritten_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QByteArray utf8 = fullBeds();
        utf8.replace(SatoKey, test::Sato.toUtf8());
        QTest::newRow("beds saved as UTF-8") << layoutfile::Beds << utf8 << QStringLiteral("ROOM.WBDの1行目");
        QTest::newRow("a 241st bed") << layoutfile::Beds << (fullBeds() + "extra_x\r\n")
                                     << QStringLiteral("ROOM.WBDの241行目");
        QList<QByteArray> cols = repeat("14737632", 30);
        cols[4] = "#FF0000";
        QTest::newRow("colour as #FF0000")
            << layoutfile::RoomColours << crlf(cols) << QStringLiteral("ROOM_COL.WBDの5行目");
    }
    void partlyReadLayoutIsNeverWritten()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        writeBytes(db(layoutfile::Beds), fullBeds());
        writeBytes(db(layoutfile::RoomNumbers), fullNumbers());
        writeBytes(db(layoutfile::RoomColours), fullColours());
        writeBytes(db(file), content);
        const QByteArray beds = readBytes(db(layoutfile::Beds));
        const QByteArray numbers = readBytes(db(layoutfile::RoomNumbers));
        const QByteArray colours = readBytes(db(layoutfile::RoomColours));

        BoardModel m;
        QVERIFY(!loadWardLayout(tc->ctx, m, QString()));
        QVERIFY2(layoutReadOnlyText(tc->ctx).contains(reason), qPrintable(layoutReadOnlyText(tc->ctx)));
        QVERIFY(!tc->ctx.canChange());
        m.setRoomNumber(3, QStringLiteral("303"));
        QCOMPARE(saveWardLayout(tc->ctx, m), LayoutSaveResult::NotPermitted);
        // A later load of today that happens to succeed changes nothing for this run.
        writeBytes(db(file), file == layoutfile::Beds ? fullBeds() : fullColours());
        loadWardLayout(tc->ctx, m, QString());
        QCOMPARE(saveWardLayout(tc->ctx, m), LayoutSaveResult::NotPermitted);
        QCOMPARE(readBytes(db(file == layoutfile::Beds ? layoutfile::RoomNumbers : layoutfile::Beds)),
                 file == layoutfile::Beds ? numbers : beds);
        Q_UNUSED(colours);
    }

    // Files edited on other systems, and files ended by extra line breaks.
    void foreignLineEndsLoadWhole_data()
    {
        QTest::addColumn<QByteArray>("beds");
        QByteArray lf = fullBeds();
        lf.replace("\r\n", "\n");
        QTest::newRow("LF only") << lf;
        QByteArray cr = fullBeds();
        cr.replace("\r\n", "\r");
        QTest::newRow("lone CR") << cr;
        QTest::newRow("empty lines after the last bed") << (fullBeds() + "\r\n\r\n");
    }
    void foreignLineEndsLoadWhole()
    {
        QFETCH(QByteArray, beds);
        writeBytes(db(layoutfile::Beds), beds);
        writeBytes(db(layoutfile::RoomNumbers), fullNumbers());
        writeBytes(db(layoutfile::RoomColours), fullColours() + "\r\n");
        BoardModel m;
        QVERIFY(loadWardLayout(tc->ctx, m, QString()));
        QCOMPARE(tc->ctx.layoutFault, QString());
        QCOMPARE(m.bedEntry(0), test::Sato);
        QCOMPARE(m.bedEntry(1), QString());
        QCOMPARE(m.bedEntry(239), test::Sato);
        // Written back with CR LF, byte for byte as the program writes.
        QCOMPARE(saveWardLayout(tc->ctx, m), LayoutSaveResult::Saved);
        QCOMPARE(readBytes(db(layoutfile::Beds)), fullBeds());
        QCOMPARE(readBytes(db(layoutfile::RoomColours)), fullColours());
    }

    void missingDbFolderIsReported()
    {
        QVERIFY(QDir(tc->path(QStringLiteral("DB"))).removeRecursively());
        BoardModel m;
        QCOMPARE(saveWardLayout(tc->ctx, m), LayoutSaveResult::Failed);
        QCOMPARE(tc->prompter.texts(), QStringList {unexpectedErrorText()});
        QVERIFY(readBytes(tc->path(QStringLiteral("log/error.log"))).contains("frmRoom.Command1_Click()"));
        QVERIFY(!QFile::exists(db(layoutfile::Beds)));
    }

    void modelSignalsEachChange()
    {
        BoardModel m;
        QSignalSpy beds(&m, &BoardModel::bedChanged);
        QSignalSpy rooms(&m, &BoardModel::roomChanged);
        writeBytes(db(layoutfile::Beds), crlf({"", SatoKey}));
        writeBytes(db(layoutfile::RoomNumbers), crlf({"", "7"}));
        QVERIFY(loadWardLayout(tc->ctx, m, QString()));
        QCOMPARE(beds.size(), 1); // bed 0 stayed free
        QCOMPARE(beds.at(0).at(0).toInt(), 1);
        QCOMPARE(rooms.size(), 1);
        QCOMPARE(rooms.at(0).at(0).toInt(), 1);
    }

    void dateList_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("expected");
        const QString today = QStringLiteral("令和08年12月10日");
        QTest::newRow("none") << QStringList() << QStringList {today};
        QTest::newRow("ascending name order, today's snapshot left out")
            << QStringList {QStringLiteral("令和08年12月09日"), today, QStringLiteral("令和08年11月30日"),
                            QStringLiteral("平成31年04月30日")}
            << QStringList {today, QStringLiteral("令和08年11月30日"), QStringLiteral("令和08年12月09日"),
                            QStringLiteral("平成31年04月30日")};
        QTest::newRow("short names are no snapshots")
            << QStringList {QStringLiteral("tmp"), QStringLiteral(""), QStringLiteral("令和08年12月9日"),
                            QStringLiteral("令和08年12月01日")}
            << QStringList {today, QStringLiteral("令和08年12月01日")};
        QTest::newRow("longer names give their last 11 characters")
            << QStringList {QStringLiteral("old令和08年12月01日"), QStringLiteral("x") + today}
            << QStringList {today, QStringLiteral("令和08年12月01日")};
    }
    void dateList()
    {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, expected);
        QCOMPARE(buildDateList(QStringLiteral("令和08年12月10日"), folders, QStringLiteral("令和08年12月10日")),
                 expected);
    }

    void dateListFromDisk()
    {
        QDir backup(tc->path(QStringLiteral("BackUp")));
        for (const char *name : {"令和08年12月10日", "令和08年12月01日", "abc", "平成30年01月02日"})
            backup.mkpath(QString::fromUtf8(name));
        writeBytes(backup.filePath(QStringLiteral("令和08年11月01日")), "a file, not a snapshot");
        // The run started the day before: entry 0 keeps the start day, and
        // the clock's day is the snapshot that is left out.
        tc->ctx.todayEraDate = QStringLiteral("令和08年12月09日");
        QCOMPARE(buildDateList(tc->ctx),
                 (QStringList {QStringLiteral("令和08年12月09日"), QStringLiteral("令和08年12月01日"),
                               QStringLiteral("平成30年01月02日")}));

        QVERIFY(backup.removeRecursively());
        QCOMPARE(buildDateList(tc->ctx), QStringList {QStringLiteral("令和08年12月09日")});
    }

    void changeDisplayDate_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("saves");
        QTest::newRow("today to snapshot saves first") << 0 << 1 << true;
        QTest::newRow("snapshot to snapshot") << 1 << 2 << false;
        QTest::newRow("snapshot to today") << 2 << 0 << false;
        QTest::newRow("today to today") << 0 << 0 << false;
    }
    void changeDisplayDate()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, saves);
        const QStringList dates {tc->ctx.todayEraDate, QStringLiteral("令和08年12月01日"),
                                 QStringLiteral("令和08年12月02日")};
        for (int i = 0; i < dates.size(); ++i) {
            const QString dir = tc->path(i == 0 ? QStringLiteral("DB/") : "BackUp/" + dates.at(i) + '/');
            writeBytes(dir + layoutfile::Beds, crlf({"", QByteArray("date_") + QByteArray::number(i)}));
        }
        const QByteArray todayFile = readBytes(db(layoutfile::Beds));

        BoardModel m;
        tc->ctx.displayDateIndex = from;
        m.setBedEntry(100, QStringLiteral("moved_here")); // unsaved change on the board
        QVERIFY(velto::changeDisplayDate(tc->ctx, m, dates, to));
        QCOMPARE(tc->ctx.displayDateIndex, to);
        QCOMPARE(m.bedEntry(1), QStringLiteral("date_%1").arg(to));
        QCOMPARE(readBytes(db(layoutfile::Beds)) != todayFile, saves);
        if (saves) {
            BoardModel back;
            QVERIFY(loadWardLayout(tc->ctx, back, QString()));
            QCOMPARE(back.bedEntry(100), QStringLiteral("moved_here"));
        }
    }

    void snapshotWithoutLayoutShowsNoOtherDay()
    {
        const QStringList dates {tc->ctx.todayEraDate, QStringLiteral("令和08年12月01日")};
        QVERIFY(QDir().mkpath(tc->path("BackUp/" + dates.at(1))));
        BoardModel m;
        m.setBedEntry(7, QStringLiteral("today_patient"));
        m.setRoomNumber(0, QStringLiteral("101"));
        QVERIFY(velto::changeDisplayDate(tc->ctx, m, dates, 1));
        QCOMPARE(m.bedEntry(7), QString());
        QCOMPARE(m.roomNumber(0), QString());
        QVERIFY(velto::changeDisplayDate(tc->ctx, m, dates, 0));
        QCOMPARE(m.bedEntry(7), QStringLiteral("today_patient"));
    }

    void failedSaveKeepsTheBoardOnToday()
    {
        const QStringList dates {tc->ctx.todayEraDate, QStringLiteral("令和08年12月01日")};
        writeBytes(tc->path("BackUp/" + dates.at(1) + '/' + layoutfile::Beds), crlf({"snap_x"}));
        BoardModel m;
        m.setBedEntry(0, QStringLiteral("moved_here"));
        m.setRoomNumber(0, QStringLiteral("\U0001F600"));
        QVERIFY(!velto::changeDisplayDate(tc->ctx, m, dates, 1));
        QCOMPARE(tc->ctx.displayDateIndex, 0);
        QCOMPARE(m.bedEntry(0), QStringLiteral("moved_here"));
        QCOMPARE(tc->prompter.asked.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestWardLayout)
#include "tst_wardlayout.moc"
