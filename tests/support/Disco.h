#pragma once
// What goes wrong with the disk of a site, made for real: another program holding the site
// file locked, a disk with no room left, a disk that can only be read.
#include <QString>

struct sqlite3;

namespace kvtest {

// A second connection to the site file that holds it with BEGIN EXCLUSIVE, as the sqlite3
// shell of another program would, until release() or the end of the scope.
class BloqueoSitio {
public:
    explicit BloqueoSitio(const QString& tablesDir);
    ~BloqueoSitio() { release(); }
    void release();
    BloqueoSitio(const BloqueoSitio&) = delete;
    BloqueoSitio& operator=(const BloqueoSitio&) = delete;

private:
    sqlite3* db_ = nullptr;
};

// A small file system of its own (tmpfs, `kb` kilobytes) put under `dir` with the files
// that were there. Needs the right to mount (root); ok() says whether it worked, and
// why not in reason(). Unmounted at the end of the scope.
class DiscoPropio {
public:
    DiscoPropio(const QString& dir, int kb);
    ~DiscoPropio();
    bool ok() const { return ok_; }
    QString reason() const { return reason_; }
    // Fills what is left with a file, so the next write finds no room.
    void llenar();
    // Frees the room llenar() took.
    void vaciar();
    // Only reading from now on (as a read-only file is for a program without root).
    bool soloLectura();

private:
    QString dir_;
    bool ok_ = false;
    QString reason_;
};

} // namespace kvtest
