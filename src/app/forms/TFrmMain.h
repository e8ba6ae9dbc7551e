#pragma once
// The main window: categories and groups above, persons below, the capture field at
// the bottom. It builds the layout, keeps the named components and the shared selection
// state, and hands each command to the object of the area that owns it
// (capture/forms/CaptureCommands, register/forms/RegisterCommands, PersonsCommands, ...),
// which reaches the window only through kv::MainShell.
#include "data/DataSource.h"
#include "data/Query.h"
#include "data/TableCursor.h"
#include "base/forms/MainShell.h"
#include <QMainWindow>
#include <QTimer>

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QKeyEvent;

namespace kv { class DBGrid; class TConfig; }

class TFrmMain : public QMainWindow, public kv::MainShell {
    Q_OBJECT
public:
    // pedirClave=false skips the login dialog (tests set the user level themselves).
    explicit TFrmMain(QWidget* parent = nullptr, bool pedirClave = true);
    ~TFrmMain() override;

    // ---- window state kept for the subsystems ----
    int currentGrado = 0;          // current category
    QString currentGrupo;          // current group
    QString currentMateria;        // current subject
    QString modoMovimiento;        // "E" or "S"
    bool pendienteSubir = false;

    // ---- kv::MainShell ----
    QWidget* shellWindow() override { return this; }
    int gradoActual() const override { return currentGrado; }
    QString grupoActual() const override { return currentGrupo; }
    QString materiaActual() const override { return currentMateria; }
    QString modoMovimientoActual() const override { return modoMovimiento; }
    void setModoMovimiento(const QString& modo) override { modoMovimiento = modo; }
    void setGrupoActual(const QString& grupo) override { currentGrupo = grupo; }
    bool pendienteSubirActivo() const override { return pendienteSubir; }
    void setPendienteSubir(bool pendiente) override { pendienteSubir = pendiente; }
    QMenu* shellMenu(const QString& caption) override;

    // ---- routines other windows call ----
    void RefreshSelection() override;
    void ApplyPersonsFilter() override;

    // ---- components (objectName = member name) ----
    QTabWidget* PgGrados = nullptr;
    QWidget* TSGrados = nullptr;
    QWidget* TSGrupos = nullptr;
    kv::DBGrid* DBGrid1 = nullptr;         // categories
    kv::DBGrid* DBGri = nullptr;           // groups
    QLabel* LblIGradoGrupos = nullptr;
    QPushButton* BtnAddGrupo = nullptr;
    QPushButton* BtnModGrupo = nullptr;
    QPushButton* BtnBorGrupo = nullptr;
    QPushButton* BtnFusionarGrupos = nullptr;

    QLabel* LblIGrado = nullptr;
    QLabel* LblIGrupo = nullptr;
    QLabel* lblSinEstud = nullptr;
    QLabel* LblNColegio = nullptr;         // site name, right end of the info panel

    QTabWidget* PgEstudiantes = nullptr;
    QWidget* TSEstudiantes = nullptr;
    QLabel* LblIGradoEstudiantes = nullptr;
    QLabel* LblIGrupoEstudiantes = nullptr;
    kv::DBGrid* DBGEstudiantes = nullptr;
    QLabel* Label8 = nullptr;              // state of the highlighted person
    QPushButton* BtnAddEstudiante = nullptr;
    QPushButton* BtnBorrarEst = nullptr;
    QPushButton* BtnModEst = nullptr;
    QPushButton* BtnCambiarDeGrupo = nullptr;
    QPushButton* btnSuspender = nullptr;
    QPushButton* BtnSabana = nullptr;
    QPushButton* btnConsultantes = nullptr;

    QLabel* ImgEscudo = nullptr;           // logo, 105 x 105
    QLabel* LblAnio = nullptr;             // working year next to "Año:"
    QLineEdit* EdAnio = nullptr;           // hidden copy of the year, read by reports
    QLabel* Image1 = nullptr;              // photo

    QProgressBar* ProgressBar1 = nullptr;
    QLineEdit* edCodigo = nullptr;
    QLabel* lblNEstudiante = nullptr;
    QLabel* Label7 = nullptr;              // status: idle time / upload notice
    QPlainTextEdit* Memo1 = nullptr;       // hidden detail of the next movement

    QTimer* Timer1 = nullptr;
    kv::Query Query1;
    kv::TableCursor* TblConfigGlobal = nullptr;   // site list Config.DB

    // data sources of the window, enabled after the login
    kv::DataSource* DSAbaGrados = nullptr;
    kv::DataSource* DSGrupos = nullptr;
    kv::DataSource* DSAbaMaterias = nullptr;
    kv::DataSource* DSEstudiantes = nullptr;

    // menu commands
    QAction* UnaCategoria1 = nullptr;
    QAction* UnGrupo1 = nullptr;
    QAction* AsistentesInasistentes1 = nullptr;
    QAction* ConsultarUnaPersona1 = nullptr;
    QAction* EntradasYSalidas1 = nullptr;
    QAction* Buscarestudiante1 = nullptr;
    QAction* BlockDeNotas1 = nullptr;
    QAction* SubirAInternet1 = nullptr;
    QAction* SacarLosQueQuedaron1 = nullptr;
    QAction* Opciones1 = nullptr;
    QAction* Info1 = nullptr;
    QAction* SitioWEB1 = nullptr;
    QAction* Salir1 = nullptr;

public slots:
    void SalirClick();
    void BlockDeNotasClick();
    void InfoClick();
    void SitioWEBClick();
    void OpcionesClick();

protected:
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildLayout();
    void buildMenu();
    void connectEvents();          // wires the window's own commands
    void FormActivate();
    // Shows an error of the settings record once while it lasts (see FormActivate).
    void mostrarErrorConfig(const kv::TConfig& config);
    QString ultimoErrorConfig_;
};

