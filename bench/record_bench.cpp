// The record window on a complete record to its first paint, against a dialog
// with as many plain line edits and combo boxes on a stacked widget; and the
// save of a complete record against a bare atomic write of the same bytes.
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QLineEdit>
#include <QSaveFile>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "benchutil.h"
#include "record/recordsave.h"
#include "ui/patientrecorddialog.h"

using namespace velto;
using namespace velto::bench;

namespace {

// The yardstick: every field of the table as a plain control holding the
// same value (lists with the same items), one stacked page per tab.
QWidget *plainRecordDialog(const PatientRecord &record)
{
    auto *d = new QDialog;
    auto *layout = new QVBoxLayout(d);
    auto *pages = new QStackedWidget(d);
    layout->addWidget(pages);
    QVector<QFormLayout *> forms;
    for (int tab = 0; tab < recordTabs().size(); ++tab) {
        auto *page = new QWidget;
        forms << new QFormLayout(page);
        pages->addWidget(page);
    }
    for (const RecordField &f : recordFields()) {
        if (!f.hasControl())
            continue;
        QWidget *field = nullptr;
        if (f.kind == FieldKind::Text || f.kind == FieldKind::PhotoPath) {
            auto *e = new QLineEdit(record.value(f.key));
            if (f.maxLength > 0)
                e->setMaxLength(f.maxLength);
            field = e;
        } else {
            auto *c = new QComboBox;
            c->setEditable(f.kind != FieldKind::FixedList);
            c->addItems(recordListItems(f.control));
            c->setCurrentText(record.value(f.key));
            field = c;
        }
        forms.at(qBound(0, f.tab, int(forms.size()) - 1))->addRow(f.caption, field);
    }
    return d;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = runsFrom(argc, argv, 15);

    Ward ward;
    ward.writeRecords();
    const PatientRecord record = completeRecord(0);
    const QString key = ward.keys.at(0);

    {
        RecordHost host;
        host.bedEntry = key;
        PatientRecordDialog w(ward.ctx, host);
        const PatientRecord shown = w.record();
        for (const RecordField &f : recordFields())
            if (f.kind == FieldKind::Text && shown.value(f.key) != record.value(f.key))
                qFatal("record not shown whole: %s", qPrintable(f.key));
        if (w.readOnlyMode())
            qFatal("record window read-only");
    }
    const auto [window, plain] = paintPair(
        runs,
        [&] {
            RecordHost host;
            host.bedEntry = key;
            return new PatientRecordDialog(ward.ctx, host);
        },
        [&] { return plainRecordDialog(record); });
    int controls = 0;
    for (const RecordField &f : recordFields())
        controls += f.hasControl();
    const QByteArray figure
        = QStringLiteral("record window opened to first paint (%1 fields filled)").arg(controls).toUtf8();
    printRow(figure.constData(), window, plain, "plain dialog, same controls", {1.5, 150});

    // Saving the record over its own file (same key).
    const QString file = ward.path(QStringLiteral("DB/") + key);
    const double save = timeMedian(runs * 2, [&] {
        QString oldKey = key;
        if (savePatientRecord(ward.ctx, record, true, &oldKey).outcome != SaveResult::Saved)
            qFatal("record not saved");
    });
    QFile in(file);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    in.close();
    const double raw = timeMedian(runs * 2, [&] {
        QSaveFile out(ward.path("DB/raw.tmp"));
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        out.commit();
    });
    printRow("save of a complete record", save, raw, "QSaveFile of its bytes", {0, 10});
    return 0;
}
