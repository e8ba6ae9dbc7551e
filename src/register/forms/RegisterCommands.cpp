#include "register/forms/RegisterCommands.h"
#include "base/forms/ErrorDisplay.h"
#include "data/TDM.h"
#include "register/Groups.h"
#include "register/PersonsList.h"
#include "register/forms/TFrmAddGrupo.h"
#include "register/forms/TFrmFusionar.h"
#include "register/forms/TFrmModGrupo.h"
#include "settings/UserLevel.h"
#include "base/Messages.h"
#include "data/forms/DBGrid.h"
#include "base/forms/MainShell.h"
#include "data/DataSource.h"
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

namespace {

// Engine errors of these handlers go to the error box; the window goes on.
template <typename F>
void guarded(F f)
{
    try {
        f();
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
}

bool tablesOpen()
{
    return kv::DM && kv::DM->TblAbaGrados->isActive() && kv::DM->TblGrupos->isActive();
}

// The category grid deletes a row with its own question (Ctrl+Supr).
bool categoryGridKey(QKeyEvent* e)
{
    if (e->key() != Qt::Key_Delete || !(e->modifiers() & Qt::ControlModifier) || !kv::DM) return false;
    kv::TableCursor* t = kv::DM->TblAbaGrados;
    if (!t->isActive()) return true;
    guarded([&] {
        if (t->state() == kv::DataSetState::Insert) { t->cancel(); return; }
        if (t->isEmpty()) return;
        const QString detalle = QStringLiteral("Cód. Categoría: ") + t->fieldByName(QStringLiteral("IGrado")).asString()
                                + QStringLiteral("\nCategoría: ") + t->fieldByName(QStringLiteral("NGrado")).asString();
        if (kv::Messages::instance().askYesNo(QStringLiteral("¿Borrar la categoría?"), detalle, kv::MsgIcon::Warning))
            t->deleteRecord();
    });
    return true;
}

} // namespace

RegisterCommands::RegisterCommands(kv::MainShell& shell, QObject* parent) : QObject(parent), shell_(shell)
{
    setObjectName(QStringLiteral("RegisterCommands"));
    PgGrados_ = shell.required<QTabWidget>(QStringLiteral("PgGrados"));
    TSGrupos_ = shell.required<QWidget>(QStringLiteral("TSGrupos"));
    DBGrid1_ = shell.required<kv::DBGrid>(QStringLiteral("DBGrid1"));
    Label8_ = shell.required<QLabel>(QStringLiteral("Label8"));
    lblSinEstud_ = shell.required<QLabel>(QStringLiteral("lblSinEstud"));
    Image1_ = shell.required<QLabel>(QStringLiteral("Image1"));
    btnSuspender_ = shell.required<QPushButton>(QStringLiteral("btnSuspender"));

    DBGrid1_->setAllowInsert(true);
    DBGrid1_->setAllowDelete(true);
    DBGrid1_->setKeyFilter(categoryGridKey);
    DBGrid1_->setToolTip(QStringLiteral("Insert: nueva categoría    Ctrl+Supr: borrar la categoría"));
    // Persons are never started from the grid; only names are corrected in place.
    auto* personas = shell.required<kv::DBGrid>(QStringLiteral("DBGEstudiantes"));
    personas->setAllowInsert(false);
    personas->setAllowDelete(false);
    personas->setKeyFilter([this](QKeyEvent* e) { return DBGEstudiantesKeyDown(e); });

    auto* grados = shell.required<kv::DataSource>(QStringLiteral("DSAbaGrados"));
    auto* grupos = shell.required<kv::DataSource>(QStringLiteral("DSGrupos"));
    auto* materias = shell.required<kv::DataSource>(QStringLiteral("DSAbaMaterias"));
    auto* estudiantes = shell.required<kv::DataSource>(QStringLiteral("DSEstudiantes"));
    connect(PgGrados_, &QTabWidget::currentChanged, this, &RegisterCommands::PgGradosChange);
    connect(grados, &kv::DataSource::dataChange, this, &RegisterCommands::DSAbaGradosDataChange);
    connect(grupos, &kv::DataSource::dataChange, this, &RegisterCommands::DSAbaGradosDataChange);
    connect(grados, &kv::DataSource::stateChange, this, &RegisterCommands::DSAbaGradosStateChange);
    connect(materias, &kv::DataSource::dataChange, this, &RegisterCommands::DSAbaMateriasDataChange);
    connect(estudiantes, &kv::DataSource::dataChange, this, &RegisterCommands::DSEstudiantesDataChange);
    connect(estudiantes, &kv::DataSource::updateData, this, &RegisterCommands::DSEstudiantesUpdateData);
    const std::pair<const char*, void (RegisterCommands::*)()> botones[] = {
        {"BtnAddGrupo", &RegisterCommands::BtnAddGrupoClick},
        {"BtnModGrupo", &RegisterCommands::BtnModGrupoClick},
        {"BtnBorGrupo", &RegisterCommands::BtnBorGrupoClick},
        {"BtnFusionarGrupos", &RegisterCommands::BtnFusionarGruposClick},
    };
    for (const auto& [nombre, accion] : botones)
        connect(shell.required<QPushButton>(QString::fromLatin1(nombre)), &QPushButton::clicked, this, accion);
}

void RegisterCommands::PgGradosChange(int)
{
    guarded([this] {
        shell_.RefreshSelection();
        if (PgGrados_->currentWidget() == TSGrupos_ && tablesOpen()) {
            // Groups are filtered only here: on the "Grados" tab the list keeps the
            // groups of the category last shown on this tab.
            kv::TableCursor* g = kv::DM->TblGrupos;
            g->setFilter(QStringLiteral("IGrado=?"), {shell_.gradoActual()});
            g->setFiltered(true);
            g->first();
            shell_.setGrupoActual(g->fieldByName(QStringLiteral("IGrupo")).asString());
        }
        shell_.ApplyPersonsFilter();
    });
}

void RegisterCommands::DSAbaGradosDataChange(const QString&)
{
    guarded([this] { shell_.ApplyPersonsFilter(); });
}

void RegisterCommands::DSAbaGradosStateChange()
{
    // Only an administrator types the number of a new category.
    if (kv::UserLevel() != QLatin1String("1") || !kv::DM) return;
    DBGrid1_->setColumnReadOnly(0, kv::DM->TblAbaGrados->state() != kv::DataSetState::Insert);
}

void RegisterCommands::DSAbaMateriasDataChange(const QString& field)
{
    if (field.isEmpty()) DSEstudiantesDataChange(QString());
}

void RegisterCommands::BtnAddGrupoClick()
{
    TFrmAddGrupo dlg(shell_.shellWindow(), QString::number(shell_.gradoActual()));
    dlg.exec();
}

void RegisterCommands::BtnModGrupoClick()
{
    TFrmModGrupo dlg(shell_.shellWindow(), QString::number(shell_.gradoActual()), shell_.grupoActual());
    dlg.exec();
}

void RegisterCommands::BtnBorGrupoClick()
{
    const int grado = shell_.gradoActual();
    const QString grupo = shell_.grupoActual();
    if (grupo.isEmpty()) return;   // a category without groups: nothing to delete
    const QString detalle = QStringLiteral("Grado: ") + QString::number(grado) + QStringLiteral("\nGrupo: ") + grupo;
    if (!kv::Messages::instance().askYesNo(QStringLiteral("Confirma borrar el grupo con todos sus estudiantes y notas?"),
                                           detalle, kv::MsgIcon::Warning))
        return;
    guarded([&] { kv::BorrarGrupo(kv::TablesDir(), grado, grupo); });
}

void RegisterCommands::BtnFusionarGruposClick()
{
    TFrmFusionar dlg(shell_.shellWindow(), shell_.gradoActual());
    dlg.exec();
}

void RegisterCommands::DSEstudiantesDataChange(const QString&)
{
    if (!kv::DM) return;
    kv::TableCursor* t = kv::DM->TblEstudiantes;
    if (!t->isActive() || t->state() == kv::DataSetState::Insert) return;
    guarded([&] {
        const QString idFoto = t->fieldByName(QStringLiteral("idFoto")).asString();
        const QString situacion = t->fieldByName(QStringLiteral("situacion")).asString();
        Label8_->setText(situacion);
        btnSuspender_->setText(situacion == QLatin1String("SUSPENDIDO") ? QStringLiteral("HABILITAR")
                                                                       : QStringLiteral("SUSPENDER"));
        // A failed load gives a null picture: the box is cleared.
        const QImage foto = idFoto.isEmpty() ? QImage() : kv::CargarFoto(kv::RutaFoto(kv::TablesDir(), idFoto), Image1_->minimumSize());
        if (foto.isNull()) Image1_->clear();
        else Image1_->setPixmap(QPixmap::fromImage(foto));
        // An empty list, not a person without internal number, is what this notes.
        lblSinEstud_->setText(t->isEmpty() ? QStringLiteral("Sin estudiantes.") : QString());
    });
}

void RegisterCommands::DSEstudiantesUpdateData()
{
    if (!kv::DM) return;
    kv::TableCursor* t = kv::DM->TblEstudiantes;
    for (const QString& campo : {QStringLiteral("Situacion"), QStringLiteral("SitSocial")}) {
        const QString v = t->fieldByName(campo).asString();
        const QString n = kv::NormalizarCodigoEstado(v);
        if (n != v) t->setFieldValue(campo, n);
    }
}

bool RegisterCommands::DBGEstudiantesKeyDown(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Insert) return true;
    return kv::DM && kv::DM->TblEstudiantes->state() == kv::DataSetState::Insert;
}
