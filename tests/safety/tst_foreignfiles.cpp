// Files another program wrote in code page 932 with CR LF: read as written
// and, when nothing changed, written back byte for byte.
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "board/boardmodel.h"
#include "board/wardlayout.h"
#include "facility/facilityinfo.h"
#include "record/recordfields.h"
#include "record/recordfile.h"
#include "support/files.h"
#include "support/testcontext.h"

using namespace velto;

namespace {

// The characters code page 932 maps its own way, NEC extensions and half-width katakana.
const QString Text = QStringLiteral("山田～花子－①㍑㎝㎏ｶﾀｶﾅﾃｽﾄ");
const QString LoginId = QStringLiteral("nurse01");
const QString StaffName = QStringLiteral("看護～太郎");
const QString SavedAt = QStringLiteral("2026/12/10 09:30:00");
const QString RecordName = QStringLiteral("山田～花子_ｶﾀｶﾅ_昭和36年5月10日");

QString recordValue(const QString &key)
{
    if (key == recordkey::SavedBy)
        return LoginId;
    if (key == recordkey::SavedByName)
        return StaffName;
    if (key == recordkey::SavedAt)
        return SavedAt;
    const int n = key.toInt();
    return n % 2 ? Text + key : QString(); // every other field left empty, as in real files
}
// Built by concatenation: arg() would take "①" for a digit.
QString bedEntry(int b)
{
    return b % 3 ? QString() : Text + QStringLiteral("①_ｶﾀｶﾅ_㍑") + QString::number(b);
}
QString roomNumber(int r)
{
    return QString::number(r + 1) + QStringLiteral("－ﾃｽﾄ号㎝");
}
int roomColour(int r)
{
    return r * 65793;
}
QString facilityValue(int i)
{
    return Text + QString::number(i);
}

} // namespace

class ForeignFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void readsForeignFiles();
    void rewritesUnchangedFilesByteIdentically();

private:
    // Converts UTF-8 lines, each ended by CR LF, into a code page 932 file.
    void writeForeign(const QString &path, const QStringList &lines);

    std::unique_ptr<test::TestContext> tc;
};

void ForeignFilesTest::writeForeign(const QString &path, const QStringList &lines)
{
    QByteArray utf8;
    for (const QString &l : lines)
        utf8 += l.toUtf8() + "\r\n";
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"),
                {QStringLiteral("-f"), QStringLiteral("UTF-8"), QStringLiteral("-t"), QStringLiteral("CP932")});
    QVERIFY(iconv.waitForStarted());
    iconv.write(utf8);
    iconv.closeWriteChannel();
    QVERIFY(iconv.waitForFinished());
    QVERIFY2(iconv.exitStatus() == QProcess::NormalExit && iconv.exitCode() == 0,
             iconv.readAllStandardError().constData());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(iconv.readAllStandardOutput());
}

void ForeignFilesTest::init()
{
    if (QStandardPaths::findExecutable(QStringLiteral("iconv")).isEmpty())
        QSKIP("iconv is not installed");
    tc = std::make_unique<test::TestContext>();
    tc->makeFolders();
    tc->ctx.currentAccount = {LoginId, Authority::Full, StaffName, QString()};

    QStringList record;
    for (const QString &key : recordWriteOrder())
        record << key + QLatin1Char(':') + recordValue(key);
    writeForeign(tc->path(QStringLiteral("DB/") + RecordName), record);

    QStringList beds, numbers, colours, facility;
    for (int b = 0; b < BoardModel::BedCount; ++b)
        beds << bedEntry(b);
    for (int r = 0; r < BoardModel::RoomCount; ++r) {
        numbers << roomNumber(r);
        colours << QString::number(roomColour(r));
    }
    for (const FacilityField &f : facilityFields())
        facility << QLatin1String(f.key) + QLatin1Char(':') + facilityValue(QString::fromLatin1(f.key).toInt());
    writeForeign(tc->path(QStringLiteral("DB/") + layoutfile::Beds), beds);
    writeForeign(tc->path(QStringLiteral("DB/") + layoutfile::RoomNumbers), numbers);
    writeForeign(tc->path(QStringLiteral("DB/") + layoutfile::RoomColours), colours);
    writeForeign(test::facilityFile(tc->ctx.appDir), facility);
    // The independent encoder really produced code page 932 (～ is 81 60 there).
    QVERIFY(test::readBytes(test::facilityFile(tc->ctx.appDir)).contains(QByteArray("\x81\x60", 2)));
}

void ForeignFilesTest::readsForeignFiles()
{
    AppContext &ctx = tc->ctx;
    PatientRecord r;
    QCOMPARE(readPatientRecord(ctx, RecordRef::today(RecordName), &r), RecordReadResult::Read);
    for (const QString &key : recordWriteOrder())
        QCOMPARE(r.value(key), recordValue(key));

    BoardModel m;
    QVERIFY(loadWardLayout(ctx, m, QString()));
    for (int b = 0; b < BoardModel::BedCount; ++b)
        QCOMPARE(m.bedEntry(b), bedEntry(b));
    QCOMPARE(m.bedCaption(0), Text + QStringLiteral("①"));
    for (int i = 0; i < BoardModel::RoomCount; ++i) {
        QCOMPARE(m.roomNumber(i), roomNumber(i));
        QCOMPARE(m.roomColour(i), roomColour(i));
    }

    FacilityInfo info;
    QVERIFY(loadFacilityInfo(ctx, &info));
    for (const FacilityField &f : facilityFields())
        QCOMPARE(info.*f.member, facilityValue(QString::fromLatin1(f.key).toInt()));
    QVERIFY2(tc->prompter.asked.isEmpty(), qPrintable(tc->prompter.texts().join(QLatin1Char('|'))));
}

void ForeignFilesTest::rewritesUnchangedFilesByteIdentically()
{
    AppContext &ctx = tc->ctx;
    const QString db = ctx.path(QStringLiteral("DB"));
    const QStringList names {RecordName, layoutfile::Beds, layoutfile::RoomNumbers, layoutfile::RoomColours,
                             QFileInfo(test::facilityFile(ctx.appDir)).fileName()};
    QMap<QString, QByteArray> before;
    for (const QString &n : names)
        before.insert(n, test::readBytes(QDir(db).filePath(n)));

    PatientRecord r;
    const RecordRef recordPath = RecordRef::today(RecordName);
    QCOMPARE(readPatientRecord(ctx, recordPath, &r), RecordReadResult::Read);
    QVERIFY(writePatientRecord(ctx, recordPath, r));
    BoardModel m;
    QVERIFY(loadWardLayout(ctx, m, QString()));
    QCOMPARE(saveWardLayout(ctx, m), LayoutSaveResult::Saved);
    FacilityInfo info;
    QVERIFY(loadFacilityInfo(ctx, &info));
    QVERIFY(saveFacilityInfo(ctx, info));
    QVERIFY2(tc->prompter.asked.isEmpty(), qPrintable(tc->prompter.texts().join(QLatin1Char('|'))));

    for (const QString &n : names) {
        const QByteArray after = test::readBytes(QDir(db).filePath(n));
        QVERIFY2(after == before.value(n), qPrintable(n + QStringLiteral(" changed on rewrite")));
    }
}

QTEST_GUILESS_MAIN(ForeignFilesTest)
#include "tst_foreignfiles.moc"
