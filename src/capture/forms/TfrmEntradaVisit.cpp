#include "capture/forms/TfrmEntradaVisit.h"
#include "base/DebeCorregir.h"
#include "data/forms/FieldLimits.h"
#include "capture/Capture.h"
#include "base/Messages.h"
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmEntradaVisit::TfrmEntradaVisit(const QString& tablesDir, QWidget* owner)
    : QDialog(owner), tablesDir_(tablesDir)
{
    setObjectName(QStringLiteral("frmEntradaVisit"));
    setWindowTitle(QStringLiteral("Entrada visitantes"));
    setModal(true);

    auto* root = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto row = [&](QWidget* field, const char* name, const QString& caption) {
        field->setObjectName(QString::fromLatin1(name));
        auto* lbl = new QLabel(caption, this);
        lbl->setBuddy(field);
        form->addRow(lbl, field);
    };
    edDocIdent = new QLineEdit(this);
    row(edDocIdent, "edDocIdent", QStringLiteral("Documento de identidad:"));
    cbTipoDocIdent = new QComboBox(this);   // pick-only: not editable
    cbTipoDocIdent->addItems(kv::TiposDocIdent());
    cbTipoDocIdent->setCurrentIndex(0);
    row(cbTipoDocIdent, "cbTipoDocIdent", QStringLiteral("Tipo de documento:"));
    kv::LimitarAlCampo(edDocIdent, QStringLiteral("visitantes"), QStringLiteral("docIdent"));
    edNombre = new QLineEdit(this);
    kv::LimitarAlCampo(edNombre, QStringLiteral("visitantes"), QStringLiteral("nombre"));
    row(edNombre, "edNombre", QStringLiteral("Nombre:"));
    cbDependencias = new QComboBox(this);
    cbDependencias->setMaxVisibleItems(12);
    // A list-style popup: the desktop style would otherwise open every destination at once.
    cbDependencias->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    cbDependencias->addItems(kv::Dependencias(tablesDir_));
    cbDependencias->setCurrentIndex(-1);    // the operator chooses the destination
    row(cbDependencias, "cbDependencias", QStringLiteral("Dependencia a donde se dirige:"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setTabChangesFocus(true);        // Tab goes on to the buttons, as in every field
    Memo1->setMinimumHeight(80);
    row(Memo1, "Memo1", QStringLiteral("Motivo de la entrada:"));
    root->addLayout(form);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnContinuar = new QPushButton(QStringLiteral("Continuar"), this);
    btnContinuar->setObjectName(QStringLiteral("btnContinuar"));
    btnContinuar->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancelar"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    // Enter on the focused "&Cancelar" cancels, as on any dialog button; Continuar stays
    // the button of Enter everywhere else.
    btnCancel->setAutoDefault(true);
    buttons->addWidget(btnContinuar);
    buttons->addWidget(btnCancel);
    root->addLayout(buttons);

    setTabOrder(edDocIdent, cbTipoDocIdent);
    setTabOrder(cbTipoDocIdent, edNombre);
    setTabOrder(edNombre, cbDependencias);
    setTabOrder(cbDependencias, Memo1);
    setTabOrder(Memo1, btnContinuar);
    setTabOrder(btnContinuar, btnCancel);

    connect(btnContinuar, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);   // Escape rejects too
    edDocIdent->installEventFilter(this);
    Memo1->installEventFilter(this);
    resize(460, 300);
    edDocIdent->setFocus();
}

bool TfrmEntradaVisit::eventFilter(QObject* watched, QEvent* event)
{
    // Identity-card readers end the number with Enter: it runs the lookup and goes on to
    // the next box instead of pressing "Continuar".
    if (watched == edDocIdent && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            edDocIdentExit();
            focusNextChild();
            return true;
        }
    }
    // Only moves between the dialog's own fields count: switching to another window and
    // back, or a context menu, must not refill the name nor wipe the typed reason.
    if (event->type() == QEvent::FocusOut || event->type() == QEvent::FocusIn) {
        const Qt::FocusReason r = static_cast<QFocusEvent*>(event)->reason();
        const bool inside = r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason;
        if (inside && watched == edDocIdent && event->type() == QEvent::FocusOut) edDocIdentExit();
        else if (inside && watched == Memo1 && event->type() == QEvent::FocusIn) Memo1Enter();
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmEntradaVisit::edDocIdentExit()
{
    looked_ = true;
    lookedUp_ = edDocIdent->text();
    const std::optional<kv::Visitante> v = kv::BuscarVisitante(tablesDir_, lookedUp_);
    if (!v) return;
    edNombre->setText(v->nombre);
    // A stored type outside the list leaves the choice as it is.
    if (v->tipoDocIdent >= 0 && v->tipoDocIdent < cbTipoDocIdent->count())
        cbTipoDocIdent->setCurrentIndex(v->tipoDocIdent);
}

void TfrmEntradaVisit::accept()
{
    if (!looked_ || lookedUp_ != edDocIdent->text()) edDocIdentExit();
    if (edNombre->text().trimmed().isEmpty()) {
        kv::Messages::instance().showMessage(kv::DebeCorregir(QStringLiteral("Escriba el nombre del visitante.")));
        edNombre->setFocus();
        return;
    }
    QDialog::accept();
}

void TfrmEntradaVisit::Memo1Enter()
{
    Memo1->setPlainText(QStringLiteral("Dependencia a donde se dirige:") + cbDependencias->currentText());
    Memo1->moveCursor(QTextCursor::End);   // the reason is typed after the destination
}
