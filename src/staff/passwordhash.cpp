#include "passwordhash.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QStringList>

namespace velto::passwordhash {

namespace {

const QString Scheme = QStringLiteral("pbkdf2-sha256");
constexpr int SaltBytes = 16;
constexpr int HashBytes = 32;

struct Parsed {
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

bool parse(const QString &stored, Parsed *out)
{
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts.at(0) != Scheme)
        return false;
    for (const QChar c : parts.at(1)) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    const qlonglong iterations = parts.at(1).toLongLong(&ok);
    if (!ok || iterations < 1 || iterations > MaxIterations)
        return false;
    const auto decode = [](const QString &text, QByteArray *bytes) {
        const auto r = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!r || r.decoded.isEmpty())
            return false;
        *bytes = r.decoded;
        return true;
    };
    if (!decode(parts.at(2), &out->salt) || !decode(parts.at(3), &out->hash))
        return false;
    out->iterations = int(iterations);
    return true;
}

// PBKDF2 (RFC 8018) with HMAC-SHA-256. Written here on Qt Core's HMAC: Qt's
// own lives in Qt Network, which with its Kerberos and proxy libraries would
// be loaded at every start for this alone.
QByteArray derive(const QString &password, const QByteArray &salt, int iterations, int bytes)
{
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password.toUtf8());
    QByteArray key;
    for (quint32 block = 1; key.size() < bytes; ++block) {
        const char index[4] = {char(block >> 24), char(block >> 16), char(block >> 8), char(block)};
        mac.reset();
        mac.addData(salt);
        mac.addData(index, 4);
        QByteArray u = mac.result();
        QByteArray t = u;
        for (int i = 1; i < iterations; ++i) {
            mac.reset();
            mac.addData(u);
            u = mac.result();
            for (qsizetype j = 0; j < t.size(); ++j)
                t[j] = char(t.at(j) ^ u.at(j));
        }
        key += t;
    }
    key.truncate(bytes);
    return key;
}

// Takes as long whatever the first differing byte.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return diff == 0;
}

} // namespace

QString hashPassword(const QString &password, const QByteArray &salt, int iterations)
{
    return Scheme + QLatin1Char('$') + QString::number(iterations) + QLatin1Char('$')
           + QString::fromLatin1(salt.toBase64()) + QLatin1Char('$')
           + QString::fromLatin1(derive(password, salt, iterations, HashBytes).toBase64());
}

QString hashPassword(const QString &password, int iterations)
{
    QByteArray salt(SaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), SaltBytes / 4);
    return hashPassword(password, salt, iterations);
}

bool verifyPassword(const QString &password, const QString &stored)
{
    Parsed p;
    if (!parse(stored, &p))
        return false;
    return sameBytes(derive(password, p.salt, p.iterations, int(p.hash.size())), p.hash);
}

bool isPasswordHash(const QString &stored)
{
    Parsed p;
    return parse(stored, &p);
}

} // namespace velto::passwordhash
