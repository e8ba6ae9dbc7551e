#pragma once
// The door's commands of the main window: the capture field, the movement it stores and the
// person it shows, the five-second timer and the system exits. Built once by the main window, which owns the widgets it finds here.
#include <QObject>
#include "capture/Temporizador.h"
#include <QString>

class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;

namespace kv { class MainShell; }

class CaptureCommands : public QObject {
    Q_OBJECT
public:
    CaptureCommands(kv::MainShell& shell, QObject* parent);

    // Enter in edCodigo: a person or a visitor badge is looked up and one movement stored.
    void edCodigoKeyPress(QKeyEvent* e);
    // Stores one movement for the text in edCodigo with the shell's direction and Memo1, then
    // beeps. False when the site refused it (full disk, locked file): then nobody is shown as
    // let in and the operator is told, and the code stays in the field to try again.
    bool RegistrarMovimiento(const QString& docIdent, int tipoDocIdent, const QString& nombre);
    // Every five seconds: the idle time in Label7, the movements published after a minute of
    // idleness (once per idle period), the system exits at the hour of automatic exits.
    void Timer1Timer();
    // "Sacar los que se quedaron dentro del sistema": an exit for everybody still inside.
    void SacarLosQueQuedaron();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Visita { Repetida, Hecha, NoGuardada };
    Visita CapturarVisitante(const QString& codigo);
    void MovimientoNoGuardado(const QString& motivo);

    kv::MainShell& shell_;
    QLineEdit* edCodigo_ = nullptr;
    QLabel* Image1_ = nullptr;
    QLabel* lblNEstudiante_ = nullptr;
    QPlainTextEdit* Memo1_ = nullptr;
    QLabel* Label7_ = nullptr;
    QProgressBar* ProgressBar1_ = nullptr;
    kv::ReglasTemporizador reglas_;
};
