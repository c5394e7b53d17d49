#pragma once
// What the record window needs from the window that opens it (the board):
// the bed's entry, which day is shown, and where a save goes back to.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>

#include "store/wardstore.h"

class QWidget;

namespace velto {

struct RecordHost {
    QString bedEntry;       // the chosen bed's patient key; empty for a free bed
    bool today = true;      // false while the board shows a snapshot day
    QString snapshotFolder; // the snapshot folder's name when !today
    // False while the board is read-only (its layout did not load whole).
    bool canSave = true;
    // After a save: the bed takes the family name as caption and the key as entry.
    std::function<void(const QString &key, const QString &caption)> onSaved;
    // The layout files with the bed naming key, saved in one change with the
    // record. Empty: the record alone is written.
    std::function<bool(const QString &key, WardChange *change)> layoutWithKey;
    // True when the key is the entry of another bed: saving under it would
    // overwrite that patient's record. Empty: no other bed is checked.
    std::function<bool(const QString &key)> keyTakenByOtherBed;
    // The help viewer at its keyword index, owned by the given window.
    std::function<void(QWidget *owner)> showHelp;
    // The print dialog over the record window; it reads the window's fields.
    std::function<void(QWidget *recordWindow)> print;
};

} // namespace velto
