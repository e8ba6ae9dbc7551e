#pragma once
// The report kinds of the program, each one way from parameters to a laid-out report,
// shared by the window commands and by `kelvora-admin report`. A new kind is one entry
// in reportKinds() (ReportKinds.cpp).
#include "reports/engine/PageModel.h"
#include "reports/engine/PreparedReport.h"
#include <QDate>
#include <QHash>
#include <QTime>

namespace kv::rpt {

// Parameters by name ("desde", "grado-desde", ...) as text, from a dialog or a command line.
// The typed readers raise ReportError with a Spanish message naming the parameter, by its
// label when one is set (a dialog's box) and otherwise as "--name".
class ReportArgs {
public:
    void set(const QString& name, const QString& value) { values_[name] = value; }
    void setLabel(const QString& name, const QString& label) { labels_[name] = label; }
    bool has(const QString& name) const { return values_.contains(name); }
    QString text(const QString& name, const QString& def = QString()) const;
    bool flag(const QString& name) const { return values_.contains(name); }
    QDate date(const QString& name, const QDate& def) const;     // yyyy-mm-dd
    QTime time(const QString& name, const QTime& def) const;     // hh:mm:ss or hh:mm
    int integer(const QString& name, int def) const;             // whole number
    QString label(const QString& name) const;
    QStringList names() const { return values_.keys(); }
private:
    QHash<QString, QString> values_, labels_;
};

struct ReportKind {
    QString kind;                // the admin's KIND
    QString uso;                 // one usage line of its parameters
    QStringList options;         // accepted --options taking a value
    QStringList flags;           // accepted --options without a value
    bool exports = true;         // offers TXT, CSV and HTML besides PDF
    std::function<PreparedReport(const QString& tablesDir, const ReportArgs& args)> prepare;
};

const std::vector<ReportKind>& reportKinds();
const ReportKind* findReportKind(const QString& kind);   // nullptr when unknown

// The first and last category code of the site (0 when it has none).
std::pair<int, int> RangoCategorias(const QString& tablesDir);

// The category and date range of the attendance kinds: --grado-desde/--grado-hasta (the
// first and last category by default) and --desde/--hasta (today by default).
struct RangoAsistencia;
RangoAsistencia rangoAsistencia(const QString& dir, const ReportArgs& a);
struct TitleBlock;
// A prepared report of a layout and its rows, with the logo state of its title block.
PreparedReport finish(ReportLayout layout, ResultSet data, const TitleBlock& t);

// Runs a local statement through the statement runner and keeps its rows.
ResultSet RunReportQuery(const QString& tablesDir, const QString& sql, const QVariantList& params = {});

} // namespace kv::rpt
