#include "capture/forms/PuertaCommands.h"
#include "base/forms/ErrorDisplay.h"
#include "publish/ColaSubida.h"
#include "capture/forms/AvisoPuerta.h"
#include "capture/forms/TFrmDentro.h"
#include "data/TDM.h"
#include "settings/TConfig.h"
#include "base/forms/MainShell.h"
#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>

PuertaCommands::PuertaCommands(kv::MainShell& shell, QObject* parent) : QObject(parent), shell_(shell)
{
    setObjectName(QStringLiteral("PuertaCommands"));
    if (QMenu* herr = shell.shellMenu(QStringLiteral("Herramientas"))) {
        PersonasDentro1 = herr->addAction(QStringLiteral("Personas dentro ahora"));
        PersonasDentro1->setObjectName(QStringLiteral("PersonasDentro1"));
        connect(PersonasDentro1, &QAction::triggered, this, &PuertaCommands::PersonasDentroClick);
    }
    new AvisoPuerta(shell.required<QLabel>(QStringLiteral("lblNEstudiante")), this);
    auto* main = qobject_cast<QMainWindow*>(shell.shellWindow());
    if (!main || kv::TablesDir().isEmpty()) return;
    LblPendientes = new QLabel(main);
    LblPendientes->setObjectName(QStringLiteral("LblPendientes"));
    LblUltimaSubida = new QLabel(main);
    LblUltimaSubida->setObjectName(QStringLiteral("LblUltimaSubida"));
    main->statusBar()->addPermanentWidget(LblUltimaSubida);
    main->statusBar()->addPermanentWidget(LblPendientes);
    try {
        cola_ = new kv::ColaSubida(kv::TablesDir(), this);
    } catch (const std::exception&) {
        // Without its count the status area stays empty; the door works the same.
        kv::MostrarExcepcion();
        return;
    }
    connect(cola_, &kv::ColaSubida::cambio, this, &PuertaCommands::mostrarCola);
    mostrarCola();
}

void PuertaCommands::mostrarCola()
{
    LblPendientes->setText(cola_->textoPendientes());
    LblUltimaSubida->setText(cola_->textoUltimaSubida());
    LblUltimaSubida->setVisible(cola_->hayPasada());
}

void PuertaCommands::PersonasDentroClick()
{
    // No access gate: in an emergency the operator at the door is the one who needs it.
    if (dentro_) {
        dentro_->raise();
        dentro_->activateWindow();
        return;
    }
    try {
        dentro_ = new TFrmDentro(shell_.shellWindow());
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
        return;
    }
    dentro_->show();
}
