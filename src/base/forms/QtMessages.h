#pragma once
// The real message boxes.
#include "base/Messages.h"

namespace kv {

class QtMessages : public Messages {
public:
    void showMessage(const QString& text, const QString& caption, MsgIcon icon) override;
    bool askYesNo(const QString& title, const QString& text, MsgIcon icon) override;
};

} // namespace kv
