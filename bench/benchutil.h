#pragma once
// Shared by the in-process benchmarks: first-paint timing and the ward's
// data (a full board, complete records, many snapshot days).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

#include "benchrow.h"
#include "board/boardmodel.h"
#include "core/eradate.h"
#include "core/textfile.h"
#include "facility/facilityinfo.h"
#include "record/recordfields.h"
#include "record/recordfile.h"
#include "support/testcontext.h"

namespace velto::bench {

// Milliseconds from the start of make() to the first paint of the window it
// returns (shown by this function), the way a user sees a window appear.
// The window is deleted afterwards.
inline double firstPaintMs(const std::function<QWidget *()> &make)
{
    struct PaintSeen : QObject {
        QElapsedTimer *timer;
        double at = -1;
        explicit PaintSeen(QElapsedTimer *t)
            : timer(t)
        { }
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint && at < 0)
                at = msSince(*timer);
            return false;
        }
    };
    QElapsedTimer t;
    t.start();
    QWidget *w = make();
    PaintSeen seen(&t);
    w->installEventFilter(&seen);
    w->show();
    while (seen.at < 0 && t.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    w->removeEventFilter(&seen);
    delete w;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return seen.at;
}

// Alternating runs of the program's window and its baseline, medians of both
// (one warm-up round first, not counted).
inline std::pair<double, double> paintPair(int runs, const std::function<QWidget *()> &window,
                                           const std::function<QWidget *()> &baseline)
{
    QList<double> a, b;
    for (int i = 0; i <= runs; ++i) {
        const double wa = firstPaintMs(window);
        const double wb = firstPaintMs(baseline);
        if (i > 0) {
            a << wa;
            b << wb;
        }
    }
    return {median(a), median(b)};
}

// ---- the ward's data ---------------------------------------------------------

inline const QStringList &familyNames()
{
    static const QStringList n
        = QStringLiteral("佐藤 鈴木 高橋 田中 伊藤 渡辺 山本 中村 小林 加藤 吉田 山田 佐々木 山口 松本 "
                         "井上 木村 林 斎藤 清水 山崎 森 池田 橋本 阿部 石川 山下 中島 石井 小川")
              .split(' ');
    return n;
}

inline const QStringList &givenNames()
{
    static const QStringList n = QStringLiteral("一郎 花子 次郎 和子 三郎 幸子 健太 美香").split(' ');
    return n;
}

// A value for every field, as long as the field takes (capped for the long
// free texts), birth date 昭和10年5月3日 + bed number in days.
inline PatientRecord completeRecord(int bed)
{
    static const QString filler
        = QStringLiteral("既往歴に高血圧症あり内服継続中。夜間の不眠と食欲低下を認め経過観察を要する。");
    PatientRecord r = newPatientRecord();
    for (const RecordField &f : recordFields()) {
        switch (f.kind) {
        case FieldKind::Text: {
            const int len = f.maxLength > 0 ? std::min(f.maxLength, 60) : 60;
            r.setValue(f.key, filler.repeated(3).left(len));
            break;
        }
        case FieldKind::EditableList: {
            const QStringList items = recordListItems(f.control);
            r.setValue(f.key, items.isEmpty() ? filler.left(10) : items.last());
            break;
        }
        case FieldKind::FixedList:
        case FieldKind::AgeList:
        case FieldKind::PhotoPath: // no photo: the picture's own decoding is not ours
        case FieldKind::SaveStamp:
            break;
        }
    }
    r.setValue(recordkey::FamilyName, familyNames().at(bed / 8 % familyNames().size()));
    r.setValue(recordkey::GivenName, givenNames().at(bed % 8));
    r.setValue(QStringLiteral("005"), QStringLiteral("男"));
    r.setValue(recordkey::Era, QStringLiteral("昭和"));
    r.setValue(recordkey::Year, QStringLiteral("%1年").arg(10 + bed % 50));
    r.setValue(recordkey::Month, QStringLiteral("%1月").arg(1 + bed % 12));
    r.setValue(recordkey::Day, QStringLiteral("%1日").arg(1 + bed % 28));
    r.setValue(recordkey::Age, QString());
    return r;
}

// A full authority account on a fixed day (2026-12-10).
struct Ward : test::TestContext {
    QStringList keys; // the patient key of each bed

    Ward()
    {
        makeFolders();
        ctx.currentAccount = {QStringLiteral("nurse1"), Authority::Full, QStringLiteral("山田"), QStringLiteral("pw")};
        ctx.todayEraDate = eraDateOf(clock.now().date());
        for (int bed = 0; bed < BoardModel::BedCount; ++bed)
            keys << makePatientKey(completeRecord(bed));
    }

    // The 240 record files in "DB".
    void writeRecords()
    {
        for (int bed = 0; bed < BoardModel::BedCount; ++bed)
            if (!writePatientRecord(ctx, RecordRef::today(keys.at(bed)), completeRecord(bed)))
                qFatal("record %d not written", bed);
    }

    void writeFacility()
    {
        FacilityInfo info;
        info.hospitalName = QStringLiteral("市立中央病院");
        info.departmentName = QStringLiteral("内科第二病棟");
        info.zip1 = QStringLiteral("100");
        info.zip2 = QStringLiteral("0001");
        info.address1 = QStringLiteral("東京都千代田区千代田一丁目一番一号");
        info.address2 = QStringLiteral("中央ビル三階");
        info.tel = QStringLiteral("03-1234-5678");
        info.fax = QStringLiteral("03-1234-5679");
        info.mail = QStringLiteral("ward@example.jp");
        if (!saveFacilityInfo(ctx, info))
            qFatal("facility not written");
    }

    // `count` day folders before today (empty: only their names are read).
    QStringList makeSnapshotFolders(int count) const
    {
        QStringList names;
        const QDate today = clock.now().date();
        for (int i = 1; i <= count; ++i) {
            const QString name = eraDateOf(today.addDays(-i));
            QDir().mkpath(path("BackUp/" + name));
            names << name;
        }
        return names;
    }
};

} // namespace velto::bench
