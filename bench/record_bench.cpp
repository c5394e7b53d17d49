// The record window on a complete record until its first page is drawn,
// against a dialog with as many plain line edits and combo boxes on a stacked
// widget, every page built; and the save of a complete record against a bare
// atomic write of the same bytes.
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QLineEdit>
#include <QSaveFile>
#include <QScrollArea>
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

// Milliseconds from the start of make() until the page the window shows
// first is drawn: its own paint and, in the same pass, its fields'. The
// window is deleted afterwards.
double pageDrawnMs(const std::function<QWidget *()> &make, const std::function<QWidget *(QWidget *)> &visiblePage)
{
    struct PaintSeen : QObject {
        bool seen = false;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                seen = true;
            return false;
        }
    };
    QElapsedTimer t;
    t.start();
    QWidget *w = make();
    QWidget *page = visiblePage(w);
    if (!page)
        qFatal("no visible page");
    PaintSeen paint;
    page->installEventFilter(&paint);
    w->show();
    while (!paint.seen && t.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const double drawn = msSince(t);
    page->removeEventFilter(&paint);
    delete w;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return drawn;
}

QWidget *recordFirstPage(QWidget *w)
{
    auto *holder = w->findChild<QScrollArea *>(QStringLiteral("SSTab1_page_0"));
    return holder ? holder->widget() : nullptr;
}

QWidget *plainFirstPage(QWidget *w)
{
    auto *pages = w->findChild<QStackedWidget *>();
    return pages ? pages->currentWidget() : nullptr;
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
    const auto openRecord = [&] {
        RecordHost host;
        host.bedEntry = key;
        return static_cast<QWidget *>(new PatientRecordDialog(ward.ctx, host));
    };
    const auto openPlain = [&] { return plainRecordDialog(record); };

    // The first record window of the process measures the pages' sizes once;
    // the plain dialog goes first so that neither pays the fonts' loading.
    pageDrawnMs(openPlain, plainFirstPage);
    const double firstWindow = pageDrawnMs(openRecord, recordFirstPage);
    const double firstPlain = pageDrawnMs(openPlain, plainFirstPage);

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
    // Alternating, one round to warm up first (not counted).
    QList<double> windowRuns, plainRuns;
    for (int i = 0; i <= runs; ++i) {
        const double w = pageDrawnMs(openRecord, recordFirstPage);
        const double p = pageDrawnMs(openPlain, plainFirstPage);
        if (i > 0) {
            windowRuns << w;
            plainRuns << p;
        }
    }
    int controls = 0;
    for (const RecordField &f : recordFields())
        controls += f.hasControl();
    const QByteArray figure = QStringLiteral("record window opened until its first page is drawn (%1 fields filled)")
                                  .arg(controls)
                                  .toUtf8();
    printRow(figure.constData(), median(windowRuns), median(plainRuns), "plain dialog, every page built", {0.5, 150});
    printRow("the same, the process's first record window", firstWindow, firstPlain, "plain dialog, every page built",
             {});

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
