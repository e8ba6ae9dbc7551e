#pragma once
// KELVORA_CAPTURAS=<folder> keeps a picture of a window at the moments a test names, to
// look at what the person would see.
#include <QDir>
#include <QWidget>

namespace kvtest {

inline void Captura(QWidget* w, const QString& nombre)
{
    const QString dir = qEnvironmentVariable("KELVORA_CAPTURAS");
    if (dir.isEmpty() || !w) return;
    QDir().mkpath(dir);
    w->grab().save(QDir(dir).filePath(nombre + QStringLiteral(".png")));
}

} // namespace kvtest
