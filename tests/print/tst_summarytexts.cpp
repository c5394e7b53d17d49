// The composed texts of the summary pages.
#include <QtTest>

#include "print/summarytexts.h"

using namespace velto::print;

class TstSummaryTexts : public QObject {
    Q_OBJECT
private slots:
    void emergencyContact_data();
    void emergencyContact();
    void pulse_data();
    void pulse();
    void defaults_data();
    void defaults();
    void fixedPartsPrintWhenEmpty_data();
    void fixedPartsPrintWhenEmpty();
    void keys();
};

void TstSummaryTexts::emergencyContact_data()
{
    QTest::addColumn<QString>("tel");
    QTest::addColumn<QString>("callName");
    QTest::addColumn<QString>("relation");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all three") << "03-1234-5678"
                               << "山田花子"
                               << "長女"
                               << "03-1234-5678(呼出名：山田花子 関係：長女)";
    QTest::newRow("relation only") << "03-1234-5678"
                                   << ""
                                   << "長女"
                                   << "03-1234-5678";
    QTest::newRow("name only") << "03-1234-5678"
                               << "山田花子"
                               << ""
                               << "03-1234-5678";
    QTest::newRow("no telephone") << ""
                                  << "山田花子"
                                  << "長女"
                                  << "(呼出名：山田花子 関係：長女)";
    QTest::newRow("spaces count as given") << "1"
                                           << " "
                                           << " "
                                           << "1(呼出名：  関係： )";
    QTest::newRow("empty") << ""
                           << ""
                           << ""
                           << "";
}

void TstSummaryTexts::emergencyContact()
{
    QFETCH(QString, tel);
    QFETCH(QString, callName);
    QFETCH(QString, relation);
    QFETCH(QString, expected);
    QCOMPARE(emergencyContactText(tel, callName, relation), expected);
}

void TstSummaryTexts::pulse_data()
{
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("rhythm");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no remark") << "72"
                               << ""
                               << "脈拍 72 回/分";
    QTest::newRow("remark") << "72"
                            << "不整脈"
                            << "脈拍 72 回/分(不整脈)";
    QTest::newRow("remark without rate") << ""
                                         << "ペースメーカー"
                                         << "脈拍  回/分(ペースメーカー)";
    QTest::newRow("empty") << ""
                           << ""
                           << "脈拍  回/分";
}

void TstSummaryTexts::pulse()
{
    QFETCH(QString, rate);
    QFETCH(QString, rhythm);
    QFETCH(QString, expected);
    QCOMPARE(pulseText(rate, rhythm), expected);
}

void TstSummaryTexts::defaults_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "なし";
    QTest::newRow("entry") << "MRSA"
                           << "MRSA";
    QTest::newRow("spaces stay") << "  "
                                 << "  ";
    QTest::newRow("full-width space stays") << "　"
                                            << "　";
}

void TstSummaryTexts::defaults()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(textOrDefault(value, QStringLiteral("なし")), expected);
}

void TstSummaryTexts::fixedPartsPrintWhenEmpty_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    QTest::newRow("state empty") << stateLineText("", "") << "()";
    QTest::newRow("state level only") << stateLineText("自立", "") << "自立()";
    QTest::newRow("state both") << stateLineText("部分介助", "刻み食") << "部分介助(刻み食)";
    QTest::newRow("postal empty") << postalCodeText("", "") << "〒-";
    QTest::newRow("postal") << postalCodeText("123", "4567") << "〒123-4567";
    QTest::newRow("blood empty") << bloodTypeText("", "") << "(RH)";
    QTest::newRow("blood") << bloodTypeText("AB型", "－") << "AB型(RH－)";
}

void TstSummaryTexts::fixedPartsPrintWhenEmpty()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void TstSummaryTexts::keys()
{
    QCOMPARE(lineKeys(22, 3), QStringList({"022", "023", "024"}));
    const QStringList progress = progressKeys();
    QCOMPARE(progress.size(), 40);
    QCOMPARE(progress.at(0), QStringLiteral("080"));
    QCOMPARE(progress.at(29), QStringLiteral("109"));
    QCOMPARE(progress.at(30), QStringLiteral("A01"));
    QCOMPARE(progress.at(39), QStringLiteral("A10"));
}

QTEST_APPLESS_MAIN(TstSummaryTexts)
#include "tst_summarytexts.moc"
