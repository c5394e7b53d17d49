#include <QtTest>

#include "staff/passwordhash.h"

using namespace velto::passwordhash;

class TestPasswordHash : public QObject {
    Q_OBJECT
private slots:
    // Forms made by an independent implementation (Python's hashlib), one of
    // them the RFC 7914 vector: the stored form is the standard algorithm.
    void verifiesIndependentHashes_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("matches");
        const QString rfc = QStringLiteral("pbkdf2-sha256$1$c2FsdA==$VawEblbjCJ/sFpHCJUS2BflBhSFt3gRl5oudV8INrLw=");
        const QString kana = QStringLiteral(
            "pbkdf2-sha256$1000$AAECAwQFBgcICQoLDA0ODw==$BBT2qU2g5M4UIx/LEJBmF4SYhznxFEmvslFYgEpyEWo=");
        QTest::newRow("RFC 7914 vector") << QStringLiteral("passwd") << rfc << true;
        QTest::newRow("wrong password") << QStringLiteral("passwe") << rfc << false;
        QTest::newRow("Japanese password, UTF-8") << QStringLiteral("看護") << kana << true;
        QTest::newRow("one character more") << QStringLiteral("看護 ") << kana << false;
        // Stored hashes longer than one HMAC block: the second block's index.
        QTest::newRow("RFC 7914 vector, 64 bytes")
            << QStringLiteral("passwd")
            << QStringLiteral("pbkdf2-sha256$1$c2FsdA==$VawEblbjCJ/"
                              "sFpHCJUS2BflBhSFt3gRl5oudV8INrLxJypzM8Xm2RZkWZLOdd+8xfHG4RbHjC9UJESBB06GXgw==")
            << true;
        QTest::newRow("40 bytes, 1000 iterations")
            << QStringLiteral("看護")
            << QStringLiteral("pbkdf2-sha256$1000$AAECAwQFBgcICQoLDA0ODw==$BBT2qU2g5M4UIx/"
                              "LEJBmF4SYhznxFEmvslFYgEpyEWqFxKmo1vIKGg==")
            << true;
    }
    void verifiesIndependentHashes()
    {
        QFETCH(QString, password);
        QFETCH(QString, stored);
        QFETCH(bool, matches);
        QCOMPARE(verifyPassword(password, stored), matches);
    }

    void newHashesHaveTheStoredForm()
    {
        const QString a = hashPassword(QStringLiteral("pw"), 1000);
        const QString b = hashPassword(QStringLiteral("pw"), 1000);
        const QStringList parts = a.split(QLatin1Char('$'));
        QCOMPARE(parts.size(), 4);
        QCOMPARE(parts.at(0), QStringLiteral("pbkdf2-sha256"));
        QCOMPARE(parts.at(1), QStringLiteral("1000"));
        QCOMPARE(QByteArray::fromBase64(parts.at(2).toLatin1()).size(), 16);
        QCOMPARE(QByteArray::fromBase64(parts.at(3).toLatin1()).size(), 32);
        QVERIFY2(a != b, "each password gets a salt of its own");
        QVERIFY(verifyPassword(QStringLiteral("pw"), a));
        QVERIFY(verifyPassword(QStringLiteral("pw"), b));
        QVERIFY(!verifyPassword(QStringLiteral("pW"), a));
        QVERIFY(!verifyPassword(QString(), a));
        QCOMPARE(hashPassword(QStringLiteral("pw")).section(QLatin1Char('$'), 1, 1), QStringLiteral("100000"));
    }

    // A damaged or hostile stored text matches no password, not even the
    // empty one, and never makes the login spin for minutes.
    void malformedFormsMatchNothing_data()
    {
        QTest::addColumn<QString>("stored");
        const QString salt = QStringLiteral("AAECAwQFBgcICQoLDA0ODw==");
        const QString hash = QStringLiteral("BBT2qU2g5M4UIx/LEJBmF4SYhznxFEmvslFYgEpyEWo=");
        QTest::newRow("empty") << QString();
        QTest::newRow("plain password") << QStringLiteral("看護");
        QTest::newRow("other scheme") << QStringLiteral("pbkdf2-sha1$1000$%1$%2").arg(salt, hash);
        QTest::newRow("three parts") << QStringLiteral("pbkdf2-sha256$1000$%1").arg(salt);
        QTest::newRow("five parts") << QStringLiteral("pbkdf2-sha256$1000$%1$%2$").arg(salt, hash);
        QTest::newRow("zero iterations") << QStringLiteral("pbkdf2-sha256$0$%1$%2").arg(salt, hash);
        QTest::newRow("negative iterations") << QStringLiteral("pbkdf2-sha256$-5$%1$%2").arg(salt, hash);
        QTest::newRow("count past the limit") << QStringLiteral("pbkdf2-sha256$10000001$%1$%2").arg(salt, hash);
        QTest::newRow("count overflowing int") << QStringLiteral("pbkdf2-sha256$99999999999$%1$%2").arg(salt, hash);
        QTest::newRow("count with sign") << QStringLiteral("pbkdf2-sha256$+1000$%1$%2").arg(salt, hash);
        QTest::newRow("bad base64 salt") << QStringLiteral("pbkdf2-sha256$1000$!!!$%1").arg(hash);
        QTest::newRow("empty hash") << QStringLiteral("pbkdf2-sha256$1000$%1$").arg(salt);
    }
    void malformedFormsMatchNothing()
    {
        QFETCH(QString, stored);
        QVERIFY(!isPasswordHash(stored));
        QVERIFY(!verifyPassword(QStringLiteral("看護"), stored));
        QVERIFY(!verifyPassword(QString(), stored));
    }
};

QTEST_GUILESS_MAIN(TestPasswordHash)
#include "tst_passwordhash.moc"
