#pragma once
// The start of the program, up to its message loop: one copy per machine, the choice of
// the site and its tables, then the main window (which asks for the login).
#include "app/forms/TFrmMain.h"
#include "data/TDM.h"
#include <memory>

class Arranque {
public:
    explicit Arranque(bool pedirClave = true) : pedirClave_(pedirClave) {}
    ~Arranque();

    // Runs start-up for the program at `programPath` (its first command-line argument).
    // True when the message loop should run; false when the program ends here (second
    // copy, a cancelled choice, a failed start: every case already told the user).
    bool iniciar(const QString& programPath);

    std::unique_ptr<kv::TDM> dm;
    std::unique_ptr<TFrmMain> ventana;

private:
    bool pedirClave_;
};
