#include "recordfile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "core/appcontext.h"
#include "core/errorlog.h"
#include "core/filenames.h"
#include "core/textfile.h"
#include "recordfields.h"
#include "store/folderstore.h"

namespace velto {

namespace {

// Every field is one line; a pasted line break must not start a new record line.
QString oneLine(QString value)
{
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

// Lets each line of a record's bytes overwrite its key of *record. False at
// a line too short to hold a key: the lines before it are kept.
bool readRecordLines(const QByteArray &bytes, PatientRecord *record, QList<int> *bad)
{
    QStringList lines;
    textfile::decodeLinesEach(bytes, &lines, bad);
    // Empty lines after the last field (an editor's doing) are no fault.
    qsizetype end = lines.size();
    while (end > 0 && lines.at(end - 1).isEmpty() && !bad->contains(int(end)))
        --end;
    for (qsizetype i = 0; i < end; ++i) {
        if (bad->contains(int(i + 1)))
            continue; // its field stays empty; the lines around it still count
        const QString &line = lines.at(i);
        if (line.size() < 4)
            return false;
        const QString key = line.left(3);
        if (!recordField(key))
            continue; // reserved (110, 111) or unknown
        record->setValue(key, line.mid(4));
    }
    return true;
}

} // namespace

PatientRecord decodePatientRecord(const QByteArray &bytes)
{
    PatientRecord record = newPatientRecord();
    QList<int> bad;
    readRecordLines(bytes, &record, &bad);
    return record;
}

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

QString badLinesText(const QList<int> &badLines)
{
    QStringList numbers;
    for (const int n : badLines)
        numbers << QString::number(n);
    return recordtext::BadLinesReadOnly.arg(numbers.join(QStringLiteral("、")));
}

RecordReadResult readPatientRecord(AppContext &ctx, const RecordRef &ref, PatientRecord *record, QList<int> *badLines,
                                   QByteArray *raw)
{
    *record = newPatientRecord();
    if (badLines)
        badLines->clear();
    QByteArray bytes;
    QString error;
    switch (ctx.store->readRecord(ref, &bytes, &error)) {
    case StoreRead::Missing:
        return RecordReadResult::Missing;
    case StoreRead::Failed:
        writeErrorLog(ctx, RecordLoadProcedure);
        return RecordReadResult::Failed;
    case StoreRead::Read:
        break;
    }
    if (raw)
        *raw = bytes;
    QList<int> bad;
    if (!readRecordLines(bytes, record, &bad)) {
        writeErrorLog(ctx, RecordLoadProcedure);
        return RecordReadResult::Failed;
    }
    if (!bad.isEmpty()) {
        if (badLines)
            *badLines = bad;
        return RecordReadResult::PartlyRead;
    }
    return RecordReadResult::Read;
}

bool encodePatientRecord(AppContext &ctx, const RecordRef &ref, const PatientRecord &record, QByteArray *bytes,
                         SaveStamp *stamp)
{
    if (ref.place == RecordPlace::Snapshot) {
        ctx.prompter->errorMsg(PastDataReadOnlyText);
        return false;
    }
    // A key made of names may carry "/" or "..": never written as it stands.
    // New records also get only characters every disk of the ward takes.
    if (ref.place != RecordPlace::Today || !isPlainFileName(ref.key)
        || !std::all_of(ref.key.begin(), ref.key.end(), isFileNameChar)) {
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

bool writePatientRecord(AppContext &ctx, const RecordRef &ref, const PatientRecord &record, SaveStamp *stamp)
{
    WardChange change;
    SaveStamp s;
    QByteArray bytes;
    if (!encodePatientRecord(ctx, ref, record, &bytes, &s))
        return false;
    change.writes.append({ref, bytes});
    QString error;
    if (ctx.store->apply(change, &error) != ChangeResult::Done) {
        writeErrorLog(ctx, RecordSaveProcedure);
        return false;
    }
    if (stamp)
        *stamp = s;
    return true;
}

bool readPhotoFile(const QString &path, QByteArray *data)
{
    return readRegularFile(path, data);
}

bool adoptPhoto(AppContext &ctx, const QString &chosen, QString *kept, QString *error)
{
    const QString photos = ctx.store ? ctx.store->sharedPhotoFolder() : QString();
    if (photos.isEmpty() || QFileInfo(chosen).absolutePath() == QDir(photos).absolutePath()) {
        *kept = chosen;
        return true;
    }
    QByteArray bytes;
    if (!readPhotoFile(chosen, &bytes)) {
        *error = QDir::toNativeSeparators(chosen);
        return false;
    }
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    const QString name = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex())
                         + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    const QString target = QDir(photos).filePath(name);
    // The folder and the copy take the shared folder's group rights.
    if (!textfile::makeDataFolder(photos)) {
        *error = QDir::toNativeSeparators(photos);
        return false;
    }
    if (!QFileInfo::exists(target) && !textfile::writeAtomic(target, bytes, error))
        return false;
    *kept = target;
    return true;
}

} // namespace velto
