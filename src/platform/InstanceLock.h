#pragma once
// One running copy per machine and program name. The lock is a file lock the operating
// system drops when the process ends, however it ends (a crash or SIGKILL must not block
// the next start), so there is nothing to clean up.
#include <QString>

namespace kv {

// The lock's name: the program's file name without directory and extension
// ("/opt/x/kelvora" and "C:\x\kelvora.exe" both give "kelvora").
QString InstanceName(const QString& programPath);

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();   // releases the lock (the program never does: it holds it to the end)
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock of that name without waiting; false when another holder has it.
    // When no lock file can be made at all it answers true without holding anything.
    bool acquire(const QString& name);
    void release();
    bool held() const;

    // File that carries the lock (in the temporary directory).
    static QString lockFilePath(const QString& name);
    // True when someone else holds the lock right now (tries it and lets it go).
    static bool heldElsewhere(const QString& name);

private:
#ifdef Q_OS_WIN
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// The process-wide lock of the running program (held until the process ends).
InstanceLock& ProgramInstanceLock();

} // namespace kv
