#include "export/forms/ExportarExcel.h"
#include "base/forms/ErrorDisplay.h"
#include "base/forms/TFrmAviso.h"
#include "export/Exportar.h"
#include "base/Messages.h"
#include <QDir>
#include <QFileDialog>

namespace kv {

namespace {
// The file dialog may change the working directory; the site's files are found from it.
struct DirectorioGuardado {
    QString dir = QDir::currentPath();
    ~DirectorioGuardado() { QDir::setCurrent(dir); }
};

ElegirArchivo& elegirArchivo()
{
    static ElegirArchivo f;
    return f;
}
} // namespace

std::unique_ptr<QFileDialog> DialogoGuardarExcel(QWidget* parent, const QString& dir)
{
    auto dlg = std::make_unique<QFileDialog>(parent);
    dlg->setObjectName(QStringLiteral("SaveDialog1"));
    dlg->setAcceptMode(QFileDialog::AcceptSave);
    dlg->setFileMode(QFileDialog::AnyFile);
    dlg->setNameFilter(QStringLiteral("Archivos Excel (*.xls *.xlsx)"));
    // The name may still gain ".xlsx" after the dialog; no question about another file.
    dlg->setOption(QFileDialog::DontConfirmOverwrite, true);
    dlg->setDirectory(dir);
    return dlg;
}

void SetElegirArchivo(ElegirArchivo elegir) { elegirArchivo() = std::move(elegir); }

bool ExportarAExcel(TableCursor& tabla, QWidget* parent)
{
    DirectorioGuardado guarda;
    QString elegido;
    if (elegirArchivo()) {
        elegido = elegirArchivo()(parent);
    } else {
        const auto dlg = DialogoGuardarExcel(parent, guarda.dir);
        if (dlg->exec() == QDialog::Accepted && !dlg->selectedFiles().isEmpty()) elegido = dlg->selectedFiles().constFirst();
    }
    if (elegido.isEmpty()) return false;
    const QString archivo = ConExtensionXlsx(elegido);

    try {
        const int filas = tabla.isActive() ? tabla.recordCount() : 0;
        // The bar moves in at most about 200 steps: each step repaints the notice.
        const int paso = qMax(1, filas / 200);
        TFrmAviso::Mostrar(QStringLiteral("Realizando la exportación..."), true, filas > 0, 1, filas, paso);
        ExportarTabla(tabla, archivo, [paso](int hechas) { if (hechas % paso == 0) TFrmAviso::Paso(); });
        TFrmAviso::PonerMensaje(QStringLiteral("Exportación finalizada."));
        TFrmAviso::Cerrar();
        return true;
    } catch (const std::exception&) {
        TFrmAviso::Cerrar();
        kv::MostrarExcepcion();
        return false;
    }
}

} // namespace kv
