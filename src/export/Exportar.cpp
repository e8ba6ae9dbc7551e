#include "export/Exportar.h"
#include "export/ZipLeido.h"
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>
#include <xlsxwriter.h>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace kv {

namespace {

constexpr int kMaxFilas = 1048576;      // rows of one worksheet, header included
constexpr int kMaxColumnas = 16384;
constexpr int kMaxTexto = 32767;        // characters of one cell

QString explicar(lxw_error e)
{
    switch (e) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED: return QStringLiteral("no hay memoria suficiente");
    case LXW_ERROR_CREATING_XLSX_FILE: return QStringLiteral("no se pudo crear el archivo");
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE: return QStringLiteral("falló un archivo temporal (¿disco lleno?)");
    default: return QStringLiteral("falló la escritura (¿disco lleno o carpeta sin permiso?)");
    }
}

// The temporary name of a workbook being written beside "lista.xlsx": ".lista.xlsx.AbC123".
QString NombreTemporal(const QString& destino)
{
    return QFileInfo(destino).absolutePath() + QStringLiteral("/.") + QFileInfo(destino).fileName() + QStringLiteral(".XXXXXX");
}

// An export holds a lock on its temporary file while it writes; a file of that name that
// nobody holds was left by an export that was killed or lost its power, and goes.
void BorrarTemporalesHuerfanos(const QString& carpeta)
{
#ifdef Q_OS_UNIX
    static const QRegularExpression nuestro(QStringLiteral("^\\..+\\.xlsx\\.[A-Za-z0-9]{6}$"));
    const QFileInfoList l = QDir(carpeta).entryInfoList({QStringLiteral(".*.xlsx.??????")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& fi : l) {
        if (!nuestro.match(fi.fileName()).hasMatch()) continue;
        const QByteArray ruta = QFile::encodeName(fi.absoluteFilePath());
        const int fd = ::open(ruta.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) QFile::remove(fi.absoluteFilePath());
        ::close(fd);
    }
#else
    Q_UNUSED(carpeta);
#endif
}

// Closes the workbook once, whatever way the export is left.
struct Libro {
    lxw_workbook* wb = nullptr;
    ~Libro() { if (wb) workbook_close(wb); }
    lxw_error cerrar()
    {
        lxw_workbook* w = wb;
        wb = nullptr;
        return workbook_close(w);
    }
};

// The root element's closing tag of an XML part: "<?xml ...?><worksheet ..." -> "</worksheet>".
QByteArray cierreEsperado(const QByteArray& inicio)
{
    int i = 0;
    while ((i = inicio.indexOf('<', i)) >= 0 && i + 1 < inicio.size() && (inicio[i + 1] == '?' || inicio[i + 1] == '!')) ++i;
    if (i < 0) return {};
    int j = i + 1;
    while (j < inicio.size() && !QByteArray(" />\r\n\t").contains(inicio[j])) ++j;
    return "</" + inicio.mid(i + 1, j - i - 1) + ">";
}

// The library writes its parts through temporary files and does not notice when those
// writes fail (a full temporary disk): the zip comes out whole with a part cut short. So
// every XML part of the written file is inflated and must end with its root's closing
// tag. Returns the name of the first part that does not, or "" when all are complete.
QString parteIncompleta(const QString& archivo)
{
    const ZipLeido zip(archivo);
    if (!zip.ok()) return QStringLiteral("el archivo");
    for (const QString& nombre : zip.nombres()) {
        if (!nombre.endsWith(QLatin1String(".xml")) && !nombre.endsWith(QLatin1String(".rels"))) continue;
        QByteArray inicio, cola;
        qint64 total = 0;
        const bool leida = zip.leer(nombre, [&](const char* p, qint64 n) {
            if (inicio.size() < 512) inicio += QByteArray(p, int(qMin<qint64>(n, 512 - inicio.size())));
            cola = (cola + QByteArray(p, int(n))).right(64);
            total += n;
        });
        if (!leida) return nombre;
        const QByteArray cierre = cierreEsperado(inicio);
        const bool vacio = total <= inicio.size() && inicio.trimmed().endsWith("/>");   // a root without children
        if (!vacio && (cierre.size() < 4 || !cola.trimmed().endsWith(cierre))) return nombre;
    }
    return QString();
}

} // namespace

QString ConExtensionXlsx(const QString& archivo)
{
    if (archivo.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) return archivo;
    if (archivo.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive)) return archivo.left(archivo.size() - 4) + QStringLiteral(".xlsx");
    return archivo + QStringLiteral(".xlsx");
}

QString NombreHoja(const QString& tabla)
{
    QString n;
    for (const QChar c : tabla)
        if (!QStringLiteral("[]:*?/\\").contains(c)) n += c;
    n = n.left(31);
    while (n.startsWith(QLatin1Char('\''))) n.remove(0, 1);
    while (n.endsWith(QLatin1Char('\''))) n.chop(1);
    if (n.isEmpty()) return QStringLiteral("Hoja1");
    n[0] = n[0].toUpper();
    return n;
}

int ExportarTabla(TableCursor& tabla, const QString& archivo, const std::function<void(int)>& alAvanzar)
{
    if (!tabla.isActive())
        throw ExportError(QStringLiteral("No se puede exportar: la tabla %1 está cerrada.").arg(tabla.tableName()));
    tabla.post();   // a row being edited goes out as typed, or the export stops here
    const QString destino = QFileInfo(archivo).absoluteFilePath();
    if (QFileInfo(destino).isDir())
        throw ExportError(QStringLiteral("No se puede exportar: %1 es una carpeta.").arg(destino));
    const QStringList campos = tabla.fieldNames();
    const int filas = tabla.recordCount();
    if (filas + 1 > kMaxFilas || campos.size() > kMaxColumnas)
        throw ExportError(QStringLiteral("No se puede exportar: la tabla %1 tiene más filas o campos de los que caben en una hoja.")
                              .arg(tabla.tableName()));

    // Written under a temporary name beside the destination and renamed at the end: an
    // earlier file with that name stays whole until the new one is complete.
    BorrarTemporalesHuerfanos(QFileInfo(destino).absolutePath());
    QTemporaryFile temporal(NombreTemporal(destino));
    if (!temporal.open())
        throw ExportError(QStringLiteral("No se puede escribir en la carpeta %1: %2")
                              .arg(QDir::toNativeSeparators(QFileInfo(destino).absolutePath()), temporal.errorString()));
    const QString nombreTemporal = temporal.fileName();
#ifdef Q_OS_UNIX
    // Held open and locked until the end: another export tells it from a left-over one.
    ::flock(temporal.handle(), LOCK_EX | LOCK_NB);
#else
    temporal.close();
#endif
    // A temporary file is private; the workbook gets the rights of the file it replaces.
    temporal.setPermissions(QFileInfo::exists(destino) ? QFile::permissions(destino)
                                                       : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                                                             | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
    const QByteArray ruta = QFile::encodeName(nombreTemporal);

    lxw_workbook_options opciones = {};
    opciones.constant_memory = LXW_TRUE;   // rows go to disk as written: memory stays flat
    Libro libro;
    libro.wb = workbook_new_opt(ruta.constData(), &opciones);
    if (!libro.wb) throw ExportError(QStringLiteral("No se pudo crear el libro %1.").arg(destino));
    const QByteArray hoja = NombreHoja(tabla.tableName()).toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(libro.wb, hoja.constData());
    lxw_format* texto = workbook_add_format(libro.wb);
    if (!ws || !texto) throw ExportError(QStringLiteral("No se pudo crear la hoja %1.").arg(QString::fromUtf8(hoja)));
    format_set_num_format_index(texto, 49);   // the built-in text format "@"

    auto escribir = [&](int fila, int col, const QString& valor) {
        const QByteArray utf = valor.left(kMaxTexto).toUtf8();
        const lxw_error e = utf.isEmpty() ? worksheet_write_blank(ws, lxw_row_t(fila), lxw_col_t(col), texto)
                                          : worksheet_write_string(ws, lxw_row_t(fila), lxw_col_t(col), utf.constData(), texto);
        if (e != LXW_NO_ERROR) throw ExportError(QStringLiteral("No se pudo exportar: %1.").arg(explicar(e)));
    };

    for (int i = 0; i < campos.size(); ++i) escribir(0, i, campos[i]);
    // Rows are read a page at a time in the cursor's order, without moving it (a grid
    // bound to it would follow every row).
    const QVector<Column> cols = tabla.columns();
    const std::shared_ptr<Database> db = tabla.database();
    constexpr int kPagina = 500;
    for (int desde = 0; desde < filas; desde += kPagina) {
        const int hasta = qMin(filas, desde + kPagina);
        QStringList ids;
        for (int r = desde; r < hasta; ++r) ids << QString::number(tabla.rowIdAt(r));
        const ResultSet rs = db->select(QStringLiteral("SELECT rowid, * FROM \"%1\" WHERE rowid IN (%2)")
                                            .arg(tabla.tableName(), ids.join(QLatin1Char(','))));
        QHash<qint64, int> indice;
        for (int k = 0; k < rs.rows.size(); ++k) indice.insert(rs.rows[k][0].toLongLong(), k);
        for (int r = desde; r < hasta; ++r) {
            const int k = indice.value(tabla.rowIdAt(r), -1);
            if (k < 0) throw ExportError(QStringLiteral("Una fila de %1 desapareció durante la exportación.").arg(tabla.tableName()));
            const QVector<QVariant>& fila = rs.rows[k];
            for (int i = 0; i < cols.size(); ++i) {
                const QVariant& v = fila.value(i + 1);
                // null fields leave their cell empty; an empty text is an empty text cell
                if (v.isNull()) continue;
                escribir(r + 1, i, Field(cols[i].name, cols[i].type, v).asString());
            }
            if (alAvanzar) alAvanzar(r + 1);
        }
    }
    const lxw_error e = libro.cerrar();
    if (e != LXW_NO_ERROR) throw ExportError(QStringLiteral("No se pudo guardar %1: %2.").arg(QDir::toNativeSeparators(destino), explicar(e)));

    const QString incompleta = parteIncompleta(nombreTemporal);
    if (!incompleta.isEmpty())
        throw ExportError(QStringLiteral("No se pudo guardar %1: %2 quedó incompleto (¿disco lleno?).")
                              .arg(QDir::toNativeSeparators(destino), incompleta));

    std::error_code ec;
    std::filesystem::rename(std::filesystem::u8path(nombreTemporal.toStdString()),
                            std::filesystem::u8path(destino.toStdString()), ec);
    if (ec)
        throw ExportError(QStringLiteral("No se pudo reemplazar %1: %2.")
                              .arg(QDir::toNativeSeparators(destino), QString::fromLocal8Bit(ec.message().c_str())));
    tabla.last();
    return filas;
}

} // namespace kv
