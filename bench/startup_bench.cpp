// Time from process start to the login window being shown, against a minimal
// Qt program that shows one empty window. Median of several runs each.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include "benchrow.h"

using velto::bench::median;

static double runOnce(const QString &program, const QProcessEnvironment &env, const QStringList &args = {})
{
    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    return t.nsecsElapsed() / 1e6;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 15;
    const QString dir = QCoreApplication::applicationDirPath();
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains("QT_QPA_PLATFORM") && !env.contains("DISPLAY"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    // The probe build keeps its settings and lock away from the user's own.
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("XDG_RUNTIME_DIR", home.path());

    QList<double> velto, minimal, text;
    runOnce(dir + "/velto_probe", env); // first start writes the settings
    for (int i = 0; i < runs; ++i) {
        velto << runOnce(dir + "/velto_probe", env);
        minimal << runOnce(dir + "/minimal_window", env);
        text << runOnce(dir + "/minimal_window", env, {QStringLiteral("--text")});
    }
    // A start that failed or hung spoils its figure rather than the median.
    auto figure = [](const QList<double> &v) { return v.contains(-1) ? -1 : median(v); };
    const double v = figure(velto), m = figure(minimal), t = figure(text);
    velto::bench::printRow("start-up to the login window's first paint", v, m, "minimal Qt window", {1.5, 0});
    velto::bench::printRow("start-up to the login window, for reference", v, t,
                           "minimal window with one Japanese label", {});
    return 0;
}
