#include "admission.h"

#include "boardhistory.h"
#include "boardmodel.h"
#include "core/appcontext.h"
#include "core/busy.h"
#include "core/errorlog.h"
#include "core/filenames.h"
#include "store/wardstore.h"
#include "wardlayout.h"

namespace velto {

namespace {

const QString TaiinProc = QStringLiteral("frmMOUSE_MENU.Taiin_Click()");
const QString OutProc = QStringLiteral("frmMOUSE_MENU.Out_Click()");
const QString ClickProc = QStringLiteral("frmSai.click()");

QString twoLines(const QString &first, const QString &second)
{
    return first + QLatin1Char('\r') + second;
}

// A move's files and the layout with the bed changed, as one change: at any
// instant every bed names a file present in "DB". Writes are done before the
// layout, removals after it. The model changes only once the change is made.
// Refused: a value the files cannot hold, the user has been told why.
enum class Moved { Done, Refused, Failed, Conflict };

Moved commitMove(AppContext &ctx, BoardModel &model, int bed, const QString &newEntry, WardChange change)
{
    if (!layoutWithBedEntry(ctx, model, bed, newEntry, &change))
        return Moved::Refused;
    QString error;
    switch (ctx.store->apply(change, &error)) {
    case ChangeResult::Done:
        break;
    case ChangeResult::Conflict:
        showChangedElsewhere(ctx, model);
        return Moved::Conflict;
    case ChangeResult::Failed:
        return Moved::Failed;
    }
    model.setBedEntry(bed, newEntry);
    model.setStoredLayout(change.layout);
    return Moved::Done;
}

} // namespace

bool entryInUse(const BoardModel &model, const QString &name, int exceptBed)
{
    for (int b = 0; b < BoardModel::BedCount; ++b) {
        if (b != exceptBed && model.bedEntry(b) == name)
            return true;
    }
    return false;
}

QString dischargeQuestion(const QString &caption)
{
    return twoLines(caption + QStringLiteral("さんを退院させます。"), QStringLiteral("よろしいですか？"));
}

QString eraseOnDischargeQuestion()
{
    return twoLines(QStringLiteral("データを完全に消去しますか？"),
                    QStringLiteral("データを残したい場合は、[いいえ]を押してください。"));
}

QString keptRecordExistsQuestion()
{
    return twoLines(QStringLiteral("退院者情報に同じ名前のデータがあります。"),
                    QStringLiteral("上書きしてよろしいですか？"));
}

QString eraseQuestion(const QString &caption)
{
    return twoLines(caption + QStringLiteral("さんのデータを完全に消去します。"), QStringLiteral("よろしいですか？"));
}

QString readmitQuestion(const QString &displayName)
{
    return twoLines(displayName + QStringLiteral("さんを再入院させます。"), QStringLiteral("よろしいですか？"));
}

QString recordInUseText()
{
    return twoLines(QStringLiteral("同じ名前の患者データが既にあります。"), QStringLiteral("再入院できません。"));
}

bool dischargePatient(AppContext &ctx, BoardModel &model, int bed)
{
    if (!model.isOccupied(bed) || !ctx.canChange())
        return false;
    const QString entry = model.bedEntry(bed);
    if (!ctx.prompter->warnYesNo(dischargeQuestion(model.bedCaption(bed))))
        return false;
    const bool erase = ctx.prompter->warnYesNoDefNo(eraseOnDischargeQuestion());
    if (!isPlainFileName(entry)) {
        writeErrorLog(ctx, TaiinProc);
        return false;
    }
    const RecordRef from = RecordRef::today(entry);
    const RecordRef to = RecordRef::kept(entry);
    if (!erase) {
        // Keeping a record that is not there: the bed stays as it is.
        if (!ctx.store->hasRecord(from)) {
            writeErrorLog(ctx, TaiinProc);
            return false;
        }
        // An older kept record of the same name goes only with consent.
        if (ctx.store->hasRecord(to) && !ctx.prompter->warnYesNoDefNo(keptRecordExistsQuestion()))
            return false;
    }

    BusyGuard busy(ctx.busy);
    auto fail = [&] {
        busy.release();
        writeErrorLog(ctx, TaiinProc);
        return false;
    };
    WardChange change;
    if (!erase) {
        QByteArray record;
        QString error;
        if (ctx.store->readRecord(from, &record, &error) != StoreRead::Read)
            return fail();
        // The kept copy is written whole before the record leaves today's.
        change.writes.append({to, record});
    }
    if (ctx.store->hasRecord(from))
        change.removals << from;
    change.events << bedEvent(ctx, model, bed, erase ? historykind::DischargeErased : historykind::DischargeKept,
                              entry);
    switch (commitMove(ctx, model, bed, QString(), change)) {
    case Moved::Done:
    case Moved::Conflict: // the board shows the store's beds now
        return true;
    case Moved::Refused:
        return false;
    case Moved::Failed:
        break;
    }
    return fail();
}

bool erasePatient(AppContext &ctx, BoardModel &model, int bed)
{
    if (!model.isOccupied(bed) || !ctx.canChange())
        return false;
    const QString entry = model.bedEntry(bed);
    if (!ctx.prompter->warnYesNo(eraseQuestion(model.bedCaption(bed))))
        return false;
    if (!isPlainFileName(entry)) {
        writeErrorLog(ctx, OutProc);
        return false;
    }

    BusyGuard busy(ctx.busy);
    // Without a record the data is already gone: the bed goes too.
    const RecordRef record = RecordRef::today(entry);
    WardChange change;
    if (ctx.store->hasRecord(record))
        change.removals << record;
    change.events << bedEvent(ctx, model, bed, historykind::Erasure, entry);
    switch (commitMove(ctx, model, bed, QString(), change)) {
    case Moved::Done:
    case Moved::Conflict:
        return true;
    case Moved::Refused:
        return false;
    case Moved::Failed:
        break;
    }
    busy.release();
    writeErrorLog(ctx, OutProc);
    return false;
}

bool openReadmission(AppContext &ctx, BoardModel &model, int bed, const ReadmitChooser &chooser)
{
    // Only into a free bed: an occupied one would lose its patient's entry.
    if (!ctx.canChange() || !BoardModel::isBed(bed) || !model.bedEntry(bed).isEmpty() || !chooser)
        return false;
    return chooser();
}

bool canReadmit(const AppContext &ctx)
{
    return !isRestricted(ctx.currentAccount.authority);
}

QStringList keptRecords(const AppContext &ctx)
{
    return ctx.store->keptRecords();
}

KeptListing activateKeptList(AppContext &ctx)
{
    KeptListing l;
    l.names = keptRecords(ctx);
    if (l.names.isEmpty()) {
        ctx.prompter->infoMsg(admissiontext::noKeptRecords);
        l.close = true;
    }
    return l;
}

ReadmitResult readmitClick(AppContext &ctx, BoardModel &model, int bed, const QString &name)
{
    if (!canReadmit(ctx))
        return {};
    // No name, or one whose part before "_" is empty, gives no caption: a
    // bed would then look free while holding a record.
    const int p = name.indexOf(QLatin1Char('_'));
    if (p <= 0 || !isPlainFileName(name)) {
        writeErrorLog(ctx, ClickProc);
        return {};
    }
    if (!ctx.canChange() || !BoardModel::isBed(bed) || !model.bedEntry(bed).isEmpty())
        return {true, false};
    // The same key in "DB" belongs to a patient in a bed (or to a record no
    // bed shows); overwriting it would lose that record. Said before the
    // question: a Yes that can only be refused is no choice.
    const RecordRef to = RecordRef::today(name);
    if (ctx.store->hasRecord(to) || entryInUse(model, name)) {
        ctx.prompter->errorMsg(recordInUseText());
        return {};
    }
    const QString displayName = name.left(p);
    if (!ctx.prompter->confirmYesNo(readmitQuestion(displayName)))
        return {};

    BusyGuard busy(ctx.busy);
    auto fail = [&] {
        busy.release();
        writeErrorLog(ctx, ClickProc);
        return ReadmitResult {};
    };
    const RecordRef from = RecordRef::kept(name);
    QByteArray kept;
    QString error;
    if (ctx.store->readRecord(from, &kept, &error) != StoreRead::Read)
        return fail();
    // The record is in "DB" before the bed names it, and leaves "DB/Out"
    // only after.
    WardChange change;
    change.writes.append({to, kept});
    change.removals << from;
    change.events << bedEvent(ctx, model, bed, historykind::Readmission, name);
    switch (commitMove(ctx, model, bed, name, change)) {
    case Moved::Done:
        break;
    case Moved::Conflict:
        return {true, false};
    case Moved::Refused:
        return {true, false};
    case Moved::Failed:
        busy.release();
        writeErrorLog(ctx, ClickProc);
        return {true, false};
    }
    return {true, true};
}

} // namespace velto
