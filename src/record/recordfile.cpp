#include "recordfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/appcontext.h"
#include "core/errorlog.h"
#include "core/filenames.h"
#include "core/textfile.h"
#include "recordfields.h"

namespace velto {

namespace {

QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool isInside(const QString &dir, const QString &folder)
{
    return dir == folder || dir.startsWith(folder + QLatin1Char('/'));
}

// Every field is one line; a pasted line break must not start a new record line.
QString oneLine(QString value)
{
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

// A snapshot record stored under the code page 932 bytes of its name. Qt's
// path strings cannot name it, so it is opened by its bytes and read again
// through the descriptor's own path.
class ByteNamedFile {
public:
    ~ByteNamedFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool open(const QString &path)
    {
        const QFileInfo fi(path);
        QByteArray name;
        if (!textfile::encode(fi.fileName(), &name, nullptr))
            return false;
        const QByteArray bytes = QFile::encodeName(fi.path()) + '/' + name;
        m_fd = ::open(bytes.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat st { };
        return m_fd >= 0 && ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode);
    }
    QString readablePath() const { return QStringLiteral("/proc/self/fd/%1").arg(m_fd); }

private:
    int m_fd = -1;
};

} // namespace

QString makePatientKey(const PatientRecord &r)
{
    using namespace recordkey;
    // The key is also written into the layout file, which stores the code
    // page's forms of typed characters; the file name must match it.
    return textfile::mapTypedCharacters(r.value(FamilyName) + QLatin1Char('_') + r.value(GivenName) + QLatin1Char('_')
                                        + r.value(Era) + r.value(Year) + r.value(Month) + r.value(Day));
}

bool isFileNameChar(QChar c)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    return c.unicode() >= 0x20 && c.unicode() != 0x7f && !forbidden.contains(c);
}

QString recordFilePath(const AppContext &ctx, const QString &key, const QString &snapshotFolder)
{
    if (!isPlainFileName(key))
        return QString();
    if (snapshotFolder.isEmpty())
        return ctx.path(QStringLiteral("DB/") + key);
    if (!isPlainFileName(snapshotFolder))
        return QString();
    return ctx.path(QStringLiteral("BackUp/") + snapshotFolder + QLatin1Char('/') + key);
}

QString badLinesText(const QList<int> &badLines)
{
    QStringList numbers;
    for (const int n : badLines)
        numbers << QString::number(n);
    return recordtext::BadLinesReadOnly.arg(numbers.join(QStringLiteral("、")));
}

RecordReadResult readPatientFile(AppContext &ctx, const QString &path, PatientRecord *record, QList<int> *badLines)
{
    *record = newPatientRecord();
    if (badLines)
        badLines->clear();
    if (path.isEmpty())
        return RecordReadResult::Missing;
    QString readPath = path;
    ByteNamedFile byteNamed;
    if (!QFileInfo(path).isFile()) {
        const bool inSnapshot
            = isInside(QFileInfo(cleanAbsolute(path)).path(), cleanAbsolute(ctx.path(QStringLiteral("BackUp"))));
        if (!inSnapshot || !byteNamed.open(path))
            return RecordReadResult::Missing;
        readPath = byteNamed.readablePath();
    }

    QStringList lines;
    QList<int> bad;
    QString error;
    if (!textfile::readLinesEach(readPath, &lines, &bad, &error)) {
        writeErrorLog(ctx, RecordLoadProcedure);
        return RecordReadResult::Failed;
    }
    // Empty lines after the last field (an editor's doing) are no fault.
    qsizetype end = lines.size();
    while (end > 0 && lines.at(end - 1).isEmpty() && !bad.contains(int(end)))
        --end;
    for (qsizetype i = 0; i < end; ++i) {
        if (bad.contains(int(i + 1)))
            continue; // its field stays empty; the lines around it still count
        const QString &line = lines.at(i);
        if (line.size() < 4) {
            // No key to split off: stop here, keeping what came before.
            writeErrorLog(ctx, RecordLoadProcedure);
            return RecordReadResult::Failed;
        }
        const QString key = line.left(3);
        if (!recordField(key))
            continue; // reserved (110, 111) or unknown
        record->setValue(key, line.mid(4));
    }
    if (!bad.isEmpty()) {
        if (badLines)
            *badLines = bad;
        return RecordReadResult::PartlyRead;
    }
    return RecordReadResult::Read;
}

bool encodePatientFile(AppContext &ctx, const QString &path, const PatientRecord &record, QByteArray *bytes,
                       SaveStamp *stamp)
{
    const QString target = cleanAbsolute(path);
    const QString dir = QFileInfo(target).path();
    if (isInside(dir, cleanAbsolute(ctx.path(QStringLiteral("BackUp"))))) {
        ctx.prompter->errorMsg(PastDataReadOnlyText);
        return false;
    }
    // A key made of names may carry "/" or "..": never write beside "DB".
    // New files also get only characters every disk of the ward takes.
    const QString name = QFileInfo(path).fileName();
    if (path.isEmpty() || dir != cleanAbsolute(ctx.path(QStringLiteral("DB"))) || !isPlainFileName(name)
        || !std::all_of(name.begin(), name.end(), isFileNameChar)) {
        writeErrorLog(ctx, RecordSaveProcedure);
        return false;
    }

    SaveStamp s;
    s.loginId = ctx.currentAccount.loginId;
    s.staffName = ctx.currentAccount.staffName;
    const QDateTime now = ctx.clock ? ctx.clock->now() : QDateTime::currentDateTime();
    s.savedAt = now.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));

    QString text;
    for (const QString &key : recordWriteOrder()) {
        QString value;
        if (key == recordkey::SavedBy)
            value = s.loginId;
        else if (key == recordkey::SavedByName)
            value = s.staffName;
        else if (key == recordkey::SavedAt)
            value = s.savedAt;
        else
            value = record.value(key);
        text += key + QLatin1Char(':') + oneLine(value) + QLatin1String("\r\n");
    }

    QString error;
    if (!textfile::encode(text, bytes, &error)) {
        ctx.prompter->errorMsg(error);
        return false;
    }
    if (stamp)
        *stamp = s;
    return true;
}

bool writePatientFile(AppContext &ctx, const QString &path, const PatientRecord &record, SaveStamp *stamp)
{
    QByteArray bytes;
    SaveStamp s;
    if (!encodePatientFile(ctx, path, record, &bytes, &s))
        return false;
    QString error;
    if (!textfile::writeAtomic(cleanAbsolute(path), bytes, &error)) {
        writeErrorLog(ctx, RecordSaveProcedure);
        return false;
    }
    if (stamp)
        *stamp = s;
    return true;
}

bool readPhotoFile(const QString &path, QByteArray *data)
{
    if (path.isEmpty())
        return false;
    // Non-blocking open: opening a FIFO without a writer would wait forever.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    *data = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace velto
