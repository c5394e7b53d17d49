#include "wardlayout.h"

#include <QDateTime>
#include <algorithm>

#include "boardhistory.h"
#include "boardmodel.h"
#include "core/appcontext.h"
#include "core/busy.h"
#include "core/eradate.h"
#include "core/errorlog.h"
#include "core/textfile.h"

namespace velto {

namespace {

const QString LoadProc = QStringLiteral("frmRoom.NewLoad()");
const QString SaveProc = QStringLiteral("frmRoom.Command1_Click()");

QString layoutLineText(const QString &file, int line)
{
    return QStringLiteral("%1の%2行目").arg(file).arg(line);
}

// Lines past a file's count are a fault unless they are all empty (a file
// ended by an extra line break). Returns the first offending line (from 1),
// or 0.
int extraLine(const QStringList &lines, int count)
{
    for (int i = count; i < lines.size(); ++i) {
        if (!lines.at(i).isEmpty())
            return i + 1;
    }
    return 0;
}

// A stored colour: decimal digits only, within 24 bits.
bool parseColour(const QString &line, int *colour)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.size() > 10)
        return false;
    for (const QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    const qlonglong v = t.toLongLong();
    if (v > 0xFFFFFF)
        return false;
    *colour = int(v);
    return true;
}

} // namespace

bool loadWardLayout(AppContext &ctx, BoardModel &model, const QString &snapshot)
{
    BusyGuard busy(ctx.busy);
    const bool today = snapshot.isEmpty();
    auto fail = [&](const QString &part, int line) {
        if (today && ctx.layoutFault.isEmpty()) {
            ctx.layoutFault = layoutLineText(part, line);
            ctx.layoutFaultFile = part;
        }
        busy.release();
        writeErrorLog(ctx, LoadProc);
        return false;
    };

    const StoredLayout stored = ctx.store->readLayout(snapshot);
    // A missing part ends the loading quietly there.
    auto usable = [&](const QString &name, const LayoutPart &part, bool *ok) {
        *ok = true;
        if (part.state == StoreRead::Missing)
            return false;
        if (part.state == StoreRead::Failed) {
            *ok = fail(name, part.badLine);
            return false;
        }
        return true;
    };
    bool ok = true;
    if (!usable(layoutfile::Beds, stored.beds, &ok))
        return ok;
    const QStringList &beds = stored.beds.lines;
    for (int i = 0; i < beds.size() && i < BoardModel::BedCount; ++i)
        model.setBedEntry(i, beds.at(i));
    if (const int extra = extraLine(beds, BoardModel::BedCount))
        return fail(layoutfile::Beds, extra);

    if (!usable(layoutfile::RoomNumbers, stored.roomNumbers, &ok))
        return ok;
    const QStringList &numbers = stored.roomNumbers.lines;
    for (int i = 0; i < numbers.size() && i < BoardModel::RoomCount; ++i)
        model.setRoomNumber(i, numbers.at(i));
    if (const int extra = extraLine(numbers, BoardModel::RoomCount))
        return fail(layoutfile::RoomNumbers, extra);

    if (!usable(layoutfile::RoomColours, stored.roomColours, &ok))
        return ok;
    const QStringList &colours = stored.roomColours.lines;
    for (int i = 0; i < colours.size() && i < BoardModel::RoomCount; ++i) {
        int colour = 0;
        if (!parseColour(colours.at(i), &colour))
            return fail(layoutfile::RoomColours, i + 1);
        model.setRoomColour(i, colour);
    }
    if (const int extra = extraLine(colours, BoardModel::RoomCount))
        return fail(layoutfile::RoomColours, extra);
    if (today)
        model.setStoredLayout(LayoutLines {beds, numbers, colours});
    return true;
}

QString layoutReadOnlyText(const AppContext &ctx)
{
    if (!ctx.storeFault.isEmpty())
        return ctx.storeFault;
    if (ctx.layoutFault.isEmpty())
        return QString();
    return QStringLiteral("読み取り専用：部屋の配置を最後まで読み込めなかったため、変更できません（") + ctx.layoutFault
           + QStringLiteral("）。");
}

QString layoutNotSavedText(const QString &detail)
{
    QString text = QStringLiteral("部屋の配置を保存できませんでした。");
    if (!detail.isEmpty())
        text += QLatin1Char('\r') + detail;
    return text;
}

bool wardLayoutLines(const BoardModel &model, LayoutLines *layout, QString *error)
{
    LayoutLines l;
    for (int i = 0; i < BoardModel::BedCount; ++i)
        l.beds << model.bedEntry(i);
    for (int i = 0; i < BoardModel::RoomCount; ++i) {
        l.roomNumbers << model.roomNumber(i);
        l.roomColours << QString::number(model.roomColour(i));
    }
    // Checked whole before anything is written, so a value the files cannot
    // hold leaves the stored layout as it was.
    const QList<QPair<QString, const QStringList *>> parts {{layoutfile::Beds, &l.beds},
                                                            {layoutfile::RoomNumbers, &l.roomNumbers},
                                                            {layoutfile::RoomColours, &l.roomColours}};
    for (const auto &part : parts) {
        QByteArray bytes;
        if (!textfile::encodeLines(part.first, *part.second, &bytes, error))
            return false;
    }
    *layout = l;
    return true;
}

bool layoutWithBedEntry(AppContext &ctx, const BoardModel &model, int bed, const QString &entry, WardChange *change)
{
    if (!BoardModel::isBed(bed))
        return false;
    BoardModel board;
    for (int b = 0; b < BoardModel::BedCount; ++b)
        board.setBedEntry(b, b == bed ? entry : model.bedEntry(b));
    for (int r = 0; r < BoardModel::RoomCount; ++r) {
        board.setRoomNumber(r, model.roomNumber(r));
        board.setRoomColour(r, model.roomColour(r));
    }
    QString error;
    LayoutLines layout;
    if (!wardLayoutLines(board, &layout, &error)) {
        if (ctx.prompter)
            ctx.prompter->errorMsg(layoutNotSavedText(error));
        return false;
    }
    change->layout = layout;
    change->base = model.storedLayout();
    placeEventsAtBed(model, bed, &change->events);
    return true;
}

QString changedElsewhereText()
{
    return storetext::ChangedElsewhere;
}

void showChangedElsewhere(AppContext &ctx, BoardModel &model)
{
    if (ctx.prompter)
        ctx.prompter->infoMsg(changedElsewhereText());
    model.reset();
    loadWardLayout(ctx, model, QString());
}

bool layoutSavePermitted(const AppContext &ctx)
{
    // A snapshot on the board must never overwrite today's layout, nor a
    // board that is missing part of today's files.
    return hasFullAuthority(ctx.currentAccount.authority) && ctx.showsToday() && ctx.layoutFault.isEmpty();
}

LayoutSaveResult saveWardLayout(AppContext &ctx, BoardModel &model, const QList<HistoryEvent> &events)
{
    if (!layoutSavePermitted(ctx))
        return LayoutSaveResult::NotPermitted;

    WardChange change;
    QString error;
    LayoutLines layout;
    if (!wardLayoutLines(model, &layout, &error)) {
        if (ctx.prompter)
            ctx.prompter->errorMsg(layoutNotSavedText(error));
        return LayoutSaveResult::Failed;
    }
    change.layout = layout;
    change.base = model.storedLayout();
    change.events = events;
    // The three parts change together, also across a crash.
    switch (ctx.store->apply(change, &error)) {
    case ChangeResult::Done:
        break;
    case ChangeResult::Conflict:
        showChangedElsewhere(ctx, model);
        return LayoutSaveResult::Conflict;
    case ChangeResult::Failed:
        writeErrorLog(ctx, SaveProc);
        return LayoutSaveResult::Failed;
    }
    model.setStoredLayout(layout);
    return LayoutSaveResult::Saved;
}

QString snapshotAt(const QStringList &dateList, int index)
{
    if (index <= 0 || index >= dateList.size())
        return QString();
    return dateList.at(index);
}

bool changeDisplayDate(AppContext &ctx, BoardModel &model, const QStringList &dateList, int index)
{
    if (index < 0 || index >= dateList.size())
        return false;
    BusyGuard busy(ctx.busy);
    if (ctx.displayDateIndex == 0 && index != 0) {
        if (saveWardLayout(ctx, model) == LayoutSaveResult::Failed)
            return false;
    }
    ctx.displayDateIndex = index;
    // Another day starts from an empty board: a snapshot lacking a layout
    // file must not show the previous day's patients as its own.
    model.reset();
    loadWardLayout(ctx, model, snapshotAt(dateList, index));
    return true;
}

} // namespace velto
