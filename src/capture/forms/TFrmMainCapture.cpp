#include "app/forms/TFrmMain.h"
#include "capture/Capture.h"
#include "capture/SalidasSistema.h"
#include "capture/Temporizador.h"
#include "platform/IdleTime.h"
#include "publish/Publicacion.h"
#include "settings/TConfig.h"
#include "util/Fotos.h"
#include "capture/forms/AvisoPuerta.h"
#include "capture/forms/TfrmEntradaVisit.h"
#include "data/TDM.h"
#include "platform/Beep.h"
#include "util/Clock.h"
#include "util/Messages.h"
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

// A badge inside goes out at once with the data of its entry; otherwise the visitor is
// registered in the dialog. Nothing is stored when the dialog is not accepted. False for a
// repeated read of the badge, which changes nothing.
bool CapturarVisitante(TFrmMain& w, const QString& codigo)
{
    const QString dir = kv::TablesDir();
    kv::UltimoMovimiento ultimo;
    const bool dentro = kv::EstaDentro(dir, codigo, &ultimo);
    if (AvisoPuerta* aviso = AvisoPuerta::de(&w); aviso && aviso->LecturaRepetida(ultimo)) return false;
    if (dentro) {
        w.modoMovimiento = QStringLiteral("S");
        w.RegistrarMovimiento(ultimo.docIdent, ultimo.tipoDocIdent, ultimo.nestudiante);
        return true;
    }
    w.modoMovimiento = QStringLiteral("E");
    kv::Visitante v;
    {
        TfrmEntradaVisit dlg(dir, &w);
        if (dlg.exec() != QDialog::Accepted) return true;
        w.Memo1->setPlainText(dlg.Memo1->toPlainText());
        v.tipoDocIdent = dlg.cbTipoDocIdent->currentIndex();
        v.docIdent = dlg.edDocIdent->text();
        v.nombre = dlg.edNombre->text();
    }
    kv::ActualizarVisitante(*kv::DM->TblVisitantes, v, w.Memo1->toPlainText());
    w.RegistrarMovimiento(v.docIdent, v.tipoDocIdent, v.nombre);
    return true;
}

// What the timer remembers between ticks (the day of the last automatic exits).
class EstadoTemporizador : public QObject {
public:
    explicit EstadoTemporizador(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("kvEstadoTemporizador")); }
    kv::ReglasTemporizador reglas;
};

} // namespace

void TFrmMain::setupCapture()
{
    new EstadoTemporizador(this);
    SacarLosQueQuedaron1->setEnabled(true);
    // A long name must still show its category and group: the line wraps onto a second
    // one, and the room for two lines is kept so the lists above never jump.
    lblNEstudiante->setWordWrap(true);
    lblNEstudiante->setMinimumHeight(2 * lblNEstudiante->fontMetrics().lineSpacing());
    lblNEstudiante->setProperty(kLetraNombre, lblNEstudiante->font().pixelSize());
    kv::SetBeepFallback([] { QApplication::beep(); });
}

void TFrmMain::edCodigoKeyPress(QKeyEvent* e)
{
    if (!e || (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter)) return;
    const QString codigo = edCodigo->text();
    if (kv::EsCodigoVisitante(codigo)) {
        if (!CapturarVisitante(*this, codigo)) {
            edCodigo->clear();
            return;
        }
    } else {
        const QString dir = kv::TablesDir();
        const std::optional<kv::PersonaCaptura> p = kv::BuscarPersona(dir, codigo);
        if (!p) {
            // The previous person stays on screen; only the log learns of the code. When the
            // log cannot be written the error goes up and the code stays in the field.
            if (AvisoPuerta* aviso = AvisoPuerta::de(this)) aviso->CodigoRechazado();
            kv::Messages::instance().showMessage(QStringLiteral("Código inválido o suspendido"));
            kv::RegistrarCodigoInvalido(codigo);
            edCodigo->clear();
            return;
        }
        kv::UltimoMovimiento ultimo;
        const bool dentro = kv::EstaDentro(dir, codigo, &ultimo);
        // A second read of the same card: nothing stored, the detail box kept.
        if (AvisoPuerta* aviso = AvisoPuerta::de(this); aviso && aviso->LecturaRepetida(ultimo)) {
            edCodigo->clear();
            return;
        }
        MostrarFoto(Image1, kv::RutaFoto(dir, p->idFoto));
        // Inside now means this scan is the way out.
        modoMovimiento = dentro ? QStringLiteral("S") : QStringLiteral("E");
        MostrarNombre(lblNEstudiante, kv::TextoNombreCaptura(codigo, *p));
        RegistrarMovimiento(p->docIdent, p->tipoDocIdent, p->nestudiante);
    }
    edCodigo->clear();
    Memo1->clear();
}

void TFrmMain::RegistrarMovimiento(const QString& docIdent, int tipoDocIdent, const QString& nombre)
{
    kv::Movimiento m;
    m.codigo = edCodigo->text();
    m.modo = modoMovimiento;
    m.detalleMemo = Memo1->toPlainText();
    m.docIdent = docIdent;
    m.tipoDocIdent = tipoDocIdent;
    m.nombre = nombre;
    kv::RegistrarMovimiento(kv::TablesDir(), m);
    if (AvisoPuerta* aviso = AvisoPuerta::de(this)) aviso->MovimientoGuardado(modoMovimiento);
    else kv::Beep(500, 100);
}

void TFrmMain::Timer1Timer()
{
    auto* estado = findChild<EstadoTemporizador*>(QStringLiteral("kvEstadoTemporizador"), Qt::FindDirectChildrenOnly);
    if (!estado || kv::TablesDir().isEmpty()) return;
    kv::Tick t;
    t.minutosInactivo = kv::MinutosInactivo();
    t.ahora = kv::Clock::instance().now();
    {
        const kv::TConfig config;
        t.horaSalidaAuto = config.horaSalidaAuto();
    }
    t.pendienteSubir = pendienteSubir;
    const kv::Decision d = estado->reglas.tick(t);
    Label7->setText(d.texto);
    if (d.sacarLosQueQuedaron) SacarLosQueQuedaron();
    if (d.subir) {
        Label7->setText(kv::TextoSubiendo());
        Label7->repaint();
        kv::SubirMovimientos();
        // Cleared only after the pass: an error that escapes it leaves the flag set, so the
        // next idle tick tries again.
        pendienteSubir = false;
        Label7->setText(d.texto);
        return;
    }
    pendienteSubir = d.pendienteSubir;
}

void TFrmMain::SacarLosQueQuedaron()
{
    const QString dir = kv::TablesDir();
    if (dir.isEmpty()) return;
    ProgressBar1->setMinimum(0);
    ProgressBar1->setValue(0);
    ProgressBar1->setMaximum(qMax(1, kv::FilasSalidasSistema(dir)));
    ProgressBar1->repaint();
    try {
        kv::SacarLosQueQuedaron(dir);
    } catch (...) {
        ProgressBar1->setValue(0);
        throw;
    }
    ProgressBar1->setValue(0);
}
