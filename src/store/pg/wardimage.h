#pragma once
// A whole ward as the folder store holds it, for copying it into the
// database and back.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

#include "core/history.h"
#include "store/wardstore.h"

namespace velto {

struct WardImage {
    struct Record {
        RecordPlace place = RecordPlace::Today; // Today or Kept
        QString key;
        QByteArray bytes;
        QString photoPath;               // as the record names it
        std::optional<QByteArray> photo; // its bytes, when they were found
    };
    struct File {
        QByteArray name; // the bytes of its name, as a folder holds it
        QByteArray content;
    };
    std::optional<LayoutLines> layout;
    QList<Record> records;
    QMap<QString, QList<File>> snapshots; // by day
    std::optional<QByteArray> facility;
    QMap<QString, QString> settings; // "Pass/..." and "Option/..."
    QList<HistoryEvent> history;     // oldest first
};

} // namespace velto
