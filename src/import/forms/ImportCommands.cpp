#include "import/forms/ImportCommands.h"
#include "data/TDM.h"
#include "import/ImportarFotos.h"
#include "import/ImportarPersonas.h"
#include "import/forms/TFrmImportarPersonas.h"
#include "import/forms/TFrmResultadoFotos.h"
#include "settings/forms/Acceso.h"
#include "base/Messages.h"
#include "base/forms/MainShell.h"
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>

namespace kv {

ImportCommands::ImportCommands(MainShell& shell, QObject* parent) : QObject(parent), shell_(shell)
{
    QMenu* herr = shell_.shellMenu(QStringLiteral("Herramientas"));
    herr->addSeparator();
    ImportarPersonas1 = herr->addAction(QStringLiteral("Importar personas..."));
    ImportarPersonas1->setObjectName(QStringLiteral("ImportarPersonas1"));
    ImportarFotos1 = herr->addAction(QStringLiteral("Importar fotos..."));
    ImportarFotos1->setObjectName(QStringLiteral("ImportarFotos1"));
    connect(ImportarPersonas1, &QAction::triggered, this, &ImportCommands::ImportarPersonas1Click);
    connect(ImportarFotos1, &QAction::triggered, this, &ImportCommands::ImportarFotos1Click);
    elegirArchivo = [this] {
        return QFileDialog::getOpenFileName(shell_.shellWindow(), QStringLiteral("Importar personas"), QString(),
                                            QStringLiteral("Hojas de cálculo (*.xlsx *.csv);;Todos los archivos (*)"));
    };
    elegirCarpeta = [this] {
        return QFileDialog::getExistingDirectory(shell_.shellWindow(), QStringLiteral("Carpeta de las fotos"));
    };
}

void ImportCommands::releer()
{
    if (DM && DM->TblEstudiantes && DM->TblEstudiantes->isActive()) DM->TblEstudiantes->refresh();
    if (DM && DM->TblGrupos && DM->TblGrupos->isActive()) DM->TblGrupos->refresh();
    if (DM && DM->TblAbaGrados && DM->TblAbaGrados->isActive()) DM->TblAbaGrados->refresh();
    shell_.RefreshSelection();
}

void ImportCommands::ImportarPersonas1Click()
{
    if (!AccesoPermitido()) return;
    const QString archivo = elegirArchivo();
    if (archivo.isEmpty()) return;
    OpcionesImportacion o;
    o.escribir = false;
    ResultadoImportacion revision;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        revision = ImportarPersonas(TablesDir(), archivo, o);
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        Messages::instance().showError(QString::fromUtf8(e.what()));
        return;
    }
    QApplication::restoreOverrideCursor();
    TFrmImportarPersonas dlg(TablesDir(), archivo, o, revision, shell_.shellWindow());
    if (dlg.exec() == QDialog::Accepted) releer();
}

void ImportCommands::ImportarFotos1Click()
{
    if (!AccesoPermitido()) return;
    const QString carpeta = elegirCarpeta();
    if (carpeta.isEmpty()) return;
    ResultadoFotos r;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        r = ImportarFotos(TablesDir(), carpeta);
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        Messages::instance().showError(QString::fromUtf8(e.what()));
        return;
    }
    QApplication::restoreOverrideCursor();
    releer();
    TFrmResultadoFotos dlg(r, shell_.shellWindow());
    dlg.exec();
}

} // namespace kv
