#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <functional>
#include <memory>
#include <vector>

#include "platform.h"
#include <QSet>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
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
        case 0x301C:
            c = QChar(0xFF5E);
            break; // wave dash -> fullwidth tilde
        case 0x2212:
            c = QChar(0xFF0D);
            break; // minus -> fullwidth hyphen-minus
        case 0x2016:
            c = QChar(0x2225);
            break; // double vertical line -> parallel to
        case 0x00A2:
            c = QChar(0xFFE0);
            break; // cent
        case 0x00A3:
            c = QChar(0xFFE1);
            break; // pound
        case 0x00AC:
            c = QChar(0xFFE2);
            break; // not sign
        default:
            break;
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

// A character as the user is shown it: itself and its code point, since the
// UI font may have no glyph for it; invisible ones by their code point only.
QString displayName(const QString &ch)
{
    const char32_t cp = ch.size() == 2 && ch.at(0).isHighSurrogate() && ch.at(1).isLowSurrogate()
                            ? QChar::surrogateToUcs4(ch.at(0), ch.at(1))
                            : ch.at(0).unicode();
    const QString codePoint = QStringLiteral("U+%1").arg(uint(cp), 4, 16, QLatin1Char('0')).toUpper();
    switch (QChar::category(cp)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return codePoint;
    default:
        return ch + QStringLiteral("（") + codePoint + QStringLiteral("）");
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

// Name of a file being written; hidden, and never taken for data. Record
// keys never begin with ".", so no key can produce it.
const QString kStagePrefix = QStringLiteral(".~velto-");
// The list of a change's renames and removals (see Change).
const QString kIntentName = QStringLiteral(".~velto-change");

#ifdef Q_OS_UNIX
mode_t processUmask()
{
    // Read without changing it: umask() itself would race other threads.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:"))
                return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
        }
    }
    static const mode_t fallback = [] {
        const mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return fallback;
}

// A folder shared through its group carries the setgid bit.
bool groupShared(const QString &folder)
{
    struct stat st;
    return ::stat(QFile::encodeName(folder).constData(), &st) == 0 && (st.st_mode & S_ISGID);
}

// Mode of a new data file in folder: as any editor's, or group-writable
// in a group-shared folder whatever the umask, so every member can write.
mode_t newFileMode(const QString &folder, mode_t existing, bool exists)
{
    const bool shared = groupShared(folder);
    if (exists)
        return shared ? (existing & 07777) | 0660 : existing & 07777;
    return shared ? 0660 : (0666 & ~processUmask());
}
#endif

// A new version of a file, written beside it and then put in its place in
// one rename. Removed again unless committed.
class StagedFile {
public:
    // stageFolder: where the new version is written before its rename, the
    // target's own folder unless a change keeps all its files in one place.
    explicit StagedFile(QString target, QString stageFolder = QString())
        : m_target(std::move(target))
        , m_stageFolder(std::move(stageFolder))
    { }
    ~StagedFile()
    {
        if (!m_committed && !m_tmp.fileName().isEmpty())
            QFile::remove(m_tmp.fileName());
    }

    // sync = false leaves the flush to disk to the caller (one for many).
    bool write(const QByteArray &data, QString *error, bool sync = true)
    {
        const QFileInfo target(m_target);
        const QDir stage(m_stageFolder.isEmpty() ? target.absolutePath() : m_stageFolder);
        m_tmp.setFileTemplate(stage.filePath(kStagePrefix + QStringLiteral("XXXXXX")));
        m_tmp.setAutoRemove(false);
        // The full size, the flush and the sync are all checked: a short
        // write on a full disk must never become the file.
        if (!m_tmp.open() || m_tmp.write(data) != data.size() || !m_tmp.flush()
            || (sync && !platform::syncToDisk(m_tmp))) {
            setError(error, failed());
            return false;
        }
#ifdef Q_OS_UNIX
        struct stat st;
        const bool exists = ::stat(QFile::encodeName(m_target).constData(), &st) == 0;
        if (::fchmod(m_tmp.handle(), newFileMode(target.absolutePath(), exists ? st.st_mode : 0, exists)) != 0) {
            setError(error, failed());
            return false;
        }
#else
        if (target.exists())
            m_tmp.setPermissions(QFile::permissions(m_target));
#endif
        m_tmp.close();
        return true;
    }

    QString stagedPath() const
    {
        return m_tmp.fileName();
    }
    QString target() const
    {
        return m_target;
    }
    // The change's intent now owns the staged file: it must outlive a crash.
    void keep()
    {
        m_committed = true;
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
    QString m_stageFolder;
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
                            + QLatin1Char('\r') + QStringLiteral("別の文字に置き換えてから保存してください。"));
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

namespace {

// The bytes of a file split at CR LF, LF or a lone CR. Those bytes never
// occur inside a code page 932 character, so the split is safe before
// decoding. A last line without an end is kept; nothing follows the last end.
QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(bytes.mid(start));
    return lines;
}

} // namespace

bool readFile(const QString &path, QByteArray *bytes, QString *error)
{
    QFile file(path);
    if (!file.exists()) {
        setError(error, QStringLiteral("ファイルが見つかりません。") + QLatin1Char('\r') + nativePath(path));
        return false;
    }
    // A FIFO or device would block or never end: only regular files are data.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("ファイルを読み込めませんでした。") + QLatin1Char('\r') + nativePath(path));
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, QStringLiteral("ファイルを読み込めませんでした。") + QLatin1Char('\r') + nativePath(path));
        return false;
    }
    return true;
}

QString undecodableLineText(const QString &path, int line)
{
    return QStringLiteral("ファイルを読み込めませんでした。") + QLatin1Char('\r') + nativePath(path) + QLatin1Char('\r')
           + QStringLiteral("%1行目に読み取れない文字が含まれています（文字コードが正しくありません）。").arg(line);
}

void decodeLinesEach(const QByteArray &bytes, QStringList *lines, QList<int> *badLines)
{
    QStringList result;
    QList<int> bad;
    const QList<QByteArray> raw = splitLines(bytes);
    // One decoder for the whole file: opening one costs more than decoding a
    // line. The lines hold no CR or LF byte, and LF is never part of a
    // two-byte character, so the joined lines decode exactly when each line
    // does, and split back at LF into the same lines.
    QString whole;
    if (decodeRaw(raw.join('\n'), &whole)) {
        result = whole.split(QLatin1Char('\n'));
        if (result.size() == raw.size()) {
            if (lines)
                *lines = result;
            if (badLines)
                badLines->clear();
            return;
        }
        result.clear();
    }
    // A damaged line: each line alone, to know which.
    result.reserve(raw.size());
    for (int i = 0; i < raw.size(); ++i) {
        QString text;
        if (decodeRaw(raw.at(i), &text)) {
            result.append(text);
        } else {
            result.append(QString());
            bad.append(i + 1);
        }
    }
    if (lines)
        *lines = result;
    if (badLines)
        *badLines = bad;
}

bool readLinesEach(const QString &path, QStringList *lines, QList<int> *badLines, QString *error)
{
    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return false;
    decodeLinesEach(bytes, lines, badLines);
    return true;
}

bool readLines(const QString &path, QStringList *lines, QString *error)
{
    QStringList result;
    QList<int> bad;
    if (!readLinesEach(path, &result, &bad, error))
        return false;
    if (!bad.isEmpty()) {
        setError(error, undecodableLineText(path, bad.constFirst()));
        return false;
    }
    if (lines)
        *lines = result;
    return true;
}

QString unholdableCharacters(const QString &text)
{
    const QString mapped = mapInputMethodChars(text);
    QByteArray bytes;
    QString back;
    if (encodeRaw(mapped, &bytes) && decodeRaw(bytes, &back) && back == mapped)
        return QString();
    return unholdableChars(mapped).join(QStringLiteral("、"));
}

QString fieldRefusal(const QString &fieldName, const QString &value)
{
    const QString chars = unholdableCharacters(value);
    if (chars.isEmpty())
        return QString();
    return fieldName + QStringLiteral("に保存できない文字があります。") + QLatin1Char('\r')
           + QStringLiteral("次の文字は保存できません：") + chars + QLatin1Char('\r')
           + QStringLiteral("別の文字に置き換えてから保存してください。");
}

bool makeDataFolder(const QString &path)
{
    const QString absolute = QDir(path).absolutePath();
    // The folders that do not exist yet, outermost first.
    QStringList created;
    for (QString p = absolute; !QFileInfo::exists(p); p = QFileInfo(p).absolutePath()) {
        created.prepend(p);
        if (QFileInfo(p).absolutePath() == p)
            break;
    }
    if (!QDir().mkpath(absolute))
        return false;
#ifdef Q_OS_UNIX
    for (const QString &p : std::as_const(created)) {
        if (groupShared(QFileInfo(p).absolutePath()))
            ::chmod(QFile::encodeName(p).constData(), 02770);
    }
#endif
    return QFileInfo(absolute).isDir();
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

namespace {

std::function<bool(const QString &)> g_stepHook;

// False when a test makes this step fail as a full disk would.
bool stepAllowed(const QString &step)
{
    return !g_stepHook || g_stepHook(step);
}

#ifdef Q_OS_UNIX
// A rename is only as durable as its folder's entry.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#else
void syncFolder(const QString &) { }
#endif

bool sameBytes(const QString &path, const QByteArray &expected)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = f.readAll();
    return f.error() == QFileDevice::NoError && data == expected;
}

// Appends the staged line to target, once: a torn last line (a write cut
// short) is cut off first, and a line already ending the file under the
// same id (a replay after a crash) is not written again. Only ever appends.
// Cuts a last line without its CR LF (a write a crash cut short) off an
// open journal, reading only its end; *tail: the whole lines of that end.
bool cutTornLine(QFile &file, QByteArray *tail)
{
    const qint64 size = file.size();
    const qint64 tailFrom = std::max<qint64>(0, size - 65536);
    if (!file.seek(tailFrom))
        return false;
    const QByteArray end = file.read(size - tailFrom);
    qint64 whole = size;
    if (!end.isEmpty() && !end.endsWith("\r\n")) {
        const qsizetype lastEnd = end.lastIndexOf("\r\n");
        whole = lastEnd < 0 ? (tailFrom == 0 ? 0 : size) : tailFrom + lastEnd + 2;
        if (whole != size && !file.resize(whole))
            return false;
    }
    if (tail)
        *tail = end.left(whole - tailFrom);
    return true;
}

bool appendLine(const QString &staged, const QString &target, const QString &id)
{
    QFile in(staged);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = in.readAll();
    if (in.error() != QFileDevice::NoError || !line.endsWith("\r\n"))
        return false;
    if (!makeDataFolder(QFileInfo(target).absolutePath()))
        return false;
    QFile out(target);
    const bool existed = out.exists();
    if (!out.open(QIODevice::ReadWrite))
        return false;
    QByteArray wholeTail;
    if (!cutTornLine(out, &wholeTail))
        return false;
    const qint64 whole = out.size();
    const QByteArray startOfLine = "\r\n" + id.toUtf8() + '\t';
    const bool alreadyThere = ("\r\n" + wholeTail).contains(startOfLine);
    if (!alreadyThere) {
        if (!out.seek(whole) || out.write(line) != line.size() || !out.flush() || !platform::syncToDisk(out))
            return false;
    }
    out.close();
#ifdef Q_OS_UNIX
    if (!existed)
        ::chmod(QFile::encodeName(target).constData(), newFileMode(QFileInfo(target).absolutePath(), 0, false));
#endif
    return true;
}

// Carries out an intent's steps in order, each one safe to repeat: a rename
// whose staged file is gone was done before; a removal of a missing file too.
// Stops at the first step that fails, so no removal runs before the renames
// ahead of it are done.
bool applyIntent(const QDir &folder, const QStringList &steps, QString *error)
{
    for (const QString &step : steps) {
        const QStringList parts = step.split(QLatin1Char('\t'));
        if (parts.value(0) == QLatin1String("R") && parts.size() == 3) {
            const QString staged = folder.filePath(parts.at(1));
            const QString target = folder.filePath(parts.at(2));
            if (!stepAllowed(QStringLiteral("rename ") + parts.at(2))
                || (QFileInfo::exists(staged) && !platform::replaceFile(staged, target))) {
                setError(error,
                         QStringLiteral("ファイルを書き込めませんでした。") + QLatin1Char('\r') + nativePath(target));
                return false;
            }
        } else if (parts.value(0) == QLatin1String("D") && parts.size() == 2) {
            const QString target = folder.filePath(parts.at(1));
            if (!stepAllowed(QStringLiteral("remove ") + parts.at(1))
                || (QFileInfo::exists(target) && !QFile::remove(target))) {
                setError(error,
                         QStringLiteral("ファイルを削除できませんでした。") + QLatin1Char('\r') + nativePath(target));
                return false;
            }
        } else if (parts.value(0) == QLatin1String("A") && parts.size() == 4) {
            const QString staged = folder.filePath(parts.at(1));
            const QString target = QDir::cleanPath(folder.filePath(parts.at(2)));
            if (!QFileInfo::exists(staged))
                continue; // appended before
            if (!stepAllowed(QStringLiteral("append ") + parts.at(2)) || !appendLine(staged, target, parts.at(3))) {
                setError(error,
                         QStringLiteral("ファイルを書き込めませんでした。") + QLatin1Char('\r') + nativePath(target));
                return false;
            }
            // Appended: a crash before the staged line goes is caught by its id.
            if (!stepAllowed(QStringLiteral("appended ") + parts.at(2)) || !QFile::remove(staged)) {
                setError(error,
                         QStringLiteral("ファイルを書き込めませんでした。") + QLatin1Char('\r') + nativePath(target));
                return false;
            }
        } else if (parts.value(0) == QLatin1String("M") && parts.size() == 3) {
            // Done before when the folder is already out of its place.
            const QString from = QDir::cleanPath(folder.filePath(parts.at(1)));
            const QString aside = QDir::cleanPath(folder.filePath(parts.at(2)));
            if (!stepAllowed(QStringLiteral("move ") + parts.at(1))
                || (QFileInfo(from).isDir() && !QDir().rename(from, aside))) {
                setError(error,
                         QStringLiteral("ファイルを削除できませんでした。") + QLatin1Char('\r') + nativePath(from));
                return false;
            }
            syncFolder(QFileInfo(from).absolutePath());
        } else if (!step.isEmpty()) {
            setError(error, QStringLiteral("ファイルを読み込めませんでした。") + QLatin1Char('\r')
                                + nativePath(folder.filePath(kIntentName)));
            return false;
        }
    }
    return true;
}

} // namespace

void setStepHook(std::function<bool(const QString &)> hook)
{
    g_stepHook = std::move(hook);
}

Change::Change(QString folder)
    : m_folder(std::move(folder))
{ }

void Change::write(const QString &path, const QByteArray &data)
{
    m_writes.append({path, data});
}

void Change::moveAside(const QString &path, const QString &aside)
{
    m_moves.append({path, aside});
}

void Change::remove(const QString &path)
{
    m_removals.append(path);
}

void Change::append(const QString &path, const QByteArray &line, const QString &id)
{
    m_appends.append({path, line, id});
}

bool Change::commit(QString *error)
{
    const QDir folder(m_folder);
    // A change left unfinished by a crash or a failure comes first: its
    // intent must not be overwritten by this one's.
    if (!completeInterruptedChange(m_folder, error))
        return false;

    QStringList steps;
    std::vector<std::unique_ptr<StagedFile>> staged;
    for (const auto &w : std::as_const(m_writes)) {
        const QString relative = folder.relativeFilePath(w.first);
        if (relative.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(relative)) {
            setError(error,
                     QStringLiteral("ファイルを書き込めませんでした。") + QLatin1Char('\r') + nativePath(w.first));
            return false;
        }
        // Staged in the change's own folder: a clean-up of the target's
        // folder can then never take a file the intent still needs.
        auto file = std::make_unique<StagedFile>(w.first, m_folder);
        if (!stepAllowed(QStringLiteral("stage ") + relative)) {
            setError(error,
                     QStringLiteral("ファイルを書き込めませんでした。") + QLatin1Char('\r') + nativePath(w.first));
            return false;
        }
        if (!file->write(w.second, error))
            return false; // the staged ones remove themselves
        // What goes in its place must be what was meant, byte for byte.
        if (!sameBytes(file->stagedPath(), w.second)) {
            setError(error,
                     QStringLiteral("ファイルを書き込めませんでした。") + QLatin1Char('\r') + nativePath(w.first));
            return false;
        }
        steps << QStringLiteral("R\t%1\t%2").arg(QFileInfo(file->stagedPath()).fileName(), relative);
        staged.push_back(std::move(file));
    }
    for (const Append &a : std::as_const(m_appends)) {
        // A journal beside the change's folder (its own folder, or one next to
        // it) is appended to; its line is staged here like a file.
        const QString relative = folder.relativeFilePath(a.path);
        if (QDir::isAbsolutePath(relative) || relative.startsWith(QLatin1String("../../")) || a.id.isEmpty()
            || a.id.contains(QLatin1Char('\t')) || !a.line.endsWith("\r\n")) {
            setError(error,
                     QStringLiteral("ファイルを書き込めませんでした。") + QLatin1Char('\r') + nativePath(a.path));
            return false;
        }
        auto file = std::make_unique<StagedFile>(a.path, m_folder);
        if (!stepAllowed(QStringLiteral("stage ") + relative) || !file->write(a.line, error)) {
            setError(error,
                     QStringLiteral("ファイルを書き込めませんでした。") + QLatin1Char('\r') + nativePath(a.path));
            return false;
        }
        steps << QStringLiteral("A\t%1\t%2\t%3").arg(QFileInfo(file->stagedPath()).fileName(), relative, a.id);
        staged.push_back(std::move(file));
    }
    for (const auto &m : std::as_const(m_moves)) {
        const QString from = folder.relativeFilePath(m.first);
        const QString aside = folder.relativeFilePath(m.second);
        const auto near = [](const QString &r) {
            return !QDir::isAbsolutePath(r) && !r.startsWith(QLatin1String("../../")) && r != QLatin1String("..")
                   && r != QLatin1String(".") && !r.contains(QLatin1Char('\t'));
        };
        if (!near(from) || !near(aside) || QFileInfo::exists(m.second) || !QFileInfo(m.first).isDir()) {
            setError(error,
                     QStringLiteral("ファイルを削除できませんでした。") + QLatin1Char('\r') + nativePath(m.first));
            return false;
        }
        steps << QStringLiteral("M\t%1\t%2").arg(from, aside);
    }
    for (const QString &path : std::as_const(m_removals)) {
        const QString relative = folder.relativeFilePath(path);
        if (relative.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(relative)) {
            setError(error, QStringLiteral("ファイルを削除できませんでした。") + QLatin1Char('\r') + nativePath(path));
            return false;
        }
        steps << QStringLiteral("D\t") + relative;
    }

    // The intent, written last and whole, is the moment the change happens:
    // from here on a crash is completed at the next start.
    const QString intent = folder.filePath(kIntentName);
    QByteArray intentBytes;
    if (!encodeLines(intent, steps, &intentBytes, error))
        return false;
    if (!stepAllowed(QStringLiteral("intent"))) {
        setError(error, QStringLiteral("ファイルを書き込めませんでした。") + QLatin1Char('\r') + nativePath(intent));
        return false;
    }
    if (!writeAtomic(intent, intentBytes, error))
        return false;
    for (auto &file : staged)
        file->keep();
    syncFolder(m_folder);

    if (!applyIntent(folder, steps, error))
        return false; // the intent stays: the next change or start finishes it
    stepAllowed(QStringLiteral("done"));
    for (const auto &w : std::as_const(m_writes))
        syncFolder(QFileInfo(w.first).absolutePath());
    QFile::remove(intent);
    return true;
}

bool completeInterruptedChange(const QString &folder, QString *error)
{
    const QDir dir(folder);
    const QString intent = dir.filePath(kIntentName);
    if (!QFileInfo::exists(intent))
        return true;
    QStringList steps;
    if (!readLines(intent, &steps, error) || !applyIntent(dir, steps, error))
        return false;
    syncFolder(folder);
    return QFile::remove(intent) || !QFileInfo::exists(intent);
}

bool writeTogether(const QList<QPair<QString, QByteArray>> &files, QString *error)
{
    if (files.isEmpty())
        return true;
    Change change(QFileInfo(files.constFirst().first).absolutePath());
    for (const auto &f : files)
        change.write(f.first, f.second);
    return change.commit(error);
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
        if (!stepAllowed(QStringLiteral("stage ") + QFileInfo(files.at(i).first).fileName())) {
            if (errors)
                *errors << QStringLiteral("ファイルを書き込めませんでした。");
            continue;
        }
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

bool cutTornLine(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return true;
    return file.open(QIODevice::ReadWrite) && cutTornLine(file, nullptr);
}

bool isStagingFile(const QString &fileName)
{
    return fileName.startsWith(kStagePrefix);
}

void removeStaleStagingFiles(const QString &folder)
{
    // An interrupted change is finished first: its staged files are data.
    // If it cannot be finished now, nothing here is touched.
    QString error;
    if (!completeInterruptedChange(folder, &error))
        return;
    QDir dir(folder);
    const QStringList stale = dir.entryList({kStagePrefix + QLatin1Char('*')},
                                            QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString &name : stale)
        dir.remove(name);
}

} // namespace velto::textfile
