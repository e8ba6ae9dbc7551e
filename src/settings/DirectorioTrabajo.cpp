#include "settings/DirectorioTrabajo.h"
#include "base/MyException.h"
#include "data/Database.h"
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kv {

QString DirectorioDatosUsuario()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The XDG rule: a relative XDG_DATA_HOME is ignored.
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
#else
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
    return QDir::cleanPath(base + QStringLiteral("/kelvora"));
}

QString DirectorioDeTrabajo(const QString& actual, const QString& datosUsuario)
{
    if (QFileInfo(QDir(actual).filePath(Database::siteListFileName())).isFile()) return QDir::cleanPath(actual);
    return QDir::cleanPath(datosUsuario);
}

QString EntrarDirectorioDeTrabajo()
{
    const QString dir = DirectorioDeTrabajo(QDir::currentPath(), DirectorioDatosUsuario());
    if (!QDir().mkpath(dir) || !QDir::setCurrent(dir))
        throw MyException(QStringLiteral("No se puede usar el directorio de datos %1.").arg(QDir::toNativeSeparators(dir)));
    return dir;
}

} // namespace kv
