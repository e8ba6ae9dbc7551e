#include "reports/engine/forms/TFrmPreview.h"
#include "base/forms/ErrorDisplay.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportPainter.h"
#include "reports/engine/TitleBlock.h"
#include "base/Messages.h"
#include "base/forms/ErrorDisplay.h"
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QApplication>

using namespace kv::rpt;

namespace {

QPushButton* button(QWidget* parent, QLayout* row, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
}

const QString kSinImpresora =
    QStringLiteral("No hay ninguna impresora instalada. Instale una impresora o exporte el informe a PDF.");

bool hayImpresora() { return !QPrinterInfo::availablePrinters().isEmpty(); }

} // namespace

TFrmPreview::TFrmPreview(PageModel model, bool exportaciones, QWidget* parent)
    : QDialog(parent), model_(std::move(model)), exportaciones_(exportaciones)
{
    setObjectName(QStringLiteral("TFrmPreview"));
    setWindowTitle(QStringLiteral("Vista previa"));
    setModal(true);
    resize(900, 700);
    auto* v = new QVBoxLayout(this);
    // Two rows of buttons: in one the window would be wider than a small screen.
    auto* bar = new QHBoxLayout();
    auto* bar2 = new QHBoxLayout();
    v->addLayout(bar);
    v->addLayout(bar2);
    btnAjustarPagina = button(this, bar, "btnAjustarPagina", QStringLiteral("Página completa"));
    btn100 = button(this, bar, "btn100", QStringLiteral("100 %"));
    btnAnchoPagina = button(this, bar, "btnAnchoPagina", QStringLiteral("Ancho de página"));
    btnPrimera = button(this, bar, "btnPrimera", QStringLiteral("|<"));
    btnAnterior = button(this, bar, "btnAnterior", QStringLiteral("<"));
    lblPagina = new QLabel(this);
    lblPagina->setObjectName(QStringLiteral("lblPagina"));
    bar->addWidget(lblPagina);
    btnSiguiente = button(this, bar, "btnSiguiente", QStringLiteral(">"));
    btnUltima = button(this, bar, "btnUltima", QStringLiteral(">|"));
    btnConfigurarImpresora = button(this, bar2, "btnConfigurarImpresora", QStringLiteral("Configurar impresora"));
    btnImprimir = button(this, bar2, "btnImprimir", QStringLiteral("Imprimir"));
    btnGuardar = button(this, bar2, "btnGuardar", QStringLiteral("Guardar"));
    btnAbrir = button(this, bar2, "btnAbrir", QStringLiteral("Abrir"));
    btnExportarPDF = button(this, bar2, "btnExportarPDF", QStringLiteral("PDF"));
    bar2->addStretch();
    btnCerrar = button(this, bar2, "btnCerrar", QStringLiteral("Cerrar"));
    btnPrimera->setToolTip(QStringLiteral("Primera página"));
    btnAnterior->setToolTip(QStringLiteral("Página anterior"));
    btnSiguiente->setToolTip(QStringLiteral("Página siguiente"));
    btnUltima->setToolTip(QStringLiteral("Última página"));
    bar->addStretch();
    scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scroll"));
    scroll->setAlignment(Qt::AlignCenter);
    scroll->setBackgroundRole(QPalette::Dark);
    imgPagina = new QLabel(scroll);
    imgPagina->setObjectName(QStringLiteral("imgPagina"));
    scroll->setWidget(imgPagina);
    v->addWidget(scroll, 1);
    // The page is drawn again whenever the room for it changes, the first layout included.
    scroll->viewport()->installEventFilter(this);

    escogerArchivo = [](QWidget* w, bool guardar, const QString& f, QString* elegido) {
        return guardar ? QFileDialog::getSaveFileName(w, QStringLiteral("Guardar informe"), QString(), f, elegido)
                       : QFileDialog::getOpenFileName(w, QStringLiteral("Abrir informe"), QString(),
                                                      QStringLiteral("Informe guardado (*.kvr)"));
    };

    connect(btnAjustarPagina, &QPushButton::clicked, this, [this] { setZoom(Zoom::Pagina); });
    connect(btn100, &QPushButton::clicked, this, [this] { setZoom(Zoom::Cien); });
    connect(btnAnchoPagina, &QPushButton::clicked, this, [this] { setZoom(Zoom::Ancho); });
    connect(btnPrimera, &QPushButton::clicked, this, [this] { irA(0); });
    connect(btnAnterior, &QPushButton::clicked, this, [this] { irA(page_ - 1); });
    connect(btnSiguiente, &QPushButton::clicked, this, [this] { irA(page_ + 1); });
    connect(btnUltima, &QPushButton::clicked, this, [this] { irA(model_.pages.size() - 1); });
    connect(btnCerrar, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnConfigurarImpresora, &QPushButton::clicked, this, [this] {
        if (!hayImpresora()) {
            kv::Messages::instance().showMessage(kSinImpresora, QStringLiteral("Imprimir"), kv::MsgIcon::Warning);
            return;
        }
        if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QPageSetupDialog dlg(printer_.get(), this);
        dlg.exec();
    });
    connect(btnImprimir, &QPushButton::clicked, this, [this] { ImprimirInforme(model_, this, printer_.get()); });
    connect(btnGuardar, &QPushButton::clicked, this, [this] {
        QString elegido;
        const QString f = escogerArchivo(this, true, filtros(), &elegido);
        if (!f.isEmpty()) Guardar(ConExtension(f, elegido));
    });
    connect(btnExportarPDF, &QPushButton::clicked, this, [this] {
        QString elegido = QStringLiteral("PDF (*.pdf)");
        const QString f = escogerArchivo(this, true, elegido, &elegido);
        if (!f.isEmpty()) Guardar(ConExtension(f, QStringLiteral("PDF (*.pdf)")));
    });
    connect(btnAbrir, &QPushButton::clicked, this, [this] {
        const QString f = escogerArchivo(this, false, QString(), nullptr);
        if (!f.isEmpty()) Abrir(f);
    });
    mostrar();
}

TFrmPreview::~TFrmPreview() = default;

QString TFrmPreview::filtros() const
{
    QStringList f{QStringLiteral("Informe guardado (*.kvr)"), QStringLiteral("PDF (*.pdf)")};
    if (exportaciones_)
        f << QStringLiteral("Texto (*.txt)") << QStringLiteral("CSV separado por comas (*.csv)")
          << QStringLiteral("HTML (*.html *.htm)");
    return f.join(QStringLiteral(";;"));
}

QString TFrmPreview::ConExtension(const QString& path, const QString& filtroElegido)
{
    ExportFormat fmt;
    if (formatForSuffix(path, fmt) || QFileInfo(path).suffix().compare(QLatin1String("kvr"), Qt::CaseInsensitive) == 0)
        return path;
    // "HTML (*.html *.htm)": the first pattern of the type chosen.
    const int star = filtroElegido.indexOf(QLatin1String("*."));
    if (star < 0) return path;
    int end = star + 2;
    while (end < filtroElegido.size() && filtroElegido[end].isLetterOrNumber()) ++end;
    return path + filtroElegido.mid(star + 1, end - star - 1);
}

bool TFrmPreview::Guardar(const QString& path)
{
    try {
        if (QFileInfo(path).suffix().compare(QLatin1String("kvr"), Qt::CaseInsensitive) == 0) {
            model_.save(path);
            return true;
        }
        ExportFormat fmt;
        if (!formatForSuffix(path, fmt) || (!exportaciones_ && fmt != ExportFormat::Pdf)) {
            kv::Messages::instance().showMessage(
                QStringLiteral("Elija uno de los tipos de archivo ofrecidos (%1).")
                    .arg(exportaciones_ ? QStringLiteral(".kvr, .pdf, .txt, .csv, .html") : QStringLiteral(".kvr, .pdf")),
                QStringLiteral("Guardar informe"), kv::MsgIcon::Warning);
            return false;
        }
        exportReport(model_, fmt, path);
        return true;
    } catch (const ReportError&) {
        kv::MostrarExcepcion();
        return false;
    }
}

bool TFrmPreview::Abrir(const QString& path)
{
    try {
        model_ = PageModel::load(path);
    } catch (const ReportError&) {
        kv::MostrarExcepcion();
        return false;
    }
    page_ = 0;
    mostrar();
    return true;
}

void TFrmPreview::setZoom(Zoom z)
{
    zoom_ = z;
    mostrar();
}

void TFrmPreview::irA(int page)
{
    page_ = std::clamp(page, 0, std::max(0, int(model_.pages.size()) - 1));
    mostrar();
}

void TFrmPreview::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    if (zoom_ != Zoom::Cien) mostrar();
}

void TFrmPreview::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    mostrar();
}

bool TFrmPreview::eventFilter(QObject* o, QEvent* e)
{
    if (o == scroll->viewport() && e->type() == QEvent::Resize && zoom_ != Zoom::Cien) mostrar();
    return QDialog::eventFilter(o, e);
}

void TFrmPreview::mostrar()
{
    const int n = model_.pages.size();
    lblPagina->setText(QStringLiteral("Página %1 de %2").arg(n ? page_ + 1 : 0).arg(n));
    btnPrimera->setEnabled(page_ > 0);
    btnAnterior->setEnabled(page_ > 0);
    btnSiguiente->setEnabled(page_ + 1 < n);
    btnUltima->setEnabled(page_ + 1 < n);
    if (!n || model_.paperMm.isEmpty()) {
        imgPagina->clear();
        return;
    }
    const double screenDpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    const QSize view = scroll->viewport()->size() - QSize(8, 8);
    double dpi = screenDpi;
    const double wIn = model_.paperMm.width() / 25.4, hIn = model_.paperMm.height() / 25.4;
    if (zoom_ == Zoom::Pagina) dpi = std::min(view.width() / wIn, view.height() / hIn);
    else if (zoom_ == Zoom::Ancho) dpi = (view.width() - scroll->verticalScrollBar()->sizeHint().width()) / wIn;
    dpi = std::clamp(dpi, 10.0, 600.0);
    const QImage img = renderPage(model_, page_, dpi);
    imgPagina->setPixmap(QPixmap::fromImage(img));
    imgPagina->resize(img.size());
}

namespace kv::rpt {

std::function<void(TFrmPreview&)> VistaPreviaHook;

void MostrarVistaPrevia(const PageModel& model, bool exportaciones, QWidget* parent)
{
    TFrmPreview w(model, exportaciones, parent);
    if (VistaPreviaHook) {
        VistaPreviaHook(w);
        return;
    }
    w.exec();
}

std::function<void(const PageModel&)> ImpresionHook;

bool HayImpresora(bool avisar)
{
    if (ImpresionHook || hayImpresora()) return true;
    if (avisar) Messages::instance().showMessage(kSinImpresora, QStringLiteral("Imprimir"), MsgIcon::Warning);
    return false;
}

bool ImprimirInforme(const PageModel& model, QWidget* parent, QPrinter* printer)
{
    if (!HayImpresora(true)) return false;
    if (ImpresionHook) {
        ImpresionHook(model);
        return true;
    }
    QPrinter own(QPrinter::HighResolution);
    QPrinter& p = printer ? *printer : own;
    p.setFullPage(true);
    // The movement reports are laid out on Letter paper; the lists use the printer's own.
    if (!model.reportName.startsWith(QLatin1String("TFrmRptPlanillas")))
        p.setPageSize(QPageSize(QPageSize::Letter));
    p.setPageOrientation(model.orientation);
    p.setDocName(model.reportName);
    QProgressDialog progress(QStringLiteral("Imprimiendo..."), QStringLiteral("Cancelar"), 0, model.pages.size(), parent);
    progress.setWindowTitle(QStringLiteral("Imprimir"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    try {
        paintPages(p, model, [&](int done, int) {
            progress.setValue(done);
            QApplication::processEvents();
            return !progress.wasCanceled();
        });
    } catch (const ReportError&) {
        kv::MostrarExcepcion();
        return false;
    }
    return true;
}

bool MostrarInforme(const PreparedReport& r, bool exportaciones, QWidget* parent)
{
    if (!r.sinDatos.isEmpty()) {
        Messages::instance().showMessage(r.sinDatos);
        return false;
    }
    MostrarExcepcion(r.errorConfig);
    if (!r.logoCargado) Messages::instance().showMessage(QString::fromUtf8(kLogoError), QStringLiteral("Error"));
    for (const QString& a : r.avisos) Messages::instance().showMessage(a, QStringLiteral("Error"), MsgIcon::Warning);
    QApplication::processEvents();
    MostrarVistaPrevia(buildPages(r.layout, r.data), exportaciones, parent);
    return true;
}

} // namespace kv::rpt
