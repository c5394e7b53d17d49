#pragma once
// The versions the crash test writes and recognises: version n puts "v<n>…"
// into every field of every file, so a torn or mixed file shows at once.
#include <QStringList>

#include "board/boardmodel.h"
#include "board/wardlayout.h"
#include "core/appcontext.h"
#include "facility/facilityinfo.h"
#include "record/patientrecord.h"
#include "record/recordfields.h"
#include "record/recordfile.h"

namespace velto::safety {

// Versions 0 .. VersionCount-1; 0 is laid down before the first crash.
constexpr int VersionCount = 5;

inline QString tag(int n)
{
    return QStringLiteral("v%1").arg(n);
}
// Multi-byte text too, so a cut inside a character would show.
inline QString fieldValue(int n)
{
    return tag(n) + QStringLiteral("ﾃｽﾄ①記録～");
}

inline const QString RecordName = QStringLiteral("安全_試験_昭和361010");
inline const QStringList SettingKeys {QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("K3")};

inline void setAccount(AppContext &ctx, int n)
{
    ctx.currentAccount.loginId = tag(n);
    ctx.currentAccount.staffName = fieldValue(n);
    ctx.currentAccount.authority = Authority::Full;
}

inline PatientRecord recordOf(int n)
{
    PatientRecord r;
    for (const QString &key : recordWriteOrder())
        r.setValue(key, fieldValue(n));
    return r;
}

inline void fillModel(BoardModel &m, int n)
{
    for (int b = 0; b < BoardModel::BedCount; ++b)
        m.setBedEntry(b, fieldValue(n) + QStringLiteral("_%1").arg(b));
    for (int r = 0; r < BoardModel::RoomCount; ++r) {
        m.setRoomNumber(r, tag(n) + QStringLiteral("号%1").arg(r));
        m.setRoomColour(r, n * 1000 + r);
    }
}

inline FacilityInfo facilityOf(int n)
{
    FacilityInfo f;
    for (const FacilityField &field : facilityFields())
        f.*field.member = fieldValue(n) + QLatin1String(field.key);
    return f;
}

// Writes version n through the program's own writers; false on any refusal.
inline bool writeVersion(AppContext &ctx, int n)
{
    setAccount(ctx, n);
    if (!writePatientRecord(ctx, RecordRef::today(RecordName), recordOf(n)))
        return false;
    BoardModel model;
    fillModel(model, n);
    if (saveWardLayout(ctx, model) != LayoutSaveResult::Saved)
        return false;
    if (!saveFacilityInfo(ctx, facilityOf(n)))
        return false;
    for (const QString &k : SettingKeys) {
        ctx.settings->setValue(QStringLiteral("Option"), k, fieldValue(n));
        ctx.settings->setValue(QStringLiteral("Pass"), k, tag(n));
    }
    return ctx.settings->commit();
}

} // namespace velto::safety
