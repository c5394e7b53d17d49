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

QString layoutLineText(const QString &file, int line)
{
    return QStringLiteral("%1の%2行目").arg(file).arg(line);
}

enum class Read { Missing, Failed, Ok };

// A layout file's lines; *badLine gives the first that does not decode.
Read readLayoutFile(const QString &path, QStringList *lines, int *badLine)
{
    if (!QFileInfo::exists(path))
        return Read::Missing;
    QList<int> bad;
    QString error;
    if (!textfile::readLinesEach(path, lines, &bad, &error)) {
        *badLine = 1;
        return Read::Failed;
    }
    if (!bad.isEmpty()) {
        *badLine = bad.constFirst();
        return Read::Failed;
    }
    return Read::Ok;
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

bool loadWardLayout(AppContext &ctx, BoardModel &model, const QString &folder)
{
    BusyGuard busy(ctx.busy);
    const QDir dir(folder);
    const bool today
        = QFileInfo(folder).absoluteFilePath() == QFileInfo(ctx.path(QStringLiteral("DB"))).absoluteFilePath();
    auto fail = [&](const QString &file, int line) {
        if (today && ctx.layoutFault.isEmpty()) {
            ctx.layoutFault = layoutLineText(file, line);
            ctx.layoutFaultFile = file;
        }
        busy.release();
        writeErrorLog(ctx, LoadProc);
        return false;
    };

    QStringList lines;
    int bad = 0;
    switch (readLayoutFile(dir.filePath(layoutfile::Beds), &lines, &bad)) {
    case Read::Missing:
        return true;
    case Read::Failed:
        return fail(layoutfile::Beds, bad);
    case Read::Ok:
        break;
    }
    for (int i = 0; i < lines.size() && i < BoardModel::BedCount; ++i)
        model.setBedEntry(i, lines.at(i));
    if (const int extra = extraLine(lines, BoardModel::BedCount))
        return fail(layoutfile::Beds, extra);

    switch (readLayoutFile(dir.filePath(layoutfile::RoomNumbers), &lines, &bad)) {
    case Read::Missing:
        return true;
    case Read::Failed:
        return fail(layoutfile::RoomNumbers, bad);
    case Read::Ok:
        break;
    }
    for (int i = 0; i < lines.size() && i < BoardModel::RoomCount; ++i)
        model.setRoomNumber(i, lines.at(i));
    if (const int extra = extraLine(lines, BoardModel::RoomCount))
        return fail(layoutfile::RoomNumbers, extra);

    switch (readLayoutFile(dir.filePath(layoutfile::RoomColours), &lines, &bad)) {
    case Read::Missing:
        return true;
    case Read::Failed:
        return fail(layoutfile::RoomColours, bad);
    case Read::Ok:
        break;
    }
    for (int i = 0; i < lines.size() && i < BoardModel::RoomCount; ++i) {
        int colour = 0;
        if (!parseColour(lines.at(i), &colour))
            return fail(layoutfile::RoomColours, i + 1);
        model.setRoomColour(i, colour);
    }
    if (const int extra = extraLine(lines, BoardModel::RoomCount))
        return fail(layoutfile::RoomColours, extra);
    return true;
}

QString layoutReadOnlyText(const AppContext &ctx)
{
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

bool encodeWardLayout(const AppContext &ctx, const BoardModel &model, QList<QPair<QString, QByteArray>> *files,
                      QString *error)
{
    QStringList beds, numbers, colours;
    for (int i = 0; i < BoardModel::BedCount; ++i)
        beds << model.bedEntry(i);
    for (int i = 0; i < BoardModel::RoomCount; ++i) {
        numbers << model.roomNumber(i);
        colours << QString::number(model.roomColour(i));
    }
    // All three are encoded before any is written, so a value the files
    // cannot hold leaves every old file in place.
    const QDir db(ctx.path(QStringLiteral("DB")));
    const QString bedFile = db.filePath(layoutfile::Beds);
    const QString numberFile = db.filePath(layoutfile::RoomNumbers);
    const QString colourFile = db.filePath(layoutfile::RoomColours);
    QByteArray bedBytes, numberBytes, colourBytes;
    if (!textfile::encodeLines(bedFile, beds, &bedBytes, error)
        || !textfile::encodeLines(numberFile, numbers, &numberBytes, error)
        || !textfile::encodeLines(colourFile, colours, &colourBytes, error))
        return false;
    *files = {{bedFile, bedBytes}, {numberFile, numberBytes}, {colourFile, colourBytes}};
    return true;
}

bool layoutWithBedEntry(AppContext &ctx, const BoardModel &model, int bed, const QString &entry,
                        QList<QPair<QString, QByteArray>> *files)
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
    if (!encodeWardLayout(ctx, board, files, &error)) {
        if (ctx.prompter)
            ctx.prompter->errorMsg(layoutNotSavedText(error));
        return false;
    }
    return true;
}

bool layoutSavePermitted(const AppContext &ctx)
{
    // A snapshot on the board must never overwrite today's layout, nor a
    // board that is missing part of today's files.
    return hasFullAuthority(ctx.currentAccount.authority) && ctx.showsToday() && ctx.layoutFault.isEmpty();
}

LayoutSaveResult saveWardLayout(AppContext &ctx, const BoardModel &model)
{
    if (!layoutSavePermitted(ctx))
        return LayoutSaveResult::NotPermitted;

    QList<QPair<QString, QByteArray>> files;
    QString error;
    if (!encodeWardLayout(ctx, model, &files, &error)) {
        if (ctx.prompter)
            ctx.prompter->errorMsg(layoutNotSavedText(error));
        return LayoutSaveResult::Failed;
    }
    if (!QFileInfo(ctx.path(QStringLiteral("DB"))).isDir()) {
        writeErrorLog(ctx, SaveProc);
        return LayoutSaveResult::Failed;
    }
    // The three files change together, also across a crash.
    if (!textfile::writeTogether(files, &error)) {
        writeErrorLog(ctx, SaveProc);
        return LayoutSaveResult::Failed;
    }
    return LayoutSaveResult::Saved;
}

QStringList buildDateList(const QString &todayEraDate, const QStringList &backupSubfolders, const QString &leaveOut)
{
    QStringList names = backupSubfolders;
    std::sort(names.begin(), names.end());
    QStringList list {todayEraDate};
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
        if (saveWardLayout(ctx, model) == LayoutSaveResult::Failed)
            return false;
    }
    ctx.displayDateIndex = index;
    // Another day starts from an empty board: a snapshot lacking a layout
    // file must not show the previous day's patients as its own.
    model.reset();
    loadWardLayout(ctx, model, layoutFolder(ctx, dateList, index));
    return true;
}

} // namespace velto
