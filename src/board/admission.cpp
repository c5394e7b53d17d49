#include "admission.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "boardmodel.h"
#include "core/appcontext.h"
#include "core/busy.h"
#include "core/errorlog.h"
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

// A record's name must name a file inside its folder, nothing beyond it.
bool plainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

QString dbPath(const AppContext &ctx, const QString &name)
{
    return QDir(ctx.path(QStringLiteral("DB"))).filePath(name);
}

QString outPath(const AppContext &ctx, const QString &name)
{
    return QDir(ctx.path(QStringLiteral("DB/Out"))).filePath(name);
}

// What a file held before a move, so that the move can be taken back.
struct FileBefore {
    QString path;
    bool existed = false;
    QByteArray data;
};

bool remember(const QString &path, FileBefore *before)
{
    before->path = path;
    before->existed = QFileInfo(path).isFile();
    if (!before->existed)
        return true;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    before->data = f.readAll();
    return f.error() == QFileDevice::NoError;
}

bool restore(const FileBefore &before)
{
    QString error;
    if (before.existed)
        return textfile::writeAtomic(before.path, before.data, &error);
    return !QFileInfo::exists(before.path) || QFile::remove(before.path);
}

bool sameContent(const QString &path, const QByteArray &expected)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = f.readAll();
    return f.error() == QFileDevice::NoError && data == expected;
}

bool layoutSaved(AppContext &ctx, const BoardModel &model)
{
    return Command1_Click(ctx, model) == LayoutSaveResult::Saved;
}

bool entryInUse(const BoardModel &model, const QString &name)
{
    for (int b = 0; b < BoardModel::BedCount; ++b) {
        if (model.bedEntry(b) == name)
            return true;
    }
    return false;
}

} // namespace

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

bool Taiin_Click(AppContext &ctx, BoardModel &model)
{
    const int bed = ctx.selectedBed;
    if (!model.isOccupied(bed) || !ctx.canChange())
        return false;
    const QString entry = model.bedEntry(bed);
    if (!ctx.prompter->warnYesNo(dischargeQuestion(model.bedCaption(bed))))
        return false;
    const bool erase = ctx.prompter->warnYesNoDefNo(eraseOnDischargeQuestion());
    if (!plainName(entry)) {
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
    FileBefore record, kept;
    if (!remember(from, &record) || (!erase && !remember(to, &kept)))
        return fail();
    if (!erase) {
        QString error;
        if (!QDir().mkpath(ctx.path(QStringLiteral("DB/Out")))
            || !textfile::writeAtomic(to, record.data, &error))
            return fail();
        // The record in "DB" goes only once the kept copy is known whole.
        if (!sameContent(to, record.data)) {
            restore(kept);
            return fail();
        }
    }
    if (record.existed && !QFile::remove(from)) {
        if (!erase)
            restore(kept);
        return fail();
    }
    model.clearBed(bed);
    if (!layoutSaved(ctx, model)) {
        // The saved layout still names the patient: put the record back.
        model.setBedEntry(bed, entry);
        const bool back = restore(record) && (erase || restore(kept));
        busy.release();
        if (!back)
            writeErrorLog(ctx, TaiinProc);
        return false;
    }
    return true;
}

bool Out_Click(AppContext &ctx, BoardModel &model)
{
    const int bed = ctx.selectedBed;
    if (!model.isOccupied(bed) || !ctx.canChange())
        return false;
    const QString entry = model.bedEntry(bed);
    if (!ctx.prompter->warnYesNo(eraseQuestion(model.bedCaption(bed))))
        return false;
    if (!plainName(entry)) {
        writeErrorLog(ctx, OutProc);
        return false;
    }

    BusyGuard busy(ctx.busy);
    auto fail = [&] {
        busy.release();
        writeErrorLog(ctx, OutProc);
        return false;
    };
    FileBefore record;
    if (!remember(dbPath(ctx, entry), &record))
        return fail();
    if (record.existed && !QFile::remove(record.path))
        return fail();
    // Without a record file the data is already gone: the bed goes too.
    model.clearBed(bed);
    if (!layoutSaved(ctx, model)) {
        model.setBedEntry(bed, entry);
        if (!restore(record))
            return fail();
        return false;
    }
    return true;
}

bool SaiNyuin_Click(AppContext &ctx, BoardModel &model, const ReadmitChooser &chooser)
{
    const int bed = ctx.selectedBed;
    // Only into a free bed: an occupied one would lose its patient's entry.
    if (!ctx.canChange() || !BoardModel::isBed(bed) || !model.bedEntry(bed).isEmpty() || !chooser)
        return false;
    return chooser();
}

bool canReadmit(const AppContext &ctx)
{
    return ctx.currentAccount.authority != 1;
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

ReadmitResult readmitClick(AppContext &ctx, BoardModel &model, const QString &name)
{
    if (!canReadmit(ctx))
        return {};
    // No name, or one whose part before "_" is empty, gives no caption: a
    // bed would then look free while holding a record.
    const int p = name.indexOf(QLatin1Char('_'));
    if (p <= 0 || !plainName(name)) {
        writeErrorLog(ctx, ClickProc);
        return {};
    }
    const int bed = ctx.selectedBed;
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
        return ReadmitResult{};
    };
    FileBefore kept;
    QString error;
    if (!remember(outPath(ctx, name), &kept) || !kept.existed)
        return fail();
    if (!textfile::writeAtomic(to, kept.data, &error))
        return fail();
    if (!QFile::remove(kept.path)) {
        QFile::remove(to);
        return fail();
    }
    model.setBedEntry(bed, name);
    if (!layoutSaved(ctx, model)) {
        model.clearBed(bed);
        const bool back = restore(kept) && QFile::remove(to);
        busy.release();
        if (!back)
            writeErrorLog(ctx, ClickProc);
        return {true, false};
    }
    return {true, true};
}

} // namespace velto
