#pragma once
// Small fixtures shared by several tests: a patient's record and files
// named by raw bytes (a code page 932 name Qt cannot give).
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

#include "core/textfile.h"
#include "record/recordfields.h"

namespace velto::test {

// 佐藤 一郎, born 昭和10年5月3日, male: every value the save checks for.
inline PatientRecord patientRecord(const QString &family = QStringLiteral("佐藤"),
                                   const QString &given = QStringLiteral("一郎"))
{
    PatientRecord r = newPatientRecord();
    r.setValue("003", family);
    r.setValue("004", given);
    r.setValue("005", QStringLiteral("男"));
    r.setValue("007", QStringLiteral("昭和"));
    r.setValue("008", QStringLiteral("10年"));
    r.setValue("009", QStringLiteral("5月"));
    r.setValue("010", QStringLiteral("3日"));
    return r;
}

// A name's code page 932 bytes, as a Windows PC stores it on disk.
inline QByteArray cp932(const QString &name)
{
    QByteArray bytes;
    textfile::encode(name, &bytes, nullptr);
    return bytes;
}

// Files by the bytes of their names: Qt cannot name a code page 932 one.
inline void putRaw(const QString &dir, const QByteArray &name, const QByteArray &bytes)
{
    QDir().mkpath(dir);
    const int fd = ::open((QFile::encodeName(dir) + '/' + name).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    ::close(fd);
}

} // namespace velto::test
