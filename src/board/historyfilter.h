#pragma once
// What the history window shows of the ward's history, and its CSV export.
#include <QByteArray>
#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

#include "core/history.h"

namespace velto {

// Every condition is optional: an invalid date or an empty text does not
// narrow the list.
struct HistoryFilter {
    QDate from; // first day shown, inclusive
    QDate to;   // last day shown, inclusive
    // What a nurse types of a patient: one or more words (separated by
    // spaces, half- or full-width), each of which must occur in the
    // patient's key "family_given_birth date" — "佐藤", "一郎", "佐藤 一郎",
    // "昭和10年" or the whole key. Neither case nor width matters
    // ("１０" finds "10", "ｻﾄｳ" finds "サトウ").
    QString patient;
    QString loginId; // the staff member's login ID, exactly
};

bool patientMatches(const QString &patientKey, const QString &typed);

// The events that pass filter, newest first; events of the same second
// keep the history's order reversed (the later recorded first).
QList<HistoryEvent> filterHistory(const QList<HistoryEvent> &events, const HistoryFilter &filter);

// Every login ID seen in events, sorted, each with the staff name of its
// latest event.
QList<QPair<QString, QString>> staffInHistory(const QList<HistoryEvent> &events);

// A patient key as a nurse reads it: "佐藤 一郎（昭和10年5月3日）". A key
// not of three parts is shown as it stands.
QString patientDisplayName(const QString &patientKey);

// The CSV file of events in the order given: the column captions, then one
// row per event, fields quoted only when they hold a quote, comma, CR or LF;
// code page 932, CR LF. False with the text file module's error when a value
// cannot be held in code page 932 (nothing is written as "?").
bool historyCsv(const QList<HistoryEvent> &events, QByteArray *out, QString *error);
// The same written to path atomically: the old file stays whole on failure.
bool exportHistoryCsv(const QString &path, const QList<HistoryEvent> &events, QString *error);

} // namespace velto
