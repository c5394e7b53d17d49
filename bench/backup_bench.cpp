// A day snapshot of a full ward's "DB" against `cp` of the same files into a
// fresh folder, and the deletion window's list of ten years of snapshots.
#include <QProcess>

#include "backup/snapshot.h"
#include "backup/snapshotdelete.h"
#include "benchlayout.h"

using namespace velto;
using namespace velto::bench;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = runsFrom(argc, argv, 15);

    Ward ward;
    writeLayout(ward, ward.path("DB"));
    ward.writeRecords();
    ward.writeFacility();
    const QString db = ward.path("DB");
    const QStringList files = QDir(db).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    const QString day = snapshotDayName(ward.ctx);
    const QString target = ward.path("BackUp/" + day);

    const QString fresh = ward.path("cp");
    QStringList args, copies;
    for (const QString &f : files) {
        args << QDir(db).filePath(f);
        copies << QDir(fresh).filePath(f);
    }
    args << fresh;
    auto freshFolder = [&] {
        QDir(fresh).removeRecursively();
        QDir().mkpath(fresh);
    };
    // Rounds alternate the copies so the disk's moods hit all alike. The
    // first backup of a day and `cp` go into a folder that is not there
    // yet; the repeated backup finds the day's copies of an earlier backup
    // with one record changed since, and its yardstick copies over the same
    // earlier copies.
    const QString changed = QDir(db).filePath(files.first());
    const QByteArray original = [&] {
        QFile f(changed);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    int round = 0;
    auto changeOneRecord = [&] {
        QFile f(changed);
        if (!f.open(QIODevice::WriteOnly) || f.write(original + QByteArray::number(++round) + "\r\n") < 0)
            qFatal("record not changed");
    };
    auto cpSync = [&] {
        if (QProcess::execute(QStringLiteral("cp"), args) != 0
            || QProcess::execute(QStringLiteral("sync"), copies) != 0)
            qFatal("cp or sync failed");
    };
    QList<double> snapshots, cps, cpSyncs, repeats, cpSyncsOver;
    for (int i = 0; i <= runs; ++i) {
        QDir(target).removeRecursively();
        QElapsedTimer t;
        t.start();
        if (!copySnapshot(ward.ctx).ok)
            qFatal("snapshot failed");
        const double s = msSince(t);
        changeOneRecord();
        t.restart();
        if (!copySnapshot(ward.ctx).ok)
            qFatal("repeated snapshot failed");
        const double r = msSince(t);
        freshFolder();
        t.restart();
        if (QProcess::execute(QStringLiteral("cp"), args) != 0)
            qFatal("cp failed");
        const double c = msSince(t);
        // The same copy made durable as the snapshot makes it: each file synced.
        freshFolder();
        t.restart();
        cpSync();
        const double cs = msSince(t);
        t.restart();
        cpSync(); // over the copies just made
        const double cso = msSince(t);
        if (i > 0) {
            snapshots << s;
            repeats << r;
            cps << c;
            cpSyncs << cs;
            cpSyncsOver << cso;
        }
    }
    if (QDir(target).entryList(QDir::Files).size() != files.size())
        qFatal("snapshot incomplete");
    const double snapshot = median(snapshots), cp = median(cps), cpThenSync = median(cpSyncs);
    const QByteArray figure
        = QStringLiteral("backup of DB (%1 files: 240 records, layout, facility)").arg(files.size()).toUtf8();
    printRow(figure.constData(), snapshot, cpThenSync, "cp, then sync of each copy", {1.2, 0});
    printRow("backup of DB repeated the same day, one record changed", median(repeats), median(cpSyncsOver),
             "cp over the earlier copies, then sync of each", {1.2, 0});
    printRow("backup of DB, for reference", snapshot, cp, "cp of the same files, not flushed", {});

    Ward decade;
    decade.makeSnapshotFolders(3650);
    SnapshotListing listing;
    const double list = timeMedian(runs, [&] { listing = activateSnapshotList(decade.ctx); });
    if (listing.names.size() != 3650)
        qFatal("list has %d names", int(listing.names.size()));
    const double listed
        = timeMedian(runs, [&] { QDir(decade.path("BackUp")).entryList(QDir::Dirs | QDir::NoDotAndDotDot); });
    printRow("deletion window's list of 3,650 snapshots", list, listed, "QDir::entryList", {0, 100});
    return 0;
}
