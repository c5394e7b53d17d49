// The lock in the data folder: one run per folder, whoever starts it and
// from wherever; a dead run's lock on this computer is broken, another
// computer's never.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/platform.h"
#include "core/startup.h"

using namespace velto;

namespace {

enum class Holder { ThisProcess, ChildSameAccount, ChildOtherAccount, ChildKilled, OtherComputer, OtherComputerWithId };

// A run of Velto in a child process, started with its own HOME and runtime
// folder when it stands for another account.
class ChildRun {
public:
    ChildRun(const QString &dataFolder, const QString &home)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[0]);
            if (!home.isEmpty()) {
                qputenv("HOME", QFile::encodeName(home));
                qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home));
            }
            platform::InstanceLock lock(platform::instanceLockPath(dataFolder));
            const char held = lock.acquire() ? 'y' : 'n';
            if (::write(fds[1], &held, 1) != 1)
                ::_exit(2);
            for (;;)
                ::pause();
        }
        ::close(fds[1]);
        char held = 'n';
        m_held = m_pid > 0 && ::read(fds[0], &held, 1) == 1 && held == 'y';
        ::close(fds[0]);
    }
    ~ChildRun() { kill(); }
    bool held() const { return m_held; }
    // kill -9, and reaped: a zombie still counts as a running process.
    void kill()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    bool m_held = false;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestInstanceLock : public QObject {
    Q_OBJECT
private slots:
    void secondStartOnOneFolder_data()
    {
        QTest::addColumn<int>("holder");
        QTest::addColumn<bool>("started");
        QTest::addColumn<QString>("message");
        const QString running = QStringLiteral("既に起動しています。");
        QTest::newRow("this process") << int(Holder::ThisProcess) << false << running;
        QTest::newRow("another run, same account") << int(Holder::ChildSameAccount) << false << running;
        QTest::newRow("another account, own HOME") << int(Holder::ChildOtherAccount) << false << running;
        QTest::newRow("a run killed with -9") << int(Holder::ChildKilled) << true << QString();
        QTest::newRow("another computer")
            << int(Holder::OtherComputer) << false << running + QStringLiteral("\r（ward-pc-2）");
        QTest::newRow("another computer, with its machine id")
            << int(Holder::OtherComputerWithId) << false << running + QStringLiteral("\r（ward-pc-2）");
    }

    void secondStartOnOneFolder()
    {
        QFETCH(int, holder);
        QFETCH(bool, started);
        QFETCH(QString, message);
        QTemporaryDir data;
        QTemporaryDir otherHome;
        QFile::setPermissions(otherHome.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString lockPath = platform::instanceLockPath(data.path());

        std::unique_ptr<platform::InstanceLock> first;
        std::unique_ptr<ChildRun> child;
        switch (Holder(holder)) {
        case Holder::ThisProcess:
            first = std::make_unique<platform::InstanceLock>(lockPath);
            QVERIFY(first->acquire());
            break;
        case Holder::ChildSameAccount:
        case Holder::ChildKilled:
            child = std::make_unique<ChildRun>(data.path(), QString());
            QVERIFY(child->held());
            if (Holder(holder) == Holder::ChildKilled)
                child->kill();
            break;
        case Holder::ChildOtherAccount:
            child = std::make_unique<ChildRun>(data.path(), otherHome.path());
            QVERIFY(child->held());
            break;
        case Holder::OtherComputer:
        case Holder::OtherComputerWithId: {
            // Our own process number, on another computer: alive or not
            // here says nothing about it there. A year old: age breaks nothing.
            QByteArray text = QByteArray::number(QCoreApplication::applicationPid()) + "\nVelto\nward-pc-2\n";
            if (Holder(holder) == Holder::OtherComputerWithId)
                text += "0123456789abcdef0123456789abcdef\nfedcba98-7654-3210-fedc-ba9876543210\n";
            QFile f(lockPath);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
            f.close();
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addYears(-1), QFileDevice::FileModificationTime));
            f.close();
            break;
        }
        }
        const QByteArray lockBefore = readAll(lockPath);

        platform::InstanceLock second(lockPath);
        QString shown;
        QCOMPARE(lockDataFolder(second, &shown), started);
        QCOMPARE(shown, message);
        if (!started && !first && !child)
            QCOMPARE(readAll(lockPath), lockBefore); // another computer's lock stays as it was
    }

    void lockThatCannotBeMadeIsNotARunningInstance()
    {
        QTemporaryDir dir;
        // A file where the program folder belongs: nothing can be created in it.
        const QString folder = dir.filePath("Velto");
        QFile f(folder);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        platform::InstanceLock lock(platform::instanceLockPath(folder));
        QString shown;
        QVERIFY(!lockDataFolder(lock, &shown));
        QCOMPARE(shown, QStringLiteral("ロックファイルを作成できません。\r") + platform::instanceLockPath(folder));
    }

    void lockFileModeFollowsFolder_data()
    {
        QTest::addColumn<bool>("groupShared");
        QTest::addColumn<int>("umask");
        QTest::addColumn<int>("mode");
        QTest::newRow("group-shared folder, umask 022") << true << 022 << 0660;
        QTest::newRow("group-shared folder, umask 077") << true << 077 << 0660;
        QTest::newRow("own folder, umask 077") << false << 077 << 0600;
    }

    void lockFileModeFollowsFolder()
    {
        QFETCH(bool, groupShared);
        QFETCH(int, umask);
        QFETCH(int, mode);
        QTemporaryDir data;
        QVERIFY(::chmod(QFile::encodeName(data.path()).constData(), groupShared ? 02770 : 0700) == 0);
        const mode_t old = ::umask(mode_t(umask));
        platform::InstanceLock lock(platform::instanceLockPath(data.path()));
        const bool held = lock.acquire();
        ::umask(old);
        QVERIFY(held);
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(lock.path()).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), mode);
    }
};

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "tst_instancelock.moc"
