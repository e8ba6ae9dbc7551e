#include "base/Messages.h"
#include <cstdio>

namespace kv {

namespace {
// Until the windows install theirs, messages go to the error stream.
class StderrMessages : public Messages {
public:
    void showMessage(const QString& text, const QString& caption, MsgIcon) override
    {
        std::fprintf(stderr, "%s%s\n", caption.isEmpty() ? "" : qPrintable(caption + ": "), qPrintable(text));
    }
    bool askYesNo(const QString& title, const QString& text, MsgIcon) override
    {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(title), qPrintable(text));
        return false;
    }
};

std::unique_ptr<Messages>& slot()
{
    static std::unique_ptr<Messages> m = std::make_unique<StderrMessages>();
    return m;
}
} // namespace

Messages& Messages::instance() { return *slot(); }

std::unique_ptr<Messages> Messages::install(std::unique_ptr<Messages> m)
{
    auto old = std::move(slot());
    slot() = m ? std::move(m) : std::make_unique<StderrMessages>();
    return old;
}

} // namespace kv
