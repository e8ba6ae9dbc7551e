#include "capture/forms/CaptureCommands.h"
#include "capture/Capture.h"
#include "capture/SalidasSistema.h"
#include "platform/IdleTime.h"
#include "publish/Publicacion.h"
#include "publish/Remote.h"
#include "settings/TConfig.h"
#include "base/Clock.h"
#include "capture/forms/AvisoPuerta.h"
#include "capture/forms/TfrmEntradaVisit.h"
#include "data/TDM.h"
#include "platform/Beep.h"
#include "data/Fotos.h"
#include "base/Messages.h"
#include "base/forms/MainShell.h"
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>

namespace {

// The person's photograph, or nothing: a missing or unreadable file is not worth a message
// at the door.
void MostrarFoto(QLabel* image, const QString& ruta)
{
    const QImage foto = kv::CargarFoto(ruta, image->minimumSize());
    if (foto.isNull()) image->clear();
    else image->setPixmap(QPixmap::fromImage(foto));
}

// The name line keeps its room of two lines; a name too long for them is written in
// smaller letters instead of pushing the lists up or losing its category and group.
const char* const kLetraNombre = "kvLetraNombre";

void MostrarNombre(QLabel* l, const QString& texto)
{
    QFont f = l->font();
    const int base = l->property(kLetraNombre).toInt();
    const int ancho = l->contentsRect().width();
    if (base > 0) {
        f.setPixelSize(base);
        // Only a window on screen has a width to measure against.
        for (int px = base; l->isVisible() && ancho > 0 && px >= 10; --px) {
            f.setPixelSize(px);
            const QRect r = QFontMetrics(f).boundingRect(QRect(0, 0, ancho, 1 << 20), Qt::TextWordWrap, texto);
            if (r.height() <= l->contentsRect().height()) break;
        }
    }
    l->setFont(f);
    l->setText(texto);
}

} // namespace

CaptureCommands::CaptureCommands(kv::MainShell& shell, QObject* parent) : QObject(parent), shell_(shell)
{
    setObjectName(QStringLiteral("CaptureCommands"));
    edCodigo_ = shell.required<QLineEdit>(QStringLiteral("edCodigo"));
    Image1_ = shell.required<QLabel>(QStringLiteral("Image1"));
    lblNEstudiante_ = shell.required<QLabel>(QStringLiteral("lblNEstudiante"));
    Memo1_ = shell.required<QPlainTextEdit>(QStringLiteral("Memo1"));
    // A long name must still show its category and group: the line wraps onto a second
    // one, and the room for two lines is kept so the lists above never jump.
    lblNEstudiante_->setWordWrap(true);
    lblNEstudiante_->setMinimumHeight(2 * lblNEstudiante_->fontMetrics().lineSpacing());
    lblNEstudiante_->setProperty(kLetraNombre, lblNEstudiante_->font().pixelSize());
    kv::SetBeepFallback([] { QApplication::beep(); });
    edCodigo_->installEventFilter(this);

    Label7_ = shell.required<QLabel>(QStringLiteral("Label7"));
    ProgressBar1_ = shell.required<QProgressBar>(QStringLiteral("ProgressBar1"));
    connect(shell.required<QTimer>(QStringLiteral("Timer1")), &QTimer::timeout, this, &CaptureCommands::Timer1Timer);
    QAction* a = shell.required<QAction>(QStringLiteral("SacarLosQueQuedaron1"));
    a->setEnabled(true);
    connect(a, &QAction::triggered, this, &CaptureCommands::SacarLosQueQuedaron);
}

bool CaptureCommands::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the capture field runs the capture; the key still reaches the field.
    if (watched == edCodigo_ && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) edCodigoKeyPress(ke);
    }
    return QObject::eventFilter(watched, event);
}

// A badge inside goes out at once with the data of its entry; otherwise the visitor is
// registered in the dialog. Nothing is stored when the dialog is not accepted. A repeated
// read of the badge changes nothing; a refused store keeps the badge's code for another try.
CaptureCommands::Visita CaptureCommands::CapturarVisitante(const QString& codigo)
{
    const QString dir = kv::TablesDir();
    kv::UltimoMovimiento ultimo;
    const bool dentro = kv::EstaDentro(dir, codigo, &ultimo);
    if (AvisoPuerta* aviso = AvisoPuerta::de(shell_.shellWindow()); aviso && aviso->LecturaRepetida(ultimo))
        return Visita::Repetida;
    if (dentro) {
        shell_.setModoMovimiento(QStringLiteral("S"));
        return RegistrarMovimiento(ultimo.docIdent, ultimo.tipoDocIdent, ultimo.nestudiante) ? Visita::Hecha
                                                                                              : Visita::NoGuardada;
    }
    shell_.setModoMovimiento(QStringLiteral("E"));
    kv::Visitante v;
    {
        TfrmEntradaVisit dlg(dir, shell_.shellWindow());
        if (dlg.exec() != QDialog::Accepted) return Visita::Hecha;
        Memo1_->setPlainText(dlg.Memo1->toPlainText());
        v.tipoDocIdent = dlg.cbTipoDocIdent->currentIndex();
        v.docIdent = dlg.edDocIdent->text();
        v.nombre = dlg.edNombre->text();
    }
    try {
        kv::ActualizarVisitante(*kv::DM->TblVisitantes, v, Memo1_->toPlainText());
    } catch (const std::exception& e) {
        MovimientoNoGuardado(QString::fromUtf8(e.what()));
        return Visita::NoGuardada;
    }
    return RegistrarMovimiento(v.docIdent, v.tipoDocIdent, v.nombre) ? Visita::Hecha : Visita::NoGuardada;
}

void CaptureCommands::edCodigoKeyPress(QKeyEvent* e)
{
    if (!e || (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter)) return;
    const QString codigo = edCodigo_->text();
    if (kv::EsCodigoVisitante(codigo)) {
        const Visita r = CapturarVisitante(codigo);
        if (r == Visita::NoGuardada) return;
        if (r == Visita::Repetida) {
            edCodigo_->clear();
            return;
        }
    } else {
        const QString dir = kv::TablesDir();
        const std::optional<kv::PersonaCaptura> p = kv::BuscarPersona(dir, codigo);
        if (!p) {
            // The previous person stays on screen; only the log learns of the code. When the
            // log cannot be written the error goes up and the code stays in the field.
            if (AvisoPuerta* aviso = AvisoPuerta::de(shell_.shellWindow())) aviso->CodigoRechazado();
            kv::Messages::instance().showMessage(QStringLiteral("Código inválido o suspendido"));
            kv::RegistrarCodigoInvalido(codigo);
            edCodigo_->clear();
            return;
        }
        kv::UltimoMovimiento ultimo;
        const bool dentro = kv::EstaDentro(dir, codigo, &ultimo);
        // A second read of the same card: nothing stored, the detail box kept.
        if (AvisoPuerta* aviso = AvisoPuerta::de(shell_.shellWindow()); aviso && aviso->LecturaRepetida(ultimo)) {
            edCodigo_->clear();
            return;
        }
        MostrarFoto(Image1_, kv::RutaFoto(dir, p->idFoto));
        // Inside now means this scan is the way out.
        shell_.setModoMovimiento(dentro ? QStringLiteral("S") : QStringLiteral("E"));
        MostrarNombre(lblNEstudiante_, kv::TextoNombreCaptura(codigo, *p));
        if (!RegistrarMovimiento(p->docIdent, p->tipoDocIdent, p->nestudiante)) return;
    }
    edCodigo_->clear();
    Memo1_->clear();
}

void CaptureCommands::MovimientoNoGuardado(const QString& motivo)
{
    // Nothing on screen may look like a person let in.
    lblNEstudiante_->setText(QStringLiteral("*"));
    Image1_->clear();
    if (AvisoPuerta* aviso = AvisoPuerta::de(shell_.shellWindow())) aviso->Ocultar();
    kv::Messages::instance().showError(QStringLiteral("No se guardó el movimiento de %1: %2")
                                           .arg(edCodigo_->text(), motivo));
}

bool CaptureCommands::RegistrarMovimiento(const QString& docIdent, int tipoDocIdent, const QString& nombre)
{
    kv::Movimiento m;
    m.codigo = edCodigo_->text();
    m.modo = shell_.modoMovimientoActual();
    m.detalleMemo = Memo1_->toPlainText();
    m.docIdent = docIdent;
    m.tipoDocIdent = tipoDocIdent;
    m.nombre = nombre;
    try {
        kv::RegistrarMovimiento(kv::TablesDir(), m);
    } catch (const std::exception& e) {
        MovimientoNoGuardado(QString::fromUtf8(e.what()));
        return false;
    }
    if (AvisoPuerta* aviso = AvisoPuerta::de(shell_.shellWindow())) aviso->MovimientoGuardado(m.modo);
    else kv::Beep(500, 100);
    return true;
}

void CaptureCommands::Timer1Timer()
{
    if (kv::TablesDir().isEmpty()) return;
    kv::Tick t;
    t.minutosInactivo = kv::MinutosInactivo();
    t.ahora = kv::Clock::instance().now();
    {
        // Quiet: a damaged settings row is shown at start-up, not every five seconds.
        const kv::TConfig config;
        t.horaSalidaAuto = config.horaSalidaAuto();
    }
    t.pendienteSubir = shell_.pendienteSubirActivo();
    const kv::Decision d = reglas_.tick(t);
    Label7_->setText(d.texto);
    if (d.sacarLosQueQuedaron) SacarLosQueQuedaron();
    if (d.subir) {
        Label7_->setText(kv::TextoSubiendo());
        Label7_->repaint();
        // Year 0 is told at every idle period, until support sets the year.
        if (kv::SubirMovimientos().anioSinConfigurar)
            kv::Messages::instance().showMessage(kv::TextoAnioSinConfigurar());
        // Cleared only after the pass: an error that escapes it leaves the flag set, so the
        // next idle tick tries again.
        shell_.setPendienteSubir(false);
        Label7_->setText(d.texto);
        return;
    }
    shell_.setPendienteSubir(d.pendienteSubir);
    // Nobody at the keyboard since the last tick: a cheap recount of the pending movements
    // catches passes of kelvora-admin and rows written from outside.
    if (t.minutosInactivo * 60 >= 5) emit kv::AvisosSubida::instance().escritorioInactivo();
}

void CaptureCommands::SacarLosQueQuedaron()
{
    const QString dir = kv::TablesDir();
    if (dir.isEmpty()) return;
    ProgressBar1_->setMinimum(0);
    ProgressBar1_->setValue(0);
    ProgressBar1_->setMaximum(qMax(1, kv::FilasSalidasSistema(dir)));
    ProgressBar1_->repaint();
    try {
        kv::SacarLosQueQuedaron(dir);
    } catch (...) {
        ProgressBar1_->setValue(0);
        throw;
    }
    ProgressBar1_->setValue(0);
}
