#pragma once
// A main window on a real temporary site, without the login: fill the site with
// site.exec(...), then call start(). Messages go to `msgs`; the clock is fixed.
#include "app/forms/TFrmMain.h"
#include "data/TDM.h"
#include "settings/UserLevel.h"
#include "support/FakeMessages.h"
#include "support/TempSite.h"
#include "base/Clock.h"
#include <memory>

namespace kvtest {

class MainHarness {
public:
    explicit MainHarness(const QDateTime& now = QDateTime(QDate(2026, 12, 9), QTime(7, 30, 0)))
    {
        auto c = std::make_unique<kv::FixedClock>(now);
        clock = c.get();
        oldClock_ = kv::Clock::install(std::move(c));
    }
    ~MainHarness()
    {
        w.reset();
        if (dm) dm->CloseTables();
        dm.reset();
        kv::SetTablesDir(QString());
        kv::SetUserLevel(QString());
        kv::Clock::install(std::move(oldClock_));
    }
    // Opens the tables and makes the window at the given user level.
    TFrmMain& start(const QString& level = QStringLiteral("1"))
    {
        kv::SetTablesDir(site.tablesDir());
        dm = std::make_unique<kv::TDM>();
        dm->OpenTables();
        kv::SetUserLevel(level);
        w = std::make_unique<TFrmMain>(nullptr, false);
        return *w;
    }

    MessagesScope msgs;
    TempSite site;
    kv::FixedClock* clock = nullptr;
    std::unique_ptr<kv::TDM> dm;
    std::unique_ptr<TFrmMain> w;

private:
    std::unique_ptr<kv::Clock> oldClock_;
};

} // namespace kvtest
