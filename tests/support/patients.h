#pragma once
// The patients the tests admit, by the key naming their record file
// (family_given_era birth date).
#include <QString>

namespace velto::test {

inline const QString Sato = QStringLiteral("佐藤_一郎_昭和10年5月3日");
inline const QString Suzuki = QStringLiteral("鈴木_花子_平成1年2月3日");
inline const QString Tanaka = QStringLiteral("田中_次郎_昭和20年1月1日");

} // namespace velto::test
