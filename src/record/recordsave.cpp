#include "recordsave.h"

#include <algorithm>

#include "core/appcontext.h"
#include "core/eradate.h"
#include "core/errorlog.h"
#include "core/filenames.h"
#include "core/textfile.h"
#include "recordfields.h"
#include "store/wardstore.h"

namespace velto {

namespace {

bool blank(const QString &s)
{
    return s.trimmed().isEmpty();
}

// The first value that cannot go into the file or its name.
InputFault checkSavable(const PatientRecord &r, const QString &key)
{
    using namespace recordkey;
    for (const QString &k : {FamilyName, GivenName, Era, Year, Month, Day}) {
        const QString v = textfile::mapTypedCharacters(r.value(k));
        if (!std::all_of(v.begin(), v.end(), isFileNameChar))
            return {recordtext::UnsafeNameChars.arg(recordFieldLabel(k)), recordField(k)->objectName()};
    }
    // A name beginning with "." would make a hidden file.
    if (key.startsWith(QLatin1Char('.')))
        return {recordtext::LeadingDot.arg(recordFieldLabel(FamilyName)), recordField(FamilyName)->objectName()};
    // Each part is clean; the joined key must still name a plain file.
    if (!isPlainFileName(key))
        return {recordtext::UnsafeNameChars.arg(recordFieldLabel(FamilyName)), recordField(FamilyName)->objectName()};
    for (const RecordField &f : recordFields()) {
        if (!f.hasControl())
            continue;
        const QString why = textfile::fieldRefusal(recordFieldLabel(f.key), r.value(f.key));
        if (!why.isEmpty())
            return {why, f.objectName()};
    }
    return {};
}

} // namespace

QString recordFieldLabel(const QString &key)
{
    const RecordField *f = recordField(key);
    if (!f)
        return key;
    QString label = f->caption;
    // A separator caption ("-" of the postal code, "/" of a blood pressure)
    // names nothing: the field before it does.
    if ((label == QLatin1String("-") || label == QLatin1String("/")) && f != recordFields().data()) {
        const RecordField *before = f - 1;
        label = before->caption;
    }
    if (label.isEmpty() && f->kind == FieldKind::PhotoPath)
        label = recordtext::PhotoButton;
    if (label.isEmpty())
        label = recordTabs().value(f->tab).frame;
    if (f->isLine())
        label += QStringLiteral("(%1行目)").arg(f->index + 1);
    return label;
}

QString updaterText(const QString &loginId, const QString &staffName, const QString &savedAt)
{
    if (staffName.isEmpty())
        return QStringLiteral("最終更新者 : ") + loginId + QStringLiteral("  最終更新時間 : ") + savedAt;
    return QStringLiteral("最終更新者 : ") + loginId + QLatin1Char('(') + staffName
           + QStringLiteral(")   最終更新時間 : ") + savedAt;
}

InputFault checkRecordInput(const PatientRecord &r, const QDate &today)
{
    using namespace recordkey;
    struct Required {
        const QString &key;
        const char *field;
        const QString &message;
    };
    const Required required[] = {
        {FamilyName, "txtNameKanji", recordtext::NoFamilyName},
        {GivenName, "txtNameKanji2", recordtext::NoGivenName},
        {Era, "cmbYmd1", recordtext::NoEra},
        {Year, "cmbYmd2", recordtext::NoYear},
        {Month, "cmbYmd3", recordtext::NoMonth},
        {Day, "cmbYmd4", recordtext::NoDay},
    };
    for (const Required &q : required)
        if (blank(r.value(q.key)))
            return {q.message, QString::fromLatin1(q.field), false};
    if (blank(r.value(QStringLiteral("005"))))
        return {recordtext::NoSex, QStringLiteral("cmbSeibetu"), false};

    // The texts as they stand: a stray space makes the date unreadable.
    const QString birth = r.value(Era) + r.value(Year) + r.value(Month) + r.value(Day);
    QDate date;
    if (!parseEraBirthDate(birth, &date))
        return {recordtext::NoSuchDate, QStringLiteral("cmbYmd1"), false};
    if (date.toString(QStringLiteral("yyyyMMdd")) > today.toString(QStringLiteral("yyyyMMdd")))
        return {recordtext::FutureDate, QStringLiteral("cmbYmd1"), true};
    return {};
}

bool checkRecordInputAndTell(AppContext &ctx, const PatientRecord &record,
                             const std::function<void(const QString &)> &focus)
{
    const QDate today = (ctx.clock ? ctx.clock->now() : QDateTime::currentDateTime()).date();
    const InputFault fault = checkRecordInput(record, today);
    if (fault.ok())
        return true;
    if (fault.focusBeforeMessage && focus)
        focus(fault.focusField);
    ctx.prompter->errorMsg(fault.message);
    if (!fault.focusBeforeMessage && focus)
        focus(fault.focusField);
    return false;
}

bool birthDateComplete(const PatientRecord &r)
{
    using namespace recordkey;
    for (const QString &key : {Era, Year, Month, Day})
        if (blank(r.value(key)))
            return false;
    return true;
}

QString ageText(AppContext &ctx, const PatientRecord &r)
{
    using namespace recordkey;
    if (!birthDateComplete(r))
        return QString();
    const QString birth
        = r.value(Era).trimmed() + r.value(Year).trimmed() + r.value(Month).trimmed() + r.value(Day).trimmed();
    return getHowOld(ctx, birth);
}

namespace {

// Admission for a new record; otherwise a save naming what it changed
// against the record as stored before it (as the window read it).
HistoryEvent recordSaveEvent(AppContext &ctx, const QString &oldKey, const QString &key, const QByteArray *loaded,
                             const QByteArray &saved)
{
    if (oldKey.isEmpty())
        return newHistoryEvent(ctx, historykind::Admission, QString(), QString(), key);
    QByteArray before;
    if (loaded && !loaded->isEmpty()) {
        before = *loaded;
    } else {
        QString error;
        if (ctx.store->readRecord(RecordRef::today(oldKey), &before, &error) != StoreRead::Read)
            before.clear();
    }
    const QStringList changed = changedFieldCaptions(decodePatientRecord(before), decodePatientRecord(saved));
    return newHistoryEvent(ctx, historykind::RecordSave, QString(), QString(), key,
                           changed.isEmpty() ? recordtext::HistoryNothingChanged
                                             : changed.join(recordtext::HistoryFieldSeparator));
}

} // namespace

SaveResult savePatientRecord(AppContext &ctx, const PatientRecord &record, bool today, QString *oldKey,
                             const std::function<void(const SaveResult &)> &onWritten,
                             const std::function<bool(const QString &key)> &keyTakenByOtherBed,
                             const LayoutWithKey &layoutWithKey, QByteArray *loaded)
{
    SaveResult result;
    if (!today) {
        ctx.prompter->errorMsg(PastDataReadOnlyText);
        return result;
    }
    if (isRestricted(ctx.currentAccount.authority)) {
        ctx.prompter->errorMsg(recordtext::NoRightToSave);
        return result;
    }

    result.key = makePatientKey(record);
    result.caption = record.value(recordkey::FamilyName);
    InputFault fault = checkSavable(record, result.key);
    if (fault.ok() && keyTakenByOtherBed && keyTakenByOtherBed(result.key))
        fault = {recordtext::KeyOfOtherBed, recordField(recordkey::FamilyName)->objectName()};
    if (!fault.ok()) {
        ctx.prompter->errorMsg(fault.message);
        result.outcome = SaveResult::Rejected;
        result.focusField = fault.focusField;
        return result;
    }
    const RecordRef ref = RecordRef::today(result.key);
    // encodePatientRecord reports every refusal itself, an unusable key included.
    WardChange change;
    QByteArray bytes;
    if (!encodePatientRecord(ctx, ref, record, &bytes, &result.stamp)) {
        result.outcome = SaveResult::Failed;
        return result;
    }
    RecordWrite write(ref, bytes, record.value(recordkey::PhotoPath));
    const QString old = oldKey ? *oldKey : QString();
    // What the window read, checked where it was read: the record itself,
    // or the old record of a patient renamed.
    const bool checked = loaded && !loaded->isEmpty() && !old.isEmpty();
    if (checked && old == result.key)
        write.expected = *loaded;
    // Only the database keeps the picture's bytes; a folder names its file.
    QByteArray photo;
    if (ctx.store->dataFolder().isEmpty() && !write.photoPath->isEmpty() && readPhotoFile(*write.photoPath, &photo))
        write.photo = photo;
    change.writes.append(write);
    const int writeIndex = int(change.writes.size()) - 1;
    change.events << recordSaveEvent(ctx, old, result.key, loaded, bytes);
    if (layoutWithKey && !layoutWithKey(result.key, &change)) {
        result.outcome = SaveResult::Failed;
        return result;
    }
    if (!old.isEmpty() && old != result.key) {
        // A missing old record is simply nothing to remove; an old key that
        // is no plain name is never used to delete anything.
        const RecordRef oldRef = RecordRef::today(old);
        if (isPlainFileName(old) && ctx.store->hasRecord(oldRef)) {
            change.removals << oldRef;
            if (checked)
                change.removedAsRead.insert(old, *loaded);
        }
    }
    QString error;
    ChangeResult applied = ctx.store->apply(change, &error);
    if (applied == ChangeResult::Conflict && checked) {
        // Another terminal saved this record since the window read it: the
        // user decides, with the window still holding what was typed.
        const RecordRef readRef = old == result.key ? ref : RecordRef::today(old);
        PatientRecord now;
        QByteArray nowBytes;
        if (readPatientRecord(ctx, readRef, &now, nullptr, &nowBytes) == RecordReadResult::Read
            && nowBytes != *loaded) {
            const QString question
                = recordtext::SavedElsewhere.arg(now.value(recordkey::SavedByName), now.value(recordkey::SavedAt));
            if (!ctx.prompter->warnYesNoDefNo(question)) {
                result.outcome = SaveResult::Failed;
                return result;
            }
            // Over that save, on purpose.
            if (old == result.key)
                change.writes[writeIndex].expected = nowBytes;
            else
                change.removedAsRead.insert(old, nowBytes);
            applied = ctx.store->apply(change, &error);
        }
    }
    switch (applied) {
    case ChangeResult::Done:
        break;
    case ChangeResult::Conflict:
        // The bed was taken on another terminal: nothing saved, the window
        // keeps what was typed, and the board shows the other change.
        ctx.prompter->infoMsg(storetext::ChangedElsewhere);
        result.outcome = SaveResult::Failed;
        return result;
    case ChangeResult::Failed:
        writeErrorLog(ctx, RecordSaveProcedure);
        result.outcome = SaveResult::Failed;
        return result;
    }
    if (loaded)
        *loaded = bytes;
    result.outcome = SaveResult::Saved;
    result.updaterText = updaterText(result.stamp.loginId, result.stamp.staffName, result.stamp.savedAt);
    if (oldKey)
        *oldKey = result.key;
    if (onWritten)
        onWritten(result);
    return result;
}

} // namespace velto
