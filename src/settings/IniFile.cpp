#include "settings/IniFile.h"
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

namespace kv {

namespace {
QString iniPath() { return QDir::current().filePath(IniFileName()); }

// Windows-1252 where it differs from Latin-1 (0x80-0x9F); 0 marks the five unused bytes.
const char16_t kCp1252[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                              0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
                              0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

// The file as it is on disk, one entry per line with its own line end, and the encoding
// its texts are in: UTF-8 when the whole file is valid UTF-8, else Windows-1252 (what a
// Windows editor writes).
struct Archivo {
    QList<QByteArray> lineas;   // each with its line end, if it has one
    bool utf8 = true;
    QByteArray finDeLinea = "\r\n";

    QString texto(int i) const
    {
        QByteArray b = lineas[i];
        while (b.endsWith('\n') || b.endsWith('\r')) b.chop(1);
        if (i == 0 && b.startsWith("\xEF\xBB\xBF")) b.remove(0, 3);
        if (utf8) return QString::fromUtf8(b);
        QString s;
        s.reserve(b.size());
        for (const char ch : std::as_const(b)) {
            const uchar c = uchar(ch);
            s += (c >= 0x80 && c < 0xA0 && kCp1252[c - 0x80]) ? QChar(kCp1252[c - 0x80]) : QChar(c);
        }
        return s;
    }
    QByteArray bytes(const QString& s) const
    {
        if (utf8) return s.toUtf8();
        QByteArray b;
        for (const QChar ch : s) {
            const char16_t u = ch.unicode();
            char c = '?';
            if (u < 0x80 || (u >= 0xA0 && u < 0x100)) c = char(u);
            else
                for (int k = 0; k < 32; ++k)
                    if (kCp1252[k] == u && u) c = char(0x80 + k);
            b += c;
        }
        return b;
    }
};

Archivo leer(const QString& path = QString())
{
    Archivo a;
    QFile f(path.isEmpty() ? iniPath() : path);
    if (!f.open(QIODevice::ReadOnly)) return a;
    const QByteArray all = f.readAll();
    QStringDecoder probar(QStringDecoder::Utf8);
    (void)QString(probar(all));
    a.utf8 = !probar.hasError();
    if (!all.contains("\r\n") && all.contains('\n')) a.finDeLinea = "\n";
    qsizetype from = 0;
    while (from < all.size()) {
        const qsizetype nl = all.indexOf('\n', from);
        const qsizetype to = nl < 0 ? all.size() : nl + 1;
        a.lineas << all.mid(from, to - from);
        from = to;
    }
    return a;
}

bool isSection(const QString& line, QString* name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']'))) return false;
    *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

// Where a "; comment" after a value starts (a semicolon after a blank, as the usual INI
// readers take it), or -1. A semicolon inside a word stays part of the value.
int inicioComentario(const QString& line, int from)
{
    for (int i = from; i < line.size(); ++i)
        if (line[i] == QLatin1Char(';') && (i == from || line[i - 1].isSpace())) return i;
    return -1;
}

// Key of a "key=value" line (empty for anything else).
QString keyOf(const QString& line, QString* value)
{
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0 || line.trimmed().startsWith(QLatin1Char(';'))) return QString();
    const int comentario = inicioComentario(line, eq + 1);
    *value = line.mid(eq + 1, comentario < 0 ? -1 : comentario - eq - 1).trimmed();
    return line.left(eq).trimmed();
}
} // namespace

QString LeerIni(const QString& section, const QString& key, const QString& def)
{
    return LeerIniDe(QString(), section, key, def);
}

QString LeerIniDe(const QString& path, const QString& section, const QString& key, const QString& def)
{
    const Archivo a = leer(path);
    bool inSection = false;
    for (int i = 0; i < a.lineas.size(); ++i) {
        const QString line = a.texto(i);
        QString name, value;
        if (isSection(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (inSection && keyOf(line, &value).compare(key, Qt::CaseInsensitive) == 0) return value;
    }
    return def;
}

bool EscribirIni(const QString& section, const QString& key, const QString& value)
{
    // Only the line of the key changes: every other byte stays as it was, in whatever
    // encoding the file has.
    Archivo a = leer();
    int insertAt = -1;   // after the section's last non-empty line
    bool inSection = false, hecho = false;
    for (int i = 0; i < a.lineas.size() && !hecho; ++i) {
        const QString line = a.texto(i);
        QString name, v;
        if (isSection(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection && insertAt < 0) insertAt = i + 1;
            continue;
        }
        if (!inSection) continue;
        if (keyOf(line, &v).compare(key, Qt::CaseInsensitive) == 0) {
            // The key as written and any comment after the value are kept.
            const int eq = line.indexOf(QLatin1Char('='));
            const int comentario = inicioComentario(line, eq + 1);
            const QString resto = comentario < 0 ? QString() : QLatin1Char(' ') + line.mid(comentario);
            const QByteArray& viejo = a.lineas[i];
            const QByteArray fin = viejo.mid(viejo.size() - (viejo.endsWith("\r\n") ? 2 : viejo.endsWith('\n') ? 1 : 0));
            QByteArray bom = i == 0 && viejo.startsWith("\xEF\xBB\xBF") ? QByteArray("\xEF\xBB\xBF") : QByteArray();
            a.lineas[i] = bom + a.bytes(line.left(eq + 1) + value + resto) + fin;
            hecho = true;
        } else if (!line.trimmed().isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (!hecho) {
        if (!a.lineas.isEmpty() && !a.lineas.last().endsWith('\n')) a.lineas.last() += a.finDeLinea;
        const QByteArray nueva = a.bytes(key + QLatin1Char('=') + value) + a.finDeLinea;
        if (insertAt >= 0) {
            a.lineas.insert(insertAt, nueva);
        } else {
            if (!a.lineas.isEmpty() && !a.texto(int(a.lineas.size()) - 1).trimmed().isEmpty()) a.lineas << a.finDeLinea;
            a.lineas << a.bytes(QLatin1Char('[') + section + QLatin1Char(']')) + a.finDeLinea << nueva;
        }
    }
    QSaveFile f(iniPath());
    if (!f.open(QIODevice::WriteOnly)) return false;
    for (const QByteArray& l : std::as_const(a.lineas)) f.write(l);
    return f.commit();
}

int LeerAliasColegio()
{
    bool ok = false;
    const int n = LeerIni(QStringLiteral("ACTION"), QStringLiteral("AliasColegio"), QStringLiteral("0")).toInt(&ok);
    return ok ? n : 0;
}

bool EscribirAliasColegio(int posicion)
{
    return EscribirIni(QStringLiteral("ACTION"), QStringLiteral("AliasColegio"), QString::number(posicion));
}

} // namespace kv
