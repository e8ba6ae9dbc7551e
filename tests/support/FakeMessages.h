#pragma once
// Records every message box and answers questions from a script, so no test blocks.
#include "base/Messages.h"
#include <QStringList>
#include <deque>

namespace kvtest {

struct ShownMessage {
    QString text;
    QString caption;
    kv::MsgIcon icon;
};

class FakeMessages : public kv::Messages {
public:
    void showMessage(const QString& text, const QString& caption, kv::MsgIcon icon) override
    {
        shown.push_back({text, caption, icon});
    }
    bool askYesNo(const QString& title, const QString& text, kv::MsgIcon icon) override
    {
        questions.push_back({text, title, icon});
        if (answers.empty()) return false;   // an unscripted question is answered No
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    QStringList texts() const
    {
        QStringList l;
        for (const auto& m : shown) l << m.text;
        return l;
    }
    QString lastText() const { return shown.empty() ? QString() : shown.back().text; }

    std::vector<ShownMessage> shown;
    std::vector<ShownMessage> questions;
    std::deque<bool> answers;
};

// Installs a FakeMessages for the life of the object.
class MessagesScope {
public:
    MessagesScope()
    {
        auto f = std::make_unique<FakeMessages>();
        fake_ = f.get();
        old_ = kv::Messages::install(std::move(f));
    }
    ~MessagesScope() { kv::Messages::install(std::move(old_)); }
    FakeMessages& operator*() { return *fake_; }
    FakeMessages* operator->() { return fake_; }
private:
    FakeMessages* fake_;
    std::unique_ptr<kv::Messages> old_;
};

} // namespace kvtest
