// The preview as a person meets it: the page readable at once, the file type chosen in the
// save dialog, and a full disk.
#include "support/DiscoLleno.h"
#include "support/ReportSite.h"
#include "reports/engine/forms/TFrmPreview.h"
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace kv::rpt;

namespace {

PageModel informe(const rpttest::ReportSite& s)
{
    const PreparedReport r = s.run("entradas-salidas", {{"desde", "2026-12-01"}, {"hasta", "2026-12-03"}});
    return buildPages(r.layout, r.data);
}

} // namespace

TEST(Preview, OpensWithThePageFillingTheWindow)
{
    rpttest::ReportSite s;
    TFrmPreview w(informe(s), true);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QApplication::processEvents();
    const QSize vista = w.scroll->viewport()->size();
    const QSize pagina = w.imgPagina->pixmap().size();
    // Whole page: as wide or as tall as the room there is (never a thumbnail).
    EXPECT_TRUE(pagina.width() >= vista.width() * 0.9 || pagina.height() >= vista.height() * 0.9)
        << pagina.width() << "x" << pagina.height() << " in " << vista.width() << "x" << vista.height();
    if (!qEnvironmentVariableIsEmpty("KV_CAPTURAS")) w.grab().save(qEnvironmentVariable("KV_CAPTURAS") + "/vista-previa.png");
}

TEST(Preview, SaveAddsTheExtensionOfTheTypeChosen)
{
    rpttest::ReportSite s;
    TFrmPreview w(informe(s), true);
    QTemporaryDir dir;
    struct Case { QString escrito, tipo, esperado; QPushButton* boton; };
    const Case cases[] = {
        {"a", "CSV separado por comas (*.csv)", "a.csv", w.btnGuardar},
        {"b", "HTML (*.html *.htm)", "b.html", w.btnGuardar},
        {"c", "Texto (*.txt)", "c.txt", w.btnGuardar},
        {"d.2026", "Informe guardado (*.kvr)", "d.2026.kvr", w.btnGuardar},
        {"e.txt", "PDF (*.pdf)", "e.txt", w.btnGuardar},
        {"f", "", "f.pdf", w.btnExportarPDF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.esperado.toStdString());
        w.escogerArchivo = [&](QWidget*, bool, const QString&, QString* elegido) {
            if (elegido && !c.tipo.isEmpty()) *elegido = c.tipo;
            return dir.filePath(c.escrito);
        };
        c.boton->click();
        EXPECT_TRUE(QFile::exists(dir.filePath(c.esperado)));
        EXPECT_TRUE(s.msgs->shown.empty()) << s.msgs->lastText().toStdString();
    }
    EXPECT_TRUE(QFile(dir.filePath("a.csv")).open(QIODevice::ReadOnly));
}

TEST(Preview, PdfOntoAFullDiskSaysSoAndKeepsTheEarlierFile)
{
    kvtest::DiscoLleno disco;
    if (!disco.ok()) GTEST_SKIP() << "mounting a small tmpfs needs root";
    rpttest::ReportSite s;
    TFrmPreview w(informe(s), true);
    {
        QFile f(disco.path("x.pdf"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF de ayer");
    }
    disco.llenar();
    w.escogerArchivo = [&](QWidget*, bool, const QString&, QString*) { return disco.path("x.pdf"); };
    w.btnExportarPDF->click();
    EXPECT_EQ(s.msgs->lastText(), "No se pudo guardar el informe: el disco está lleno.");
    QFile f(disco.path("x.pdf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("%PDF de ayer"));
}
