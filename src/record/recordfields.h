#pragma once
// The keys of the patient record file and the record window's field for
// each: the window is built from this table, the file is written in its order.
#include <QString>
#include <QStringList>
#include <QVector>

#include "patientrecord.h"

namespace velto {

enum class FieldKind {
    Text,         // one-line text box with a length limit
    EditableList, // drop-down list that also takes typed text
    FixedList,    // drop-down list, items only (birth year, month, day)
    AgeList,      // the age list: always disabled, filled from the birth date
    PhotoPath,    // hidden text box holding the face photo path
    SaveStamp,    // no field: who saved the record last, and when
};

enum class InputMode { Default, Off, Hiragana };

struct RecordField {
    QString key;       // three characters: "000" … "400", "A01" … "A10"
    QString control;   // control name; for a line group the array's name
    int index = -1;    // line of a line group, -1 for a single control
    int maxLength = 0; // characters; 0 = no limit
    FieldKind kind = FieldKind::Text;
    InputMode inputMode = InputMode::Default;
    int tab = -1;    // tab of the record window, -1 when not shown
    QString caption; // label shown before the field (the group's, for a line)
    QString suffix;  // unit shown after the field ("℃", "cm"), mostly empty

    // "txtID", or "txtShindan_0" for line 0 of a group.
    QString objectName() const;
    bool isLine() const { return index >= 0; }
    bool hasControl() const { return kind != FieldKind::SaveStamp; }
};

struct RecordTab {
    QString caption; // exactly as shown, leading spaces included
    QString frame;   // caption of the tab's frame; empty for the first tab
};

// The 237 fields in the order the file is written.
const QVector<RecordField> &recordFields();

// The captions of the fields whose values differ, in the fields' order,
// each caption once (the lines of a note share theirs): what the history
// says a save changed. Fields without a caption of their own are named by
// the caption before them; values are never named.
QStringList changedFieldCaptions(const PatientRecord &before, const PatientRecord &after);
// The 237 keys in write order.
const QStringList &recordWriteOrder();
// The field of a key, or nullptr for a reserved or unknown key.
const RecordField *recordField(const QString &key);
// The field shown by a control ("txtShindan_2"), or nullptr.
const RecordField *recordFieldByObjectName(const QString &objectName);
// The line fields of a group in line order ("txtKeireki" gives 40).
QVector<const RecordField *> recordLineGroup(const QString &control);

// Keys 110 and 111: never written, skipped when read.
bool isReservedRecordKey(const QString &key);

// Items of a list control in display order; empty for a non-list.
QStringList recordListItems(const QString &control);

// The 21 tabs of the record window.
const QVector<RecordTab> &recordTabs();

// Value a field starts with in a new or freshly opened record.
QString recordInitialValue(const QString &key);
// Every key with its initial value: empty, the paralysis list "なし".
PatientRecord newPatientRecord();

namespace recordkey {
inline const QString FamilyName = QStringLiteral("003");
inline const QString GivenName = QStringLiteral("004");
inline const QString Age = QStringLiteral("006");
inline const QString Era = QStringLiteral("007");
inline const QString Year = QStringLiteral("008");
inline const QString Month = QStringLiteral("009");
inline const QString Day = QStringLiteral("010");
inline const QString LastSystolic = QStringLiteral("051");
inline const QString LastDiastolic = QStringLiteral("052");
inline const QString Paralysis = QStringLiteral("072");
inline const QString SavedBy = QStringLiteral("300");
inline const QString SavedByName = QStringLiteral("301");
inline const QString SavedAt = QStringLiteral("302");
inline const QString PhotoPath = QStringLiteral("400");
} // namespace recordkey

} // namespace velto
