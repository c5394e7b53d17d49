#include "eradate.h"

#include <QRegularExpression>

#include "appcontext.h"
#include "errorlog.h"

namespace velto {

namespace {
struct Era {
    const char16_t *name;
    QDate begins;
    int firstYear;
};

// Latest first: a date belongs to the latest era begun on or before it.
const Era kEras[] = {
    {u"令和", QDate(2019, 5, 1), 2019},  {u"平成", QDate(1989, 1, 8), 1989}, {u"昭和", QDate(1926, 12, 25), 1926},
    {u"大正", QDate(1912, 7, 30), 1912}, {u"明治", QDate(), 1868},
};

QString two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}
} // namespace

int eraFirstYear(const QString &era)
{
    for (const Era &e : kEras)
        if (era == QString::fromUtf16(e.name))
            return e.firstYear;
    return 0;
}

QString eraDateOf(const QDate &date)
{
    if (!date.isValid())
        return {};
    for (const Era &e : kEras) {
        if (!e.begins.isValid() || date >= e.begins) {
            return QString::fromUtf16(e.name) + two(date.year() - e.firstYear + 1) + QStringLiteral("年")
                   + two(date.month()) + QStringLiteral("月") + two(date.day()) + QStringLiteral("日");
        }
    }
    return {};
}

bool parseEraBirthDate(const QString &text, QDate *date)
{
    static const QRegularExpression re(
        QStringLiteral("^(明治|大正|昭和|平成|令和)([0-9]{1,2})年([0-9]{1,2})月([0-9]{1,2})日$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    const int year = eraFirstYear(m.captured(1)) + m.captured(2).toInt() - 1;
    const QDate d(year, m.captured(3).toInt(), m.captured(4).toInt());
    if (!d.isValid() || m.captured(2).toInt() < 1)
        return false;
    if (date)
        *date = d;
    return true;
}

QString getNowDate(AppContext &ctx)
{
    return eraDateOf(ctx.clock->now().date());
}

QString getWaDate(AppContext &, const QString &compact)
{
    if (compact.size() != 8)
        return {};
    const QString slash
        = compact.mid(0, 4) + QLatin1Char('/') + compact.mid(4, 2) + QLatin1Char('/') + compact.mid(6, 2);
    const QDate d = QDate::fromString(slash, QStringLiteral("yyyy/MM/dd"));
    if (!d.isValid())
        return slash;
    return eraDateOf(d);
}

QString getHowOld(AppContext &ctx, const QString &birth)
{
    QDate b;
    if (!parseEraBirthDate(birth, &b)) {
        ctx.prompter->errorMsg(QStringLiteral("指定した生年月日の日付は存在しません。"));
        return {};
    }
    const QDate today = ctx.clock->now().date();
    if (b.toString(QStringLiteral("yyyyMMdd")) > today.toString(QStringLiteral("yyyyMMdd"))) {
        ctx.prompter->errorMsg(QStringLiteral("未来日付は入力できません。"));
        return {};
    }
    int age = today.year() - b.year();
    if (b.toString(QStringLiteral("MMdd")) > today.toString(QStringLiteral("MMdd")))
        --age;
    return QString::number(age) + QStringLiteral("歳");
}

} // namespace velto
