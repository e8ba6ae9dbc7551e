// The Aceptar / Cancelar rows of the register and options dialogs: names, captions, and
// which button Enter and Esc press.
#include "PersonsHelpers.h"
#include "register/forms/TFrmAddGrupo.h"
#include "register/forms/TFrmCambiarDeGrupo.h"
#include "register/forms/TFrmFusionar.h"
#include "register/forms/TFrmModEst.h"
#include "register/forms/TFrmModGrupo.h"
#include "settings/forms/TFrmConfig.h"
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <functional>
#include <memory>

using ptest::PersonsSite;

TEST(DialogButtons, EnterPressesOnlyTheDefaultAceptarAndEscCloses)
{
    PersonsSite s;
    s.persona(11, "B", 4, "ANA", "ANA1");
    TFrmMain& w = s.abrir(11, "B");
    s.resaltar("ANA1");

    const struct {
        const char* dialogo;
        std::function<QDialog*()> crear;
        const char* cerrar;       // objectName of the closing button
        const char* textoCerrar;
        bool enterAcepta;
    } casos[] = {
        {"TFrmAddGrupo", [&] { return new TFrmAddGrupo(&w, "11"); }, "BtnSalir", "&Salir", true},
        {"TFrmModGrupo", [&] { return new TFrmModGrupo(&w, "11", "A"); }, "BtnSalir", "&Salir", true},
        {"TFrmFusionar", [&] { return new TFrmFusionar(&w, 11); }, "BtnCancelar", "&Cancelar", true},
        {"TFrmConfig", [&] { return new TFrmConfig(&w); }, "BtnSalir", "&Salir", true},
        // in these two Enter only moves on: a person is saved or moved by a deliberate click
        {"TFrmModEst", [&] { return new TFrmModEst("11", "B", &w); }, "BtnSalir", "&Salir", false},
        {"TFrmCambiarDeGrupo", [&] { return new TFrmCambiarDeGrupo(11, "B", "ANA1", &w); }, "BtnCancelar",
         "&Cancelar", false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.dialogo);
        std::unique_ptr<QDialog> d(c.crear());
        auto* aceptar = d->findChild<QPushButton*>("BtnAceptar");
        auto* cerrar = d->findChild<QPushButton*>(c.cerrar);
        ASSERT_TRUE(aceptar && cerrar);
        EXPECT_EQ(aceptar->text(), "&Aceptar");
        EXPECT_EQ(cerrar->text(), c.textoCerrar);
        EXPECT_TRUE(qobject_cast<QDialogButtonBox*>(aceptar->parentWidget()));
        // the handlers themselves are tested elsewhere; here only which button is pressed
        QObject::disconnect(aceptar, &QPushButton::clicked, d.get(), nullptr);
        QSignalSpy pulsado(aceptar, &QPushButton::clicked);

        d->show();
        QWidget* caja = d->findChild<QLineEdit*>();
        if (!caja) caja = d->findChild<QComboBox*>();   // the move dialog has only lists
        ASSERT_TRUE(caja);
        caja->setFocus();
        QTest::keyClick(caja, Qt::Key_Return);
        EXPECT_EQ(aceptar->isDefault(), c.enterAcepta);
        EXPECT_EQ(pulsado.count(), c.enterAcepta ? 1 : 0);
        EXPECT_TRUE(d->isVisible());

        QTest::keyClick(caja, Qt::Key_Escape);
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(d->result(), QDialog::Rejected);
    }
}
