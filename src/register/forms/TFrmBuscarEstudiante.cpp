#include "register/forms/TFrmBuscarEstudiante.h"
#include "data/TDM.h"
#include "base/forms/ErrorDisplay.h"
#include "register/Persons.h"
#include "register/forms/TFrmEstudiantes.h"
#include "base/Messages.h"
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

TFrmBuscarEstudiante::TFrmBuscarEstudiante(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmBuscarEstudiante"));
    setWindowTitle(QStringLiteral("Buscar estudiante"));
    resize(760, 420);
    auto* root = new QVBoxLayout(this);
    auto* fila = new QHBoxLayout;
    auto* l = new QLabel(QStringLiteral("Nombre:"), this);
    EdNEstudiante = new QLineEdit(this);
    EdNEstudiante->setObjectName(QStringLiteral("EdNEstudiante"));
    ForzarMayusculas(EdNEstudiante);
    l->setBuddy(EdNEstudiante);
    BtnBuscar = new QPushButton(QStringLiteral("&Buscar"), this);
    BtnBuscar->setObjectName(QStringLiteral("BtnBuscar"));
    BtnBuscar->setDefault(true);
    BtnSalir = new QPushButton(QStringLiteral("&Salir"), this);
    BtnSalir->setObjectName(QStringLiteral("BtnSalir"));
    BtnSalir->setAutoDefault(false);
    fila->addWidget(l);
    fila->addWidget(EdNEstudiante, 1);
    fila->addWidget(BtnBuscar);
    fila->addWidget(BtnSalir);
    root->addLayout(fila);

    resultado = new QStandardItemModel(this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(resultado);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->verticalHeader()->setDefaultSectionSize(20);
    root->addWidget(DBGrid1, 1);

    connect(BtnBuscar, &QPushButton::clicked, this, &TFrmBuscarEstudiante::BtnBuscarClick);
    connect(BtnSalir, &QPushButton::clicked, this, &QDialog::reject);
    EdNEstudiante->setFocus();
}

void TFrmBuscarEstudiante::BtnBuscarClick()
{
    auto& msg = kv::Messages::instance();
    kv::ResultSet rs;
    try {
        rs = kv::BuscarPersonas(kv::TablesDir(), EdNEstudiante->text());
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
        return;
    }
    resultado->clear();
    QStringList cabeceras;
    for (const kv::Column& c : rs.columns) cabeceras << c.name;
    resultado->setColumnCount(cabeceras.size());
    resultado->setHorizontalHeaderLabels(cabeceras);
    for (const auto& fila : rs.rows) {
        QList<QStandardItem*> celdas;
        for (int i = 0; i < rs.columns.size(); ++i)
            celdas << new QStandardItem(kv::Field(rs.columns[i].name, rs.columns[i].type, fila.value(i)).asString());
        resultado->appendRow(celdas);
    }
    DBGrid1->resizeColumnsToContents();
    if (rs.rows.isEmpty())
        msg.showMessage(QStringLiteral("Estudiante no encontrado"), QStringLiteral("Información"),
                        kv::MsgIcon::Information);
}
