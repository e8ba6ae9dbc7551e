#include "import/LectorFilas.h"
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <zip.h>

namespace kv {

QString DesdeWindows1252(const QByteArray& bytes)
{
    // 0x80..0x9F differ from Latin-1; the rest is Latin-1 itself.
    static const char16_t alto[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString s;
    s.reserve(bytes.size());
    for (const char c : bytes) {
        const uchar u = uchar(c);
        s += (u >= 0x80 && u < 0xA0) ? QChar(alto[u - 0x80]) : QChar(char16_t(u));
    }
    return s;
}

namespace {

// True when the bytes are valid UTF-8; a letter cut by the end of the sample counts as valid.
bool esUtf8(const QByteArray& b)
{
    const int n = b.size();
    for (int i = 0; i < n;) {
        const uchar c = uchar(b[i]);
        int siguen = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (siguen < 0 || (siguen == 1 && c < 0xC2)) return false;
        for (int k = 1; k <= siguen; ++k) {
            if (i + k >= n) return true;
            if ((uchar(b[i + k]) & 0xC0) != 0x80) return false;
        }
        i += siguen + 1;
    }
    return true;
}

// ---------------------------------------------------------------- csv

class LectorCsv : public LectorFilas {
public:
    explicit LectorCsv(const QString& archivo) : f_(archivo)
    {
        if (!f_.open(QIODevice::ReadOnly))
            throw ImportError(QStringLiteral("No se puede abrir %1: %2").arg(archivo, f_.errorString()));
        // The encoding and the separator are decided on the file's beginning.
        const QByteArray inicio = f_.peek(1 << 16);
        if (inicio.startsWith("\xEF\xBB\xBF")) {
            f_.read(3);
            utf8_ = true;
        } else {
            utf8_ = esUtf8(inicio);
        }
        int comas = 0, puntoycoma = 0;
        bool comillas = false;
        for (const char c : inicio) {
            if (c == '"') comillas = !comillas;
            else if (!comillas && c == '\n') break;
            else if (!comillas && c == ',') ++comas;
            else if (!comillas && c == ';') ++puntoycoma;
        }
        sep_ = puntoycoma > comas ? ';' : ',';
    }

    bool siguiente(QStringList& celdas) override
    {
        celdas.clear();
        QByteArray linea;
        if (!leerLinea(linea)) return false;
        linea_ = lineaFisica_;
        QByteArray celda;
        bool comillas = false, fueCitada = false;
        for (int i = 0;; ++i) {
            if (i >= linea.size()) {
                if (!comillas) break;
                // A quoted value goes on over the line break.
                celda += '\n';
                if (!leerLinea(linea))
                    throw ImportError(QStringLiteral("Línea %1: unas comillas abiertas no se cierran antes del final del archivo.").arg(linea_));
                i = -1;
                continue;
            }
            const char c = linea[i];
            if (comillas) {
                if (c == '"') {
                    if (i + 1 < linea.size() && linea[i + 1] == '"') { celda += '"'; ++i; }
                    else comillas = false;
                } else {
                    celda += c;
                }
            } else if (c == '"' && celda.isEmpty() && !fueCitada) {
                comillas = fueCitada = true;
            } else if (c == sep_) {
                celdas << texto(celda);
                celda.clear();
                fueCitada = false;
            } else {
                celda += c;
            }
        }
        celdas << texto(celda);
        return true;
    }

private:
    // One physical line without its end (\n or \r\n).
    bool leerLinea(QByteArray& l)
    {
        if (f_.atEnd()) return false;
        l = f_.readLine();
        ++lineaFisica_;
        if (l.endsWith('\n')) l.chop(1);
        if (l.endsWith('\r')) l.chop(1);
        return true;
    }
    QString texto(const QByteArray& b) const { return utf8_ ? QString::fromUtf8(b) : DesdeWindows1252(b); }

    QFile f_;
    bool utf8_ = true;
    char sep_ = ',';
    int lineaFisica_ = 0;
};

// ---------------------------------------------------------------- xlsx

class Zip {
public:
    explicit Zip(const QString& archivo)
    {
        int err = 0;
        z_ = zip_open(QFile::encodeName(archivo).constData(), ZIP_RDONLY, &err);
        if (!z_) throw ImportError(QStringLiteral("%1 no es un libro .xlsx legible.").arg(archivo));
    }
    ~Zip() { if (z_) zip_discard(z_); }
    zip_t* z() const { return z_; }
    bool tiene(const char* nombre) const { return zip_name_locate(z_, nombre, 0) >= 0; }

private:
    zip_t* z_ = nullptr;
};

// One part of the archive read in pieces into an XML reader.
class Parte {
public:
    Parte(zip_t* z, const QByteArray& nombre) : nombre_(nombre)
    {
        f_ = zip_fopen(z, nombre.constData(), 0);
        if (!f_) throw ImportError(QStringLiteral("Falta la parte %1 del libro.").arg(QString::fromUtf8(nombre)));
    }
    ~Parte() { if (f_) zip_fclose(f_); }
    // The next XML token, feeding the reader as it runs dry.
    QXmlStreamReader::TokenType siguiente()
    {
        for (;;) {
            const auto t = x_.readNext();
            if (t != QXmlStreamReader::Invalid) return t;
            if (x_.error() != QXmlStreamReader::PrematureEndOfDocumentError || fin_)
                throw ImportError(QStringLiteral("La parte %1 del libro está dañada: %2")
                                      .arg(QString::fromUtf8(nombre_), x_.errorString()));
            char buf[1 << 16];
            const zip_int64_t n = zip_fread(f_, buf, sizeof buf);
            if (n < 0) throw ImportError(QStringLiteral("No se pudo leer la parte %1 del libro.").arg(QString::fromUtf8(nombre_)));
            if (n == 0) fin_ = true;
            else x_.addData(QByteArray(buf, int(n)));
        }
    }
    QXmlStreamReader& x() { return x_; }
    // Text of the current element up to its end, child elements' text included.
    QString textoHastaFin()
    {
        QString s;
        int nivel = 1;
        while (nivel > 0) {
            const auto t = siguiente();
            if (t == QXmlStreamReader::StartElement) ++nivel;
            else if (t == QXmlStreamReader::EndElement) --nivel;
            else if (t == QXmlStreamReader::Characters) s += x_.text();
            else if (t == QXmlStreamReader::EndDocument) break;
        }
        return s;
    }

private:
    QByteArray nombre_;
    zip_file_t* f_ = nullptr;
    QXmlStreamReader x_;
    bool fin_ = false;
};

// Column number (from 0) of a cell reference such as "AB12".
int columnaDe(QStringView ref)
{
    int c = 0;
    for (const QChar ch : ref) {
        if (ch < QLatin1Char('A') || ch > QLatin1Char('Z')) break;
        c = c * 26 + (ch.unicode() - 'A' + 1);
    }
    return c - 1;
}

// A number format code shows a date when it has day, month or year letters outside quotes.
bool formatoDeFecha(const QString& codigo)
{
    bool comillas = false;
    for (int i = 0; i < codigo.size(); ++i) {
        const QChar c = codigo[i];
        if (c == QLatin1Char('"')) comillas = !comillas;
        else if (c == QLatin1Char('\\')) ++i;
        else if (c == QLatin1Char('[')) { while (i < codigo.size() && codigo[i] != QLatin1Char(']')) ++i; }
        else if (!comillas && QStringLiteral("dDyY").contains(c)) return true;
    }
    return false;
}

QString numeroComoTexto(const QString& v)
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (ok && d == double(qint64(d)) && qAbs(d) < 1e15) return QString::number(qint64(d));
    return v;
}

class LectorXlsx : public LectorFilas {
public:
    explicit LectorXlsx(const QString& archivo) : zip_(archivo)
    {
        hoja_ = primeraHoja();
        leerEstilos();
        leerCompartidas();
        parte_ = std::make_unique<Parte>(zip_.z(), hoja_);
    }

    bool siguiente(QStringList& celdas) override
    {
        celdas.clear();
        for (;;) {
            const auto t = parte_->siguiente();
            if (t == QXmlStreamReader::EndDocument) return false;
            if (t == QXmlStreamReader::StartElement && parte_->x().name() == QLatin1String("row")) {
                const QString r = parte_->x().attributes().value(QLatin1String("r")).toString();
                linea_ = r.isEmpty() ? linea_ + 1 : r.toInt();
                leerFila(celdas);
                return true;
            }
        }
    }

private:
    QByteArray primeraHoja()
    {
        // The first <sheet> of the workbook, through its relationship; sheet1.xml otherwise.
        QString rid;
        if (zip_.tiene("xl/workbook.xml")) {
            Parte wb(zip_.z(), "xl/workbook.xml");
            for (auto t = wb.siguiente(); t != QXmlStreamReader::EndDocument; t = wb.siguiente())
                if (t == QXmlStreamReader::StartElement && wb.x().name() == QLatin1String("sheet")) {
                    for (const auto& a : wb.x().attributes())
                        if (a.name() == QLatin1String("id")) rid = a.value().toString();
                    break;
                }
        }
        if (!rid.isEmpty() && zip_.tiene("xl/_rels/workbook.xml.rels")) {
            Parte rels(zip_.z(), "xl/_rels/workbook.xml.rels");
            for (auto t = rels.siguiente(); t != QXmlStreamReader::EndDocument; t = rels.siguiente())
                if (t == QXmlStreamReader::StartElement && rels.x().name() == QLatin1String("Relationship")
                    && rels.x().attributes().value(QLatin1String("Id")) == rid) {
                    QString target = rels.x().attributes().value(QLatin1String("Target")).toString();
                    if (target.startsWith(QLatin1Char('/'))) target = target.mid(1);
                    else target = QStringLiteral("xl/") + target;
                    if (zip_.tiene(target.toUtf8().constData())) return target.toUtf8();
                }
        }
        if (zip_.tiene("xl/worksheets/sheet1.xml")) return "xl/worksheets/sheet1.xml";
        throw ImportError(QStringLiteral("El libro no tiene hojas."));
    }

    void leerEstilos()
    {
        if (!zip_.tiene("xl/styles.xml")) return;
        Parte st(zip_.z(), "xl/styles.xml");
        QHash<int, bool> formatos;   // custom number formats: is it a date?
        bool enXfs = false;
        for (auto t = st.siguiente(); t != QXmlStreamReader::EndDocument; t = st.siguiente()) {
            if (t == QXmlStreamReader::StartElement) {
                const auto n = st.x().name();
                if (n == QLatin1String("numFmt"))
                    formatos.insert(st.x().attributes().value(QLatin1String("numFmtId")).toInt(),
                                    formatoDeFecha(st.x().attributes().value(QLatin1String("formatCode")).toString()));
                else if (n == QLatin1String("cellXfs")) enXfs = true;
                else if (n == QLatin1String("xf") && enXfs) {
                    const int id = st.x().attributes().value(QLatin1String("numFmtId")).toInt();
                    // The built-in date and time formats.
                    const bool fecha = (id >= 14 && id <= 22) || (id >= 45 && id <= 47) || formatos.value(id, false);
                    estiloFecha_.push_back(fecha);
                }
            } else if (t == QXmlStreamReader::EndElement && st.x().name() == QLatin1String("cellXfs")) {
                enXfs = false;
            }
        }
    }

    void leerCompartidas()
    {
        // Shared strings are referred to by number from anywhere in the sheet, so they are
        // kept; a workbook written in a stream (as the export writes it) has none.
        if (!zip_.tiene("xl/sharedStrings.xml")) return;
        Parte ss(zip_.z(), "xl/sharedStrings.xml");
        for (auto t = ss.siguiente(); t != QXmlStreamReader::EndDocument; t = ss.siguiente())
            if (t == QXmlStreamReader::StartElement && ss.x().name() == QLatin1String("si")) compartidas_ << textoRico(ss);
    }

    // Text of an <si> or <is>: the <t> elements, leaving phonetic runs (<rPh>) out.
    static QString textoRico(Parte& p)
    {
        QString s;
        int nivel = 1;
        bool enT = false, enRph = false;
        while (nivel > 0) {
            const auto t = p.siguiente();
            if (t == QXmlStreamReader::StartElement) {
                ++nivel;
                if (p.x().name() == QLatin1String("t")) enT = true;
                else if (p.x().name() == QLatin1String("rPh")) enRph = true;
            } else if (t == QXmlStreamReader::EndElement) {
                --nivel;
                if (p.x().name() == QLatin1String("t")) enT = false;
                else if (p.x().name() == QLatin1String("rPh")) enRph = false;
            } else if (t == QXmlStreamReader::Characters && enT && !enRph) {
                s += p.x().text();
            } else if (t == QXmlStreamReader::EndDocument) {
                break;
            }
        }
        return s;
    }

    void leerFila(QStringList& celdas)
    {
        int nivel = 1;
        while (nivel > 0) {
            const auto t = parte_->siguiente();
            if (t == QXmlStreamReader::EndDocument) return;
            if (t == QXmlStreamReader::EndElement) { --nivel; continue; }
            if (t != QXmlStreamReader::StartElement) continue;
            if (parte_->x().name() != QLatin1String("c")) { ++nivel; continue; }
            const auto at = parte_->x().attributes();
            const QString ref = at.value(QLatin1String("r")).toString();
            const QString tipo = at.value(QLatin1String("t")).toString();
            const int estilo = at.value(QLatin1String("s")).toInt();
            const int col = ref.isEmpty() ? celdas.size() : columnaDe(ref);
            QString valor;
            // Inside <c>: <v> or <is>, maybe <f>.
            int n = 1;
            while (n > 0) {
                const auto u = parte_->siguiente();
                if (u == QXmlStreamReader::EndDocument) return;
                if (u == QXmlStreamReader::EndElement) { --n; continue; }
                if (u != QXmlStreamReader::StartElement) continue;
                const auto nombre = parte_->x().name();
                if (nombre == QLatin1String("v")) valor = parte_->textoHastaFin();
                else if (nombre == QLatin1String("is")) valor = textoRico(*parte_);
                else ++n;
            }
            if (tipo == QLatin1String("s")) {
                const int i = valor.toInt();
                valor = i >= 0 && i < compartidas_.size() ? compartidas_[i] : QString();
            } else if (tipo == QLatin1String("b")) {
                valor = valor == QLatin1String("1") ? QStringLiteral("True") : QStringLiteral("False");
            } else if (tipo.isEmpty() || tipo == QLatin1String("n")) {
                if (!valor.isEmpty() && estilo >= 0 && estilo < estiloFecha_.size() && estiloFecha_[estilo]) {
                    // Days since 1899-12-30 (the 1900 date system), fraction = time of day.
                    bool ok = false;
                    const double serie = valor.toDouble(&ok);
                    if (ok) valor = QDate(1899, 12, 30).addDays(qint64(serie)).toString(Qt::ISODate);
                } else {
                    valor = numeroComoTexto(valor);
                }
            }
            while (celdas.size() < col) celdas << QString();
            if (col >= 0 && col < celdas.size()) celdas[col] = valor;
            else celdas << valor;
        }
    }

    Zip zip_;
    QByteArray hoja_;
    QVector<bool> estiloFecha_;
    QStringList compartidas_;
    std::unique_ptr<Parte> parte_;
};

} // namespace

std::unique_ptr<LectorFilas> AbrirHoja(const QString& archivo)
{
    const QFileInfo fi(archivo);
    if (!fi.isFile()) throw ImportError(QStringLiteral("No existe el archivo %1.").arg(archivo));
    const QString ext = fi.suffix().toLower();
    if (ext == QLatin1String("csv") || ext == QLatin1String("txt")) return std::make_unique<LectorCsv>(archivo);
    if (ext == QLatin1String("xlsx")) return std::make_unique<LectorXlsx>(archivo);
    throw ImportError(QStringLiteral("%1: solo se importan archivos .csv y .xlsx.").arg(fi.fileName()));
}

} // namespace kv
