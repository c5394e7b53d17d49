// Saves every data file again and again, cycling through the known versions,
// until the crash test kills it.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "safetyversions.h"
#include "support/testcontext.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: writer_child <appDir> <settings.ini> <firstVersion>\n");
        return 2;
    }
    velto::test::FolderContext run(args.at(1), args.at(2));
    velto::AppContext &ctx = run.ctx;
    velto::test::ScriptedPrompter &prompter = run.prompter;

    std::printf("ready\n");
    std::fflush(stdout);

    // A cap, so an orphan never runs on when the test itself dies.
    QElapsedTimer alive;
    alive.start();
    for (int i = args.at(3).toInt(); alive.elapsed() < 20000; ++i) {
        const int n = i % velto::safety::VersionCount;
        if (!velto::safety::writeVersion(ctx, n)) {
            std::fprintf(stderr, "version %d refused: %s\n", n, qPrintable(prompter.texts().join(QLatin1Char('|'))));
            return 3;
        }
    }
    return 0;
}
