// Era birth dates, age and the compact-date conversion.
#include <cstddef>
#include <cstdint>

#include "core/eradate.h"
#include "fuzz_common.h"

using namespace velto;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzContext &fc = fuzz::context();
    fc.resetRun();
    AppContext &ctx = fc.ctx;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));

    QDate d;
    const bool parsed = parseEraBirthDate(text, &d);
    if (parsed) {
        FUZZ_CHECK(d.isValid());
        FUZZ_CHECK(d.year() >= 1868);
        // The canonical text of the date names the same date.
        QDate again;
        FUZZ_CHECK(parseEraBirthDate(eraDateOf(d), &again));
        FUZZ_CHECK(again == d);
    }

    const QString age = getHowOld(ctx, text);
    if (!age.isEmpty()) {
        FUZZ_CHECK(parsed);
        FUZZ_CHECK(age.endsWith(QStringLiteral("歳")));
        bool ok = false;
        const int years = age.chopped(1).toInt(&ok);
        FUZZ_CHECK(ok && years >= 0);
        const QDate today = fc.clock.now().date();
        FUZZ_CHECK(d.addYears(years) <= today && d.addYears(years + 1) > today);
    } else {
        FUZZ_CHECK(!parsed || d > fc.clock.now().date());
    }

    const QString wa = getWaDate(ctx, text);
    if (text.size() != 8) {
        FUZZ_CHECK(wa.isEmpty());
    } else {
        const QDate c = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
        if (c.isValid() && c.year() >= 1868) {
            QDate back;
            FUZZ_CHECK(parseEraBirthDate(wa, &back) || c.year() > 2117);
        }
        FUZZ_CHECK(!wa.isEmpty());
    }
    return 0;
}
