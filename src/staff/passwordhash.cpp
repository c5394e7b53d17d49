#include "passwordhash.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
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

QByteArray derive(const QString &password, const QByteArray &salt, int iterations, int bytes)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations,
                                              quint64(bytes));
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
