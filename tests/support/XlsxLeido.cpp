#include "support/XlsxLeido.h"
#include "export/ZipLeido.h"
#include <QHash>
#include <QXmlStreamReader>

namespace kvtest {

namespace {

QByteArray parte(const QString& archivo, const QString& nombre)
{
    return kv::ZipLeido(archivo).parte(nombre);
}

// "AB12" -> column 27 (0-based), row 11 (0-based)
void posicion(const QString& ref, int& fila, int& col)
{
    col = 0;
    int i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i) col = col * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
    col -= 1;
    fila = ref.mid(i).toInt() - 1;
}

} // namespace

XlsxLeido LeerXlsx(const QString& archivo)
{
    XlsxLeido r;
    for (QXmlStreamReader x(parte(archivo, QStringLiteral("xl/workbook.xml"))); !x.atEnd();)
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("sheet"))
            r.hojas << x.attributes().value(QLatin1String("name")).toString();

    QStringList compartidos;
    for (QXmlStreamReader x(parte(archivo, QStringLiteral("xl/sharedStrings.xml"))); !x.atEnd();) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("si")) compartidos << QString();
        if (x.isStartElement() && x.name() == QLatin1String("t") && !compartidos.isEmpty())
            compartidos.last() += x.readElementText();
    }

    // style index -> is the text format: built-in 49 or a custom format "@"
    QHash<int, QString> formatos;
    QVector<bool> estiloTexto;
    bool enCellXfs = false;
    for (QXmlStreamReader x(parte(archivo, QStringLiteral("xl/styles.xml"))); !x.atEnd();) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("numFmt"))
            formatos.insert(x.attributes().value(QLatin1String("numFmtId")).toInt(),
                            x.attributes().value(QLatin1String("formatCode")).toString());
        if (x.name() == QLatin1String("cellXfs")) enCellXfs = x.isStartElement();
        if (enCellXfs && x.isStartElement() && x.name() == QLatin1String("xf")) {
            const int id = x.attributes().value(QLatin1String("numFmtId")).toInt();
            estiloTexto << (id == 49 || formatos.value(id) == QLatin1String("@"));
        }
    }

    QXmlStreamReader x(parte(archivo, QStringLiteral("xl/worksheets/sheet1.xml")));
    int fila = 0, col = 0;
    QString tipo;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) continue;
        if (x.name() == QLatin1String("c")) {
            posicion(x.attributes().value(QLatin1String("r")).toString(), fila, col);
            tipo = x.attributes().value(QLatin1String("t")).toString();
            ++r.celdas;
            if (!estiloTexto.value(x.attributes().value(QLatin1String("s")).toInt())) ++r.celdasNoTexto;
            if (r.filas.size() <= fila) r.filas.resize(fila + 1);
        } else if (x.name() == QLatin1String("v") || x.name() == QLatin1String("t")) {
            QString v = x.readElementText();
            if (tipo == QLatin1String("s")) v = compartidos.value(v.toInt());
            QStringList& f = r.filas[fila];
            while (f.size() <= col) f << QString();
            f[col] = v;
        }
    }
    r.ok = !r.hojas.isEmpty() && !x.hasError();
    return r;
}

} // namespace kvtest
