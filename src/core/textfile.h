#pragma once
// Line files in code page 932 (Windows-31J), every line ended by CR LF.
// Every data file of the program goes through here.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

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

// Reads a whole line file. A last line without CR LF is accepted; an empty
// file gives no lines. Fails (with *error) when the file cannot be opened or
// does not decode.
bool readLines(const QString &path, QStringList *lines, QString *error);

// Writes every line + CR LF, replacing the file atomically: afterwards either
// the old or the new file is whole. Nothing is written when a line cannot be
// encoded or the disk refuses part of it.
bool writeLines(const QString &path, const QStringList &lines, QString *error);

// The bytes writeLines would write: every line + CR LF in code page 932.
// Fails for a line holding a line break or a character the code page lacks.
bool encodeLines(const QString &path, const QStringList &lines, QByteArray *out, QString *error);

// Replaces several files as one change: when any of them cannot be written
// in full, none is replaced.
bool writeTogether(const QList<QPair<QString, QByteArray>> &files, QString *error);

// Atomic replace of a file's whole content (shared by the writers above).
bool writeAtomic(const QString &path, const QByteArray &data, QString *error);

// Replaces each file atomically, flushing them to disk together: faster than
// one by one for many files. Returns which were replaced; the messages of
// those that were not go to *errors.
QVector<bool> writeEachAtomic(const QList<QPair<QString, QByteArray>> &files, QStringList *errors);

// Files being written are staged under a hidden name beside their target;
// a crash can leave one behind. Such files are never data.
bool isStagingFile(const QString &fileName);
void removeStaleStagingFiles(const QString &folder);

} // namespace velto::textfile
