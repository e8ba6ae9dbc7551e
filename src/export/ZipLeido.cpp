#include "export/ZipLeido.h"
#include <QFile>
#include <zip.h>

namespace kv {

ZipLeido::ZipLeido(const QString& archivo)
{
    int error = 0;
    zip_ = zip_open(QFile::encodeName(archivo).constData(), ZIP_RDONLY, &error);
}

ZipLeido::~ZipLeido()
{
    if (zip_) zip_discard(zip_);
}

QStringList ZipLeido::nombres() const
{
    QStringList out;
    if (!zip_) return out;
    const zip_int64_t n = zip_get_num_entries(zip_, 0);
    for (zip_int64_t i = 0; i < n; ++i)
        if (const char* nombre = zip_get_name(zip_, zip_uint64_t(i), ZIP_FL_ENC_RAW)) out << QString::fromUtf8(nombre);
    return out;
}

bool ZipLeido::leer(const QString& nombre, const std::function<void(const char*, qint64)>& trozo) const
{
    if (!zip_) return false;
    zip_file_t* f = zip_fopen(zip_, nombre.toUtf8().constData(), ZIP_FL_ENC_RAW);
    if (!f) return false;
    char buf[65536];
    zip_int64_t leidos = 0;
    while ((leidos = zip_fread(f, buf, sizeof buf)) > 0) trozo(buf, leidos);
    // libzip checks the part's CRC when its end is read: a cut or damaged part fails here.
    const bool entera = leidos == 0;
    zip_fclose(f);
    return entera;
}

QByteArray ZipLeido::parte(const QString& nombre) const
{
    QByteArray out;
    if (!leer(nombre, [&](const char* p, qint64 n) { out.append(p, int(n)); })) return {};
    return out;
}

} // namespace kv
