#pragma once
// "Entrada visitantes": document, type, name, destination and reason of an arriving
// visitor. Fills name and type from the visitor directory when the document is known.
#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfrmEntradaVisit : public QDialog {
    Q_OBJECT
public:
    // Reads the destinations of the site in `tablesDir`.
    explicit TfrmEntradaVisit(const QString& tablesDir, QWidget* owner = nullptr);

    QLineEdit* edDocIdent = nullptr;
    QComboBox* cbTipoDocIdent = nullptr;
    QLineEdit* edNombre = nullptr;
    QComboBox* cbDependencias = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* btnContinuar = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void edDocIdentExit();   // leaving the document field
    void Memo1Enter();       // the detail field receives the focus
    // "Continuar": looks the shown document up when that has not been done yet, and
    // refuses an empty name rather than storing it over the directory's.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString tablesDir_;
    QString lookedUp_;        // the document text the last lookup ran for
    bool looked_ = false;
};
