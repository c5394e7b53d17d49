#pragma once
// Japanese era dates ("gggee年mm月dd日") and age.
#include <QDate>
#include <QString>

namespace velto {
struct AppContext;

// Pure conversions.
QString eraDateOf(const QDate &date);
// Era birth-date text as the four record lists give it (昭和36年5月10日).
// Returns false when the text is not of that shape or names no real date;
// era years past an era's end are taken as the Gregorian year they give.
bool parseEraBirthDate(const QString &text, QDate *date);
// Gregorian first year of an era name, 0 when unknown.
int eraFirstYear(const QString &era);

QString getNowDate(AppContext &ctx);
QString getWaDate(AppContext &ctx, const QString &compact);
// "45歳", or empty after showing the refusal.
QString getHowOld(AppContext &ctx, const QString &birth);

} // namespace velto
