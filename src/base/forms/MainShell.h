#pragma once
// What an area's commands may ask of the main window: the shared selection state, the two
// routines that follow a change of it, its menus and its named components. An area keeps a
// MainShell&, never the window class itself, so areas do not grow into one another.
#include "base/Error.h"
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

    // A component of the window by its objectName. An area finds each one once, when its
    // commands are made, and keeps the typed pointer. A missing one (a renamed widget) is a
    // fault of the program: it raises kv::Error naming the component and its type, so no
    // command ever runs on a null pointer.
    template <typename T>
    T* required(const QString& objectName)
    {
        QWidget* w = shellWindow();
        T* c = w ? w->findChild<T*>(objectName) : nullptr;
        if (!c)
            throw Error(QStringLiteral("La ventana principal no tiene el componente %1 (%2).")
                            .arg(objectName, QString::fromLatin1(T::staticMetaObject.className())));
        return c;
    }
};

} // namespace kv
