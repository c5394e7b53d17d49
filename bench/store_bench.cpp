// The shared ward on its database against the folder store, in the same
// run: the full board opened to its first paint, a complete record saved,
// and how long a change made on one terminal takes to show on another's
// board (two connections to the private server, loopback).
#include <QSqlDatabase>
#include <QTest>

#include "benchlayout.h"
#include "board/bedops.h"
#include "board/boardcontroller.h"
#include "record/recordsave.h"
#include "scratchdatabase.h"
#include "store/pg/pgstore.h"
#include "store/pg/wardtransfer.h"
#include "ui/wardboardwindow.h"

using namespace velto;
using namespace velto::bench;

namespace {

// A terminal of the shared ward: its own connection and context.
struct DatabaseTerminal : test::TestContext {
    std::unique_ptr<PgStore> store;
    DatabaseTerminal(const QString &database, const QString &name, const Ward &like)
    {
        store = std::make_unique<PgStore>(database, QString(), name);
        QString error;
        if (!store->open(&error, 1000))
            qFatal("database not opened: %s", qPrintable(error));
        ctx.store = store.get();
        ctx.currentAccount = like.ctx.currentAccount;
        ctx.todayEraDate = like.ctx.todayEraDate;
    }
};

// A full ward with records, facility and layout, and snapshot days each
// with its own layout.
void fillWard(Ward &ward, int days)
{
    ward.writeRecords();
    ward.writeFacility();
    writeLayout(ward, ward.path("DB"));
    const QStringList names = ward.makeSnapshotFolders(days);
    for (int i = 0; i < names.size(); ++i)
        writeLayout(ward, ward.path("BackUp/" + names.at(i)), i + 1);
}

// The folder's ward imported into a fresh scratch database.
void importWard(test::ScratchDatabase &scratch, Ward &ward, const QString &connection)
{
    if (!scratch.ok())
        qFatal("no scratch database");
    DatabaseTerminal importer(scratch.connectionString(), connection, ward);
    QStringList report;
    QString error;
    if (!importFolder(ward.ctx.appDir, *ward.ctx.settings, *importer.store, &report, &error))
        qFatal("import failed: %s", qPrintable(error));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = runsFrom(argc, argv, 15);
    if (test::ScratchDatabase::server().isEmpty())
        qFatal("VELTO_TEST_DATABASE is not set: scripts/bench.sh starts the private server");

    // The same full ward in a folder and, imported from it, in a database.
    Ward ward;
    fillWard(ward, 30);
    test::ScratchDatabase scratch;
    importWard(scratch, ward, "import");
    DatabaseTerminal a(scratch.connectionString(), "a", ward);
    DatabaseTerminal b(scratch.connectionString(), "b", ward);

    const auto [onDatabase, onFolder] = paintPair(
        runs, [&] { return new WardBoardWindow(a.ctx); }, [&] { return new WardBoardWindow(ward.ctx); });
    printRow("board opened to first paint, database store (full ward)", onDatabase, onFolder,
             "the same on the folder store", {1.5, 0});

    // Ten years of snapshot days, each with its layout, on both stores.
    {
        Ward decade;
        fillWard(decade, 3650);
        test::ScratchDatabase tenYears;
        importWard(tenYears, decade, "import10");
        DatabaseTerminal t(tenYears.connectionString(), "decade", decade);
        const auto [withDays, onFolderWithDays] = paintPair(
            runs, [&] { return new WardBoardWindow(t.ctx); }, [&] { return new WardBoardWindow(decade.ctx); });
        printRow("board opened to first paint, database store, 3,650 snapshot days", withDays, onFolderWithDays,
                 "the same ward on the folder store", {1.5, 0});
    }

    // A complete record saved over itself on each store.
    const QString key = ward.keys.at(0);
    const PatientRecord record = completeRecord(0);
    auto saveOn = [&](AppContext &ctx) {
        return timeMedian(runs * 2, [&] {
            QString oldKey = key;
            if (savePatientRecord(ctx, record, true, &oldKey).outcome != SaveResult::Saved)
                qFatal("record not saved");
        });
    };
    const double saveFolder = saveOn(ward.ctx);
    const double saveDatabase = saveOn(a.ctx);
    printRow("save of a complete record, database store", saveDatabase, saveFolder, "the same on the folder store",
             {3.0, 0});

    // A's exchange of two beds, from the call to B's board holding it.
    BoardController boardA(a.ctx), boardB(b.ctx);
    boardA.load();
    boardB.load();
    QList<double> seen;
    for (int i = 0; i <= runs * 2; ++i) {
        const QString before = boardB.model().bedEntry(0);
        QElapsedTimer t;
        t.start();
        if (!moveBed(a.ctx, boardA.model(), 0, 1))
            qFatal("bed not moved");
        while (boardB.model().bedEntry(0) == before && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (i > 0)
            seen << msSince(t);
    }
    const double slowest = *std::max_element(seen.begin(), seen.end());
    printRow("a change on terminal A shown on terminal B's board (median)", median(seen), 0, "", {0, 200});
    printRow("a change on terminal A shown on terminal B's board (slowest)", slowest, 0, "", {0, 1000});
    return 0;
}
