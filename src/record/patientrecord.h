#pragma once
// One patient's record in memory: a text value per key of the record file.
#include <QMap>
#include <QString>

namespace velto {

class PatientRecord {
public:
    // Missing keys read as the empty text.
    QString value(const QString &key) const { return m_values.value(key); }
    void setValue(const QString &key, const QString &v) { m_values.insert(key, v); }
    bool operator==(const PatientRecord &o) const { return m_values == o.m_values; }
    const QMap<QString, QString> &values() const { return m_values; }

private:
    QMap<QString, QString> m_values;
};

} // namespace velto
