#include "base/MyException.h"

#include "base/Clock.h"

#include <QByteArray>
#include <QFile>

namespace {

const char kEol[] = "\r\n";

// The log and the other text files are read on Windows with the ANSI code page, so they
// are written in Windows-1252: one byte per character, '?' for what has no byte there.
char cp1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    switch (c) {
    case 0x20AC: return '\x80';
    case 0x201A: return '\x82';
    case 0x0192: return '\x83';
    case 0x201E: return '\x84';
    case 0x2026: return '\x85';
    case 0x2020: return '\x86';
    case 0x2021: return '\x87';
    case 0x02C6: return '\x88';
    case 0x2030: return '\x89';
    case 0x0160: return '\x8A';
    case 0x2039: return '\x8B';
    case 0x0152: return '\x8C';
    case 0x017D: return '\x8E';
    case 0x2018: return '\x91';
    case 0x2019: return '\x92';
    case 0x201C: return '\x93';
    case 0x201D: return '\x94';
    case 0x2022: return '\x95';
    case 0x2013: return '\x96';
    case 0x2014: return '\x97';
    case 0x02DC: return '\x98';
    case 0x2122: return '\x99';
    case 0x0161: return '\x9A';
    case 0x203A: return '\x9B';
    case 0x0153: return '\x9C';
    case 0x017E: return '\x9E';
    case 0x0178: return '\x9F';
    default: return '?';
    }
}

QByteArray toAnsi(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char32_t c : text.toUcs4())
        out.append(cp1252Byte(c));
    return out;
}

// Cuts to at most `max` characters without leaving half of a surrogate pair behind.
QString cut(const QString& s, int max)
{
    if (s.size() <= max)
        return s;
    QString r = s.left(max);
    if (r.at(r.size() - 1).isHighSurrogate())
        r.chop(1);
    return r;
}

constexpr int kMaxMessage = 255;
constexpr int kMaxName = 99;

// Date and time in the C library's asctime layout ("Tue Dec  8 08:43:02 2026"), built by
// hand so it does not depend on the C locale or on a static buffer.
QString asctimeText(const QDateTime& t)
{
    static const char* const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate d = t.date();
    const QTime h = t.time();
    return QString::asprintf("%s %s%3d %02d:%02d:%02d %d", days[d.dayOfWeek() - 1],
                             months[d.month() - 1], d.day(), h.hour(), h.minute(), h.second(),
                             d.year());
}

// The append itself. Returns false when the file cannot be opened or written, so the
// log writer can give up quietly instead of raising another logged exception.
bool appendLine(const QString& fileName, const QString& text)
{
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QByteArray bytes = toAnsi(text);
    bytes.append(kEol);
    const bool ok = f.write(bytes) == bytes.size();
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

} // namespace

MyException::MyException(const char* message, int code, const char* source, const char* user)
    : MyException(QString::fromUtf8(message ? message : ""), code,
                  QString::fromUtf8(source ? source : ""), QString::fromUtf8(user ? user : ""))
{
}

MyException::MyException(const std::string& message, int code, const std::string& source,
                         const std::string& user)
    : MyException(QString::fromStdString(message), code, QString::fromStdString(source),
                  QString::fromStdString(user))
{
}

MyException::MyException(const QString& message, int code, const QString& source,
                         const QString& user)
    : kv::Error(cut(message, kMaxMessage))
{
    init(message, code, source, user);
    writeRecord();
}

void MyException::init(const QString& message, int code, const QString& source,
                       const QString& user)
{
    message_ = cut(message, kMaxMessage);
    code_ = code;
    user_ = cut(user, kMaxName);
    source_ = cut(source, kMaxName);
}

void MyException::writeRecord() const
{
    // Nothing may escape from here: the exception being built must still reach its handler.
    try {
        const QString eol = QString::fromLatin1(kEol);
        const QString record = QStringLiteral("Fecha: ") + asctimeText(kv::Clock::instance().now().toLocalTime())
                               + eol + QStringLiteral("Source: ") + source_ + eol
                               + QStringLiteral("Mensaje: ") + message_ + eol
                               + QStringLiteral("Código: ") + QString::number(code_) + eol
                               + QStringLiteral("Usuario: ") + user_ + eol;
        // When the log itself cannot be opened the record is lost; raising another
        // MyException for it would only try the same file again, without end.
        appendLine(logFileName(), record);
    } catch (...) {
    }
}

void AgregarLinea(const QString& fileName, const QString& text)
{
    if (!appendLine(fileName, text))
        throw MyException(QStringLiteral("Error abriendo el archivo: ") + fileName, 0, QString(),
                          QString());
}
