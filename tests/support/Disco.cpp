#include "support/Disco.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <sys/mount.h>

namespace kvtest {

BloqueoSitio::BloqueoSitio(const QString& tablesDir)
{
    const QByteArray f = QFile::encodeName(QDir(tablesDir).filePath(QStringLiteral("kelvora.db")));
    if (sqlite3_open_v2(f.constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
        || sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("could not lock %s: %s", f.constData(), db_ ? sqlite3_errmsg(db_) : "?");
}

void BloqueoSitio::release()
{
    if (!db_) return;
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

namespace {
// Copies the files of `from` into `to` (one level: a site's tables and its photos folder).
void copiar(const QString& from, const QString& to)
{
    const QDir d(from);
    for (const QFileInfo& fi : d.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString dest = QDir(to).filePath(fi.fileName());
        if (fi.isDir()) {
            QDir().mkpath(dest);
            copiar(fi.filePath(), dest);
        } else {
            QFile::copy(fi.filePath(), dest);
        }
    }
}
} // namespace

DiscoPropio::DiscoPropio(const QString& dir, int kb) : dir_(QDir(dir).absolutePath())
{
    QDir().mkpath(dir_);
    QTemporaryDir aparte;
    copiar(dir_, aparte.path());
    const QByteArray d = QFile::encodeName(dir_);
    const QByteArray opts = "size=" + QByteArray::number(kb) + "k";
    if (mount("tmpfs", d.constData(), "tmpfs", 0, opts.constData()) != 0) {
        reason_ = QStringLiteral("no se pudo montar un tmpfs en %1: %2").arg(dir_, QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    ok_ = true;
    copiar(aparte.path(), dir_);
}

DiscoPropio::~DiscoPropio()
{
    if (ok_) umount2(QFile::encodeName(dir_).constData(), MNT_DETACH);
}

void DiscoPropio::llenar()
{
    QFile f(QDir(dir_).filePath(QStringLiteral(".relleno")));
    if (!f.open(QIODevice::Append)) return;
    const QByteArray bloque(4096, 'x');
    while (f.write(bloque) == bloque.size() && f.flush()) {
    }
    // The last blocks may fit only in part: top up byte by byte.
    while (f.write("x", 1) == 1 && f.flush()) {
    }
}

void DiscoPropio::vaciar() { QFile::remove(QDir(dir_).filePath(QStringLiteral(".relleno"))); }

bool DiscoPropio::soloLectura()
{
    return ok_ && mount(nullptr, QFile::encodeName(dir_).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

} // namespace kvtest
