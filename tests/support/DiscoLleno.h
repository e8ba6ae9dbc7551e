#pragma once
// A small file system of its own (tmpfs) that a test fills to the last byte, to see what a
// program does on a full disk. Mounting needs root: ok() is false elsewhere.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/mount.h>

namespace kvtest {

class DiscoLleno {
public:
    explicit DiscoLleno(int kilobytes = 256)
    {
        const QByteArray opts = "size=" + QByteArray::number(kilobytes) + "k";
        mounted_ = ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, opts.constData()) == 0;
    }
    ~DiscoLleno()
    {
        if (mounted_) ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    bool ok() const { return mounted_; }
    QString path(const QString& name) const { return QDir(dir_.path()).filePath(name); }

    // Takes every byte that is left.
    void llenar() const
    {
        QFile f(path(QStringLiteral(".relleno")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
        const QByteArray block(4096, 'x');
        while (f.write(block) == block.size()) {}
        for (int i = 0; i < 4096 && f.write("x", 1) == 1; ++i) {}
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

} // namespace kvtest
