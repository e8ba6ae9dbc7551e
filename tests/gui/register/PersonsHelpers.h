#pragma once
// A main window on a site with two categories (11 "Once" with groups A and B, 5 "Quinto"
// with group A), with the persons list showing one chosen group.
#include "support/Rows.h"
#include "data/TDM.h"
#include "support/gui/MainHarness.h"
#include "support/gui/Modal.h"
#include <QPushButton>
#include <QTest>

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace ptest {

class PersonsSite {
public:
    PersonsSite()
    {
        h.site.exec("insert into AbaGrados (IGrado, NGrado) values (11, 'Once')");
        h.site.exec("insert into AbaGrados (IGrado, NGrado) values (5, 'Quinto')");
        for (const auto& [grado, grupo] : {std::pair{11, "A"}, {11, "B"}, {5, "A"}})
            h.site.exec("insert into grupos (IGrado, IGrupo) values (?, ?)", {grado, grupo});
    }

    void persona(int grado, const QString& grupo, int id, const QString& nombre, const QString& codigo,
                 const QString& situacion = QString())
    {
        kvtest::Persona(grado, grupo, nombre, codigo).numero(id).situacion(situacion).en(h.site);
    }

    // Starts the window and shows the persons of one category and group, as the
    // categories and groups half leaves them when the operator picks that group.
    TFrmMain& abrir(int grado, const QString& grupo, const QString& nivel = QStringLiteral("1"))
    {
        TFrmMain& w = h.start(nivel);
        mostrar(grado, grupo);
        return w;
    }

    void mostrar(int grado, const QString& grupo)
    {
        h.w->currentGrado = grado;
        h.w->currentGrupo = grupo;
        kv::TableCursor* t = kv::DM->TblEstudiantes;
        t->setFilter(QStringLiteral("IGrado=%1 and IGrupo='%2'").arg(grado).arg(grupo));
        t->setFiltered(true);
        t->first();
    }

    // Moves the persons list to the person with this code.
    void resaltar(const QString& codigo)
    {
        ASSERT_TRUE(kv::DM->TblEstudiantes->locate(QStringLiteral("codigo"), {codigo})) << codigo.toStdString();
    }

    QString campo(const QString& codigo, const QString& field)
    {
        return h.site.scalar("select " + field + " from estudiantes where codigo=?", {codigo});
    }

    kvtest::FakeMessages& msgs() { return *h.msgs; }

    kvtest::MainHarness h;
};

// Clicks a button of the main window that may open a modal dialog of type D and lets
// `act` work in it (the dialog is closed afterwards if `act` left it open). Returns
// whether such a dialog opened; when none did, waits out the watcher so that it cannot
// catch a dialog of a later step.
template <typename D>
bool enDialogo(QPushButton* boton, std::function<void(D*)> act = {}, int esperaMs = 1500)
{
    auto abierto = std::make_shared<bool>(false);
    kvtest::onNextModal([abierto, act](QWidget* w) {
        auto* d = qobject_cast<D*>(w);
        if (!d) { w->close(); return; }
        *abierto = true;
        if (act) act(d);
        if (d->isVisible()) d->reject();
    }, esperaMs);
    boton->click();
    if (!*abierto) QTest::qWait(esperaMs + 100);
    return *abierto;
}

// For commands that must not open any window: fails the test (instead of hanging)
// when one opens anyway.
inline bool abreVentana(QPushButton* boton)
{
    auto abierta = std::make_shared<bool>(false);
    kvtest::onNextModal([abierta](QWidget* w) { *abierta = true; w->close(); }, 300);
    boton->click();
    QTest::qWait(400);
    return *abierta;
}

} // namespace ptest
