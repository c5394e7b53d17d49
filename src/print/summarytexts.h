#pragma once
// The composed texts of the summary pages. Fixed parts always print, so an
// empty record still shows its labels, units and punctuation.
#include <QString>
#include <QStringList>

namespace velto::print {

// The record keys of a line group: first, first + 1, ... as three digits.
QStringList lineKeys(int firstKey, int count);
// The 40 progress lines: 080 to 109, then A01 to A10.
QStringList progressKeys();

// The default stands in only for the empty text; spaces print as they are.
QString textOrDefault(const QString &value, const QString &defaultText);

QString postalCodeText(const QString &part1, const QString &part2);
QString bloodTypeText(const QString &group, const QString &rh);
// The telephone alone unless both the name to ask for and the relation are given.
QString emergencyContactText(const QString &tel, const QString &callName, const QString &relation);
QString pulseText(const QString &rate, const QString &rhythm);
// Level & "(" & state & ")", the parentheses also around an empty state.
QString stateLineText(const QString &level, const QString &state);

} // namespace velto::print
