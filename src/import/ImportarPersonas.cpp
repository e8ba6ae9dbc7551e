#include "import/ImportarPersonas.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/TDM.h"
#include "data/TableCursor.h"
#include "import/LectorFilas.h"
#include "register/Groups.h"
#include "register/ReglasPersona.h"
#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace kv {

namespace {

// Lower case, without accents, spaces or punctuation: "Teléfono acudiente" -> "telefonoacudiente".
QString normalizar(const QString& s)
{
    QString r;
    for (const QChar c : s.normalized(QString::NormalizationForm_D))
        if (c.isLetterOrNumber()) r += c.toLower();
    return r;
}

const QHash<QString, QString>& encabezados()
{
    static const QHash<QString, QString> mapa = [] {
        QHash<QString, QString> m;
        const QList<QPair<const char*, QStringList>> lista = {
            {"IGrado", {"grado", "categoria", "numerodegrado", "numerodecategoria"}},
            {"IGrupo", {"grupo", "codigodegrupo"}},
            {"IEstudiante", {"idinterno", "interno", "numerointerno", "idinternodelestudiante"}},
            {"NEstudiante", {"nombre", "nombres", "nombrecompleto", "estudiante", "persona", "apellidosynombres",
                             "nombresyapellidos"}},
            {"codigo", {"codigodelestudiante", "codigopersona"}},
            {"docIdent", {"documento", "docidentidad", "documentodeidentidad", "documentoidentidad",
                          "numerodedocumento", "numerodocumento", "cedula", "identificacion"}},
            {"tipoDocIdent", {"tipodocumento", "tipodedocumento", "tipodoc"}},
            {"NumMatr", {"matricula", "numerodematricula", "numeromatricula"}},
            {"numCarnet", {"carne", "carnet", "numerodecarne", "numerocarne", "numerodecarnet"}},
            {"rh", {"gruposanguineo"}},
            {"sitSocial", {"situacionsocial"}},
            {"situacion", {"situacionacademica", "estado"}},
            {"idFoto", {"foto", "archivofoto", "fotografia"}},
            {"fechaNac", {"fechadenacimiento", "fechanacimiento", "nacimiento"}},
            {"acudiente", {"nombreacudiente", "nombredelacudiente"}},
            {"docacud", {"documentoacudiente", "documentodelacudiente", "docacudiente"}},
            {"telefacudiente", {"telefonoacudiente", "telefonodelacudiente", "telacudiente"}},
            {"dirresacud", {"direccionacudiente", "direcciondelacudiente"}},
            {"telefestud", {"telefono", "telefonoestudiante", "telefonodelestudiante", "telefonopersona"}},
            {"EPS", {"salud", "aseguradora"}},
            {"observaciones", {"observacion", "notas"}},
        };
        // The field names themselves, as the export writes them.
        for (const TableDef& t : siteTables())
            if (t.name == QLatin1String("estudiantes"))
                for (const QString& c : t.columns) {
                    const QString f = c.section(QLatin1Char(' '), 0, 0);
                    m.insert(normalizar(f), f);
                }
        for (const auto& [campo, nombres] : lista)
            for (const QString& n : nombres) m.insert(n, QString::fromLatin1(campo));
        return m;
    }();
    return mapa;
}

// d/m/yyyy (the way dates are written here) or yyyy-mm-dd, into yyyy-mm-dd. Empty when the
// text is no real date.
QString fechaIso(const QString& texto)
{
    static const QRegularExpression dma(QStringLiteral("^\\s*(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{4})\\s*$"));
    static const QRegularExpression iso(QStringLiteral("^\\s*(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T].*)?$"));
    QDate d;
    if (const auto m = dma.match(texto); m.hasMatch())
        d = QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    else if (const auto m = iso.match(texto); m.hasMatch())
        d = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return d.isValid() ? d.toString(Qt::ISODate) : QString();
}

using ClaveGrupo = QPair<int, QString>;

QString textoGrupo(int grado, const QString& grupo) { return QString::number(grado) + QLatin1Char(' ') + grupo; }

// NULL and an empty text are the same value to a person; numbers compare by value.
bool mismoValor(const QVariant& a, const QVariant& b)
{
    const bool va = a.isNull() || (a.metaType().id() == QMetaType::QString && a.toString().isEmpty());
    const bool vb = b.isNull() || (b.metaType().id() == QMetaType::QString && b.toString().isEmpty());
    if (va || vb) return va == vb;
    return a.toString() == b.toString();
}

// The group rules read the tables directory of the program; for the length of an import it
// is the site being imported into.
class DirectorioDe {
public:
    explicit DirectorioDe(const QString& dir) : antes_(TablesDir()) { SetTablesDir(dir); }
    ~DirectorioDe() { SetTablesDir(antes_); }

private:
    QString antes_;
};

} // namespace

QString CampoDeEncabezado(const QString& encabezado)
{
    return encabezados().value(normalizar(encabezado));
}

ResultadoImportacion ImportarPersonas(const QString& tablesDir, const QString& archivo, const OpcionesImportacion& o)
{
    ResultadoImportacion r;
    std::unique_ptr<LectorFilas> hoja = AbrirHoja(archivo);
    if (!hoja->siguiente(r.encabezados)) throw ImportError(QStringLiteral("El archivo %1 está vacío.").arg(archivo));

    QHash<QString, int> columna;   // field -> column; the first column naming a field wins
    for (int i = 0; i < r.encabezados.size(); ++i) {
        QString campo = CampoDeEncabezado(r.encabezados[i]);
        if (!campo.isEmpty() && columna.contains(campo)) campo.clear();
        if (!campo.isEmpty()) columna.insert(campo, i);
        r.campos << campo;
    }
    if (!columna.contains(QStringLiteral("NEstudiante")) && !columna.contains(QStringLiteral("codigo")))
        throw ImportError(QStringLiteral("La primera fila de %1 no nombra el nombre ni el código de las personas: "
                                         "no se puede saber qué importar.").arg(archivo));

    auto db = Database::forDirectory(tablesDir);
    QHash<QString, FieldType> tipos;
    for (const Column& c : db->columns(QStringLiteral("estudiantes"))) tipos.insert(c.name.toLower(), c.type);

    // What the checks look up, read once and kept up to date with every accepted row.
    QHash<QString, qint64> codigos;              // code -> rowid
    QSet<QString> internos;                      // "grado|grupo|número"
    QHash<ClaveGrupo, qint64> masAlto;           // highest internal number of a group
    {
        const ResultSet rs = db->select(QStringLiteral("SELECT rowid, codigo, IGrado, IGrupo, IEstudiante FROM estudiantes"));
        for (const auto& f : rs.rows) {
            if (!f[1].isNull()) codigos.insert(f[1].toString(), f[0].toLongLong());
            if (f[4].isNull()) continue;
            const ClaveGrupo g(f[2].toInt(), f[3].toString());
            internos.insert(QStringLiteral("%1|%2|%3").arg(g.first).arg(g.second, f[4].toString()));
            masAlto[g] = qMax(masAlto.value(g, -1), f[4].toLongLong());
        }
    }
    QHash<int, QString> categorias;
    QHash<QString, int> categoriaPorNombre;
    for (const auto& f : db->select(QStringLiteral("SELECT IGrado, NGrado FROM AbaGrados")).rows) {
        categorias.insert(f[0].toInt(), f[1].toString());
        if (!f[1].toString().isEmpty()) categoriaPorNombre.insert(normalizar(f[1].toString()), f[0].toInt());
    }
    QSet<ClaveGrupo> grupos;
    for (const auto& f : db->select(QStringLiteral("SELECT IGrado, IGrupo FROM grupos")).rows)
        grupos.insert(ClaveGrupo(f[0].toInt(), f[1].toString()));

    const DirectorioDe directorio(tablesDir);
    Transaction tx(*db);
    std::unique_ptr<TableCursor> tablaGrupos;   // opened when a group has to be made

    // The fields every new row stores: the ones the add dialog writes and those in the file.
    QStringList camposNuevos = {QStringLiteral("IGrado"), QStringLiteral("IGrupo"), QStringLiteral("IEstudiante"),
                                QStringLiteral("NEstudiante"), QStringLiteral("codigo"), QStringLiteral("NumMatr"),
                                QStringLiteral("numCarnet")};
    for (auto it = columna.begin(); it != columna.end(); ++it)
        if (!camposNuevos.contains(it.key())) camposNuevos << it.key();
    QStringList marcas;
    for (int i = 0; i < camposNuevos.size(); ++i) marcas << QStringLiteral("?");
    const QString insertar = QStringLiteral("INSERT INTO estudiantes (%1) VALUES (%2)")
                                 .arg(camposNuevos.join(QLatin1Char(',')), marcas.join(QLatin1Char(',')));

    QStringList celdas;
    while (hoja->siguiente(celdas)) {
        bool vacia = true;
        for (const QString& c : celdas) if (!c.trimmed().isEmpty()) vacia = false;
        if (vacia) continue;   // blank lines between or after the rows
        ++r.leidas;
        if (o.alAvanzar && r.leidas % 1000 == 0) o.alAvanzar(r.leidas);
        if (r.muestra.size() < o.filasDeMuestra) r.muestra << celdas;

        QHash<QString, QString> v;
        for (auto it = columna.begin(); it != columna.end(); ++it) v.insert(it.key(), celdas.value(it.value()));
        auto valor = [&](const char* campo) { return v.value(QString::fromLatin1(campo)); };

        QStringList motivos;
        if (v.contains(QStringLiteral("fechaNac")) && !v[QStringLiteral("fechaNac")].trimmed().isEmpty()) {
            const QString iso = fechaIso(v[QStringLiteral("fechaNac")]);
            if (iso.isEmpty())
                motivos << QStringLiteral("'%1' no es una fecha de nacimiento válida.").arg(v[QStringLiteral("fechaNac")]);
            v[QStringLiteral("fechaNac")] = iso;
        }
        // The category may be given by its number or by its name.
        QString gradoTexto = valor("IGrado").trimmed();
        if (!gradoTexto.isEmpty() && categoriaPorNombre.contains(normalizar(gradoTexto))) {
            bool num = false;
            gradoTexto.toInt(&num);
            if (!num) gradoTexto = QString::number(categoriaPorNombre.value(normalizar(gradoTexto)));
        }
        v[QStringLiteral("IGrado")] = gradoTexto;
        for (auto it = v.cbegin(); it != v.cend(); ++it)
            if (const QString m = ReglaDeCampo(it.key(), it.value()); !m.isEmpty()) motivos << m;

        const QString codigo = valor("codigo");
        const bool conocido = !codigo.isEmpty() && codigos.contains(codigo);
        const bool enArchivo = columna.contains(QStringLiteral("IGrado")) || columna.contains(QStringLiteral("IGrupo"));
        int grado = gradoTexto.toInt();
        QString grupo = valor("IGrupo");
        bool crearCategoria = false, crearGrupo = false;
        auto revisarUbicacion = [&] {
            if (gradoTexto.isEmpty()) { motivos << QStringLiteral("Falta la categoría."); return; }
            bool num = false;
            gradoTexto.toInt(&num);
            if (!num) { motivos << QStringLiteral("La categoría «%1» no existe.").arg(gradoTexto); return; }
            // -99 is the store of withdrawn persons: never a row of the categories, and its
            // persons may have no group (as a move there leaves them).
            if (grado == -99) return;
            if (grupo.isEmpty()) { motivos << QStringLiteral("Falta el grupo."); return; }
            if (!categorias.contains(grado)) {
                if (!o.crearGrupos) {
                    motivos << QStringLiteral("La categoría %1 no existe (marque «Crear grupos que falten»).").arg(grado);
                    return;
                }
                crearCategoria = true;
            }
            if (!grupos.contains(ClaveGrupo(grado, grupo))) {
                if (!o.crearGrupos && !crearCategoria) {
                    motivos << QStringLiteral("El grupo %1 de la categoría %2 no existe (marque «Crear grupos que falten»).")
                                   .arg(grupo).arg(grado);
                    return;
                }
                crearGrupo = true;
            }
        };
        auto crearUbicacion = [&] {
            if (crearCategoria) {
                if (o.escribir)
                    db->exec(QStringLiteral("INSERT INTO AbaGrados (IGrado, NGrado) VALUES (?, ?)"), {grado, QString::number(grado)});
                categorias.insert(grado, QString::number(grado));
                r.gruposCreados << QString::number(grado);
            }
            if (crearGrupo) {
                if (o.escribir) {
                    if (!tablaGrupos) {
                        tablaGrupos = std::make_unique<TableCursor>(QStringLiteral("grupos"));
                        tablaGrupos->setDirectory(tablesDir);
                        tablaGrupos->open();
                    }
                    AdicionarGrupo(*tablaGrupos, grado, grupo, QString(), QString());
                }
                grupos.insert(ClaveGrupo(grado, grupo));
                r.gruposCreados << textoGrupo(grado, grupo);
            }
        };
        // Each field of the file as the column stores it; whole-number boxes left empty are 0.
        auto almacenado = [&](const QString& campo) -> QVariant {
            QString t = v.value(campo);
            if ((campo == QLatin1String("NumMatr") || campo == QLatin1String("numCarnet")) && t.trimmed().isEmpty())
                t = QStringLiteral("0");
            if (t.isEmpty()) return QVariant();
            return toStorage(t, tipos.value(campo.toLower(), FieldType::Text), campo);
        };

        if (conocido && o.actualizar) {
            PersonaDatos d;
            d.codigo = codigo;
            const qint64 rowid = codigos.value(codigo);
            const ResultSet actual = db->select(QStringLiteral("SELECT * FROM estudiantes WHERE rowid=?"), {rowid});
            const int colNombre = actual.columnIndex(QStringLiteral("NEstudiante"));
            d.nombre = columna.contains(QStringLiteral("NEstudiante")) ? valor("NEstudiante")
                                                                        : actual.rows[0][colNombre].toString();
            const QString m = ReglasModificacion(d, codigo, [&](const QString& c) { return codigos.contains(c); });
            if (!m.isEmpty()) motivos << m.trimmed();
            if (enArchivo) {
                // A person moved by the file keeps its internal number, as a move does.
                if (!columna.contains(QStringLiteral("IGrado"))) gradoTexto = actual.rows[0][actual.columnIndex(QStringLiteral("IGrado"))].toString();
                if (!columna.contains(QStringLiteral("IGrupo"))) grupo = actual.rows[0][actual.columnIndex(QStringLiteral("IGrupo"))].toString();
                grado = gradoTexto.toInt();
                v[QStringLiteral("IGrado")] = gradoTexto;
                v[QStringLiteral("IGrupo")] = grupo;
                revisarUbicacion();
            }
            if (!motivos.isEmpty()) {
                r.rechazadas << FilaRechazada{hoja->linea(), motivos.join(QLatin1Char(' '))};
                continue;
            }
            QStringList sets;
            QVariantList valores;
            for (auto it = columna.cbegin(); it != columna.cend(); ++it) {
                const QString& campo = it.key();
                if (campo == QLatin1String("codigo") || campo == QLatin1String("IEstudiante")) continue;
                const QVariant nuevo = almacenado(campo);
                const int c = actual.columnIndex(campo);
                if (c >= 0 && mismoValor(actual.rows[0][c], nuevo)) continue;
                sets << campo + QStringLiteral("=?");
                valores << nuevo;
            }
            if (sets.isEmpty()) {
                ++r.sinCambios;
                continue;
            }
            crearUbicacion();
            if (o.escribir) {
                valores << rowid;
                db->exec(QStringLiteral("UPDATE estudiantes SET %1 WHERE rowid=?").arg(sets.join(QLatin1Char(','))), valores);
            }
            ++r.actualizadas;
            continue;
        }

        revisarUbicacion();
        PersonaDatos d;
        d.nombre = valor("NEstudiante");
        d.codigo = codigo;
        d.iEstudiante = valor("IEstudiante").trimmed();
        if (d.iEstudiante.isEmpty())
            d.iEstudiante = QString::number(SiguienteInterno(masAlto.value(ClaveGrupo(grado, grupo), -1)));
        const auto clave = [&](const QString& n) { return QStringLiteral("%1|%2|%3").arg(grado).arg(grupo, n); };
        const ValidacionAlta alta = ReglasAlta(
            gradoTexto, grupo, d, [&](const QString& n) { return internos.contains(clave(n)); },
            [&](const QString& c) { return codigos.contains(c); });
        if (!alta.mensajes.isEmpty()) motivos << alta.mensajes.trimmed();
        if (const QString m = ReglaDeCampo(QStringLiteral("codigo"), alta.codigo); !m.isEmpty() && codigo.isEmpty())
            motivos << m;
        if (!motivos.isEmpty()) {
            r.rechazadas << FilaRechazada{hoja->linea(), motivos.join(QLatin1Char(' '))};
            continue;
        }
        crearUbicacion();
        v[QStringLiteral("codigo")] = alta.codigo;
        v[QStringLiteral("IEstudiante")] = d.iEstudiante;
        if (o.escribir) {
            QVariantList valores;
            for (const QString& campo : camposNuevos) valores << almacenado(campo);
            db->exec(insertar, valores);
            codigos.insert(alta.codigo, db->lastInsertRowId());
        } else {
            codigos.insert(alta.codigo, -1);
        }
        internos.insert(clave(d.iEstudiante));
        masAlto[ClaveGrupo(grado, grupo)] = qMax(masAlto.value(ClaveGrupo(grado, grupo), -1), d.iEstudiante.toLongLong());
        ++r.nuevas;
    }
    if (o.alAvanzar) o.alAvanzar(r.leidas);
    if (o.escribir) {
        tx.commit();
        r.escrito = true;
    }
    return r;
}

QString InformeImportacion(const ResultadoImportacion& r)
{
    QString s = QStringLiteral("Filas leídas: %1\nPersonas nuevas: %2\nPersonas actualizadas: %3\n")
                    .arg(r.leidas).arg(r.nuevas).arg(r.actualizadas);
    if (r.sinCambios) s += QStringLiteral("Sin cambios: %1\n").arg(r.sinCambios);
    if (!r.gruposCreados.isEmpty()) s += QStringLiteral("Creados: %1\n").arg(r.gruposCreados.join(QStringLiteral(", ")));
    s += QStringLiteral("Filas rechazadas: %1\n").arg(r.rechazadas.size());
    for (const FilaRechazada& f : r.rechazadas) s += QStringLiteral("  línea %1: %2\n").arg(f.linea).arg(f.motivo);
    return s;
}

} // namespace kv
