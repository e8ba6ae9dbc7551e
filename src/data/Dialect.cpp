#include "data/Dialect.h"
#include "data/Field.h"
#include "data/Schema.h"
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QVector>

namespace kv {

namespace {

struct Token {
    enum Kind { Space, Word, Number, String, Punct, Param } kind;
    QString text;   // for String: the unquoted value
};

QVector<Token> lex(const QString& s)
{
    QVector<Token> out;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            int j = i;
            while (j < n && s[j].isSpace()) ++j;
            out.append({Token::Space, s.mid(i, j - i)});
            i = j;
        } else if (c == '\'' || c == '"') {
            QString val;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) { val += c; j += 2; continue; }
                    closed = true;
                    ++j;
                    break;
                }
                val += s[j++];
            }
            if (!closed)
                throw DbError(QStringLiteral("Texto sin cerrar en la sentencia: %1").arg(s));
            out.append({Token::String, val});
            i = j;
        } else if (c.isLetter() || c == '_') {
            int j = i;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == '_' || s[j] == '$')) ++j;
            out.append({Token::Word, s.mid(i, j - i)});
            i = j;
        } else if (c.isDigit()) {
            int j = i;
            while (j < n && (s[j].isDigit() || s[j] == '.')) ++j;
            out.append({Token::Number, s.mid(i, j - i)});
            i = j;
        } else if (c == '?') {
            out.append({Token::Param, QStringLiteral("?")});
            ++i;
        } else if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            int j = i;
            while (j < n && s[j] != '\n') ++j;
            out.append({Token::Space, QStringLiteral(" ")});
            i = j;
        } else {
            // two-character operators stay together
            const QString two = s.mid(i, 2);
            if (two == "!=" || two == "<=" || two == ">=" || two == "<>" || two == "||") {
                out.append({Token::Punct, two});
                i += 2;
            } else {
                out.append({Token::Punct, QString(c)});
                ++i;
            }
        }
    }
    return out;
}

QString quote(const QString& v)
{
    QString q = v;
    q.replace('\'', QStringLiteral("''"));
    return '\'' + q + '\'';
}

enum class Moment { None, Date, Time, DateTime };

// Date and time fields of the site's tables, by lower-case name.
const QHash<QString, Moment>& momentFields()
{
    static const QHash<QString, Moment> fields = [] {
        QHash<QString, Moment> f;
        for (const TableDef& t : siteTables())
            for (const QString& c : columnasActuales(t.name)) {
                const QString name = c.section(QLatin1Char(' '), 0, 0).toLower();
                switch (fieldTypeFromDeclared(c.section(QLatin1Char(' '), 1))) {
                case FieldType::Date: f.insert(name, Moment::Date); break;
                case FieldType::Time: f.insert(name, Moment::Time); break;
                case FieldType::DateTime: f.insert(name, Moment::DateTime); break;
                default: break;
                }
            }
        return f;
    }();
    return fields;
}

// A literal that stands for a date or a time field's value becomes the stored form.
// A date that names no real day, or a time past the clock, makes the statement fail
// instead of silently comparing as text.
QString literal(const QString& v, Moment m)
{
    static const QRegularExpression date(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})\\s*$"));
    static const QRegularExpression time(QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*$"));
    if (m == Moment::Date || m == Moment::DateTime) {
        const auto d = date.match(v);
        if (d.hasMatch()) {
            const QDate day(d.captured(3).toInt(), d.captured(1).toInt(), d.captured(2).toInt());
            if (!day.isValid())
                throw DbError(QStringLiteral("La fecha '%1' no existe.").arg(v));
            return quote(day.toString(Qt::ISODate));
        }
    }
    if (m == Moment::Time || m == Moment::DateTime) {
        const auto h = time.match(v);
        if (h.hasMatch()) {
            const QTime t(h.captured(1).toInt(), h.captured(2).toInt(),
                          h.captured(3).isEmpty() ? 0 : h.captured(3).toInt());
            if (!t.isValid())
                throw DbError(QStringLiteral("La hora '%1' no existe.").arg(v));
            return quote(t.toString(QStringLiteral("HH:mm:ss")));
        }
    }
    return quote(v);
}

bool isWord(const Token& t, const char* w)
{
    return t.kind == Token::Word && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
}

int nextNonSpace(const QVector<Token>& t, int i)
{
    while (i < t.size() && t[i].kind == Token::Space) ++i;
    return i;
}

int prevNonSpace(const QVector<Token>& t, int i)
{
    --i;
    while (i >= 0 && t[i].kind == Token::Space) --i;
    return i;
}

bool isComparison(const Token& t)
{
    static const QStringList ops = {"=", "<", ">", "<=", ">=", "<>", "!="};
    return t.kind == Token::Punct && ops.contains(t.text);
}

Moment fieldMoment(const QVector<Token>& t, int i)
{
    if (i < 0 || i >= t.size() || t[i].kind != Token::Word) return Moment::None;
    return momentFields().value(t[i].text.toLower(), Moment::None);
}

// The field a literal at i is compared with: "f op 'x'", "'x' op f", "f [not] between 'x' and 'y'",
// "f [not] in ('x', 'y')".
Moment comparedField(const QVector<Token>& t, int i)
{
    int p = prevNonSpace(t, i);
    if (p >= 0 && isComparison(t[p])) return fieldMoment(t, prevNonSpace(t, p));
    const int n = nextNonSpace(t, i + 1);
    if (n < t.size() && isComparison(t[n])) return fieldMoment(t, nextNonSpace(t, n + 1));
    if (p >= 0 && isWord(t[p], "and")) {   // second bound of a between
        const int lo = prevNonSpace(t, p);
        if (lo >= 0 && t[lo].kind == Token::String) p = prevNonSpace(t, lo);
        else return Moment::None;
    }
    if (p >= 0 && isWord(t[p], "between")) {
        int f = prevNonSpace(t, p);
        if (f >= 0 && isWord(t[f], "not")) f = prevNonSpace(t, f);
        return fieldMoment(t, f);
    }
    // inside an in-list: walk back over literals and commas to the "("
    while (p >= 0 && t[p].kind == Token::Punct && t[p].text == ",") {
        const int v = prevNonSpace(t, p);
        if (v < 0 || t[v].kind != Token::String) return Moment::None;
        p = prevNonSpace(t, v);
    }
    if (p >= 0 && t[p].kind == Token::Punct && t[p].text == "(") {
        const int in = prevNonSpace(t, p);
        if (in >= 0 && isWord(t[in], "in")) {
            int f = prevNonSpace(t, in);
            if (f >= 0 && isWord(t[f], "not")) f = prevNonSpace(t, f);
            return fieldMoment(t, f);
        }
    }
    return Moment::None;
}

// "insert into t (a, b) values ('x', 'y'), ...": the literal at each position takes the
// field named at the same position of the column list.
void insertedFields(const QVector<Token>& t, QHash<int, Moment>& out)
{
    for (int i = 0; i < t.size(); ++i) {
        if (!isWord(t[i], "insert")) continue;
        int j = nextNonSpace(t, i + 1);
        if (j >= t.size() || !isWord(t[j], "into")) continue;
        j = nextNonSpace(t, j + 1);                  // table name
        j = nextNonSpace(t, j + 1);
        if (j >= t.size() || t[j].text != "(") continue;
        QVector<Moment> cols;
        Moment current = Moment::None;
        for (++j; j < t.size() && t[j].text != ")"; ++j) {
            if (t[j].kind == Token::Word) current = fieldMoment(t, j);
            else if (t[j].text == ",") { cols.append(current); current = Moment::None; }
        }
        cols.append(current);
        j = nextNonSpace(t, j + 1);
        if (j >= t.size() || !isWord(t[j], "values")) continue;
        for (j = nextNonSpace(t, j + 1); j < t.size() && t[j].text == "(";) {
            int depth = 0, pos = 0;
            for (; j < t.size(); ++j) {
                if (t[j].text == "(" && t[j].kind == Token::Punct) ++depth;
                else if (t[j].text == ")" && t[j].kind == Token::Punct) { if (--depth == 0) break; }
                else if (depth == 1 && t[j].kind == Token::Punct && t[j].text == ",") ++pos;
                else if (depth == 1 && t[j].kind == Token::String && pos < cols.size()) out.insert(j, cols[pos]);
            }
            j = nextNonSpace(t, j + 1);
            if (j < t.size() && t[j].text == ",") j = nextNonSpace(t, j + 1);
        }
    }
}

QString render(const QVector<Token>& t, int from, int to, const QHash<int, Moment>& inserted);

// substring(x from a for b) -> substr(x, a, b); nested uses are handled too.
QString renderSubstring(const QVector<Token>& t, int& i, const QHash<int, Moment>& ins)
{
    // t[i] is "substring", t[open] is "("
    const int open = nextNonSpace(t, i + 1);
    int depth = 0;
    int fromPos = -1, forPos = -1, close = -1;
    for (int j = open; j < t.size(); ++j) {
        if (t[j].kind == Token::Punct && t[j].text == "(") ++depth;
        else if (t[j].kind == Token::Punct && t[j].text == ")") {
            if (--depth == 0) { close = j; break; }
        } else if (depth == 1 && isWord(t[j], "from") && fromPos < 0) fromPos = j;
        else if (depth == 1 && isWord(t[j], "for") && forPos < 0) forPos = j;
    }
    if (close < 0 || fromPos < 0) {   // not the dialect's form: leave it as it is
        QString out = t[i].text;
        ++i;
        return out;
    }
    QString out = QStringLiteral("substr(") + render(t, open + 1, fromPos, ins).trimmed() + QStringLiteral(", ");
    if (forPos > 0)
        out += render(t, fromPos + 1, forPos, ins).trimmed() + QStringLiteral(", ") + render(t, forPos + 1, close, ins).trimmed();
    else
        out += render(t, fromPos + 1, close, ins).trimmed();
    out += ')';
    i = close + 1;
    return out;
}

QString render(const QVector<Token>& t, int from, int to, const QHash<int, Moment>& ins)
{
    QString out;
    int i = from;
    while (i < to) {
        const Token& tok = t[i];
        if (tok.kind == Token::String) {
            Moment m = comparedField(t, i);
            if (m == Moment::None) m = ins.value(i, Moment::None);
            out += literal(tok.text, m);
            ++i;
        } else if (isWord(tok, "substring") && nextNonSpace(t, i + 1) < to
                   && t[nextNonSpace(t, i + 1)].text == "(") {
            out += renderSubstring(t, i, ins);
        } else {
            out += tok.text;
            ++i;
        }
    }
    return out;
}

} // namespace

QString translateLocalSql(const QString& sql)
{
    const QVector<Token> t = lex(sql);
    QHash<int, Moment> inserted;
    insertedFields(t, inserted);
    return render(t, 0, t.size(), inserted);
}

QString leadingKeyword(const QString& sql)
{
    // Only the first word is wanted: scanned to, as lex() reads it, without splitting the
    // whole statement (every query of the program asks this).
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        if (sql[i].isSpace() || sql[i] == QLatin1Char('(')) {
            ++i;
        } else if (sql[i] == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n')) ++i;
        } else {
            break;
        }
    }
    if (i == n || !(sql[i].isLetter() || sql[i] == QLatin1Char('_'))) return QString();
    int j = i;
    while (j < n && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_') || sql[j] == QLatin1Char('$'))) ++j;
    return sql.mid(i, j - i).toUpper();
}

bool returnsRows(const QString& sql)
{
    const QString k = leadingKeyword(sql);
    return k == QLatin1String("SELECT") || k == QLatin1String("WITH")
        || k == QLatin1String("VALUES") || k == QLatin1String("PRAGMA");
}

} // namespace kv
