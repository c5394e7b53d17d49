#include "summarytexts.h"

namespace velto::print {

QStringList lineKeys(int firstKey, int count)
{
    QStringList keys;
    for (int i = 0; i < count; ++i)
        keys << QStringLiteral("%1").arg(firstKey + i, 3, 10, QLatin1Char('0'));
    return keys;
}

QStringList progressKeys()
{
    QStringList keys = lineKeys(80, 30);
    for (int i = 1; i <= 10; ++i)
        keys << QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0'));
    return keys;
}

QString textOrDefault(const QString &value, const QString &defaultText)
{
    return value.isEmpty() ? defaultText : value;
}

QString postalCodeText(const QString &part1, const QString &part2)
{
    return QStringLiteral("〒") + part1 + QStringLiteral("-") + part2;
}

QString bloodTypeText(const QString &group, const QString &rh)
{
    return group + QStringLiteral("(RH") + rh + QStringLiteral(")");
}

QString emergencyContactText(const QString &tel, const QString &callName, const QString &relation)
{
    if (callName.isEmpty() || relation.isEmpty())
        return tel;
    return tel + QStringLiteral("(呼出名：") + callName + QStringLiteral(" 関係：") + relation + QStringLiteral(")");
}

QString pulseText(const QString &rate, const QString &rhythm)
{
    QString text = QStringLiteral("脈拍 ") + rate + QStringLiteral(" 回/分");
    if (!rhythm.isEmpty())
        text += QStringLiteral("(") + rhythm + QStringLiteral(")");
    return text;
}

QString stateLineText(const QString &level, const QString &state)
{
    return level + QStringLiteral("(") + state + QStringLiteral(")");
}

} // namespace velto::print
