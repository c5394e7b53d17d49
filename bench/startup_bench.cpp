// Time from process start to the login window being shown, against a minimal
// Qt program that shows one empty window. Median of several runs each.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

static double runOnce(const QString &program, const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(program, {});
    if (!p.waitForFinished(30000))
        return -1;
    return t.nsecsElapsed() / 1e6;
}

static double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? -1 : v.at(v.size() / 2);
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

    QList<double> velto, minimal;
    runOnce(dir + "/velto_probe", env); // first start writes the settings
    for (int i = 0; i < runs; ++i) {
        velto << runOnce(dir + "/velto_probe", env);
        minimal << runOnce(dir + "/minimal_window", env);
    }
    const double v = median(velto), m = median(minimal);
    std::printf("start to login window (median of %d): velto %.1f ms, minimal Qt window %.1f ms, ratio %.2f (goal <= 1.50)\n",
                runs, v, m, m > 0 ? v / m : 0.0);
    return 0;
}
