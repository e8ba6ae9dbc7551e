#include "settings/DirectorioTrabajo.h"
#include "data/Database.h"
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <stdexcept>

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
    // Not a MyException: its log would land in the directory the program was started from.
    if (!QDir().mkpath(dir) || !QDir::setCurrent(dir))
        throw std::runtime_error(
            QStringLiteral("No se puede usar el directorio de datos %1.").arg(QDir::toNativeSeparators(dir)).toStdString());
    return dir;
}

} // namespace kv
