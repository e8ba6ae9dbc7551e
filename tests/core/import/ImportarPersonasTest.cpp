// Persons from spreadsheet files into a real site: the dialogs' rules row by row, one
// transaction, updates that change only what the file changes, and the export's round trip.
#include "data/TableCursor.h"
#include "export/Exportar.h"
#include "import/ImportarPersonas.h"
#include "import/LectorFilas.h"
#include "support/Rows.h"
#include "support/TempSite.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kvtest::TempSite;

namespace {

QString csv(const QString& dir, const QString& texto, const char* nombre = "personas.csv")
{
    QFile f(dir + QLatin1Char('/') + QString::fromLatin1(nombre));
    f.open(QIODevice::WriteOnly);
    f.write(texto.toUtf8());
    return f.fileName();
}

// A site with category 11 "Undécimo", its group A holding one person with number 0, and that
// person's movements.
void base(TempSite& s)
{
    s.exec("insert into AbaGrados (IGrado, NGrado) values (11, ?)", {QString::fromUtf8("Undécimo")});
    kvtest::insertarGrupo(s, 11, "A");
    kvtest::Persona(11, "A", "YA ESTABA", "EXISTE").numero(0).en(s);
    s.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt) values ('EXISTE', '2026-12-01', '07:00:00', 'E')");
}

// Every field of every person, in code order, as text.
QStringList volcado(const TempSite& s, const char* tabla = "estudiantes")
{
    QStringList l;
    kv::Query q = s.query(QStringLiteral("select * from %1 order by codigo").arg(QLatin1String(tabla)));
    for (q.first(); !q.eof(); q.next()) {
        QStringList f;
        for (const QString& n : q.fieldNames()) f << n + QLatin1Char('=') + q.fieldByName(n).asString();
        l << f.join(QLatin1Char('|'));
    }
    return l;
}

} // namespace

TEST(ImportarPersonas, EachRowCheckedAsTheDialogsCheckIt)
{
    TempSite s;
    base(s);
    const QString largo(5000, QLatin1Char('N'));
    const QString texto = QString::fromUtf8(
        "Grado;Grupo;Nombre;Código;Documento;Fecha de nacimiento;Teléfono acudiente;Observaciones\n"
        "11;A;ANA;;0012;03/02/2010;300 1;\n"                                   // 2 generated code 11A1L
        "11;A;;X1;;;;\n"                                                       // 3 no name
        "11;A;BETO;EXISTE;;;;\n"                                               // 4 code of the site
        "11;A;CARLOS;DUP;;;;\n"                                                // 5
        "11;A;CARLA;DUP;;;;\n"                                                 // 6 code already in the file
        "11;Z;DIEGO;D1;;;;\n"                                                  // 7 no such group
        "12;A;EVA;E1;;;;\n"                                                    // 8 no such category
        "11;A;FELIPE;F1;;31/02/2010;;\n"                                       // 9 no such date
        "11;A;\"GINA \"\"LA\"\" ; x\";G1;;;;\"'; drop table estudiantes; --\nsegunda línea\"\n"   // 10-11 literal
        "11;A;") + largo + QString::fromUtf8(";H1;;;;\n"                       // 12 too long
        "Undécimo;A;IVÁN;I1;;2011-12-31;;\n"                                   // 13 category by name
        "11;A;JUAN;CODIGO-DE-VEINTIUNO12;;;;\n"                                // 14 code too long
        "\n");
    const QString archivo = csv(s.workDir(), texto);

    struct Esperado { int linea; const char* motivo; };
    const Esperado rechazos[] = {
        {3, "Coloque el nombre del estudiante"},
        {4, "Código del estudiante ya está asignado."},
        {6, "Código del estudiante ya está asignado."},
        {7, "El grupo Z de la categoría 11 no existe"},
        {8, "La categoría 12 no existe"},
        {9, "'31/02/2010' no es una fecha de nacimiento válida."},
        {12, "NEstudiante tiene 5000 caracteres y el campo admite 60."},
        {14, "codigo tiene 21 caracteres y el campo admite 20."},
    };
    // First a check alone: the same report, nothing written.
    for (const bool escribir : {false, true}) {
        SCOPED_TRACE(escribir);
        kv::OpcionesImportacion o;
        o.escribir = escribir;
        const kv::ResultadoImportacion r = kv::ImportarPersonas(s.tablesDir(), archivo, o);
        EXPECT_EQ(r.leidas, 12);
        EXPECT_EQ(r.nuevas, 4);
        ASSERT_EQ(r.rechazadas.size(), int(std::size(rechazos)));
        for (int i = 0; i < r.rechazadas.size(); ++i) {
            EXPECT_EQ(r.rechazadas[i].linea, rechazos[i].linea);
            EXPECT_TRUE(r.rechazadas[i].motivo.contains(QString::fromUtf8(rechazos[i].motivo))) << r.rechazadas[i].motivo.toStdString();
        }
        EXPECT_EQ(s.count("estudiantes"), escribir ? 5 : 1);
    }
    // Internal numbers follow the group's highest, codes are generated as the add dialog
    // does, and texts are stored as they came.
    EXPECT_EQ(s.scalar("select IEstudiante || ' ' || codigo || ' ' || fechaNac || ' ' || docIdent || ' ' || telefacudiente "
                       "from estudiantes where NEstudiante='ANA'"),
              "1 11A1L 2010-02-03 0012 300 1");
    EXPECT_EQ(s.scalar("select IEstudiante from estudiantes where codigo='DUP'"), "2");
    EXPECT_EQ(s.scalar("select NEstudiante from estudiantes where codigo='G1'"), QString::fromUtf8("GINA \"LA\" ; x"));
    EXPECT_EQ(s.scalar("select observaciones from estudiantes where codigo='G1'"),
              QString::fromUtf8("'; drop table estudiantes; --\nsegunda línea"));
    EXPECT_EQ(s.scalar("select IGrado || IGrupo || IEstudiante from estudiantes where codigo='I1'"), "11A4");
    EXPECT_EQ(s.count("entradasSalidas"), 1);
}

TEST(ImportarPersonas, MissingCategoriesAndGroupsAreMadeOnlyWhenAsked)
{
    TempSite s;
    base(s);
    s.exec("insert into AbaMaterias (IGrado, IMateria) values (12, 'MAT')");
    const QString archivo = csv(s.workDir(), "Grado,Grupo,Nombre,Codigo\n11,Z,DIEGO,D1\n12,A,EVA,E1\n12,A,EMA,E2\n");
    kv::OpcionesImportacion o;
    EXPECT_EQ(kv::ImportarPersonas(s.tablesDir(), archivo, o).rechazadas.size(), 3);
    o.crearGrupos = true;
    const kv::ResultadoImportacion r = kv::ImportarPersonas(s.tablesDir(), archivo, o);
    EXPECT_TRUE(r.rechazadas.isEmpty());
    EXPECT_EQ(r.gruposCreados, (QStringList{"11 Z", "12", "12 A"}));
    EXPECT_EQ(s.count("grupos"), 3);
    EXPECT_EQ(s.count("AbaGrados", "IGrado=12"), 1);
    // A new group gets its category's subjects, as the group dialog gives them.
    EXPECT_EQ(s.count("MovMat", "IGrado=12 and IGrupo='A'"), 1);
    EXPECT_EQ(s.scalar("select group_concat(IEstudiante) from estudiantes where IGrado=12"), "0,1");
}

TEST(ImportarPersonas, UpdatesChangeOnlyWhatTheFileChanges)
{
    TempSite s;
    base(s);
    s.exec("update estudiantes set telefacudiente='111', docIdent='', fechaNac='2009-01-01' where codigo='EXISTE'");
    kvtest::Persona(11, "A", "OTRA", "OTRA").numero(1).en(s);
    s.exec("update estudiantes set telefacudiente='222' where codigo='OTRA'");
    const QStringList antes = volcado(s);
    const QString archivo = csv(s.workDir(), QString::fromUtf8(
        "codigo,Teléfono acudiente,Documento,Fecha de nacimiento\n"
        "EXISTE,999,,01/01/2009\n"     // only the telephone differs ('' and empty are the same)
        "OTRA,222,,\n"                 // nothing differs
        "NUEVA,5,,\n"));               // unknown code without category: refused
    kv::OpcionesImportacion o;
    // Without "Actualizar existentes" a known code is a duplicate.
    kv::ResultadoImportacion r = kv::ImportarPersonas(s.tablesDir(), archivo, o);
    EXPECT_EQ(r.rechazadas.size(), 3);
    EXPECT_EQ(volcado(s), antes);

    o.actualizar = true;
    r = kv::ImportarPersonas(s.tablesDir(), archivo, o);
    EXPECT_EQ(r.actualizadas, 1);
    EXPECT_EQ(r.sinCambios, 1);
    ASSERT_EQ(r.rechazadas.size(), 1);
    EXPECT_EQ(r.rechazadas[0].linea, 4);
    EXPECT_TRUE(r.rechazadas[0].motivo.startsWith(QString::fromUtf8("Falta la categoría."))) << r.rechazadas[0].motivo.toStdString();
    QStringList esperado = antes;
    esperado.replaceInStrings("telefacudiente=111", "telefacudiente=999");
    EXPECT_EQ(volcado(s), esperado);
    EXPECT_EQ(volcado(s, "entradasSalidas").size(), 1);
}

TEST(ImportarPersonas, AllOrNothingWhenTheEngineRefusesARow)
{
    TempSite s;
    base(s);
    s.exec("create trigger falla before insert on estudiantes when new.NEstudiante='FALLA' "
           "begin select raise(abort, 'fila rechazada por el motor'); end");
    const QString archivo = csv(s.workDir(), "Grado,Grupo,Nombre\n11,A,UNO\n11,A,DOS\n11,A,FALLA\n11,A,CUATRO\n");
    EXPECT_THROW(kv::ImportarPersonas(s.tablesDir(), archivo, {}), kv::DbError);
    EXPECT_EQ(s.count("estudiantes"), 1);
}

TEST(ImportarPersonas, ExportedWorkbookComesBackFieldForField)
{
    TempSite origen;
    base(origen);
    const char* ins = "insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo, docIdent, tipoDocIdent,"
                      " NumMatr, numCarnet, rh, situacion, fechaNac, edad, acudiente, telefacudiente, observaciones,"
                      " gradoantesbod) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
    origen.exec(ins, {11, "A", 5, QString::fromUtf8("JOSÉ PEÑA"), "11A5L", "0099", 2, 77, 0, "O+", "SUSPENDIDO",
                      "2010-02-28", 16, QString::fromUtf8("MARÍA"), "3001234567", "dos\nlíneas", "10"});
    origen.exec(ins, {-99, "", 0, "RETIRADO", "R1", QVariant(), QVariant(), 0, 0, QVariant(), QVariant(), QVariant(),
                      QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
    QTemporaryDir tmp;
    const QString libro = tmp.filePath("personas.xlsx");
    {
        kv::TableCursor t(QStringLiteral("Estudiantes"));
        t.setDirectory(origen.tablesDir());
        t.open();
        kv::ExportarTabla(t, libro);
    }
    // The person dialogs store an empty number box as 0, and so does the import; a person made
    // by the program never has these empty.
    origen.exec("update estudiantes set NumMatr=0, numCarnet=0 where NumMatr is null");
    const QStringList antes = volcado(origen);

    // An empty site with the same categories and groups.
    TempSite destino;
    destino.exec("insert into AbaGrados (IGrado, NGrado) values (11, 'X')");
    kvtest::insertarGrupo(destino, 11, "A");
    const kv::ResultadoImportacion r = kv::ImportarPersonas(destino.tablesDir(), libro, {});
    EXPECT_TRUE(r.rechazadas.isEmpty()) << kv::InformeImportacion(r).toStdString();
    EXPECT_EQ(r.nuevas, 3);
    for (int i = 0; i < r.campos.size(); ++i) EXPECT_FALSE(r.campos[i].isEmpty()) << r.encabezados[i].toStdString();
    EXPECT_EQ(volcado(destino).join("\n").toStdString(), antes.join("\n").toStdString());
}
