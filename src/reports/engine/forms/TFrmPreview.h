#pragma once
// The preview of a rendered report: zoom, pages, printer set-up, print, save and open a
// saved report, export to PDF (and, for the movement reports, TXT, CSV and HTML).
#include "reports/engine/PageModel.h"
#include "reports/engine/PreparedReport.h"
#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;

class TFrmPreview : public QDialog {
    Q_OBJECT
public:
    TFrmPreview(kv::rpt::PageModel model, bool exportaciones, QWidget* parent = nullptr);
    ~TFrmPreview() override;

    enum class Zoom { Pagina, Cien, Ancho };
    void setZoom(Zoom z);
    void irA(int page);                 // 0-based, clamped
    int paginaActual() const { return page_; }
    const kv::rpt::PageModel& model() const { return model_; }

    // Writes the report to a file: .kvr keeps the rendered report, the other suffixes export.
    bool Guardar(const QString& path);
    // Opens a saved report in place of the one shown.
    bool Abrir(const QString& path);

    // Picks a file (the file dialogs; tests replace it). "" = cancelled. When saving, the
    // type chosen in the dialog is put in *elegido.
    std::function<QString(QWidget*, bool guardar, const QString& filtros, QString* elegido)> escogerArchivo;
    // A name typed without a known extension gets the one of the type chosen.
    static QString ConExtension(const QString& path, const QString& filtroElegido);

    QPushButton *btnAjustarPagina, *btn100, *btnAnchoPagina;
    QPushButton *btnPrimera, *btnAnterior, *btnSiguiente, *btnUltima;
    QPushButton *btnConfigurarImpresora, *btnImprimir, *btnGuardar, *btnAbrir, *btnExportarPDF, *btnCerrar;
    QLabel* lblPagina;
    QScrollArea* scroll;
    QLabel* imgPagina;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void mostrar();
    QString filtros() const;
    kv::rpt::PageModel model_;
    bool exportaciones_;
    int page_ = 0;
    Zoom zoom_ = Zoom::Pagina;
    std::unique_ptr<QPrinter> printer_;
};

namespace kv::rpt {

// Shows a preview modally; while a hook is installed (tests) it gets the preview instead.
void MostrarVistaPrevia(const PageModel& model, bool exportaciones, QWidget* parent);
extern std::function<void(TFrmPreview&)> VistaPreviaHook;

// While installed (tests), printing hands each report to this hook instead of a printer.
extern std::function<void(const PageModel&)> ImpresionHook;

// Whether a printer is installed; with none and avisar=true it says so.
bool HayImpresora(bool avisar);

// Prints every page with a progress window. With no printer installed it says so and
// returns false. `printer` may carry the user's set-up; null uses the default printer.
bool ImprimirInforme(const PageModel& model, QWidget* parent, QPrinter* printer = nullptr);

// The end of every report command: the logo message once, the warnings, then the preview.
// Returns false when the report had nothing to show (its message was shown instead).
bool MostrarInforme(const PreparedReport& r, bool exportaciones, QWidget* parent);

} // namespace kv::rpt
