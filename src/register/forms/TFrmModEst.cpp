#include "register/forms/TFrmModEst.h"
#include "base/forms/ErrorDisplay.h"
#include "base/DebeCorregir.h"
#include "base/forms/BotonesDialogo.h"
#include "data/forms/FieldLimits.h"
#include "data/TDM.h"
#include "base/Messages.h"
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The picker's lowest date stands for "no birth date": it shows blank and stores nothing.
const QDate kSinFecha(1899, 12, 30);
} // namespace

TFrmModEst::TFrmModEst(const QString& grado, const QString& grupo, QWidget* parent)
    : TFrmPersonaBase(parent), grado_(grado), grupo_(grupo)
{
    setObjectName(QStringLiteral("FrmModEst"));
    setWindowTitle(QStringLiteral("Modificar un estudiante"));
    auto* root = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    LblIEstudiante = campo(g, 0, QStringLiteral("Id: interno:"), new QLabel(this), "LblIEstudiante");
    EdGrado = campo(g, 1, QStringLiteral("Grado:"), new QLineEdit(this), "EdGrado");
    EdGrupo = campo(g, 2, QStringLiteral("Grupo:"), new QLineEdit(this), "EdGrupo");
    EdGrado->setEnabled(false);
    EdGrupo->setEnabled(false);
    EdNEstudiante = campo(g, 3, QStringLiteral("Nombre:"), new QLineEdit(this), "EdNEstudiante");
    EdNEstudiante->setMinimumWidth(320);
    edSitAcad = campo(g, 4, QStringLiteral("Situación académica:"), new QLineEdit(this), "edSitAcad");
    EdNumMatr = campo(g, 5, QStringLiteral("Número de matrícula:"), new QLineEdit(this), "EdNumMatr");
    edDocIdent = campo(g, 6, QStringLiteral("Doc. Identidad:"), new QLineEdit(this), "edDocIdent");
    edSitSocial = campo(g, 7, QStringLiteral("Situación social:"), new QLineEdit(this), "edSitSocial");
    edNumCarnet = campo(g, 8, QStringLiteral("Número de carné:"), new QLineEdit(this), "edNumCarnet");
    edRH = campo(g, 9, QStringLiteral("RH:"), new QLineEdit(this), "edRH");
    edIdFoto = campo(g, 10, QStringLiteral("Archivo Foto:"), new QLineEdit(this), "edIdFoto");
    dtpFechaNac = campo(g, 11, QStringLiteral("Fecha Nacimiento:"), new QDateEdit(this), "dtpFechaNac");
    dtpFechaNac->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    dtpFechaNac->setCalendarPopup(true);
    dtpFechaNac->setMinimumDate(kSinFecha);
    dtpFechaNac->setSpecialValueText(QStringLiteral(" "));
    edCodigo = campo(g, 12, QStringLiteral("Código:"), new QLineEdit(this), "edCodigo");
    auto* nota = new QLabel(QStringLiteral("(Se requiere  para notas en Internet)"), this);
    nota->setObjectName(QStringLiteral("LblNotaCodigo"));
    g->addWidget(nota, 12, 2);
    root->addLayout(g);

    const kv::BotonesDialogo botones =
        kv::CrearBotonesDialogo(this, QStringLiteral("&Salir"), QStringLiteral("BtnSalir"), false);
    BtnAceptar = botones.aceptar;
    BtnSalir = botones.cerrar;
    root->addWidget(botones.caja);

    connect(BtnAceptar, &QPushButton::clicked, this, &TFrmModEst::BtnAceptarClick);
    limitarComunes();
    kv::LimitarAlCampo(edSitAcad, QStringLiteral("estudiantes"), QStringLiteral("situacion"));
    llenar();
}

void TFrmModEst::llenar()
{
    kv::TableCursor& t = *kv::DM->TblEstudiantes;
    auto f = [&t](const char* name) { return t.fieldByName(QString::fromLatin1(name)); };
    fila_ = t.rowIdAt(t.currentRow());
    iEstudiante_ = int(f("IEstudiante").asInteger());
    LblIEstudiante->setText(QString::number(iEstudiante_));
    EdGrado->setText(grado_);
    EdGrupo->setText(grupo_);
    EdNEstudiante->setText(f("NEstudiante").asString());
    EdNumMatr->setText(f("NumMatr").asString());
    edDocIdent->setText(f("docIdent").asString());
    edNumCarnet->setText(f("numCarnet").asString());
    edRH->setText(f("rh").asString());
    edSitAcad->setText(f("situacion").asString());
    edSitSocial->setText(f("sitSocial").asString());
    edIdFoto->setText(f("idFoto").asString());
    const QDate nac = f("fechaNac").asDate();
    dtpFechaNac->setDate(nac.isValid() ? nac : kSinFecha);
    codigoAnterior_ = f("codigo").asString();
    edCodigo->setText(codigoAnterior_);
}

kv::PersonaDatos TFrmModEst::leer() const
{
    kv::PersonaDatos d = leerComunes();
    d.situacion = edSitAcad->text();
    return d;
}

void TFrmModEst::BtnAceptarClick()
{
    auto& msg = kv::Messages::instance();
    const kv::PersonaDatos d = leer();
    try {
        const QString errores = kv::ValidarModificacion(kv::TablesDir(), d, codigoAnterior_);
        if (!errores.isEmpty()) {
            msg.showMessage(kv::DebeCorregir(errores));
            done(QDialog::Rejected);
            return;
        }
        kv::ModificarPersona(kv::TablesDir(), fila_, d, codigoAnterior_, grado_.toInt());
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
        done(QDialog::Rejected);
        return;
    }
    msg.showMessage(QStringLiteral("Estudiante modificado."));
    done(QDialog::Accepted);
}
