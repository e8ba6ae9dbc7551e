#pragma once
// What an area's commands may ask of the main window: the shared selection state, the two
// routines that follow a change of it, its menus and its named components. An area keeps a
// MainShell&, never the window class itself, so areas do not grow into one another.
#include <QMenu>
#include <QString>
#include <QWidget>

namespace kv {

class MainShell {
public:
    virtual ~MainShell() = default;

    // The main window, as parent of an area's dialogs.
    virtual QWidget* shellWindow() = 0;

    // Current category, group and subject of the register panes.
    virtual int gradoActual() const = 0;
    virtual QString grupoActual() const = 0;
    virtual QString materiaActual() const = 0;
    // A command that moves the groups list to another row says which group is current now.
    virtual void setGrupoActual(const QString& grupo) = 0;
    // Direction of the next movement of the capture field: "E" or "S".
    virtual QString modoMovimientoActual() const = 0;
    virtual void setModoMovimiento(const QString& modo) = 0;
    // Movements stored since the last upload, waiting for an idle minute.
    virtual bool pendienteSubirActivo() const = 0;
    virtual void setPendienteSubir(bool pendiente) = 0;

    // Re-reads the current category and group from the grids, then filters the persons.
    virtual void RefreshSelection() = 0;
    virtual void ApplyPersonsFilter() = 0;

    // A top menu by its caption ("Informes", "Herramientas", ...), made when missing.
    virtual QMenu* shellMenu(const QString& caption) = 0;

    // A component of the window by its objectName (nullptr when there is none).
    template <typename T>
    T* component(const QString& objectName)
    {
        QWidget* w = shellWindow();
        return w ? w->findChild<T*>(objectName) : nullptr;
    }
};

} // namespace kv
