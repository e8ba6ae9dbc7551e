#pragma once
// The one door for message boxes and questions. The program installs a real one that
// shows dialogs; tests install one that records texts and answers from a script.
#include <QString>
#include <memory>

namespace kv {

enum class MsgIcon { None, Information, Warning, Error, Question };

class Messages {
public:
    virtual ~Messages() = default;
    // A plain message box with an OK button.
    virtual void showMessage(const QString& text, const QString& caption = QString(),
                             MsgIcon icon = MsgIcon::None) = 0;
    // Yes/No question; returns true for Yes.
    virtual bool askYesNo(const QString& title, const QString& text,
                          MsgIcon icon = MsgIcon::Warning) = 0;

    // The standard error display (an engine or framework error).
    void showError(const QString& text) { showMessage(text, QStringLiteral("Error"), MsgIcon::Error); }

    static Messages& instance();
    // Installs a new implementation; returns the previous one.
    static std::unique_ptr<Messages> install(std::unique_ptr<Messages> m);
};

} // namespace kv
