#include "import/forms/TFrmImportarPersonas.h"
#include "data/Field.h"
#include "import/LectorFilas.h"
#include "base/Messages.h"
#include "base/forms/BotonesDialogo.h"
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidget* tabla(QWidget* padre, const char* nombre, const QStringList& columnas)
{
    auto* t = new QTableWidget(0, columnas.size(), padre);
    t->setObjectName(QString::fromLatin1(nombre));
    t->setHorizontalHeaderLabels(columnas);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->horizontalHeader()->setStretchLastSection(true);
    t->verticalHeader()->setVisible(false);
    return t;
}

QTableWidgetItem* celda(const QString& s) { return new QTableWidgetItem(s); }

} // namespace

TFrmImportarPersonas::TFrmImportarPersonas(const QString& tablesDir, const QString& archivo,
                                           const kv::OpcionesImportacion& o, const kv::ResultadoImportacion& revision,
                                           QWidget* parent)
    : QDialog(parent), dir_(tablesDir), archivo_(archivo), r_(revision)
{
    setObjectName(QStringLiteral("FrmImportarPersonas"));
    setWindowTitle(QStringLiteral("Importar personas"));
    resize(820, 640);
    auto* root = new QVBoxLayout(this);
    auto* lblArchivo = new QLabel(QStringLiteral("Archivo: %1").arg(QFileInfo(archivo).fileName()), this);
    lblArchivo->setObjectName(QStringLiteral("LblArchivo"));
    root->addWidget(lblArchivo);

    auto* arriba = new QHBoxLayout;
    auto* gMapeo = new QGroupBox(QStringLiteral("Columnas del archivo"), this);
    auto* lMapeo = new QVBoxLayout(gMapeo);
    TblMapeo = tabla(gMapeo, "TblMapeo", {QStringLiteral("Columna"), QStringLiteral("Campo")});
    lMapeo->addWidget(TblMapeo);
    arriba->addWidget(gMapeo, 1);
    auto* gOpc = new QVBoxLayout;
    chkCrearGrupos = new QCheckBox(QStringLiteral("Crear grupos que falten"), this);
    chkCrearGrupos->setObjectName(QStringLiteral("chkCrearGrupos"));
    chkCrearGrupos->setChecked(o.crearGrupos);
    chkActualizar = new QCheckBox(QStringLiteral("Actualizar existentes"), this);
    chkActualizar->setObjectName(QStringLiteral("chkActualizar"));
    chkActualizar->setChecked(o.actualizar);
    gOpc->addWidget(chkCrearGrupos);
    gOpc->addWidget(chkActualizar);
    LblResumen = new QLabel(this);
    LblResumen->setObjectName(QStringLiteral("LblResumen"));
    LblResumen->setWordWrap(true);
    gOpc->addWidget(LblResumen);
    gOpc->addStretch();
    arriba->addLayout(gOpc, 1);
    root->addLayout(arriba, 2);

    auto* lMuestra = new QLabel(QStringLiteral("Primeras filas:"), this);
    root->addWidget(lMuestra);
    TblMuestra = tabla(this, "TblMuestra", {});
    lMuestra->setBuddy(TblMuestra);
    root->addWidget(TblMuestra, 2);
    auto* lRech = new QLabel(QStringLiteral("Filas rechazadas:"), this);
    root->addWidget(lRech);
    TblRechazadas = tabla(this, "TblRechazadas", {QStringLiteral("Línea"), QStringLiteral("Motivo")});
    lRech->setBuddy(TblRechazadas);
    root->addWidget(TblRechazadas, 2);

    const kv::BotonesDialogo b = kv::CrearBotonesDialogo(this, QStringLiteral("&Cancelar"), QStringLiteral("BtnCancelar"), false);
    BtnAceptar = b.aceptar;
    BtnAceptar->setText(QStringLiteral("&Importar"));
    BtnCancelar = b.cerrar;
    root->addWidget(b.caja);

    connect(chkCrearGrupos, &QCheckBox::toggled, this, &TFrmImportarPersonas::revisar);
    connect(chkActualizar, &QCheckBox::toggled, this, &TFrmImportarPersonas::revisar);
    connect(BtnAceptar, &QPushButton::clicked, this, &TFrmImportarPersonas::BtnAceptarClick);
    mostrar();
}

kv::OpcionesImportacion TFrmImportarPersonas::opciones(bool escribir) const
{
    kv::OpcionesImportacion o;
    o.crearGrupos = chkCrearGrupos->isChecked();
    o.actualizar = chkActualizar->isChecked();
    o.escribir = escribir;
    return o;
}

void TFrmImportarPersonas::mostrar()
{
    TblMapeo->setRowCount(r_.encabezados.size());
    for (int i = 0; i < r_.encabezados.size(); ++i) {
        TblMapeo->setItem(i, 0, celda(r_.encabezados[i]));
        const QString campo = r_.campos.value(i);
        TblMapeo->setItem(i, 1, celda(campo.isEmpty() ? QStringLiteral("(no se importa)") : campo));
    }
    TblMuestra->setColumnCount(r_.encabezados.size());
    TblMuestra->setHorizontalHeaderLabels(r_.encabezados);
    TblMuestra->setRowCount(r_.muestra.size());
    for (int f = 0; f < r_.muestra.size(); ++f)
        for (int c = 0; c < r_.encabezados.size(); ++c) TblMuestra->setItem(f, c, celda(r_.muestra[f].value(c)));
    TblRechazadas->setRowCount(r_.rechazadas.size());
    for (int f = 0; f < r_.rechazadas.size(); ++f) {
        TblRechazadas->setItem(f, 0, celda(QString::number(r_.rechazadas[f].linea)));
        TblRechazadas->setItem(f, 1, celda(r_.rechazadas[f].motivo));
    }
    QString s = QStringLiteral("Filas: %1\nNuevas: %2\nActualizadas: %3\nRechazadas: %4")
                    .arg(r_.leidas).arg(r_.nuevas).arg(r_.actualizadas).arg(r_.rechazadas.size());
    if (r_.sinCambios) s += QStringLiteral("\nSin cambios: %1").arg(r_.sinCambios);
    if (!r_.gruposCreados.isEmpty()) s += QStringLiteral("\nSe crearán: %1").arg(r_.gruposCreados.join(QStringLiteral(", ")));
    LblResumen->setText(s);
    BtnAceptar->setEnabled(r_.nuevas + r_.actualizadas > 0);
}

void TFrmImportarPersonas::revisar()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        r_ = kv::ImportarPersonas(dir_, archivo_, opciones(false));
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        kv::Messages::instance().showError(QString::fromUtf8(e.what()));
        return;
    }
    QApplication::restoreOverrideCursor();
    mostrar();
}

void TFrmImportarPersonas::BtnAceptarClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        r_ = kv::ImportarPersonas(dir_, archivo_, opciones(true));
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        kv::Messages::instance().showError(QStringLiteral("No se importó nada: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    QApplication::restoreOverrideCursor();
    QString m = QStringLiteral("Importación terminada: %1 personas nuevas, %2 actualizadas.").arg(r_.nuevas).arg(r_.actualizadas);
    if (!r_.rechazadas.isEmpty()) m += QStringLiteral("\n%1 filas rechazadas no se importaron.").arg(r_.rechazadas.size());
    kv::Messages::instance().showMessage(m);
    accept();
}
