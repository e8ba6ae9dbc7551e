#include "register/forms/TFrmEstudiantes.h"
#include "data/TDM.h"
#include "base/forms/ErrorDisplay.h"
#include "base/DebeCorregir.h"
#include "register/Register.h"
#include "base/Messages.h"
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

void ForzarMayusculas(QLineEdit* ed)
{
    QObject::connect(ed, &QLineEdit::textEdited, ed, [ed](const QString& t) {
        const QString up = t.toUpper();
        if (up == t) return;
        // A letter may grow when capitalised (ß → SS): the cursor stays after what was typed.
        const int pos = ed->cursorPosition() + int(up.size() - t.size());
        ed->setText(up);
        ed->setCursorPosition(pos);
    });
}


TFrmEstudiantes::TFrmEstudiantes(const QString& grado, const QString& grupo, QWidget* parent)
    : TFrmPersonaBase(parent), grado_(grado), grupo_(grupo)
{
    setObjectName(QStringLiteral("FrmEstudiantes"));
    setWindowTitle(QStringLiteral("Adicionar estudiantes"));
    auto* root = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    EdIEstudiante = campo(g, 0, QStringLiteral("Id interno:"), new QLineEdit(this), "EdIEstudiante");
    EdNEstudiante = campo(g, 1, QStringLiteral("Nombre:"), new QLineEdit(this), "EdNEstudiante");
    ForzarMayusculas(EdNEstudiante);
    EdNEstudiante->setMinimumWidth(320);
    EdNumMatr = campo(g, 2, QStringLiteral("Número de matrícula:"), new QLineEdit(this), "EdNumMatr");
    edDocIdent = campo(g, 3, QStringLiteral("Doc. Identidad:"), new QLineEdit(this), "edDocIdent");
    edSitSocial = campo(g, 4, QStringLiteral("Situación social:"), new QLineEdit(this), "edSitSocial");
    edNumCarnet = campo(g, 5, QStringLiteral("Número de carné:"), new QLineEdit(this), "edNumCarnet");
    edRH = campo(g, 6, QStringLiteral("RH:"), new QLineEdit(this), "edRH");
    edIdFoto = campo(g, 7, QStringLiteral("Archivo Foto:"), new QLineEdit(this), "edIdFoto");
    auto* lf = new QLabel(QStringLiteral("Fecha Nacimiento:"), this);
    dtpFechaNac = new QDateEdit(QDate(2007, 5, 22), this);
    dtpFechaNac->setObjectName(QStringLiteral("dtpFechaNac"));
    dtpFechaNac->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    dtpFechaNac->setCalendarPopup(true);
    lf->setBuddy(dtpFechaNac);
    g->addWidget(lf, 8, 0);
    g->addWidget(dtpFechaNac, 8, 1);

    auto* botones = new QHBoxLayout;
    BtnAddEst = new QPushButton(QStringLiteral("&Grabar"), this);
    BtnAddEst->setObjectName(QStringLiteral("BtnAddEst"));
    BtnCrearEst = new QPushButton(QStringLiteral("&Crear otro"), this);
    BtnCrearEst->setObjectName(QStringLiteral("BtnCrearEst"));
    BtnSalir = new QPushButton(QStringLiteral("&Salir"), this);
    BtnSalir->setObjectName(QStringLiteral("BtnSalir"));
    for (QPushButton* b : {BtnAddEst, BtnCrearEst, BtnSalir}) {
        b->setAutoDefault(false);
        botones->addWidget(b);
    }
    g->addLayout(botones, 9, 0, 1, 2);

    // The code box sits below the buttons, lined up with the other boxes.
    edCodigo = campo(g, 10, QStringLiteral("Código:"), new QLineEdit(this), "edCodigo");
    root->addLayout(g);

    // Tab order as the boxes are filled in: the code comes last.
    QWidget* orden[] = {EdIEstudiante, EdNEstudiante, EdNumMatr, edDocIdent, edSitSocial, edNumCarnet,
                        edRH, edIdFoto, dtpFechaNac, BtnAddEst, BtnCrearEst, BtnSalir, edCodigo};
    for (size_t i = 1; i < std::size(orden); ++i) setTabOrder(orden[i - 1], orden[i]);

    connect(BtnAddEst, &QPushButton::clicked, this, &TFrmEstudiantes::BtnAddEstClick);
    connect(BtnCrearEst, &QPushButton::clicked, this, &TFrmEstudiantes::BtnCrearEstClick);
    connect(BtnSalir, &QPushButton::clicked, this, &QDialog::reject);
    limitarComunes();

    // The next free internal number of the group is offered.
    siguiente_ = qint64(kv::NextInternalNumber(kv::TablesDir(), grado_.toInt(), grupo_)) + 1;
    EdIEstudiante->setText(QString::number(siguiente_));
    EdNEstudiante->setFocus();
    BtnCrearEst->setEnabled(false);
}

kv::PersonaDatos TFrmEstudiantes::leer() const
{
    kv::PersonaDatos d = leerComunes();
    d.iEstudiante = EdIEstudiante->text();
    return d;
}

void TFrmEstudiantes::BtnAddEstClick()
{
    const kv::PersonaDatos d = leer();
    try {
        const kv::ValidacionAlta v = kv::ValidarNuevaPersona(kv::TablesDir(), grado_, grupo_, d);
        codigo_ = v.codigo;
        if (!v.mensajes.isEmpty()) {
            kv::Messages::instance().showMessage(kv::DebeCorregir(v.mensajes));
            return;
        }
        kv::GrabarNuevaPersona(*kv::DM->TblEstudiantes, grado_, grupo_, d, codigo_);
    } catch (const std::exception&) {
        // Nothing was stored; the boxes stay as typed for a correction.
        kv::MostrarExcepcion();
        return;
    }
    ++siguiente_;
    BtnCrearEst->setEnabled(true);
    BtnAddEst->setEnabled(false);
}

void TFrmEstudiantes::BtnCrearEstClick()
{
    EdIEstudiante->setText(QString::number(siguiente_));
    EdNEstudiante->clear();
    EdNEstudiante->setFocus();
    BtnCrearEst->setEnabled(false);
    BtnAddEst->setEnabled(true);
}
