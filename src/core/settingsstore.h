#pragma once
// Per-user settings of application "Quolmar": sections "Pass" and "Option".
#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>

namespace velto {

class SettingsStore {
public:
    // Who may read the file besides its owner: nobody (the user's own file,
    // which holds passwords), or the folder's group (a ward's shared file,
    // whose passwords are hashed).
    enum class Sharing { OwnerOnly, Group };
    // filePath: the INI file; defaultPath() gives the user's own one.
    explicit SettingsStore(QString filePath, Sharing sharing = Sharing::OwnerOnly);
    virtual ~SettingsStore() = default;
    static QString defaultPath();

    QString filePath() const { return m_path; }

    // False when the file exists but could not be read as settings (no
    // right to read it, a folder in its place, not in INI form). Such a
    // store is never a first start, and commit() refuses to replace the file.
    bool readable() const { return m_readable; }

    // True when the store holds no value at all (the very first start).
    bool isEmpty() const;
    // A missing key reads as the empty text.
    QString value(const QString &section, const QString &key) const;
    bool contains(const QString &section, const QString &key) const;

    // Changes are collected and written by commit().
    void setValue(const QString &section, const QString &key, const QString &value);
    void removeSection(const QString &section);

    // Writes every value the store holds, not only the changes. The file is
    // replaced whole only after the new content has been written and read
    // back equal; it is readable by its owner only. On failure the old file
    // stays, the store keeps its values and *error says why.
    virtual bool commit(QString *error = nullptr);
    // After a failed commit: another terminal had changed the same values
    // first (a store shared by several terminals), so nothing was written.
    bool commitConflicted() const { return m_conflicted; }

    // Rereads the file (drops uncommitted changes). When the file cannot be
    // read, the store returns to what it last read or wrote, never to empty.
    virtual void reload();
    // Before a window shows the values: a store shared by several terminals
    // rereads them unless this one has changes not yet committed. True when
    // it did.
    virtual bool refresh() { return false; }

    // Every setValue ("section/key") and removeSection ("-section") in call
    // order, so the order of writes can be checked.
    const QStringList &journal() const { return m_journal; }

protected:
    using Map = QMap<QString, QString>; // "section/key" -> value
    // A store kept elsewhere than in a file (the ward database).
    SettingsStore() = default;
    void setStored(const Map &values)
    {
        m_values = values;
        m_stored = values;
    }
    const Map &values() const { return m_values; }
    const Map &stored() const { return m_stored; }
    void revert() { m_values = m_stored; }
    void setConflicted(bool conflicted) { m_conflicted = conflicted; }
    static QString fullKey(const QString &section, const QString &key);

private:
    enum class ReadResult { Missing, Read, Unreadable };
    ReadResult readFile(Map *map) const;
    void tightenPermissions() const;

    QFile::Permissions permissions() const;

    QString m_path;
    Sharing m_sharing = Sharing::OwnerOnly;
    Map m_values;
    Map m_stored; // what the file held when last read or written
    bool m_readable = true;
    bool m_conflicted = false;
    QStringList m_journal;
};

} // namespace velto
