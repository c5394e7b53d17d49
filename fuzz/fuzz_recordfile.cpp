// The patient record file reader; a file read whole must save and read back
// to the same values.
#include <cstddef>
#include <cstdint>

#include "core/textfile.h"
#include "fuzz_common.h"
#include "record/recordfields.h"
#include "record/recordfile.h"

using namespace velto;

namespace {
QString oneLine(QString v)
{
    v.replace(QLatin1String("\r\n"), QLatin1String(" "));
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return v;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzContext &fc = fuzz::context();
    fc.resetRun();
    AppContext &ctx = fc.ctx;
    ctx.currentAccount
        = StaffAccount {QStringLiteral("nurse1"), Authority::Full, QStringLiteral("看護 花子"), QStringLiteral("pw")};

    const RecordRef ref = RecordRef::today(QStringLiteral("fuzz_record"));
    fuzz::writeFile(ctx.path(QStringLiteral("DB/fuzz_record")),
                    QByteArray(reinterpret_cast<const char *>(data), int(size)));

    PatientRecord record;
    const RecordReadResult r = readPatientRecord(ctx, ref, &record);
    if (r != RecordReadResult::Read)
        return 0;

    SaveStamp stamp;
    FUZZ_CHECK(writePatientRecord(ctx, ref, record, &stamp));
    PatientRecord back;
    FUZZ_CHECK(readPatientRecord(ctx, ref, &back) == RecordReadResult::Read);
    for (const QString &key : recordWriteOrder()) {
        QString expected;
        if (key == recordkey::SavedBy)
            expected = stamp.loginId;
        else if (key == recordkey::SavedByName)
            expected = stamp.staffName;
        else if (key == recordkey::SavedAt)
            expected = stamp.savedAt;
        else
            expected = oneLine(textfile::mapTypedCharacters(record.value(key)));
        FUZZ_CHECK(back.value(key) == expected);
    }
    return 0;
}
