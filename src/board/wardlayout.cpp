#include "wardlayout.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

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

enum class Read { Missing, Failed, Ok };

Read readLayoutFile(const QString &path, QStringList *lines)
{
    if (!QFileInfo(path).isFile())
        return Read::Missing;
    QString error;
    return textfile::readLines(path, lines, &error) ? Read::Ok : Read::Failed;
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

bool NewLoad(AppContext &ctx, BoardModel &model, const QString &folder)
{
    BusyGuard busy(ctx.busy);
    const QDir dir(folder);
    auto fail = [&] {
        busy.release();
        writeErrorLog(ctx, LoadProc);
        return false;
    };

    QStringList lines;
    switch (readLayoutFile(dir.filePath(layoutfile::Beds), &lines)) {
    case Read::Missing: return true;
    case Read::Failed: return fail();
    case Read::Ok: break;
    }
    for (int i = 0; i < lines.size(); ++i) {
        if (i >= BoardModel::BedCount)
            return fail();
        model.setBedEntry(i, lines.at(i));
    }

    switch (readLayoutFile(dir.filePath(layoutfile::RoomNumbers), &lines)) {
    case Read::Missing: return true;
    case Read::Failed: return fail();
    case Read::Ok: break;
    }
    for (int i = 0; i < lines.size(); ++i) {
        if (i >= BoardModel::RoomCount)
            return fail();
        model.setRoomNumber(i, lines.at(i));
    }

    switch (readLayoutFile(dir.filePath(layoutfile::RoomColours), &lines)) {
    case Read::Missing: return true;
    case Read::Failed: return fail();
    case Read::Ok: break;
    }
    for (int i = 0; i < lines.size(); ++i) {
        int colour = 0;
        if (i >= BoardModel::RoomCount || !parseColour(lines.at(i), &colour))
            return fail();
        model.setRoomColour(i, colour);
    }
    return true;
}

QString layoutNotSavedText(const QString &detail)
{
    QString text = QStringLiteral("部屋の配置を保存できませんでした。");
    if (!detail.isEmpty())
        text += QLatin1Char('\r') + detail;
    return text;
}

LayoutSaveResult Command1_Click(AppContext &ctx, const BoardModel &model)
{
    if (ctx.currentAccount.authority != 2)
        return LayoutSaveResult::NotPermitted;
    // A snapshot on the board must never overwrite today's layout.
    if (ctx.displayDateIndex != 0)
        return LayoutSaveResult::NotPermitted;

    QStringList beds, numbers, colours;
    for (int i = 0; i < BoardModel::BedCount; ++i)
        beds << model.bedEntry(i);
    for (int i = 0; i < BoardModel::RoomCount; ++i) {
        numbers << model.roomNumber(i);
        colours << QString::number(model.roomColour(i));
    }

    // Encode all three first, so a value the files cannot hold leaves every
    // old file in place.
    const QDir db(ctx.path(QStringLiteral("DB")));
    const QString bedFile = db.filePath(layoutfile::Beds);
    const QString numberFile = db.filePath(layoutfile::RoomNumbers);
    const QString colourFile = db.filePath(layoutfile::RoomColours);
    QByteArray bedBytes, numberBytes, colourBytes;
    QString error;
    if (!textfile::encodeLines(bedFile, beds, &bedBytes, &error)
        || !textfile::encodeLines(numberFile, numbers, &numberBytes, &error)
        || !textfile::encodeLines(colourFile, colours, &colourBytes, &error)) {
        if (ctx.prompter)
            ctx.prompter->errorMsg(layoutNotSavedText(error));
        return LayoutSaveResult::Failed;
    }

    if (!db.exists()) {
        writeErrorLog(ctx, SaveProc);
        return LayoutSaveResult::Failed;
    }
    // The three files change together: a full disk leaves all three old ones.
    if (!textfile::writeTogether({{bedFile, bedBytes}, {numberFile, numberBytes}, {colourFile, colourBytes}}, &error)) {
        writeErrorLog(ctx, SaveProc);
        return LayoutSaveResult::Failed;
    }
    return LayoutSaveResult::Saved;
}

QStringList buildDateList(const QString &todayEraDate, const QStringList &backupSubfolders,
                          const QString &leaveOut)
{
    QStringList names = backupSubfolders;
    std::sort(names.begin(), names.end());
    QStringList list{todayEraDate};
    for (const QString &name : names) {
        // A shorter name would take part of the parent path as its date.
        if (name.size() < SnapshotNameLength)
            continue;
        const QString entry = name.right(SnapshotNameLength);
        if (entry != leaveOut)
            list << entry;
    }
    return list;
}

QStringList buildDateList(AppContext &ctx)
{
    QStringList folders;
    const QDir backup(ctx.path(QStringLiteral("BackUp")));
    if (backup.exists())
        folders = backup.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    const QDateTime now = ctx.clock ? ctx.clock->now() : QDateTime::currentDateTime();
    const QString today = getWaDate(ctx, now.date().toString(QStringLiteral("yyyyMMdd")));
    return buildDateList(ctx.todayEraDate, folders, today);
}

QString layoutFolder(const AppContext &ctx, const QStringList &dateList, int index)
{
    if (index == 0)
        return ctx.path(QStringLiteral("DB"));
    if (index < 0 || index >= dateList.size())
        return QString();
    return ctx.path(QStringLiteral("BackUp/") + dateList.at(index));
}

bool changeDisplayDate(AppContext &ctx, BoardModel &model, const QStringList &dateList, int index)
{
    if (index < 0 || index >= dateList.size())
        return false;
    BusyGuard busy(ctx.busy);
    if (ctx.displayDateIndex == 0 && index != 0) {
        if (Command1_Click(ctx, model) == LayoutSaveResult::Failed)
            return false;
    }
    ctx.displayDateIndex = index;
    // Another day starts from an empty board: a snapshot lacking a layout
    // file must not show the previous day's patients as its own.
    model.reset();
    NewLoad(ctx, model, layoutFolder(ctx, dateList, index));
    return true;
}

} // namespace velto
