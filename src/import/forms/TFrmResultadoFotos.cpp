#include "import/forms/TFrmResultadoFotos.h"
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TFrmResultadoFotos::TFrmResultadoFotos(const kv::ResultadoFotos& r, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmResultadoFotos"));
    setWindowTitle(QStringLiteral("Importar fotos"));
    resize(600, 400);
    auto* root = new QVBoxLayout(this);
    LblResumen = new QLabel(QStringLiteral("Fotos copiadas: %1. Personas con foto nueva: %2. Archivos omitidos: %3.")
                                .arg(r.copiadas).arg(r.personas).arg(r.omitidas.size()),
                            this);
    LblResumen->setObjectName(QStringLiteral("LblResumen"));
    root->addWidget(LblResumen);
    TblOmitidas = new QTableWidget(r.omitidas.size(), 2, this);
    TblOmitidas->setObjectName(QStringLiteral("TblOmitidas"));
    TblOmitidas->setHorizontalHeaderLabels({QStringLiteral("Archivo"), QStringLiteral("Motivo")});
    TblOmitidas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TblOmitidas->horizontalHeader()->setStretchLastSection(true);
    TblOmitidas->verticalHeader()->setVisible(false);
    for (int i = 0; i < r.omitidas.size(); ++i) {
        TblOmitidas->setItem(i, 0, new QTableWidgetItem(r.omitidas[i].archivo));
        TblOmitidas->setItem(i, 1, new QTableWidgetItem(r.omitidas[i].motivo));
    }
    root->addWidget(TblOmitidas, 1);
    BtnSalir = new QPushButton(QStringLiteral("&Salir"), this);
    BtnSalir->setObjectName(QStringLiteral("BtnSalir"));
    connect(BtnSalir, &QPushButton::clicked, this, &QDialog::accept);
    root->addWidget(BtnSalir, 0, Qt::AlignRight);
}
