#pragma once
// One terminal of a ward database in a test: its own connection, its own
// board, a nurse with full authority; and the patients it admits.
#include <QDebug>
#include <memory>

#include "board/boardcontroller.h"
#include "board/wardlayout.h"
#include "record/recordfields.h"
#include "record/recordsave.h"
#include "store/pg/pgstore.h"
#include "support/testcontext.h"

namespace velto::test {

// family_given_昭和<year>5月3日
inline PatientRecord patient(const QString &family, const QString &given, const QString &year)
{
    using namespace recordkey;
    PatientRecord r = newPatientRecord();
    r.setValue(FamilyName, family);
    r.setValue(GivenName, given);
    r.setValue(QStringLiteral("005"), QStringLiteral("男"));
    r.setValue(Era, QStringLiteral("昭和"));
    r.setValue(Year, year);
    r.setValue(Month, QStringLiteral("5月"));
    r.setValue(Day, QStringLiteral("3日"));
    return r;
}

struct Terminal {
    TestContext t;
    std::unique_ptr<PgStore> store;
    std::unique_ptr<BoardController> board;
    bool connected = false;

    Terminal(const QString &database, const QString &name)
    {
        store = std::make_unique<PgStore>(database, QString(), name);
        QString error;
        connected = store->open(&error, 1000);
        if (!connected)
            qWarning() << error;
        t.ctx.store = store.get();
        t.ctx.currentAccount = {QStringLiteral("nurse1"), Authority::Full, QStringLiteral("山田"), QString()};
        t.ctx.todayEraDate = QStringLiteral("令和08年12月10日");
        board = std::make_unique<BoardController>(t.ctx);
        board->load();
    }
    BoardModel &model() { return board->model(); }
    // Saves a new patient into bed as the record window does.
    SaveResult admit(int bed, const PatientRecord &r)
    {
        QString oldKey;
        return savePatientRecord(
            t.ctx, r, true, &oldKey, [&](const SaveResult &s) { board->recordSaved(bed, s.key); },
            [&](const QString &key) { return board->keyTakenByOtherBed(bed, key); },
            [&](const QString &key, WardChange *change) { return board->layoutWithBedEntry(bed, key, change); });
    }
    // What the store holds, read afresh.
    QString stored(int bed)
    {
        BoardModel fresh;
        loadWardLayout(t.ctx, fresh, QString());
        return fresh.bedEntry(bed);
    }
};

} // namespace velto::test
