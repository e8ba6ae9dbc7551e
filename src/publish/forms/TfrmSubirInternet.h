#pragma once
// "Subir a Internet": publishes the site's persons, movements and consultants.
#include "publish/Pg.h"
#include <QDialog>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

class TfrmSubirInternet : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSubirInternet(QWidget* parent = nullptr);

    QLabel* Label2 = nullptr;
    QCheckBox* CheckBox4 = nullptr;   // Estudiantes
    QCheckBox* CheckBox1 = nullptr;   // Entradas y salidas
    QCheckBox* CheckBox2 = nullptr;   // Consultantes
    QLabel* Label5 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* Label1 = nullptr;

    kv::PgConnection ZConnection1;

public slots:
    void Button1Click();
    void Label1Click();

protected:
    void done(int r) override;

private:
    void seccion(const QString& nombre, int filas);
    void avance(int hechas);
    int icolegio_ = 0;
};
