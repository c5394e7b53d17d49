#pragma once
// Line files in code page 932 (Windows-31J), every line ended by CR LF.
// Every data file of the program goes through here.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace velto::textfile {

// Start-up check: the converter exists and maps 81 60 to U+FF5E.
bool converterUsable(QString *why = nullptr);

// Encodes text to code page 932. Six characters that Linux input methods
// type in place of their CP932 twins are mapped first. Characters that the
// code page cannot hold make the call fail; *error then names them.
bool encode(const QString &text, QByteArray *out, QString *error);

// The six typed characters replaced by the ones the file will hold, so that
// a name used both as file name and inside a file stays one name.
QString mapTypedCharacters(const QString &text);

// Decodes code page 932; an invalid or truncated byte sequence fails.
bool decode(const QByteArray &bytes, QString *out, QString *error);

// Reads a regular file whole; a FIFO or device is refused, never waited on.
bool readFile(const QString &path, QByteArray *bytes, QString *error);
// Splits bytes into lines as readLinesEach does.
void decodeLinesEach(const QByteArray &bytes, QStringList *lines, QList<int> *badLines);
// Reads a whole line file. CR LF, LF and a lone CR all end a line (files
// edited elsewhere); a last line without an end is accepted; an empty file
// gives no lines. Fails (with *error naming the file and the first bad line)
// when the file is no regular file, cannot be read or a line does not decode.
bool readLines(const QString &path, QStringList *lines, QString *error);

// The same, line by line: a line that does not decode is given as empty and
// its number (from 1) listed in *badLines, every other line as it stands.
// Fails only when the file cannot be read at all.
bool readLinesEach(const QString &path, QStringList *lines, QList<int> *badLines, QString *error);

// The reason given when line (from 1) of path does not decode.
QString undecodableLineText(const QString &path, int line);

// The characters of text the code page cannot hold, each with its code point
// ("𠮷（U+20BB7）、é（U+00E9）"); empty when the files can hold all of it.
QString unholdableCharacters(const QString &text);

// The refusal of a typed value the files cannot hold, naming the field and
// the characters; empty when the value can be stored.
QString fieldRefusal(const QString &fieldName, const QString &value);

// Creates a data folder and its parents. In a folder shared through its
// group (setgid), new folders get 2770 so every member can write in them.
bool makeDataFolder(const QString &path);

// Writes every line + CR LF, replacing the file atomically: afterwards either
// the old or the new file is whole. Nothing is written when a line cannot be
// encoded or the disk refuses part of it.
bool writeLines(const QString &path, const QStringList &lines, QString *error);

// The bytes writeLines would write: every line + CR LF in code page 932.
// Fails for a line holding a line break or a character the code page lacks.
bool encodeLines(const QString &path, const QStringList &lines, QByteArray *out, QString *error);

// Replaces several files as one change (see Change; the intent is kept in
// the first file's folder): when any of them cannot be written in full, none
// is replaced, and a crash midway is completed at the next start.
bool writeTogether(const QList<QPair<QString, QByteArray>> &files, QString *error);

// A change of several files in one folder and below it, as one step: the new
// files are staged in full, then an intent listing the renames and removals
// is written, then they are carried out in order (the writes in the order
// given, then the removals). Until the intent exists nothing has changed; once
// it does, completeInterruptedChange finishes the change after a crash.
// New files follow the umask (0660 in a group-shared folder); replaced ones
// keep their mode.
class Change {
public:
    explicit Change(QString folder);
    void write(const QString &path, const QByteArray &data);
    void remove(const QString &path);
    // Appends line (ending in CR LF) to the journal at path, after the
    // writes and before the removals, exactly once: id starts the line, so a
    // change completed again after a crash finds it and does not repeat it;
    // a torn last line left by a crash is cut off first. path is in the
    // change's folder or in a folder beside it ("../log/...").
    void append(const QString &path, const QByteArray &line, const QString &id);
    // Renames the folder at path to aside, after the appends and before the
    // removals: a folder deleted with the change goes out of sight at once
    // and is removed whole afterwards. Both are in the change's folder or
    // one beside it ("../BackUp/..."); aside must not exist.
    void moveAside(const QString &path, const QString &aside);
    // False with *error when the change did not happen; when it failed after
    // its intent was written, the rest is done at the next change or start.
    bool commit(QString *error);

private:
    QString m_folder;
    struct Append {
        QString path;
        QByteArray line;
        QString id;
    };
    QList<QPair<QString, QByteArray>> m_writes;
    QList<Append> m_appends;
    QList<QPair<QString, QString>> m_moves;
    QStringList m_removals;
};

// Cuts a last line without its CR LF off the journal at path (what a crash
// left of an append), reading only the file's end. True when there was
// nothing to cut or it is cut.
bool cutTornLine(const QString &path);

// Finishes a change that a crash or failure interrupted in folder. True when
// there was none or it is now complete.
bool completeInterruptedChange(const QString &folder, QString *error);

// Tests only: called with the name of each step of a change before it is
// taken ("stage ROOM.WBD", "intent", "rename ROOM.WBD", "remove x", "done"),
// and with each file writeEachAtomic stages;
// returning false makes that step fail as a full disk would, and a test can
// also end the process there.
void setStepHook(std::function<bool(const QString &step)> hook);

// Atomic replace of a file's whole content (shared by the writers above).
bool writeAtomic(const QString &path, const QByteArray &data, QString *error);

// Replaces each file atomically, flushing them to disk together: faster than
// one by one for many files. Returns which were replaced; the messages of
// those that were not go to *errors.
QVector<bool> writeEachAtomic(const QList<QPair<QString, QByteArray>> &files, QStringList *errors);

// Files being written are staged under a hidden name beside their target;
// a crash can leave one behind. Such files are never data.
bool isStagingFile(const QString &fileName);
// Completes an interrupted change of folder first, then removes the staged
// files nothing needs; leaves everything when the change cannot complete.
void removeStaleStagingFiles(const QString &folder);

} // namespace velto::textfile
