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
    // Rounds alternate the three copies so the disk's moods hit all alike;
    // each copy goes into a folder that is not there yet.
    QList<double> snapshots, cps, cpSyncs;
    for (int i = 0; i <= runs; ++i) {
        QDir(target).removeRecursively();
        QElapsedTimer t;
        t.start();
        if (!copySnapshot(ward.ctx).ok)
            qFatal("snapshot failed");
        const double s = msSince(t);
        freshFolder();
        t.restart();
        if (QProcess::execute(QStringLiteral("cp"), args) != 0)
            qFatal("cp failed");
        const double c = msSince(t);
        // The same copy made durable as the snapshot makes it: each file synced.
        freshFolder();
        t.restart();
        if (QProcess::execute(QStringLiteral("cp"), args) != 0
            || QProcess::execute(QStringLiteral("sync"), copies) != 0)
            qFatal("cp or sync failed");
        const double cs = msSince(t);
        if (i > 0) {
            snapshots << s;
            cps << c;
            cpSyncs << cs;
        }
    }
    if (QDir(target).entryList(QDir::Files).size() != files.size())
        qFatal("snapshot incomplete");
    const double snapshot = median(snapshots), cp = median(cps), cpSync = median(cpSyncs);
    const QByteArray figure
        = QStringLiteral("backup of DB (%1 files: 240 records, layout, facility)").arg(files.size()).toUtf8();
    printRow(figure.constData(), snapshot, cp, "cp of the same files", {1.5, 0});
    printRow("backup of DB, for reference", snapshot, cpSync, "cp, then sync of each copy", {});

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
