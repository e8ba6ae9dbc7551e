#include "publish/forms/TfrmConsultantes.h"
#include "data/Query.h"
#include "data/TableCursor.h"
#include "base/forms/ErrorDisplay.h"
#include "data/forms/DBGrid.h"
#include "data/forms/DBNavigator.h"
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmConsultantes::TfrmConsultantes(kv::TableCursor* tbl, QWidget* parent) : QDialog(parent), tbl_(tbl)
{
    setObjectName(QStringLiteral("TfrmConsultantes"));
    setWindowTitle(QStringLiteral("Consultantes"));
    auto* lay = new QVBoxLayout(this);
    auto azul = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setWordWrap(true);
        l->setStyleSheet(QStringLiteral("color: blue;"));
        return l;
    };
    Label1 = azul("Label1", QStringLiteral("El nivel de consulta es 0 para los padres y 1 para administrativos del sistema"));
    Label2 = azul("Label2", QStringLiteral("Dependiendo del colegio el documento de identidad puede se el número de matricula u otro dato conocido"));
    lay->addWidget(Label1);
    lay->addWidget(Label2);

    DBNavigator1 = new kv::DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    lay->addWidget(DBNavigator1);

    DBGrid1 = new kv::DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAllowInsert(true);
    DBGrid1->setAllowDelete(true);
    lay->addWidget(DBGrid1, 1);

    btnPonerClave = new QPushButton(QStringLiteral("Poner clave genérica a todos"), this);
    btnPonerClave->setObjectName(QStringLiteral("btnPonerClave"));
    btnPonerClave->setToolTip(QStringLiteral("Colocarle a todos el documento de identidad como clave"));
    lay->addWidget(btnPonerClave, 0, Qt::AlignLeft);
    connect(btnPonerClave, &QPushButton::clicked, this, &TfrmConsultantes::btnPonerClaveClick);

    if (tbl_) {
        if (!tbl_->isActive()) tbl_->open();
        DBGrid1->setDataSet(tbl_, {{QStringLiteral("docIdent"), QStringLiteral("docIdent"), 110},
                                   {QStringLiteral("nombre"), QStringLiteral("nombre"), 240},
                                   {QStringLiteral("clave"), QStringLiteral("clave"), 110},
                                   {QStringLiteral("nivelConsulta"), QStringLiteral("nivelConsulta"), 90}});
        DBNavigator1->setDataSet(tbl_);
    }
    resize(620, 420);
}

void TfrmConsultantes::btnPonerClaveClick()
{
    if (!tbl_) return;
    try {
        // A row being typed is stored first (its open cell too), so its document gets its
        // password as well.
        if (!DBGrid1->commitOpenEditor()) return;
        tbl_->post();
        kv::Query q;
        kv::EjecutarSQL(tbl_->directory(), q, QStringLiteral("update consultantes set clave=docident"));
        tbl_->refresh();
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
}

void TfrmConsultantes::done(int r)
{
    // A row left half typed is stored as the grid would store it on leaving the row.
    if (tbl_ && tbl_->isActive()) {
        if (!DBGrid1->commitOpenEditor()) return;
        try {
            tbl_->post();
        } catch (const std::exception&) {
            kv::MostrarExcepcion();
            return;
        }
    }
    QDialog::done(r);
}
