// The three ward layout files, split from one input at "\xFF\xFF" (a pair
// that never occurs in code page 932 text). A missing part is a missing file.
#include <cstddef>
#include <cstdint>

#include "board/boardmodel.h"
#include "board/wardlayout.h"
#include "fuzz_common.h"

using namespace velto;

namespace {
bool sameModel(const BoardModel &a, const BoardModel &b)
{
    for (int i = 0; i < BoardModel::BedCount; ++i)
        if (a.bedEntry(i) != b.bedEntry(i))
            return false;
    for (int i = 0; i < BoardModel::RoomCount; ++i)
        if (a.roomNumber(i) != b.roomNumber(i) || a.roomColour(i) != b.roomColour(i))
            return false;
    return true;
}

bool hasLineBreak(const QString &s)
{
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

bool savable(const BoardModel &m)
{
    for (int i = 0; i < BoardModel::BedCount; ++i)
        if (hasLineBreak(m.bedEntry(i)))
            return false;
    for (int i = 0; i < BoardModel::RoomCount; ++i)
        if (hasLineBreak(m.roomNumber(i)))
            return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzContext &fc = fuzz::context();
    fc.resetRun();
    AppContext &ctx = fc.ctx;
    ctx.currentAccount
        = StaffAccount {QStringLiteral("nurse1"), Authority::Full, QStringLiteral("看護 花子"), QStringLiteral("pw")};

    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    QList<QByteArray> files;
    qsizetype from = 0;
    while (files.size() < 3) {
        const qsizetype at = input.indexOf("\xFF\xFF", from);
        if (at < 0) {
            files << input.mid(from);
            break;
        }
        files << input.mid(from, at - from);
        from = at + 2;
    }

    const QDir in(ctx.path(QStringLiteral("DB")));
    const QString names[] = {layoutfile::Beds, layoutfile::RoomNumbers, layoutfile::RoomColours};
    for (int i = 0; i < 3; ++i) {
        if (i < files.size())
            fuzz::writeFile(in.filePath(names[i]), files.at(i));
        else
            QFile::remove(in.filePath(names[i]));
    }

    BoardModel model;
    if (!loadWardLayout(ctx, model, QString()))
        return 0;
    for (int i = 0; i < BoardModel::RoomCount; ++i) {
        const int c = model.roomColour(i);
        FUZZ_CHECK(c >= 0 && c <= 0xFFFFFF);
    }

    // Whatever loads must save and load back unchanged, unless a value holds a
    // line break the files cannot keep (then saving refuses).
    const LayoutSaveResult saved = saveWardLayout(ctx, model);
    if (!savable(model)) {
        FUZZ_CHECK(saved == LayoutSaveResult::Failed);
        return 0;
    }
    FUZZ_CHECK(saved == LayoutSaveResult::Saved);
    BoardModel back;
    FUZZ_CHECK(loadWardLayout(ctx, back, QString()));
    FUZZ_CHECK(sameModel(model, back));
    return 0;
}
