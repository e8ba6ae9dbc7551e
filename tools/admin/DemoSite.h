#pragma once
// A demo site with believable data, for trying the program and for screenshots.
#include <QDate>
#include <QString>

namespace admin {

struct DemoSummary {
    int categories = 0;
    int groups = 0;
    int persons = 0;
    int photos = 0;
    int movements = 0;
    QString adminPassword;
    QString capturePassword;
    // Consultants of the on-line consultation: a parent and a staff member.
    QString parentDocument, parentPassword;
    QString staffDocument, staffPassword;
};

// Creates the site in `dir` (which must not hold one yet) and fills it. Movements cover
// the school days of the three weeks before `today`. The data only depend on `today`:
// the random generator has a fixed seed. Raises kv::DbError on engine errors.
DemoSummary buildDemoSite(const QString& dir, const QDate& today);

} // namespace admin
