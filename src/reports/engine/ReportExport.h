#pragma once
// The plain exports of a rendered report: its heading line and one line per detail line.
#include "reports/engine/PageModel.h"

namespace kv::rpt {

enum class ExportFormat { Pdf, Text, Csv, Html };

// Headings line, then one line per detail line, each field as kv::CsvCampo writes it; CR LF line ends; no byte-order mark.
QString toCsv(const PageModel& model);
// Title lines, then headings and details in columns padded to their widest cell.
QString toText(const PageModel& model);
QString toHtml(const PageModel& model);

// Writes the report in the format; CSV gets a UTF-8 byte-order mark so spreadsheet
// programs read the accents. ReportError when the file cannot be written.
void exportReport(const PageModel& model, ExportFormat format, const QString& path);

// Builds the report's pages and writes them in the format as each is finished, keeping
// none: memory stays flat whatever the number of pages. Returns the pages and detail lines
// written. ReportError when the file cannot be written.
struct Written {
    int pages = 0;
    int rows = 0;
};
Written exportReport(const ReportLayout& layout, const ResultSet& data, ExportFormat format, const QString& path);
// The same with the rows handed over: each is let go of once it has printed, so a long
// report's rows and its pages are not in memory together.
Written exportReport(const ReportLayout& layout, ResultSet&& data, ExportFormat format, const QString& path);

// The format a file name asks for by its extension (.pdf, .txt, .csv, .htm/.html).
bool formatForSuffix(const QString& path, ExportFormat& format);

} // namespace kv::rpt
