#pragma once
// A report ready to be shown: its layout, its rows and what to tell the person first.
#include "reports/engine/ReportLayout.h"
#include <QStringList>
#include <exception>

namespace kv::rpt {

struct PreparedReport {
    ReportLayout layout;
    ResultSet data;
    bool logoCargado = true;     // false: show kLogoError once before the report
    std::exception_ptr errorConfig;  // the settings row could not be read: shown first
    QString sinDatos;            // non-empty: no report, show this instead
    QStringList avisos;          // warnings met on the way (shown, then the report goes on)
};

}  // namespace kv::rpt
