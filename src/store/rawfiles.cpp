#include "rawfiles.h"

#include <QFile>
#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/textfile.h"

namespace velto::rawfiles {

namespace {

QString systemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QByteArray bytePath(const QString &dir, const QByteArray &name)
{
    return QFile::encodeName(dir) + '/' + name;
}

// Closes a descriptor on every path out.
struct Fd {
    int fd = -1;
    explicit Fd(int f)
        : fd(f)
    { }
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
};

bool writeAll(int fd, const QByteArray &data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool listFiles(const QString &dir, QList<QByteArray> *names, QString *error)
{
    names->clear();
    DIR *d = ::opendir(QFile::encodeName(dir).constData());
    if (!d) {
        setError(error, systemError(errno));
        return false;
    }
    const int dfd = ::dirfd(d);
    errno = 0;
    while (const dirent *e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat st { };
        if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            names->append(name);
        errno = 0;
    }
    const int err = errno;
    ::closedir(d);
    if (err != 0) {
        setError(error, systemError(err));
        return false;
    }
    std::sort(names->begin(), names->end());
    return true;
}

Listing listFolder(const QString &dir)
{
    Listing out;
    DIR *d = ::opendir(QFile::encodeName(dir).constData());
    if (!d)
        return out;
    const int dfd = ::dirfd(d);
    while (const dirent *e = ::readdir(d)) {
        const bool hidden = e->d_name[0] == '.';
        if (hidden && (e->d_name[1] == 0 || (e->d_name[1] == '.' && e->d_name[2] == 0)))
            continue;
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN) { // file systems that leave the type out
            struct stat st { };
            if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR)
            (hidden ? out.hiddenFolders : out.folders).append(QFile::decodeName(e->d_name));
        else if (type == DT_REG)
            (hidden ? out.hiddenFiles : out.files).append(QFile::decodeName(e->d_name));
    }
    ::closedir(d);
    std::sort(out.folders.begin(), out.folders.end());
    std::sort(out.files.begin(), out.files.end());
    return out;
}

QStringList listNames(const QString &dir, Entries kind)
{
    const Listing l = listFolder(dir);
    return kind == Entries::Folders ? l.folders : l.files;
}

bool qtCanName(const QByteArray &name)
{
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

QString shownName(const QByteArray &name)
{
    if (qtCanName(name))
        return QFile::decodeName(name);
    QString text;
    if (textfile::decode(name, &text, nullptr))
        return text;
    QString hex;
    for (const char c : name) {
        const uchar u = uchar(c);
        hex += u >= 0x20 && u < 0x7f ? QString(QLatin1Char(c))
                                     : QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    return hex;
}

bool readFile(const QString &dir, const QByteArray &name, QByteArray *data, QString *error)
{
    const Fd fd(::open(bytePath(dir, name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.fd < 0) {
        setError(error, systemError(errno));
        return false;
    }
    struct stat st { };
    if (::fstat(fd.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        setError(error, systemError(EINVAL));
        return false;
    }
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            setError(error, systemError(errno));
            return false;
        }
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    *data = bytes;
    return true;
}

bool writeFileAtomic(const QString &dir, const QByteArray &name, const QByteArray &data, QString *error)
{
    const QByteArray target = bytePath(dir, name);
    // The staging name is the one every writer uses, so a crash here leaves
    // nothing the start-up and the next backup would not clear.
    QByteArray stage = bytePath(dir, QFile::encodeName(QStringLiteral(".~velto-XXXXXX")));
    const Fd fd(::mkstemp(stage.data()));
    if (fd.fd < 0) {
        setError(error, systemError(errno));
        return false;
    }
    struct stat old { };
    const mode_t mode = ::stat(target.constData(), &old) == 0 ? (old.st_mode & 07777) : newFileMode();
    if (!writeAll(fd.fd, data) || ::fchmod(fd.fd, mode) != 0 || ::fsync(fd.fd) != 0
        || ::rename(stage.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(stage.constData());
        setError(error, systemError(err));
        return false;
    }
    const Fd d(::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (d.fd >= 0)
        ::fsync(d.fd);
    return true;
}

bool renameNoReplace(const QString &dir, const QByteArray &from, const QByteArray &to, QString *error)
{
    const QByteArray a = bytePath(dir, from);
    const QByteArray b = bytePath(dir, to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) {
        setError(error, systemError(errno));
        return false;
    }
    // A file system without the flag: a hard link never replaces either.
    if (::link(a.constData(), b.constData()) != 0) {
        setError(error, systemError(errno));
        return false;
    }
    ::unlink(a.constData());
    return true;
}

} // namespace velto::rawfiles
