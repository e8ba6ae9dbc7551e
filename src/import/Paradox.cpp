#include "import/Paradox.h"
#include "import/LectorFilas.h"
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <iconv.h>
extern "C" {
#include <paradox.h>
}

namespace kv {

namespace {

// pxlib reports through a handler; the last message is kept to explain a failure.
void anotarError(pxdoc_t*, int, const char* msg, void* datos)
{
    if (datos && msg) *static_cast<QString*>(datos) = QString::fromLocal8Bit(msg);
}

quint32 u32(const char* p)
{
    return quint32(uchar(p[0])) | (quint32(uchar(p[1])) << 8) | (quint32(uchar(p[2])) << 16) | (quint32(uchar(p[3])) << 24);
}

// Days of pxlib's dates count from 1 January of year 1.
constexpr long kSdnDiaUno = 1721425;

QDate fechaDeDias(long dias)
{
    int a = 0, m = 0, d = 0;
    PX_SdnToGregorian(dias + kSdnDiaUno, &a, &m, &d);
    return QDate(a, m, d);
}

} // namespace

struct TablaParadox::Impl {
    pxdoc_t* px = nullptr;
    bool abierto = false;
    QString error;
    QFile memo;
    bool conMemo = false;
    iconv_t conv = iconv_t(-1);
    QByteArray registro;

    ~Impl()
    {
        if (conv != iconv_t(-1)) iconv_close(conv);
        if (px && abierto) PX_close(px);
        if (px) PX_delete(px);
    }

    // Text of the table's code page in Unicode (Windows-1252 when the table names none).
    QString texto(const char* p, int n)
    {
        if (n <= 0) return QString();
        if (conv == iconv_t(-1)) return DesdeWindows1252(QByteArray(p, n));
        QByteArray salida(n * 4 + 4, '\0');
        char* in = const_cast<char*>(p);
        size_t inLeft = size_t(n);
        char* out = salida.data();
        size_t outLeft = size_t(salida.size());
        iconv(conv, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            if (iconv(conv, &in, &inLeft, &out, &outLeft) == size_t(-1)) {
                if (errno == EILSEQ || errno == EINVAL) {   // a byte the code page lacks: kept as Latin-1
                    if (outLeft < 4) break;
                    const QByteArray u = QString(QChar(char16_t(uchar(*in)))).toUtf8();
                    memcpy(out, u.constData(), size_t(u.size()));
                    out += u.size();
                    outLeft -= size_t(u.size());
                    ++in;
                    --inLeft;
                } else {
                    break;
                }
            }
        }
        return QString::fromUtf8(salida.constData(), int(out - salida.constData()));
    }

    // A memo: the part kept in the record (its first bytes) or the whole text in the .MB file.
    QByteArray memoria(const char* campo, int largo, const QString& nombre, const QString& archivo)
    {
        const int guia = largo - 10;
        const char* desc = campo + guia;
        const quint32 puntero = u32(desc), tam = u32(desc + 4);
        if (tam == 0) return QByteArray();
        if (int(tam) <= guia) return QByteArray(campo, int(tam));
        auto falla = [&](const QString& por) {
            return ImportError(QStringLiteral("El texto largo del campo %1 no se pudo leer del archivo de memos de %2: %3.")
                                   .arg(nombre, QFileInfo(archivo).fileName(), por));
        };
        if (!conMemo) throw falla(QStringLiteral("falta el archivo .MB"));
        const qint64 bloque = qint64(puntero & 0xFFFFFF00u);
        const int indice = int(puntero & 0xFF);
        char cab[12];
        if (!memo.seek(bloque) || memo.read(cab, sizeof cab) != qint64(sizeof cab)) throw falla(QStringLiteral("bloque fuera del archivo"));
        qint64 desde = 0;
        if (indice == 0xFF) {
            if (cab[0] != 2) throw falla(QStringLiteral("bloque dañado"));
            desde = bloque + 9;   // type, 4K blocks, length, modification number
        } else {
            if (cab[0] != 3) throw falla(QStringLiteral("bloque dañado"));
            char entrada[5];
            if (!memo.seek(bloque + 12 + 5 * qint64(indice)) || memo.read(entrada, 5) != 5) throw falla(QStringLiteral("bloque dañado"));
            desde = bloque + 16 * qint64(uchar(entrada[0]));
        }
        if (!memo.seek(desde)) throw falla(QStringLiteral("bloque fuera del archivo"));
        const QByteArray datos = memo.read(tam);
        if (datos.size() != int(tam)) throw falla(QStringLiteral("el archivo termina antes que el texto"));
        return datos;
    }
};

QString ArchivoSinMayusculas(const QString& dir, const QString& nombre)
{
    const QDir d(dir);
    if (QFileInfo(d.filePath(nombre)).isFile()) return d.filePath(nombre);
    for (const QString& f : d.entryList(QDir::Files))
        if (f.compare(nombre, Qt::CaseInsensitive) == 0) return d.filePath(f);
    return QString();
}

TablaParadox::TablaParadox(const QString& archivo) : d_(std::make_unique<Impl>()), archivo_(archivo)
{
    const QString nombre = QDir::toNativeSeparators(archivo);
    d_->px = PX_new3(anotarError, nullptr, nullptr, nullptr, &d_->error);
    if (!d_->px) throw ImportError(QStringLiteral("No se pudo leer la tabla %1.").arg(nombre));
    if (!QFileInfo(archivo).isFile()) throw ImportError(QStringLiteral("No existe la tabla %1.").arg(nombre));
    if (PX_open_file(d_->px, QFile::encodeName(archivo).constData()) < 0) {
        const QString por = d_->error;
        throw ImportError(QStringLiteral("No se pudo leer la tabla %1: no es una tabla Paradox válida%2.")
                              .arg(nombre, por.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(por)));
    }
    d_->abierto = true;
    pxhead_t* h = d_->px->px_head;
    if (h->px_filetype != pxfFileTypIndexDB && h->px_filetype != pxfFileTypNonIndexDB)
        throw ImportError(QStringLiteral("No se pudo leer la tabla %1: no es una tabla de datos.").arg(nombre));
    filas_ = PX_get_num_records(d_->px);
    codePage_ = h->px_doscodepage;
    if (codePage_ > 0 && codePage_ != 1252) {
        d_->conv = iconv_open("UTF-8", QStringLiteral("CP%1").arg(codePage_).toLatin1().constData());
    }
    const int n = PX_get_num_fields(d_->px);
    for (int i = 0; i < n; ++i) {
        pxfield_t* f = PX_get_field(d_->px, i);
        if (!f) throw ImportError(QStringLiteral("No se pudo leer la tabla %1: un campo está dañado.").arg(nombre));
        campos_ << CampoParadox{QString::fromLatin1(f->px_fname), int(uchar(f->px_ftype)), f->px_flen};
    }
    d_->registro.resize(PX_get_recordsize(d_->px) + 16);
    // The memo file beside the table; pxlib's own reading of it is not used (it breaks on
    // the files pxlib itself writes), the blocks are read here.
    const QFileInfo fi(archivo);
    const QString mb = ArchivoSinMayusculas(fi.absolutePath(), fi.completeBaseName() + QStringLiteral(".MB"));
    if (!mb.isEmpty()) {
        d_->memo.setFileName(mb);
        d_->conMemo = d_->memo.open(QIODevice::ReadOnly);
    }
}

TablaParadox::~TablaParadox() = default;

QVector<QVariant> TablaParadox::fila(int n)
{
    char* reg = d_->registro.data();
    if (!PX_get_record(d_->px, n, reg))
        throw ImportError(QStringLiteral("La fila %1 de %2 no se pudo leer.").arg(n + 1).arg(QFileInfo(archivo_).fileName()));
    QVector<QVariant> v;
    v.reserve(campos_.size());
    int pos = 0;
    for (const CampoParadox& c : campos_) {
        char* p = reg + pos;
        pos += c.largo;
        switch (c.tipo) {
        case pxfAlpha: {
            const int largo = int(strnlen(p, size_t(c.largo)));
            v << (largo == 0 ? QVariant() : QVariant(d_->texto(p, largo)));
            break;
        }
        case pxfDate: {
            long x = 0;
            const int r = PX_get_data_long(d_->px, p, c.largo, &x);
            const QDate f = r > 0 && x > 0 ? fechaDeDias(x) : QDate();
            v << (f.isValid() ? QVariant(f) : QVariant());
            break;
        }
        case pxfTime: {
            long x = 0;
            const int r = PX_get_data_long(d_->px, p, c.largo, &x);
            // Milliseconds since midnight; anything else is no time of day.
            v << (r > 0 && x >= 0 && x < 86400000 ? QVariant(QTime::fromMSecsSinceStartOfDay(int(x))) : QVariant());
            break;
        }
        case pxfTimestamp: {
            double x = 0;
            const int r = PX_get_data_double(d_->px, p, c.largo, &x);
            if (r <= 0) { v << QVariant(); break; }
            // Milliseconds since the start of the first day of year 1.
            const qint64 ms = qint64(x);
            const QDate f = ms > 0 ? fechaDeDias(long(ms / 86400000)) : QDate();
            v << (f.isValid() ? QVariant(QDateTime(f, QTime::fromMSecsSinceStartOfDay(int(ms % 86400000)))) : QVariant());
            break;
        }
        case pxfShort: {
            short x = 0;
            const int r = PX_get_data_short(d_->px, p, c.largo, &x);
            v << (r > 0 ? QVariant(qint64(x)) : QVariant());
            break;
        }
        case pxfLong:
        case pxfAutoInc: {
            long x = 0;
            const int r = PX_get_data_long(d_->px, p, c.largo, &x);
            v << (r > 0 ? QVariant(qint64(x)) : QVariant());
            break;
        }
        case pxfNumber:
        case pxfCurrency: {
            double x = 0;
            const int r = PX_get_data_double(d_->px, p, c.largo, &x);
            v << (r > 0 ? QVariant(x) : QVariant());
            break;
        }
        case pxfLogical: {
            char x = 0;
            const int r = PX_get_data_byte(d_->px, p, c.largo, &x);
            v << (r > 0 ? QVariant(x != 0) : QVariant());
            break;
        }
        case pxfMemoBLOb:
        case pxfFmtMemoBLOb: {
            const QByteArray m = d_->memoria(p, c.largo, c.nombre, archivo_);
            int largo = m.size();
            while (largo > 0 && m[largo - 1] == '\0') --largo;   // memos may end in a NUL
            v << (largo == 0 ? QVariant() : QVariant(d_->texto(m.constData(), largo)));
            break;
        }
        default:
            v << QVariant();   // pictures, binary and BCD values: nothing of the program's
            break;
        }
    }
    return v;
}

} // namespace kv
