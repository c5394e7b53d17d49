#pragma once
// Per-user settings of application "Quolmar": sections "Pass" and "Option".
#include <QMap>
#include <QString>
#include <QStringList>

namespace velto {

class SettingsStore {
public:
    // filePath: the INI file; defaultPath() gives the user's own one.
    explicit SettingsStore(QString filePath);
    static QString defaultPath();

    QString filePath() const { return m_path; }

    // True when the store holds no value at all (the very first start).
    bool isEmpty() const;
    // A missing key reads as the empty text.
    QString value(const QString &section, const QString &key) const;
    bool contains(const QString &section, const QString &key) const;

    // Changes are collected and written by commit().
    void setValue(const QString &section, const QString &key, const QString &value);
    void removeSection(const QString &section);

    // Writes the pending changes. The file is replaced whole only after the
    // new content has been written and read back equal; it is readable by
    // its owner only. On failure the old file stays and *error says why.
    bool commit(QString *error = nullptr);

    // Rereads the file (drops uncommitted changes).
    void reload();

    // Every setValue ("section/key") and removeSection ("-section") in call
    // order, so the order of writes can be checked.
    const QStringList &journal() const { return m_journal; }

private:
    using Map = QMap<QString, QString>; // "section/key" -> value
    static QString fullKey(const QString &section, const QString &key);
    Map readFile() const;

    QString m_path;
    Map m_values;
    QStringList m_journal;
};

} // namespace velto
