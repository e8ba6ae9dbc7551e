#include "util/forms/TfrmSabana.h"
#include "base/forms/ErrorDisplay.h"
#include "export/forms/ExportarExcel.h"
#include "base/Clock.h"
#include "util/Edades.h"
#include "base/Messages.h"
#include "data/forms/DBGrid.h"
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QVector<kv::GridColumn> columnas()
{
    struct C { const char* campo; const char* titulo; int ancho; bool editable; };
    static const C cs[] = {
        {"IGrado", "IGrado", 50, false},         {"IGrupo", "IGrupo", 50, false},
        {"NEstudiante", "NEstudiante", 240, true}, {"DocIdent", "DocIdent", 100, true},
        {"Situacion", "Situacion", 90, true},    {"codigo", "codigo", 80, false},
        {"RH", "RH", 40, true},                  {"EPS", "EPS", 110, true},
        {"TelefEstud", "TelefEstud", 90, true},  {"Direccion", "Direccion", 160, true},
        {"IdFoto", "IdFoto", 100, true},         {"Acudiente", "Acudiente", 200, true},
        {"docacud", "Documento", 100, true},     {"TelefAcudiente", "TelefAcudiente", 100, true},
        {"dirresacud", "Dir Acud.", 160, true},  {"observaciones", "observaciones", 200, true},
        {"gradoantesbod", "gradoantesbod", 90, false}, {"grupoantesbod", "grupoantesbod", 90, false},
    };
    QVector<kv::GridColumn> v;
    for (const C& c : cs) v.push_back({QString::fromLatin1(c.campo), QString::fromLatin1(c.titulo), c.ancho, !c.editable});
    return v;
}

QPushButton* boton(const char* nombre, const QString& texto, QWidget* padre)
{
    auto* b = new QPushButton(texto, padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TfrmSabana::TfrmSabana(QWidget* parent, kv::TableCursor* personas) : QDialog(parent), personas_(personas)
{
    setObjectName(QStringLiteral("frmSabana"));
    setWindowTitle(QStringLiteral("Sabana con la información de los estudiantes"));
    resize(1000, 600);
    setWindowState(windowState() | Qt::WindowMaximized);

    auto* root = new QVBoxLayout(this);
    auto* arriba = new QHBoxLayout;
    btnExportarExcel = boton("btnExportarExcel", QStringLiteral("Exportar a Excel"), this);
    RadioGroup1 = new QGroupBox(QStringLiteral("Opciones"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* opciones = new QHBoxLayout(RadioGroup1);
    RadioGroup1Items = new QButtonGroup(RadioGroup1);
    const QString textos[] = {QStringLiteral("Ver solo el grupo actual"), QStringLiteral("Ver todos los estudiantes")};
    for (int i = 0; i < 2; ++i) {
        auto* rb = new QRadioButton(textos[i], RadioGroup1);
        rb->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        RadioGroup1Items->addButton(rb, i);
        opciones->addWidget(rb);
    }
    RadioGroup1Items->button(0)->setChecked(true);
    btnActEdad = boton("btnActEdad", QStringLiteral("Actualizar edades"), this);
    arriba->addWidget(btnExportarExcel);
    arriba->addWidget(RadioGroup1);
    arriba->addWidget(btnActEdad);
    arriba->addStretch(1);
    root->addLayout(arriba);

    DBGrid1 = new kv::DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    root->addWidget(DBGrid1, 1);

    if (personas_ && personas_->isActive()) {
        // The grid opens on the last person.
        personas_->last();
        filaApertura_ = personas_->recNo();
        DBGrid1->setDataSet(personas_, columnas());
    }
    DBGrid1->setKeyFilter([this](QKeyEvent* e) { return DBGrid1KeyDown(e); });

    connect(btnExportarExcel, &QPushButton::clicked, this, &TfrmSabana::btnExportarExcelClick);
    connect(btnActEdad, &QPushButton::clicked, this, &TfrmSabana::btnActEdadClick);
    connect(RadioGroup1Items, &QButtonGroup::idClicked, this, &TfrmSabana::RadioGroup1Click);
}

// Down below the last row would start a new, empty person; Ctrl+Delete would delete one.
// Adding and deleting persons have their own dialogs. The row the grid opened on is the
// last one of the group only while the grid shows the group.
bool TfrmSabana::DBGrid1KeyDown(QKeyEvent* e)
{
    if (!personas_ || !personas_->isActive()) return false;
    if (e->key() == Qt::Key_Down)
        return (personas_->filtered() && personas_->recNo() == filaApertura_)
               || personas_->recNo() == personas_->recordCount();
    return e->key() == Qt::Key_Delete && (e->modifiers() & Qt::ControlModifier);
}

bool TfrmSabana::guardarFila()
{
    if (!personas_) return false;
    if (DBGrid1 && !DBGrid1->commitOpenEditor()) return false;   // the cell still being typed
    try {
        personas_->post();
        return true;
    } catch (const std::exception&) {
        // The typed values stay in the row to mend or cancel (Esc).
        kv::MostrarExcepcion();
        return false;
    }
}

void TfrmSabana::btnExportarExcelClick()
{
    if (personas_ && guardarFila()) kv::ExportarAExcel(*personas_, this);
}

void TfrmSabana::btnActEdadClick()
{
    if (!personas_ || !guardarFila()) return;
    try {
        kv::ActualizarEdades(*personas_->database(), kv::Clock::instance().today());
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
}

void TfrmSabana::RadioGroup1Click(int item)
{
    if (!personas_) return;
    try {
        personas_->setFiltered(item == 0);
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
        RadioGroup1Items->button(personas_->filtered() ? 0 : 1)->setChecked(true);
    }
}

void TfrmSabana::done(int r)
{
    // A row the engine refuses keeps the window open with what was typed.
    if (personas_ && personas_->isActive() && !guardarFila()) return;
    if (personas_ && personas_->isActive()) {
        try {
            personas_->setFiltered(true);
        } catch (const std::exception&) {
            kv::MostrarExcepcion();
        }
    }
    QDialog::done(r);
}
