#include "app/forms/TFrmMain.h"
#include "data/TDM.h"
#include "register/Groups.h"
#include "register/PersonsList.h"
#include "register/forms/TFrmAddGrupo.h"
#include "register/forms/TFrmFusionar.h"
#include "register/forms/TFrmModGrupo.h"
#include "settings/UserLevel.h"
#include "util/Messages.h"
#include "util/forms/DBGrid.h"
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

// Categories, groups and the persons list of the main window.

namespace {

// Engine errors of these handlers go to the error box; the window goes on.
template <typename F>
void guarded(F f)
{
    try {
        f();
    } catch (const std::exception& e) {
        kv::Messages::instance().showError(QString::fromUtf8(e.what()));
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

void TFrmMain::setupRegister()
{
    DBGrid1->setAllowInsert(true);
    DBGrid1->setAllowDelete(true);
    DBGrid1->setKeyFilter(categoryGridKey);
    DBGrid1->setToolTip(QStringLiteral("Insert: nueva categoría    Ctrl+Supr: borrar la categoría"));
    // Persons are never started from the grid; only names are corrected in place.
    DBGEstudiantes->setAllowInsert(false);
    DBGEstudiantes->setAllowDelete(false);
}

void TFrmMain::RefreshSelection()
{
    // The store category holds the window where it is.
    if (currentGrado == -99) return;
    if (!tablesOpen()) return;
    kv::TableCursor* grados = kv::DM->TblAbaGrados;
    kv::TableCursor* materias = kv::DM->TblAbaMaterias;
    const int grado = int(grados->fieldByName(QStringLiteral("IGrado")).asInteger());
    if (grado != currentGrado) {
        currentGrado = grado;
        materias->setFilter(QStringLiteral("IGrado=") + QString::number(grado));
        materias->setFiltered(true);
    }
    currentMateria = materias->isActive() ? materias->fieldByName(QStringLiteral("IMateria")).asString() : QString();
    currentGrupo = kv::DM->TblGrupos->fieldByName(QStringLiteral("IGrupo")).asString();
    LblIGrado->setText(QString::number(currentGrado));
    LblIGradoGrupos->setText(QString::number(currentGrado));
    LblIGradoEstudiantes->setText(grados->fieldByName(QStringLiteral("NGrado")).asString());
    LblIGrupo->setText(currentGrupo);
    LblIGrupoEstudiantes->setText(currentGrupo);
}

void TFrmMain::ApplyPersonsFilter()
{
    RefreshSelection();
    if (PgEstudiantes->currentWidget() != TSEstudiantes || currentGrupo.isEmpty() || !kv::DM) return;
    kv::TableCursor* p = kv::DM->TblEstudiantes;
    p->setFilter(QStringLiteral("IGrado=") + QString::number(currentGrado) + QStringLiteral(" and IGrupo=")
                 + kv::TextoFiltro(currentGrupo));
    p->setFiltered(true);
}

void TFrmMain::PgGradosChange(int)
{
    guarded([this] {
        RefreshSelection();
        if (PgGrados->currentWidget() == TSGrupos && tablesOpen()) {
            // Groups are filtered only here: on the "Grados" tab the list keeps the
            // groups of the category last shown on this tab.
            kv::TableCursor* g = kv::DM->TblGrupos;
            g->setFilter(QStringLiteral("IGrado=") + QString::number(currentGrado));
            g->setFiltered(true);
            g->first();
            currentGrupo = g->fieldByName(QStringLiteral("IGrupo")).asString();
        }
        ApplyPersonsFilter();
    });
}

void TFrmMain::DSAbaGradosDataChange(const QString&)
{
    guarded([this] { ApplyPersonsFilter(); });
}

void TFrmMain::DSAbaGradosStateChange()
{
    // Only an administrator types the number of a new category.
    if (kv::UserLevel() != QLatin1String("1") || !kv::DM) return;
    DBGrid1->setColumnReadOnly(0, kv::DM->TblAbaGrados->state() != kv::DataSetState::Insert);
}

void TFrmMain::DSAbaMateriasDataChange(const QString& field)
{
    if (field.isEmpty()) DSEstudiantesDataChange(QString());
}

void TFrmMain::BtnAddGrupoClick()
{
    TFrmAddGrupo dlg(this, QString::number(currentGrado));
    dlg.exec();
}

void TFrmMain::BtnModGrupoClick()
{
    TFrmModGrupo dlg(this, QString::number(currentGrado), currentGrupo);
    dlg.exec();
}

void TFrmMain::BtnBorGrupoClick()
{
    if (currentGrupo.isEmpty()) return;   // a category without groups: nothing to delete
    const int grado = currentGrado;
    const QString grupo = currentGrupo;
    const QString detalle = QStringLiteral("Grado: ") + QString::number(grado) + QStringLiteral("\nGrupo: ") + grupo;
    if (!kv::Messages::instance().askYesNo(QStringLiteral("Confirma borrar el grupo con todos sus estudiantes y notas?"),
                                           detalle, kv::MsgIcon::Warning))
        return;
    guarded([&] { kv::BorrarGrupo(grado, grupo); });
}

void TFrmMain::BtnFusionarGruposClick()
{
    TFrmFusionar dlg(this, currentGrado);
    dlg.exec();
}

void TFrmMain::DSEstudiantesDataChange(const QString&)
{
    if (!kv::DM) return;
    kv::TableCursor* t = kv::DM->TblEstudiantes;
    if (!t->isActive() || t->state() == kv::DataSetState::Insert) return;
    guarded([&] {
        const QString idFoto = t->fieldByName(QStringLiteral("idFoto")).asString();
        const QString situacion = t->fieldByName(QStringLiteral("situacion")).asString();
        Label8->setText(situacion);
        btnSuspender->setText(situacion == QLatin1String("SUSPENDIDO") ? QStringLiteral("HABILITAR")
                                                                       : QStringLiteral("SUSPENDER"));
        // A failed load gives a null picture: the box is cleared.
        const QImage foto = idFoto.isEmpty() ? QImage() : kv::CargarFoto(kv::RutaFoto(kv::TablesDir(), idFoto), Image1->minimumSize());
        if (foto.isNull()) Image1->clear();
        else Image1->setPixmap(QPixmap::fromImage(foto));
        // An empty list, not a person without internal number, is what this notes.
        lblSinEstud->setText(t->isEmpty() ? QStringLiteral("Sin estudiantes.") : QString());
    });
}

void TFrmMain::DSEstudiantesUpdateData()
{
    if (!kv::DM) return;
    kv::TableCursor* t = kv::DM->TblEstudiantes;
    for (const QString& campo : {QStringLiteral("Situacion"), QStringLiteral("SitSocial")}) {
        const QString v = t->fieldByName(campo).asString();
        const QString n = kv::NormalizarCodigoEstado(v);
        if (n != v) t->setFieldValue(campo, n);
    }
}

bool TFrmMain::DBGEstudiantesKeyDown(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Insert) return true;
    return kv::DM && kv::DM->TblEstudiantes->state() == kv::DataSetState::Insert;
}
