#pragma once
// Staff passwords kept where other terminals read them (the ward database):
// "pbkdf2-sha256$<iterations>$<salt base64>$<hash base64>", PBKDF2 with
// HMAC-SHA-256, a random 16-byte salt per password and a 32-byte hash.
#include <QByteArray>
#include <QString>

namespace velto::passwordhash {

constexpr int DefaultIterations = 100000;
// A stored count above this is refused: checking it would freeze the login.
constexpr int MaxIterations = 10000000;

// A new stored form of password with a fresh random salt.
QString hashPassword(const QString &password, int iterations = DefaultIterations);
// The stored form for a given salt (for tests and for re-checking).
QString hashPassword(const QString &password, const QByteArray &salt, int iterations);
// Whether password matches stored. A stored text that is not of the form
// above, or whose count is out of range, matches nothing.
bool verifyPassword(const QString &password, const QString &stored);
// Whether stored has the form above with a count in range.
bool isPasswordHash(const QString &stored);

} // namespace velto::passwordhash
