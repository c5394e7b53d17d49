// A full ward for the X figures, in a folder of its own that outlives the
// program: 240 occupied beds with complete records, the facility, `days`
// snapshot days (the newest 365 with their layout files, the others empty
// folders) and `kept` kept records. Prints the folder.
//   make_ward DAYS KEPT
#include <QCoreApplication>
#include <QTextStream>

#include "benchlayout.h"

using namespace velto;
using namespace velto::bench;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        qFatal("usage: make_ward DAYS KEPT");
    const int days = QByteArray(argv[1]).toInt();
    const int kept = QByteArray(argv[2]).toInt();
    Ward ward;
    ward.dir.setAutoRemove(false);
    writeLayout(ward, ward.path("DB"));
    ward.writeRecords();
    ward.writeFacility();
    const QStringList names = ward.makeSnapshotFolders(days);
    for (int i = 0; i < std::min<int>(365, int(names.size())); ++i)
        writeLayout(ward, ward.path("BackUp/" + names.at(i)), i + 1);
    for (int i = 0; i < kept; ++i) {
        QFile f(ward.path("DB/Out/" + QStringLiteral("退院%1_花子_昭和20年1月1日").arg(i, 5, 10, QLatin1Char('0'))));
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write a kept record");
    }
    QTextStream(stdout) << ward.ctx.appDir << '\n';
    return 0;
}
