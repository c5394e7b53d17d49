#include "admission.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "boardmodel.h"
#include "core/appcontext.h"
#include "core/busy.h"
#include "core/errorlog.h"
#include "core/filenames.h"
#include "core/textfile.h"
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

QString dbPath(const AppContext &ctx, const QString &name)
{
    return QDir(ctx.path(QStringLiteral("DB"))).filePath(name);
}

QString outPath(const AppContext &ctx, const QString &name)
{
    return QDir(ctx.path(QStringLiteral("DB/Out"))).filePath(name);
}

bool readWhole(const QString &path, QByteArray *data)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return false;
    *data = f.readAll();
    return f.error() == QFileDevice::NoError;
}

// A move's files and the layout with the bed changed, as one change: at any
// instant every bed names a file present in "DB". Writes are done before the
// layout, removals after it. The model changes only once the change is made.
// Refused: a value the files cannot hold, the user has been told why.
enum class Moved { Done, Refused, Failed };

Moved commitMove(AppContext &ctx, BoardModel &model, int bed, const QString &newEntry,
                 const QList<QPair<QString, QByteArray>> &writes, const QStringList &removals)
{
    QList<QPair<QString, QByteArray>> layout;
    if (!layoutWithBedEntry(ctx, model, bed, newEntry, &layout))
        return Moved::Refused;
    QString error;
    textfile::Change change(ctx.path(QStringLiteral("DB")));
    for (const auto &w : writes)
        change.write(w.first, w.second);
    for (const auto &l : std::as_const(layout))
        change.write(l.first, l.second);
    for (const QString &r : removals)
        change.remove(r);
    if (!change.commit(&error))
        return Moved::Failed;
    model.setBedEntry(bed, newEntry);
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
    const QString from = dbPath(ctx, entry);
    const QString to = outPath(ctx, entry);
    if (!erase) {
        // Keeping a record that is not there: the bed stays as it is.
        if (!QFileInfo(from).isFile()) {
            writeErrorLog(ctx, TaiinProc);
            return false;
        }
        // An older kept record of the same name goes only with consent.
        if (QFileInfo::exists(to) && !ctx.prompter->warnYesNoDefNo(keptRecordExistsQuestion()))
            return false;
    }

    BusyGuard busy(ctx.busy);
    auto fail = [&] {
        busy.release();
        writeErrorLog(ctx, TaiinProc);
        return false;
    };
    QList<QPair<QString, QByteArray>> writes;
    if (!erase) {
        QByteArray record;
        if (!readWhole(from, &record) || !textfile::makeDataFolder(ctx.path(QStringLiteral("DB/Out"))))
            return fail();
        // The kept copy is staged and read back before the record leaves "DB".
        writes.append({to, record});
    }
    QStringList removals;
    if (QFileInfo::exists(from))
        removals << from;
    switch (commitMove(ctx, model, bed, QString(), writes, removals)) {
    case Moved::Done:
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
    // Without a record file the data is already gone: the bed goes too.
    const QString record = dbPath(ctx, entry);
    QStringList removals;
    if (QFileInfo::exists(record))
        removals << record;
    switch (commitMove(ctx, model, bed, QString(), {}, removals)) {
    case Moved::Done:
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
    const QDir out(ctx.path(QStringLiteral("DB/Out")));
    if (!out.exists())
        return {};
    return out.entryList(QDir::Files | QDir::NoSymLinks, QDir::Name);
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
    const QString displayName = name.left(p);
    if (!ctx.prompter->confirmYesNo(readmitQuestion(displayName)))
        return {};
    // The same key in "DB" belongs to a patient in a bed (or to a record no
    // bed shows); overwriting it would lose that record.
    const QString to = dbPath(ctx, name);
    if (QFileInfo::exists(to) || entryInUse(model, name)) {
        ctx.prompter->errorMsg(recordInUseText());
        return {};
    }

    BusyGuard busy(ctx.busy);
    auto fail = [&] {
        busy.release();
        writeErrorLog(ctx, ClickProc);
        return ReadmitResult {};
    };
    const QString from = outPath(ctx, name);
    QByteArray kept;
    if (!readWhole(from, &kept))
        return fail();
    // The record is in "DB" before the bed names it, and leaves "DB/Out"
    // only after.
    switch (commitMove(ctx, model, bed, name, {{to, kept}}, {from})) {
    case Moved::Done:
        break;
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
