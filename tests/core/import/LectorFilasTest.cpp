// The spreadsheet readers on real files: csv in its usual shapes and an .xlsx workbook written
// by the spreadsheet library with shared strings, numbers and dates.
#include "import/LectorFilas.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

namespace {

struct Leido {
    QVector<QStringList> filas;
    QVector<int> lineas;
};

Leido leerTodo(const QString& archivo)
{
    Leido l;
    auto r = kv::AbrirHoja(archivo);
    QStringList c;
    while (r->siguiente(c)) {
        l.filas << c;
        l.lineas << r->linea();
    }
    return l;
}

QString escribir(const QTemporaryDir& d, const char* nombre, const QByteArray& bytes)
{
    QFile f(d.filePath(QString::fromLatin1(nombre)));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
}

} // namespace

TEST(LectorFilas, CsvSeparatorsQuotesEncodingsAndLines)
{
    struct Caso {
        const char* nombre;
        QByteArray bytes;
        QVector<QStringList> filas;
        QVector<int> lineas;
    };
    const QString jose = QString::fromUtf8("JOSÉ PEÑA");
    const Caso casos[] = {
        {"bom.csv", QByteArray("\xEF\xBB\xBFNombre,C\xC3\xB3" "digo\r\nJOS\xC3\x89 PE\xC3\x91" "A,1\r\n"),
         {{"Nombre", QString::fromUtf8("Código")}, {jose, "1"}}, {1, 2}},
        {"win.csv", QByteArray("Nombre;C\xF3" "digo\nJOS\xC9 PE\xD1" "A;\x80" "1\n"),
         {{"Nombre", QString::fromUtf8("Código")}, {jose, QString::fromUtf8("€1")}}, {1, 2}},
        // A quoted value holds the separator, doubled quotes and a line break; the next row
        // starts on the line after it.
        {"comillas.csv", QByteArray("a;b\n\"x;y\";\"di \"\"hola\"\"\ny adi\xC3\xB3s\"\nz;\n"),
         {{"a", "b"}, {"x;y", QString::fromUtf8("di \"hola\"\ny adiós")}, {"z", ""}}, {1, 2, 4}},
        {"sinfin.csv", QByteArray("a,b,c\n1,,3"), {{"a", "b", "c"}, {"1", "", "3"}}, {1, 2}},
    };
    QTemporaryDir d;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const Leido l = leerTodo(escribir(d, c.nombre, c.bytes));
        EXPECT_EQ(l.filas, c.filas);
        EXPECT_EQ(l.lineas, c.lineas);
    }
    // An open quote never closed is an error that names its line, not a silent row.
    EXPECT_THROW(leerTodo(escribir(d, "abierta.csv", "a,b\n1,\"sin cerrar\n")), kv::ImportError);
    EXPECT_THROW(kv::AbrirHoja(escribir(d, "hoja.ods", "x")), kv::ImportError);
}

TEST(LectorFilas, XlsxSharedStringsNumbersDatesAndGaps)
{
    QTemporaryDir d;
    const QString archivo = d.filePath("libro.xlsx");
    lxw_workbook* wb = workbook_new(QFile::encodeName(archivo).constData());   // shared strings
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Personas");
    workbook_add_worksheet(wb, "Otra");
    lxw_format* fecha = workbook_add_format(wb);
    format_set_num_format(fecha, "dd/mm/yyyy");
    worksheet_write_string(ws, 0, 0, "Nombre", nullptr);
    worksheet_write_string(ws, 0, 1, "Tel\xC3\xA9" "fono", nullptr);
    worksheet_write_string(ws, 0, 3, "Fecha", nullptr);
    worksheet_write_string(ws, 1, 0, "\xC3\x91" "AND\xC3\x9A", nullptr);
    worksheet_write_number(ws, 1, 1, 3001234567.0, nullptr);
    lxw_datetime dt = {2010, 2, 3, 0, 0, 0};
    worksheet_write_datetime(ws, 1, 3, &dt, fecha);
    worksheet_write_number(ws, 3, 1, 2.5, nullptr);   // row 3 empty, row 4 with a gap first
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);

    const Leido l = leerTodo(archivo);
    ASSERT_EQ(l.filas.size(), 3);
    EXPECT_EQ(l.filas[0], (QStringList{"Nombre", QString::fromUtf8("Teléfono"), "", "Fecha"}));
    EXPECT_EQ(l.filas[1], (QStringList{QString::fromUtf8("ÑANDÚ"), "3001234567", "", "2010-02-03"}));
    EXPECT_EQ(l.filas[2], (QStringList{"", "2.5"}));
    EXPECT_EQ(l.lineas, (QVector<int>{1, 2, 4}));
}
