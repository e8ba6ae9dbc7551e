#include "app/forms/TFrmPedirColegio.h"
#include "app/forms/ExecModal.h"
#include "app/forms/Pictures.h"
#include "data/SiteList.h"
#include "data/TDM.h"
#include "app/forms/TFrmEditarColegios.h"
#include "app/forms/TFrmNuevoSitio.h"
#include "platform/QuitRequest.h"
#include "settings/IniFile.h"
#include "settings/TConfig.h"
#include "base/forms/ErrorDisplay.h"
#include "base/Messages.h"
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TFrmPedirColegio::TFrmPedirColegio(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmPedirColegio"));
    setWindowTitle(QStringLiteral("Kelvora"));
    setModal(true);
    setFixedSize(418, 401);
    auto* root = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(kv::BannerPrograma(394, 200));
    root->addWidget(picture);
    root->addStretch();
    auto* label = new QLabel(QStringLiteral("Seleccione el sitio a trabajar:"), this);
    label->setObjectName(QStringLiteral("Label1"));
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    root->addWidget(label);
    cbColegios = new QComboBox(this);   // not editable: choose only
    cbColegios->setObjectName(QStringLiteral("cbColegios"));
    label->setBuddy(cbColegios);
    root->addWidget(cbColegios);
    LblSinSitios = new QLabel(QStringLiteral("Todavía no hay ningún sitio. Cree el primero con «Nuevo sitio...»."), this);
    LblSinSitios->setObjectName(QStringLiteral("LblSinSitios"));
    LblSinSitios->setWordWrap(true);
    root->addWidget(LblSinSitios);
    root->addStretch();
    auto* buttons = new QHBoxLayout;
    BtnNuevoSitio = new QPushButton(QStringLiteral("&Nuevo sitio..."), this);
    BtnNuevoSitio->setObjectName(QStringLiteral("BtnNuevoSitio"));
    BtnNuevoSitio->setAutoDefault(false);
    buttons->addWidget(BtnNuevoSitio);
    buttons->addStretch();
    BtnSeleccionar = new QPushButton(QStringLiteral("Seleccionar"), this);
    BtnSeleccionar->setObjectName(QStringLiteral("BtnSeleccionar"));
    BtnSeleccionar->setDefault(true);
    BtnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    BtnCancelar->setObjectName(QStringLiteral("BtnCancelar"));
    BtnCancelar->setAutoDefault(false);
    buttons->addWidget(BtnSeleccionar);
    buttons->addWidget(BtnCancelar);
    root->addLayout(buttons);
    connect(BtnSeleccionar, &QPushButton::clicked, this, &TFrmPedirColegio::BtnSeleccionarClick);
    connect(BtnCancelar, &QPushButton::clicked, this, &TFrmPedirColegio::BtnCancelarClick);
    connect(BtnNuevoSitio, &QPushButton::clicked, this, &TFrmPedirColegio::BtnNuevoSitioClick);

    if (QScreen* s = QGuiApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());

    // The old engine's session set-up (temporary directory, its lock-control file
    // "PDOXUSRS.NET", the session password) has no counterpart with SQLite.
    llenarLista(kv::LeerAliasColegio());
}

void TFrmPedirColegio::llenarLista(int pos)
{
    cbColegios->clear();
    cbColegios->addItems(kv::NombresSitios());
    // A position outside the list leaves nothing selected.
    cbColegios->setCurrentIndex(-1);
    if (pos >= 0 && pos < cbColegios->count()) cbColegios->setCurrentIndex(pos);
    // With no site there is nothing to select: the way on is a new site.
    const bool vacia = cbColegios->count() == 0;
    LblSinSitios->setVisible(vacia);
    BtnSeleccionar->setEnabled(!vacia);
    BtnSeleccionar->setDefault(!vacia);
    BtnNuevoSitio->setDefault(vacia);
}

void TFrmPedirColegio::BtnNuevoSitioClick()
{
    TFrmNuevoSitio dlg(QDir::currentPath(), this);
    if (kv::ExecModal(dlg) != QDialog::Accepted) return;
    const QString nombre = dlg.EdNombre->text().trimmed();
    llenarLista(kv::NombresSitios().indexOf(nombre));
}

void TFrmPedirColegio::BtnSeleccionarClick()
{
    const auto ruta = kv::RutaTablasDeSitio(cbColegios->currentText());
    if (!ruta) {
        kv::Messages::instance().showMessage(QStringLiteral("Colegio no encontrado"), QStringLiteral("Error"),
                                             kv::MsgIcon::Error);
    } else {
        kv::SetTablesDir(*ruta);
        kv::EscribirAliasColegio(cbColegios->currentIndex());
    }
    accept();
}

void TFrmPedirColegio::BtnCancelarClick()
{
    kv::PostQuit();
    reject();
}

namespace kv {

void ElegirSitioYAbrirTablas(TDM& dm)
{
    // Ending already (a second copy): the site list is not even read, so a copy started
    // where there is none ends with its one message.
    if (QuitPending()) return;
    {
        TFrmPedirColegio dlg;
        ExecModal(dlg);
    }
    if (QuitPending()) return;
    try {
        dm.OpenTables();
    } catch (const std::exception& e) {
        // A wrong or missing tables directory: let the operator mend the site list here,
        // since the program offers no other way to edit it, then start again.
        MostrarExcepcion();
        const QString dir = TablesDir();
        {
            TFrmEditarColegios editor(dir, QString::fromUtf8(e.what()));
            ExecModal(editor);
        }
        Messages::instance().showMessage(QStringLiteral("El Programa terminará. Reinícielo."));
        dm.CloseTables();
        PostQuit();
        SetTablesDir(QString());
    }
}

} // namespace kv
