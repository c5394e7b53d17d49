#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <memory>
#include <vector>

#include "platform.h"
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

namespace velto::textfile {

namespace {

// ICU's CP932 table. "Shift_JIS" would reach a different, stricter table
// that lacks the NEC and IBM extensions Windows writes.
constexpr const char *kCodec = "windows-31j";

const QString kCrLf = QStringLiteral("\r\n");

// Characters typed by Linux input methods -> the CP932 code point Windows
// would have stored for the same key.
QString mapInputMethodChars(const QString &text)
{
    QString s = text;
    for (QChar &c : s) {
        switch (c.unicode()) {
        case 0x301C: c = QChar(0xFF5E); break; // wave dash -> fullwidth tilde
        case 0x2212: c = QChar(0xFF0D); break; // minus -> fullwidth hyphen-minus
        case 0x2016: c = QChar(0x2225); break; // double vertical line -> parallel to
        case 0x00A2: c = QChar(0xFFE0); break; // cent
        case 0x00A3: c = QChar(0xFFE1); break; // pound
        case 0x00AC: c = QChar(0xFFE2); break; // not sign
        default: break;
        }
    }
    return s;
}

// A fresh converter per call: Qt's ICU path keeps state (and after a move
// stops reporting errors), so converters are never kept, moved or copied.
bool encodeRaw(const QString &text, QByteArray *out)
{
    QStringEncoder enc(kCodec, QStringConverter::Flag::Stateless);
    if (!enc.isValid())
        return false;
    QByteArray bytes = enc.encode(text); // lazy: materialise before hasError()
    if (enc.hasError())
        return false;
    *out = bytes;
    return true;
}

bool decodeRaw(const QByteArray &bytes, QString *out)
{
    QStringDecoder dec(kCodec, QStringConverter::Flag::Stateless);
    if (!dec.isValid())
        return false;
    QString text = dec.decode(bytes);
    if (dec.hasError())
        return false;
    *out = text;
    return true;
}

// A character the code page can hold encodes without error and decodes back
// to itself; anything else (including a silent best-fit substitution) fails.
bool holdable(const QString &ch)
{
    QByteArray bytes;
    QString back;
    return encodeRaw(ch, &bytes) && decodeRaw(bytes, &back) && back == ch;
}

QString displayName(const QString &ch)
{
    const char32_t cp = ch.size() == 2 && ch.at(0).isHighSurrogate() && ch.at(1).isLowSurrogate()
            ? QChar::surrogateToUcs4(ch.at(0), ch.at(1))
            : ch.at(0).unicode();
    switch (QChar::category(cp)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return QStringLiteral("U+%1").arg(uint(cp), 4, 16, QLatin1Char('0')).toUpper();
    default:
        return ch;
    }
}

// The distinct characters of text the code page cannot hold, in order of
// first appearance.
QStringList unholdableChars(const QString &text)
{
    QStringList found;
    QSet<QString> checked;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype len = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            len = 2;
        const QString ch = text.mid(i, len);
        i += len;
        if (checked.contains(ch))
            continue;
        checked.insert(ch);
        if (!holdable(ch))
            found.append(displayName(ch));
    }
    return found;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Name of a file being written; hidden, and never taken for data.
const QString kStagePrefix = QStringLiteral(".~velto-");

// A new version of a file, written beside it and then put in its place in
// one rename. Removed again unless committed.
class StagedFile {
public:
    explicit StagedFile(QString target) : m_target(std::move(target)) {}
    ~StagedFile()
    {
        if (!m_committed && !m_tmp.fileName().isEmpty())
            QFile::remove(m_tmp.fileName());
    }

    // sync = false leaves the flush to disk to the caller (one for many).
    bool write(const QByteArray &data, QString *error, bool sync = true)
    {
        const QFileInfo target(m_target);
        m_tmp.setFileTemplate(target.absoluteDir().filePath(kStagePrefix + QStringLiteral("XXXXXX")));
        m_tmp.setAutoRemove(false);
        // The full size, the flush and the sync are all checked: a short
        // write on a full disk must never become the file.
        if (!m_tmp.open() || m_tmp.write(data) != data.size() || !m_tmp.flush()
            || (sync && !platform::syncToDisk(m_tmp))) {
            setError(error, failed());
            return false;
        }
        if (target.exists())
            m_tmp.setPermissions(QFile::permissions(m_target));
        m_tmp.close();
        return true;
    }

    bool commit(QString *error)
    {
        if (!platform::replaceFile(m_tmp.fileName(), m_target)) {
            setError(error, failed());
            return false;
        }
        m_committed = true;
        return true;
    }

private:
    QString failed() const
    {
        return QStringLiteral("ファイルを書き込めませんでした。") + QLatin1Char('\r') + nativePath(m_target);
    }

    QString m_target;
    QTemporaryFile m_tmp;
    bool m_committed = false;
};

} // namespace

QString mapTypedCharacters(const QString &text)
{
    return mapInputMethodChars(text);
}

bool converterUsable(QString *why)
{
    QStringDecoder dec(kCodec, QStringConverter::Flag::Stateless);
    QStringEncoder enc(kCodec, QStringConverter::Flag::Stateless);
    if (!dec.isValid() || !enc.isValid()) {
        setError(why, QStringLiteral("文字コード変換（コードページ932）を利用できません。"));
        return false;
    }
    const QString tilde = dec.decode(QByteArray("\x81\x60"));
    if (dec.hasError() || tilde != QString(QChar(0xFF5E))) {
        setError(why, QStringLiteral("文字コード変換（コードページ932）の対応表が正しくありません。"));
        return false;
    }
    return true;
}

bool encode(const QString &text, QByteArray *out, QString *error)
{
    const QString mapped = mapInputMethodChars(text);
    QByteArray bytes;
    QString back;
    // Whole-text round trip first; the per-character search only runs when
    // something is wrong, to name the offending characters.
    if (encodeRaw(mapped, &bytes) && decodeRaw(bytes, &back) && back == mapped) {
        if (out)
            *out = bytes;
        return true;
    }
    const QStringList bad = unholdableChars(mapped);
    if (bad.isEmpty())
        setError(error, QStringLiteral("文字コードの変換に失敗しました。"));
    else
        setError(error, QStringLiteral("次の文字は保存できません：") + bad.join(QStringLiteral("、"))
                         + QLatin1Char('\r')
                         + QStringLiteral("別の文字に置き換えてから保存してください。"));
    return false;
}

bool decode(const QByteArray &bytes, QString *out, QString *error)
{
    QString text;
    if (!decodeRaw(bytes, &text)) {
        setError(error, QStringLiteral("読み取れない文字が含まれています（文字コードが正しくありません）。"));
        return false;
    }
    if (out)
        *out = text;
    return true;
}

bool readLines(const QString &path, QStringList *lines, QString *error)
{
    QFile file(path);
    if (!file.exists()) {
        setError(error, QStringLiteral("ファイルが見つかりません。") + QLatin1Char('\r') + nativePath(path));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("ファイルを読み込めませんでした。") + QLatin1Char('\r') + nativePath(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, QStringLiteral("ファイルを読み込めませんでした。") + QLatin1Char('\r') + nativePath(path));
        return false;
    }
    QString text;
    QString why;
    if (!decode(bytes, &text, &why)) {
        setError(error, QStringLiteral("ファイルを読み込めませんでした。") + QLatin1Char('\r') + nativePath(path)
                         + QLatin1Char('\r') + why);
        return false;
    }
    QStringList result;
    if (!text.isEmpty()) {
        result = text.split(kCrLf);
        // The CR LF after the last line leaves an empty tail; a last line
        // without CR LF leaves none.
        if (text.endsWith(kCrLf))
            result.removeLast();
    }
    if (lines)
        *lines = result;
    return true;
}

bool encodeLines(const QString &path, const QStringList &lines, QByteArray *out, QString *error)
{
    QString text;
    for (const QString &line : lines) {
        // A line break inside a line would shift every later line on reading.
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n'))) {
            setError(error, QStringLiteral("改行を含む値は保存できません。") + QLatin1Char('\r') + nativePath(path));
            return false;
        }
        text += line;
        text += kCrLf;
    }
    QString why;
    if (!encode(text, out, &why)) {
        setError(error, why + QLatin1Char('\r') + nativePath(path));
        return false;
    }
    return true;
}

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    QByteArray bytes;
    if (!encodeLines(path, lines, &bytes, error))
        return false;
    return writeAtomic(path, bytes, error);
}

bool writeTogether(const QList<QPair<QString, QByteArray>> &files, QString *error)
{
    // Every file is written out in full before any replaces its old one, so
    // a full disk leaves the whole set as it was.
    std::vector<std::unique_ptr<StagedFile>> staged;
    for (const auto &f : files) {
        auto file = std::make_unique<StagedFile>(f.first);
        if (!file->write(f.second, error))
            return false; // the staged ones remove themselves
        staged.push_back(std::move(file));
    }
    for (auto &file : staged) {
        if (!file->commit(error))
            return false;
    }
    return true;
}

bool writeAtomic(const QString &path, const QByteArray &data, QString *error)
{
    StagedFile file(path);
    return file.write(data, error) && file.commit(error);
}

QVector<bool> writeEachAtomic(const QList<QPair<QString, QByteArray>> &files, QStringList *errors)
{
    QVector<bool> done(files.size(), false);
    if (files.isEmpty())
        return done;
    // Where the whole file system can be flushed at once, one flush before
    // the renames replaces one per file.
    const bool batched = platform::canSyncFileSystem();
    std::vector<std::unique_ptr<StagedFile>> staged(files.size());
    for (int i = 0; i < files.size(); ++i) {
        auto file = std::make_unique<StagedFile>(files.at(i).first);
        QString error;
        if (file->write(files.at(i).second, &error, !batched))
            staged[i] = std::move(file);
        else if (errors)
            *errors << error;
    }
    if (batched && !platform::syncFileSystem(QFileInfo(files.first().first).absolutePath())) {
        if (errors)
            *errors << QStringLiteral("ファイルを書き込めませんでした。");
        return done; // nothing replaced; the staged files remove themselves
    }
    for (int i = 0; i < files.size(); ++i) {
        QString error;
        if (staged[i] && staged[i]->commit(&error))
            done[i] = true;
        else if (staged[i] && errors)
            *errors << error;
    }
    return done;
}

bool isStagingFile(const QString &fileName)
{
    return fileName.startsWith(kStagePrefix);
}

void removeStaleStagingFiles(const QString &folder)
{
    QDir dir(folder);
    const QStringList stale = dir.entryList({kStagePrefix + QLatin1Char('*')},
                                            QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString &name : stale)
        dir.remove(name);
}

} // namespace velto::textfile
