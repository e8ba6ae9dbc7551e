#pragma once
// The import commands of the main window: "Herramientas" -> "Importar personas..." and
// "Importar fotos...", administrator only.
#include <QObject>
#include <functional>

class QAction;

namespace kv {

class MainShell;

class ImportCommands : public QObject {
    Q_OBJECT
public:
    ImportCommands(MainShell& shell, QObject* parent);

    QAction* ImportarPersonas1 = nullptr;
    QAction* ImportarFotos1 = nullptr;

    // Where the file and folder come from; the file dialogs by default (tests give their own).
    std::function<QString()> elegirArchivo;
    std::function<QString()> elegirCarpeta;

public slots:
    void ImportarPersonas1Click();
    void ImportarFotos1Click();

private:
    // The persons tables of the window read the site again after an import.
    void releer();

    MainShell& shell_;
};

} // namespace kv
