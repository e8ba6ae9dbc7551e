// The capture field of the main window, driven by key presses on a real site with a fixed clock.
#include "support/Rows.h"
#include "capture/forms/CaptureCommands.h"
#include "CaptureHelpers.h"
#include "support/gui/MainHarness.h"
#include "base/MyException.h"
#include <gtest/gtest.h>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include "data/forms/DBGrid.h"

using namespace captest;
using kvtest::MainHarness;

namespace {

void persona(const kvtest::TempSite& s, int grado, const QString& grupo, const QString& nombre, const QString& codigo,
             const QVariant& situacion = QVariant(), const QString& idFoto = QString(), int tipoDoc = 1)
{
    kvtest::Persona(grado, grupo, nombre, codigo).numero(1).documento("D-" + codigo, tipoDoc).situacion(situacion).foto(idFoto).en(s);
}

void movimiento(const kvtest::TempSite& s, const QString& codigo, const QString& fecha, const QString& hora,
                const QString& tipo, const QString& detalle = QString())
{
    s.exec("insert into entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante, tipomvt, detalle)"
           " values (?, ?, ?, 1, ?, 'ANTES', ?, ?)",
           {codigo, fecha, hora, "D-" + codigo, tipo, detalle});
}

QByteArray leer(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<sin archivo>");
}

class CaptureWindow : public ::testing::Test {
protected:
    MainHarness h;   // 2026-12-09 07:30:00
};

TEST_F(CaptureWindow, EntryExitEntryAlternateEvenWithinOneSecond)
{
    // With the repeated-read guard off every read counts, and within one second the order
    // of storage must decide.
    h.site.exec("update Config set segundosRepetida = 0");
    persona(h.site, 5, "A", "ANA", "123", QVariant(), QString(), 2);
    TFrmMain& w = h.start("0");   // the door user captures too

    // The clock does not move: the order of storage must decide.
    capturar(w, "123");
    capturar(w, "123");
    capturar(w, "123");

    const auto m = movimientos(h.site);
    ASSERT_EQ(m.size(), 3u);
    const char* tipos[] = {"E", "S", "E"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m[i].codigo, "123");
        EXPECT_EQ(m[i].fecha, "2026-12-09");
        EXPECT_EQ(m[i].hora, "07:30:00");
        EXPECT_EQ(m[i].tipoDocIdent, 2);
        EXPECT_EQ(m[i].docIdent, "D-123");
        EXPECT_EQ(m[i].nestudiante, "ANA");
        EXPECT_EQ(m[i].tipomvt, tipos[i]);
        EXPECT_TRUE(m[i].subidoVacio);
    }
    EXPECT_TRUE(m[0].detalleVacio);   // an entry carries no detail
    EXPECT_EQ(m[1].detalle, "");      // and empties the box, so the exit after it has none
    EXPECT_TRUE(w.edCodigo->text().isEmpty());
    EXPECT_EQ(w.lblNEstudiante->text(), "123 ANA5 - A");
    EXPECT_TRUE(h.msgs->shown.empty());
}

TEST_F(CaptureWindow, CodeIsStoredExactlyAsTypedAndMatchedExactly)
{
    persona(h.site, 7, "B", "LUIS", "ab12");
    TFrmMain& w = h.start();
    capturar(w, "AB12");   // another code: case counts
    capturar(w, "ab12");
    const auto m = movimientos(h.site);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].codigo, "ab12");
    EXPECT_EQ(h.msgs->texts(), QStringList{"Código inválido o suspendido"});
}

TEST_F(CaptureWindow, LastStoredMovementDecidesTheDirection)
{
    persona(h.site, 5, "A", "SISTEMA", "S1");    // let out by the system exit: outside
    persona(h.site, 5, "A", "MINUS", "M1");      // "e" is not an entry
    persona(h.site, 5, "A", "ORDEN", "O1");      // rows stored out of order of date and time
    persona(h.site, 5, "A", "NUEVO", "N1");      // never seen: outside
    movimiento(h.site, "S1", "2026-12-08", "07:00:00", "E");
    movimiento(h.site, "S1", "2026-12-08", "17:00:00", "S", "Salida realizada por el sistema");
    movimiento(h.site, "M1", "2026-12-08", "07:00:00", "e");
    movimiento(h.site, "O1", "2026-12-08", "08:00:00", "E");
    movimiento(h.site, "O1", "2026-12-07", "23:00:00", "S");
    movimiento(h.site, "O1", "2026-12-08", "07:59:59", "S");
    TFrmMain& w = h.start();

    for (const char* c : {"S1", "M1", "O1", "N1"}) capturar(w, c);

    EXPECT_EQ(movimientos(h.site, "S1").back().tipomvt, "E");
    EXPECT_EQ(movimientos(h.site, "M1").back().tipomvt, "E");
    EXPECT_EQ(movimientos(h.site, "O1").back().tipomvt, "S");
    EXPECT_EQ(movimientos(h.site, "N1").back().tipomvt, "E");
}

TEST_F(CaptureWindow, DetailOfFirstExitIsTheBoxLineThenEmpty)
{
    persona(h.site, 5, "A", "ANA", "1");
    persona(h.site, 5, "A", "BETO", "2");
    persona(h.site, 5, "A", "CARLA", "3");
    movimiento(h.site, "1", "2026-12-09", "07:00:00", "E");
    movimiento(h.site, "2", "2026-12-09", "07:00:00", "E");
    TFrmMain& w = h.start();
    ASSERT_EQ(w.Memo1->toPlainText(), "Motivo de la salida:\n");
    EXPECT_FALSE(w.Memo1->isVisible());

    capturar(w, "1");   // first accepted code since start: an exit
    EXPECT_TRUE(w.Memo1->toPlainText().isEmpty());
    capturar(w, "2");   // a later exit
    capturar(w, "3");   // an entry

    const auto m = movimientos(h.site);
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m[2].tipomvt, "S");
    EXPECT_EQ(m[2].detalle, "Motivo de la salida:\n");
    EXPECT_EQ(m[3].tipomvt, "S");
    EXPECT_EQ(m[3].detalle, "");
    EXPECT_EQ(m[4].tipomvt, "E");
    EXPECT_TRUE(m[4].detalleVacio);
}

TEST_F(CaptureWindow, DateAndTimeComeFromOneReadingAcrossMidnight)
{
    // A clock that moves one second per reading, starting a moment before midnight.
    class Reloj : public kv::Clock {
    public:
        QDateTime now() const override { return t_.addSecs(lecturas_++); }
        QDateTime t_{QDate(2026, 12, 9), QTime(23, 59, 59)};
        mutable int lecturas_ = 0;
    };
    persona(h.site, 5, "A", "ANA", "1");
    TFrmMain& w = h.start();
    auto anterior = kv::Clock::install(std::make_unique<Reloj>());
    capturar(w, "1");
    kv::Clock::install(std::move(anterior));
    const auto m = movimientos(h.site);
    ASSERT_EQ(m.size(), 1u);
    const QDateTime guardado = QDateTime::fromString(m[0].fecha + " " + m[0].hora, "yyyy-MM-dd HH:mm:ss");
    EXPECT_TRUE(guardado == QDateTime(QDate(2026, 12, 9), QTime(23, 59, 59))
                || guardado == QDateTime(QDate(2026, 12, 10), QTime(0, 0, 0)))
        << m[0].fecha.toStdString() << " " << m[0].hora.toStdString();
}

TEST_F(CaptureWindow, NameLabelAndPhotoCases)
{
    h.site.exec("update Config set segundosRepetida = 0");   // several reads at one instant
    const QString fotos = QDir(h.site.tablesDir()).filePath("imagenes");
    QImage img(40, 56, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    ASSERT_TRUE(img.save(QDir(fotos).filePath("ana.png")));
    QFile mala(QDir(fotos).filePath("mala.jpg"));
    ASSERT_TRUE(mala.open(QIODevice::WriteOnly));
    mala.write("esto no es una foto");
    mala.close();
    persona(h.site, 5, "A", "ANA", "123", QVariant(), "ana.png");
    persona(h.site, 6, "B", "SINFOTO", "200", QVariant(), "");
    persona(h.site, 6, "B", "PERDIDA", "201", QVariant(), "no-existe.jpg");
    persona(h.site, 6, "B", "DANADA", "202", QVariant(), "mala.jpg");
    TFrmMain& w = h.start();

    capturar(w, "123");
    EXPECT_EQ(w.lblNEstudiante->text(), "123 ANA5 - A");
    EXPECT_EQ(w.Image1->pixmap().size(), QSize(40, 56));
    EXPECT_EQ(w.Image1->pixmap().toImage().pixelColor(3, 3), QColor(Qt::darkCyan));

    for (const char* c : {"200", "201", "202"}) {
        capturar(w, "123");               // the photo is back before each case
        ASSERT_FALSE(w.Image1->pixmap().isNull());
        capturar(w, c);
        EXPECT_TRUE(w.Image1->pixmap().isNull()) << c;
        EXPECT_EQ(movimientos(h.site, c).size(), 1u) << c;   // the movement is stored anyway
    }
    EXPECT_EQ(w.lblNEstudiante->text(), "202 DANADA6 - B");
    EXPECT_TRUE(h.msgs->shown.empty());
}

TEST_F(CaptureWindow, PhotoNamesAreReadInsideTheImagesFolder)
{
    const QString fotos = QDir(h.site.tablesDir()).filePath("imagenes");
    ASSERT_TRUE(QDir(fotos).mkdir("5A"));
    QImage img(24, 32, QImage::Format_RGB32);
    img.fill(Qt::darkGreen);
    ASSERT_TRUE(img.save(QDir(fotos).filePath("5A/ana.png")));
    const QString fuera = QDir(h.site.workDir()).absoluteFilePath("fuera.png");   // not under imagenes
    ASSERT_TRUE(img.save(fuera));
    persona(h.site, 5, "A", "ANA", "1", QVariant(), "5A\\ana.png");   // written on a Windows desk
    persona(h.site, 5, "A", "LUIS", "2", QVariant(), fuera);
    TFrmMain& w = h.start();

    capturar(w, "1");
    EXPECT_EQ(w.Image1->pixmap().size(), QSize(24, 32));
    capturar(w, "2");
    EXPECT_TRUE(w.Image1->pixmap().isNull());
    EXPECT_EQ(h.site.count("entradasSalidas"), 2);
}

TEST_F(CaptureWindow, LongNameLabelShowsCategoryAndGroupWithoutMovingTheLists)
{
    h.site.exec("update Config set segundosRepetida = 0");   // several reads at one instant
    const QString largo = QString::fromUtf8("CARDONA CAICEDO VERÓNICA CAROLINA DE LOS ÁNGELES");
    persona(h.site, 11, "B", "ANA", "1");
    persona(h.site, 11, "B", largo, "0A1A-2026");
    TFrmMain& w = h.start();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    capturar(w, "1");
    QApplication::processEvents();
    const QRect lista = w.DBGEstudiantes->geometry();
    const int letra = w.lblNEstudiante->font().pixelSize();

    capturar(w, "0A1A-2026");
    QApplication::processEvents();
    QLabel* l = w.lblNEstudiante;
    const QString texto = "0A1A-2026 " + largo + "11 - B";
    ASSERT_EQ(l->text(), texto);
    const QRect caja = l->contentsRect();
    const QFontMetrics fm(l->font());
    const QRect usado = l->wordWrap() ? fm.boundingRect(QRect(0, 0, caja.width(), 10000), Qt::TextWordWrap, texto)
                                      : QRect(0, 0, fm.horizontalAdvance(texto), fm.height());
    EXPECT_LE(usado.width(), caja.width());     // nothing cut at the right...
    EXPECT_LE(usado.height(), caja.height());   // ...nor at the bottom
    EXPECT_EQ(w.DBGEstudiantes->geometry(), lista);

    capturar(w, "1");   // a short name gets the usual letters back
    EXPECT_EQ(l->font().pixelSize(), letra);
    EXPECT_EQ(l->text(), "1 ANA11 - B");
}

TEST_F(CaptureWindow, RefusedCodesAreLoggedAndChangeNothingElse)
{
    persona(h.site, 5, "A", "ANA", "123", QVariant(), "ana.png");
    persona(h.site, 5, "A", "SUSPENDIDA", "300", "SUSPENDIDO");
    persona(h.site, 5, "A", "VACIA", "301", "");
    persona(h.site, 5, "A", "NULA", "302");
    persona(h.site, 5, "A", "MINUSCULA", "303", "suspendido");
    persona(h.site, 5, "A", "OTRA", "304", "M");
    persona(h.site, 5, "A", "SINCODIGO", "");   // a person without a code is not an empty Enter
    QImage img(30, 30, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(QDir(h.site.tablesDir()).filePath("imagenes/ana.png")));
    TFrmMain& w = h.start();

    capturar(w, "999");   // unknown, before any accepted code: the box keeps its line
    EXPECT_EQ(w.Memo1->toPlainText(), "Motivo de la salida:\n");
    EXPECT_EQ(w.lblNEstudiante->text(), "*");
    capturar(w, "123");
    const QStringList antes = volcado(h.site, "entradasSalidas");
    w.Memo1->setPlainText("motivo escrito");

    capturar(w, "300");
    capturar(w, "");
    EXPECT_TRUE(w.edCodigo->text().isEmpty());
    EXPECT_EQ(w.lblNEstudiante->text(), "123 ANA5 - A");
    EXPECT_EQ(w.Image1->pixmap().size(), QSize(30, 30));
    EXPECT_EQ(w.Memo1->toPlainText(), "motivo escrito");
    EXPECT_EQ(volcado(h.site, "entradasSalidas"), antes);

    for (const char* c : {"301", "302", "303", "304"}) capturar(w, c);
    for (const char* c : {"301", "302", "303", "304"}) EXPECT_EQ(movimientos(h.site, c).size(), 1u) << c;

    EXPECT_EQ(leer("codigosInvalidos.txt"), QByteArray("999\r\n300\r\n\r\n"));
    ASSERT_EQ(h.msgs->shown.size(), 3u);
    for (const auto& s : h.msgs->shown) EXPECT_EQ(s.text, "Código inválido o suspendido");
}

TEST_F(CaptureWindow, HostileCodesAreLookedUpAsLiteralCodes)
{
    // Each within the 20 characters of the code field: a longer one is refused at the door.
    const QStringList registrados = {"O'BRIEN", "x\";drop table grupos", "1' OR '1'='1",
                                     "delete from grupos"};
    for (const QString& c : registrados) persona(h.site, 8, "C", "RARO", c);
    persona(h.site, 8, "C", "NORMAL", "777");
    const QStringList ajenos = {"' OR ''='", "zz'; DELETE FROM estudiantes; --", "\"", "update estudiantes set codigo=1",
                                "777' --"};
    TFrmMain& w = h.start();
    const QStringList personas = volcado(h.site, "estudiantes");
    const QStringList visitantes = volcado(h.site, "visitantes");

    for (const QString& c : registrados) capturar(w, c);
    for (const QString& c : ajenos) capturar(w, c);

    const auto m = movimientos(h.site);
    ASSERT_EQ(int(m.size()), registrados.size());
    for (int i = 0; i < registrados.size(); ++i) {
        EXPECT_EQ(m[i].codigo, registrados[i]);
        EXPECT_EQ(m[i].tipomvt, "E");
    }
    EXPECT_EQ(volcado(h.site, "estudiantes"), personas);
    EXPECT_EQ(volcado(h.site, "visitantes"), visitantes);
    EXPECT_EQ(leer("codigosInvalidos.txt"), (ajenos.join("\r\n") + "\r\n").toLatin1());
    EXPECT_EQ(int(h.msgs->shown.size()), ajenos.size());
}

TEST_F(CaptureWindow, UnwritableInvalidCodesFileRaisesAndKeepsTheCode)
{
    persona(h.site, 5, "A", "ANA", "123");
    ASSERT_TRUE(QDir(h.site.workDir()).mkdir("codigosInvalidos.txt"));   // cannot be opened for writing
    TFrmMain& w = h.start();
    w.edCodigo->setText("NOPE");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    try {
        w.findChild<CaptureCommands*>()->edCodigoKeyPress(&enter);
        ADD_FAILURE() << "no error raised";
    } catch (const MyException& e) {
        EXPECT_EQ(e.message(), "Error abriendo el archivo: codigosInvalidos.txt");
    }
    EXPECT_EQ(w.edCodigo->text(), "NOPE");
    EXPECT_EQ(h.msgs->texts(), QStringList{"Código inválido o suspendido"});   // shown before the error
    EXPECT_TRUE(leer("LogError.txt").contains("Mensaje: Error abriendo el archivo: codigosInvalidos.txt\r\n"));
    EXPECT_EQ(h.site.count("entradasSalidas"), 0);
}

} // namespace
