// The error log and the line-append routine, against real files in a scratch directory.
#include "base/Clock.h"
#include "base/MyException.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class ErrorLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp_.isValid());
        oldDir_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(tmp_.path()));
        oldClock_ = kv::Clock::install(std::make_unique<kv::FixedClock>(
            QDateTime(QDate(2026, 12, 8), QTime(8, 43, 2))));
    }
    void TearDown() override
    {
        kv::Clock::install(std::move(oldClock_));
        QDir::setCurrent(oldDir_);
    }

    static QByteArray readAll(const QString& name)
    {
        QFile f(name);
        if (!f.open(QIODevice::ReadOnly))
            return QByteArray("<missing>");
        return f.readAll();
    }
    QStringList entries() const
    {
        return QDir(tmp_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    void setClock(const QDateTime& t)
    {
        static_cast<kv::FixedClock&>(kv::Clock::instance()).set(t);
    }

    QTemporaryDir tmp_;
    QString oldDir_;
    std::unique_ptr<kv::Clock> oldClock_;
};

TEST_F(ErrorLogTest, RecordIsSixAnsiLinesWithCrLf)
{
    MyException e(QStringLiteral("Falló la lectura"), 42, QStringLiteral("TFrmMain"),
                  QStringLiteral("ADMINISTRADOR"));

    const QByteArray expected("Fecha: Tue Dec  8 08:43:02 2026\r\n"
                              "Source: TFrmMain\r\n"
                              "Mensaje: Fall\xF3 la lectura\r\n"
                              "C\xF3" "digo: 42\r\n"
                              "Usuario: ADMINISTRADOR\r\n"
                              "\r\n");
    EXPECT_EQ(readAll("LogError.txt"), expected);

    // A second record is appended after the first, with a two-digit day and a negative code.
    setClock(QDateTime(QDate(2027, 1, 25), QTime(17, 5, 59)));
    MyException f("otro", -7);
    EXPECT_EQ(readAll("LogError.txt"),
              expected
                  + QByteArray("Fecha: Mon Jan 25 17:05:59 2027\r\n"
                               "Source: \r\n"
                               "Mensaje: otro\r\n"
                               "C\xF3" "digo: -7\r\n"
                               "Usuario: \r\n"
                               "\r\n"));
}

TEST_F(ErrorLogTest, CharactersOutsideTheCodePage)
{
    // Ñ and ü are Latin-1, € and the curly quotes only Windows-1252, the arrow and the
    // emoji (two UTF-16 units) have no byte at all and become one '?' each.
    MyException e(QString::fromUtf8("ÑÜ € “x” → \xF0\x9F\x98\x80."), 0, QString(), QString());
    const QByteArray log = readAll("LogError.txt");
    EXPECT_TRUE(log.contains(QByteArray("Mensaje: \xD1\xDC \x80 \x93x\x94 ? ?.\r\n")))
        << log.toStdString();
}

TEST_F(ErrorLogTest, EveryConstructorLogsTheSameValues)
{
    const std::string text = "Código inválido";
    MyException a(text.c_str(), 3, "src", "usr");
    MyException b(text, 3, std::string("src"), std::string("usr"));
    MyException c(QString::fromStdString(text), 3, QStringLiteral("src"), QStringLiteral("usr"));

    for (const MyException* e : {&a, &b, &c}) {
        EXPECT_EQ(e->message(), QStringLiteral("Código inválido"));
        EXPECT_EQ(std::string(e->what()), text);   // the base carries the same message
        EXPECT_EQ(e->code(), 3);
        EXPECT_EQ(e->source(), QStringLiteral("src"));
        EXPECT_EQ(e->user(), QStringLiteral("usr"));
    }
    const QByteArray one("Fecha: Tue Dec  8 08:43:02 2026\r\nSource: src\r\n"
                         "Mensaje: C\xF3" "digo inv\xE1lido\r\nC\xF3" "digo: 3\r\nUsuario: usr\r\n\r\n");
    EXPECT_EQ(readAll("LogError.txt"), one + one + one);
}

TEST_F(ErrorLogTest, CopiesDoNotLogAgain)
{
    try {
        try {
            throw MyException("una vez", 1);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcatch-value"   // the copy is what this test is about
        } catch (MyException e) {   // caught by value: a copy
#pragma GCC diagnostic pop
            MyException again = e;
            throw again;             // and copied once more while it propagates
        }
    } catch (const MyException& e) {
        EXPECT_EQ(e.message(), QStringLiteral("una vez"));
    }
    const QList<QByteArray> lines = readAll("LogError.txt").split('\n');
    // Six lines, each ended by CR LF, leave one empty piece after the last '\n'.
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[2], QByteArray("Mensaje: una vez\r"));
    EXPECT_EQ(lines[5], QByteArray("\r"));
    EXPECT_EQ(lines[6], QByteArray());
}

TEST_F(ErrorLogTest, LongTextsAreCut)
{
    const QString message = QString(255, QLatin1Char('m')) + QStringLiteral("XYZ");
    const QString user = QString(99, QLatin1Char('u')) + QStringLiteral("X");
    const QString source = QString(99, QLatin1Char('s')) + QStringLiteral("XX");
    MyException e(message, 0, source, user);

    EXPECT_EQ(e.message(), QString(255, QLatin1Char('m')));
    EXPECT_EQ(std::string(e.what()), std::string(255, 'm'));
    EXPECT_EQ(e.user(), QString(99, QLatin1Char('u')));
    EXPECT_EQ(e.source(), QString(99, QLatin1Char('s')));

    const QByteArray log = readAll("LogError.txt");
    EXPECT_TRUE(log.contains("Mensaje: " + QByteArray(255, 'm') + "\r\n"));
    EXPECT_TRUE(log.contains("Usuario: " + QByteArray(99, 'u') + "\r\n"));
    EXPECT_TRUE(log.contains("Source: " + QByteArray(99, 's') + "\r\n"));
    EXPECT_FALSE(log.contains('X'));

    // Texts at the limit are kept whole.
    MyException exact(QString(255, QLatin1Char('k')), 0, QString(99, QLatin1Char('q')),
                      QString(99, QLatin1Char('w')));
    EXPECT_EQ(exact.message().size(), 255);
    EXPECT_EQ(exact.source().size(), 99);
    EXPECT_EQ(exact.user().size(), 99);
}

TEST_F(ErrorLogTest, AgregarLineaAppendsAnsiLinesAndCreatesTheFile)
{
    AgregarLinea(QStringLiteral("codigosInvalidos.txt"), QStringLiteral("11B7L"));
    AgregarLinea(QStringLiteral("codigosInvalidos.txt"), QStringLiteral("MUÑOZ ñó"));
    AgregarLinea(QStringLiteral("codigosInvalidos.txt"), QString());
    EXPECT_EQ(readAll("codigosInvalidos.txt"), QByteArray("11B7L\r\nMU\xD1OZ \xF1\xF3\r\n\r\n"));
    EXPECT_FALSE(QFile::exists("LogError.txt"));   // success writes no record
}

TEST_F(ErrorLogTest, AgregarLineaFailureRaisesAndLogs)
{
    ASSERT_TRUE(QDir().mkdir("codigosInvalidos.txt"));   // a directory cannot be opened as a file

    bool raised = false;
    try {
        AgregarLinea(QStringLiteral("codigosInvalidos.txt"), QStringLiteral("99Z0A"));
    } catch (const MyException& e) {
        raised = true;
        EXPECT_EQ(e.message(), QStringLiteral("Error abriendo el archivo: codigosInvalidos.txt"));
        EXPECT_EQ(e.code(), 0);
        EXPECT_TRUE(e.source().isEmpty());
        EXPECT_TRUE(e.user().isEmpty());
    }
    EXPECT_TRUE(raised);
    EXPECT_EQ(readAll("LogError.txt"),
              QByteArray("Fecha: Tue Dec  8 08:43:02 2026\r\nSource: \r\n"
                         "Mensaje: Error abriendo el archivo: codigosInvalidos.txt\r\n"
                         "C\xF3" "digo: 0\r\nUsuario: \r\n\r\n"));
}

TEST_F(ErrorLogTest, UnopenableLogLosesTheRecordQuietly)
{
    ASSERT_TRUE(QDir().mkdir("LogError.txt"));

    EXPECT_NO_THROW({ MyException e("sin registro", 5); });
    EXPECT_EQ(entries(), QStringList{QStringLiteral("LogError.txt")});
    EXPECT_TRUE(QDir("LogError.txt").isEmpty());

    // A failing append still raises exactly its own exception, once, and writes nothing.
    int raised = 0;
    try {
        AgregarLinea(QStringLiteral("LogError.txt"), QStringLiteral("línea"));
    } catch (const MyException& e) {
        ++raised;
        EXPECT_EQ(e.message(), QStringLiteral("Error abriendo el archivo: LogError.txt"));
    }
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("LogError.txt")});
    EXPECT_TRUE(QDir("LogError.txt").isEmpty());
}

} // namespace
