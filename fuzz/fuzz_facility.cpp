// The facility file reader; a file read whole must save and read back equal.
#include <cstddef>
#include <cstdint>

#include "core/textfile.h"
#include "facility/facilityinfo.h"
#include "fuzz_common.h"

using namespace velto;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzContext &fc = fuzz::context();
    fc.resetRun();
    AppContext &ctx = fc.ctx;
    ctx.currentAccount
        = StaffAccount {QStringLiteral("nurse1"), Authority::Full, QStringLiteral("看護 花子"), QStringLiteral("pw")};

    fuzz::writeFile(ctx.path(QStringLiteral("DB/HOSPITAL_INFO.WBD")),
                    QByteArray(reinterpret_cast<const char *>(data), int(size)));

    FacilityInfo info;
    if (!loadFacilityInfo(ctx, &info))
        return 0;

    FacilityInfo checked = info;
    checkFacilityInfo(&checked);

    bool breaks = false;
    FacilityInfo expected;
    for (const FacilityField &f : facilityFields()) {
        const QString &v = info.*(f.member);
        breaks = breaks || v.contains(QLatin1Char('\r')) || v.contains(QLatin1Char('\n'));
        expected.*(f.member) = textfile::mapTypedCharacters(v);
    }
    const bool saved = saveFacilityInfo(ctx, info);
    if (breaks)
        return 0; // a line break cannot be kept in a line file; refusing is fine
    FUZZ_CHECK(saved);
    FacilityInfo back;
    FUZZ_CHECK(loadFacilityInfo(ctx, &back));
    FUZZ_CHECK(back == expected);
    return 0;
}
