#pragma once
// The ward moves the crash tests interrupt, done through the program's own
// logic on a small ward: a patient in bed 0, bed 1 free, one kept record.
#include <QDir>
#include <QFile>

#include "board/admission.h"
#include "board/bedops.h"
#include "board/boardhistory.h"
#include "board/boardmodel.h"
#include "board/wardlayout.h"
#include "core/appcontext.h"
#include "core/textfile.h"
#include "record/recordfields.h"
#include "record/recordfile.h"
#include "record/recordsave.h"
#include "support/scriptedprompter.h"

namespace velto::safety {

inline const QString InBed = QStringLiteral("試験_一郎_昭和36年10月10日");
inline const QString Renamed = QStringLiteral("試験_次郎_昭和36年10月10日");
inline const QString Kept = QStringLiteral("退院_花子_昭和20年1月1日");

inline const QStringList MoveKinds {
    QStringLiteral("layout"),    // a bed move with new room numbers and colours
    QStringLiteral("rename"),    // the record's name changed and saved
    QStringLiteral("discharge"), // discharge keeping the record
    QStringLiteral("dischargeErase"), QStringLiteral("erase"), QStringLiteral("readmit"),
};

inline PatientRecord patient(const QString &key)
{
    const QStringList p = key.split(QLatin1Char('_'));
    PatientRecord r = newPatientRecord();
    r.setValue(recordkey::FamilyName, p.at(0));
    r.setValue(recordkey::GivenName, p.at(1));
    const QString birth = p.at(2); // 昭和36年10月10日
    const int y = birth.indexOf(QStringLiteral("年")), m = birth.indexOf(QStringLiteral("月"));
    r.setValue(recordkey::Era, birth.left(2));
    r.setValue(recordkey::Year, birth.mid(2, y - 2 + 1));
    r.setValue(recordkey::Month, birth.mid(y + 1, m - y));
    r.setValue(recordkey::Day, birth.mid(m + 1));
    r.setValue(QStringLiteral("005"), QStringLiteral("男"));
    return r;
}

inline bool loadToday(AppContext &ctx, BoardModel &model)
{
    model.reset();
    return loadWardLayout(ctx, model, QString()) && ctx.layoutFault.isEmpty();
}

// Layout version n: the patient in bed n % 2, rooms numbered and coloured n.
inline void layoutVersion(BoardModel &m, int n)
{
    for (int r = 0; r < BoardModel::RoomCount; ++r) {
        m.setRoomNumber(r, QStringLiteral("v%1号%2").arg(n).arg(r));
        m.setRoomColour(r, n * 1000 + r);
    }
}

// The ward before any move: a record for bed 0 and a kept one.
inline bool layFixture(AppContext &ctx)
{
    for (const char *f : {"DB", "DB/Out", "BackUp", "log"})
        QDir(ctx.appDir).mkpath(QString::fromLatin1(f));
    ctx.currentAccount = {QStringLiteral("nurse"), Authority::Full, QStringLiteral("看護師"), QString()};
    if (!writePatientRecord(ctx, RecordRef::today(InBed), patient(InBed))
        || !writePatientRecord(ctx, RecordRef::today(Kept), patient(Kept)))
        return false;
    QString error;
    if (!textfile::writeAtomic(
            ctx.path(QStringLiteral("DB/Out/") + Kept),
            [&] {
                QFile f(ctx.path(QStringLiteral("DB/") + Kept));
                f.open(QIODevice::ReadOnly);
                return f.readAll();
            }(),
            &error)
        || !QFile::remove(ctx.path(QStringLiteral("DB/") + Kept)))
        return false;
    BoardModel m;
    m.setBedEntry(0, InBed);
    layoutVersion(m, 0);
    return saveWardLayout(ctx, m) == LayoutSaveResult::Saved;
}

// One move of kind on the ward as it stands: from the fixture's state the
// move itself, from the state after it the opposite move, so that a loop can
// go on after any crash. False when the move was refused.
inline bool doMove(AppContext &ctx, const QString &kind)
{
    auto &prompter = static_cast<test::ScriptedPrompter &>(*ctx.prompter);
    prompter.clear();
    BoardModel m;
    if (!loadToday(ctx, m))
        return false;
    bool back = false;
    if (kind == QLatin1String("layout"))
        back = m.bedEntry(1) == InBed;
    else if (kind == QLatin1String("rename"))
        back = m.bedEntry(0) == Renamed;
    else if (kind == QLatin1String("readmit"))
        back = !m.bedEntry(1).isEmpty();
    else
        back = m.bedEntry(0).isEmpty();
    if (kind == QLatin1String("layout")) {
        const QList<HistoryEvent> events = bedMoveEvents(ctx, m, 0, 1);
        m.exchangeBeds(0, 1);
        layoutVersion(m, back ? 0 : 1);
        return saveWardLayout(ctx, m, events) == LayoutSaveResult::Saved;
    }
    if (kind == QLatin1String("rename")) {
        const QString from = back ? Renamed : InBed, to = back ? InBed : Renamed;
        QString oldKey = from;
        const SaveResult r
            = savePatientRecord(ctx, patient(to), true, &oldKey, {}, {}, [&](const QString &key, WardChange *change) {
                  return layoutWithBedEntry(ctx, m, 0, key, change);
              });
        return r.outcome == SaveResult::Saved;
    }
    if (kind == QLatin1String("discharge") || kind == QLatin1String("readmit")) {
        // discharge: bed 0 to "DB/Out" and back; readmit: the kept one into bed 1 and out again.
        const bool readmitFirst = kind == QLatin1String("readmit");
        const int bed = readmitFirst ? 1 : 0;
        const QString name = readmitFirst ? Kept : InBed;
        if (readmitFirst != back) {
            return readmitClick(ctx, m, bed, name).readmitted;
        }
        prompter.answers = {true, false, true}; // discharge, keep the data, replace the kept copy
        return dischargePatient(ctx, m, bed);
    }
    if (kind == QLatin1String("erase") || kind == QLatin1String("dischargeErase")) {
        if (back) {
            QString oldKey;
            return savePatientRecord(ctx, patient(InBed), true, &oldKey, {}, {},
                                     [&](const QString &key, WardChange *change) {
                                         return layoutWithBedEntry(ctx, m, 0, key, change);
                                     })
                       .outcome
                   == SaveResult::Saved;
        }
        if (kind == QLatin1String("erase"))
            return erasePatient(ctx, m, 0);
        prompter.answers = {true, true}; // discharge, erase the data
        return dischargePatient(ctx, m, 0);
    }
    return false;
}

} // namespace velto::safety
