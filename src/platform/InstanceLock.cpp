#include "platform/InstanceLock.h"
#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace kv {

QString InstanceName(const QString& programPath)
{
    // Windows paths reach us with backslashes even on other systems (tests, shortcuts).
    QString p = programPath;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString file = p.section(QLatin1Char('/'), -1);
    const int dot = file.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? file.left(dot) : file;
}

QString InstanceLock::lockFilePath(const QString& name)
{
    return QDir(QDir::tempPath()).filePath(name + QStringLiteral(".lock"));
}

InstanceLock::~InstanceLock() { release(); }

#ifdef Q_OS_WIN
bool InstanceLock::acquire(const QString& name)
{
    release();
    // A named mutex, created without ownership; the system drops it with the process.
    const QString mutexName = QStringLiteral("Local\\") + name;
    HANDLE h = CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(mutexName.utf16()));
    if (!h) return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(h);
        return false;
    }
    handle_ = h;
    return true;
}

void InstanceLock::release()
{
    if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

bool InstanceLock::held() const { return handle_ != nullptr; }
#else
bool InstanceLock::acquire(const QString& name)
{
    release();
    // flock() belongs to the open file, which the kernel closes when the process dies.
    // O_CLOEXEC keeps programs we start (the text editor) from inheriting the lock and
    // holding it after we end.
    const QByteArray path = QFile::encodeName(lockFilePath(name));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    // No lock file (an unwritable temporary directory): run unguarded rather than refuse
    // to start with a message that would be untrue.
    if (fd < 0) return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void InstanceLock::release()
{
    if (fd_ >= 0) ::close(fd_);   // closing drops the lock; the file stays for the next run
    fd_ = -1;
}

bool InstanceLock::held() const { return fd_ >= 0; }
#endif

bool InstanceLock::heldElsewhere(const QString& name)
{
    InstanceLock probe;
    return !probe.acquire(name);
}

InstanceLock& ProgramInstanceLock()
{
    static InstanceLock lock;
    return lock;
}

} // namespace kv
