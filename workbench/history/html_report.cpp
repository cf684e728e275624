// HTML of one session's report.
#include "html_report.h"

#include "report_labels.h"
#include "svg_chart.h"
#include "workbench/code_column.h"
#include "workbench/ecu_names.h"

namespace history {
namespace {

constexpr const char *kStyle = R"(
:root { color-scheme: light; }
body { font: 14px/1.45 "DejaVu Sans", "Liberation Sans", Arial, sans-serif; color: #222; margin: 24px auto; max-width: 760px; padding: 0 16px; }
h1 { font-size: 22px; margin: 0 0 4px; }
h2 { font-size: 17px; border-bottom: 2px solid #2a6f97; padding-bottom: 2px; margin: 24px 0 8px; }
h3 { font-size: 14px; margin: 14px 0 4px; }
.meta { color: #555; margin: 0; }
.abrupt { color: #b00020; font-weight: bold; }
table { border-collapse: collapse; width: 100%; margin: 4px 0 8px; }
th, td { text-align: left; padding: 3px 8px; border-bottom: 1px solid #ddd; vertical-align: top; }
th { background: #eef4f8; }
#identification th { width: 40%; }
td.code { font-family: "DejaVu Sans Mono", monospace; font-weight: bold; white-space: nowrap; }
pre { font: 11px/1.3 "DejaVu Sans Mono", monospace; margin: 0; white-space: pre-wrap; }
.ok { color: #1b7f3b; } .failed { color: #b00020; }
.charts figure { margin: 0 0 12px; break-inside: avoid; page-break-inside: avoid; }
figcaption { color: #555; font-size: 12px; }
svg.chart { width: 100%; height: auto; display: block; }
svg.chart text { font: 11px "DejaVu Sans", Arial, sans-serif; fill: #333; }
svg.chart .title { font-size: 13px; font-weight: bold; }
svg.chart .grid line { stroke: #e3e3e3; }
svg.chart .frame { fill: none; stroke: #999; }
svg.chart .series { fill: none; stroke: #2a6f97; stroke-width: 1.8; }
svg.chart line.mean { stroke: #888; stroke-dasharray: 5 4; }
svg.chart circle.max { fill: #c0392b; } svg.chart text.max { fill: #c0392b; }
svg.chart circle.min { fill: #1b7f3b; } svg.chart text.min { fill: #1b7f3b; }
@page { size: A4; margin: 15mm; }
@media print {
  body { margin: 0; max-width: none; padding: 0; font-size: 11pt; }
  h2 { break-after: avoid; page-break-after: avoid; }
  table, tr { break-inside: avoid; page-break-inside: avoid; }
  th { background: none; }
}
)";

std::string esc(const std::string &s) { return escapeXml(s); }

std::string cell(const std::string &s, const char *cls = nullptr) {
  return std::string("<td") + (cls ? std::string(" class=\"") + cls + "\"" : "") + ">" + esc(s) + "</td>";
}

void identification(std::string &h, const SessionRecord &r, const ReportLabels &l) {
  h += "<section id=\"identification\"><h2>" + esc(l.identification) + "</h2>\n";
  if (r.identification.empty()) {
    h += "<p>" + esc(l.noIdentification) + "</p></section>\n";
    return;
  }
  h += "<table>";
  for (const auto &[name, value] : r.identification) h += "<tr><th>" + esc(name) + "</th>" + cell(value) + "</tr>";
  h += "</table></section>\n";
}

// The unit as a mechanic names it ("Bosch M1.5.4"); a name the workbench does
// not know (a GM or OBD car, "none") stays as recorded.
std::string unitTitle(const std::string &name) {
  const workbench::EcuName *e = workbench::ecu_by_name(name);
  return e ? e->title : name;
}

void codes(std::string &h, const SessionRecord &r, const ReportLabels &l) {
  h += "<section id=\"codes\"><h2>" + esc(l.troubleCodes) + "</h2>\n";
  if (r.codeLists.empty()) h += "<p>" + esc(l.noCodeLists) + "</p>\n";
  for (const CodeList &list : r.codeLists) {
    h += "<h3>" + esc(list.title) + " <span class=\"meta\">" + esc(list.shownAt) + "</span></h3>\n";
    if (list.codes.empty()) {
      h += "<p>" + esc(l.noCodes) + "</p>\n";
      continue;
    }
    h += "<table class=\"codes\"><tr><th>" + esc(l.code) + "</th><th>" + esc(l.text) + "</th><th>" + esc(l.status) +
         "</th></tr>";
    std::string joined;
    for (const Code &c : list.codes) {
      const workbench::CodeColumns cols = workbench::stored_code_columns(c.code, c.text, joined);
      h += "<tr>" + cell(std::string(cols.code), "code") + cell(std::string(cols.text)) + cell(c.status) + "</tr>";
    }
    h += "</table>\n";
  }
  if (!r.clears.empty()) {
    h += "<h3>" + esc(l.clears) + "</h3><table><tr><th></th><th>" + esc(l.outcome) + "</th><th>" + esc(l.sentToEcu) +
         "</th></tr>";
    for (const Clear &c : r.clears)
      h += "<tr>" + cell(c.doneAt) + "<td class=\"" + (c.ok ? "ok" : "failed") + "\">" +
           esc(c.ok ? l.cleared : l.clearFailed) + " — " + esc(c.result) + "</td><td><pre>" + esc(c.sent) +
           "</pre></td></tr>";
    h += "</table>\n";
  }
  h += "</section>\n";
}

void notesAndTests(std::string &h, const SessionRecord &r, const ReportLabels &l) {
  if (!r.notices.empty()) {
    h += "<section id=\"notes\"><h2>" + esc(l.notes) + "</h2><table>";
    for (const Notice &n : r.notices) h += "<tr><th>" + esc(n.action) + "</th>" + cell(n.text) + "</tr>";
    h += "</table></section>\n";
  }
  if (r.tests.empty()) return;
  h += "<section id=\"tests\"><h2>" + esc(l.tests) + "</h2><table><tr><th>" + esc(l.test) + "</th><th>" + esc(l.steps) +
       "</th><th>" + esc(l.outcome) + "</th><th>" + esc(l.sentToEcu) + "</th></tr>";
  for (const Test &t : r.tests)
    h += "<tr>" + cell(t.name) + cell(t.steps) + cell(t.outcome) + "<td><pre>" + esc(t.sent) + "</pre></td></tr>";
  h += "</table></section>\n";
}

void liveData(std::string &h, const SessionRecord &r, const ReportLabels &l) {
  h += "<section id=\"live\"><h2>" + esc(l.liveData) + "</h2>\n";
  if (r.series.empty()) {
    h += "<p>" + esc(l.noLiveData) + "</p></section>\n";
    return;
  }
  h += "<p class=\"meta\">" + esc(passesText(l, r.passes)) + "</p>\n<div class=\"charts\">\n";
  for (const Series &s : r.series) {
    h += "<figure class=\"item\" data-item=\"" + esc(s.name) + "\">\n";
    const ChartData &c = s.chart;
    if (!c.points.empty()) {
      h += svgChart(c, {s.name, s.unit, l.engineTime, l.min, l.max, l.mean});
      if (c.thinned()) h += "<figcaption>" + esc(thinnedText(l, c.count, chartColumns())) + "</figcaption>\n";
    } else {
      // Items that are words (ON/OFF): the values that were shown, each once.
      std::string shown;
      for (const auto &t : s.texts) shown += (shown.empty() ? "" : ", ") + t;
      if (s.moreTexts) shown += ", …";
      h += "<h3>" + esc(s.name) + "</h3>";
      if (!shown.empty()) h += "<p>" + esc(l.shownValues) + ": " + esc(shown) + "</p>";
      h += "\n";
    }
    if (c.skipped != 0)
      h += "<figcaption class=\"skipped\">" + esc(l.skipped) + " " + std::to_string(c.skipped) + "</figcaption>\n";
    h += "</figure>\n";
  }
  h += "</div></section>\n";
}

}  // namespace

std::string htmlReport(const SessionRecord &r) {
  const ReportLabels &l = reportLabels(r.summary.language);
  const SessionSummary &s = r.summary;
  std::string h = "<!DOCTYPE html>\n<html lang=\"" + std::string(l.lang) + "\">\n<head>\n<meta charset=\"utf-8\">\n";
  h += "<title>" + esc(l.title) + " — " + esc(l.session) + " " + std::to_string(s.id) + "</title>\n";
  h += "<style>" + std::string(kStyle) + "</style>\n</head>\n<body>\n";
  h += "<header><h1>" + esc(l.title) + "</h1>\n<p class=\"meta\">" + esc(l.session) + " " + std::to_string(s.id) +
       " · " + esc(l.started) + " " + esc(s.startedAt) + " · " + esc(l.ended) + " " + esc(s.endedAt) + " · " +
       (s.endedNormally
            ? esc(l.endedNormally)
            : "<span class=\"abrupt\">" + esc(s.commFailure ? l.endedCommFailure : l.endedAbruptly) + "</span>") +
       "</p>\n<p class=\"meta\">" + esc(l.ecu) + ": " + esc(unitTitle(s.ecu)) + " · " +
       (s.port.empty() ? esc(l.car) + ": " + esc(l.simulated) + " (" + esc(unitTitle(s.car)) + ")"
                       : esc(l.port) + ": " + esc(s.port)) +
       "</p></header>\n";
  identification(h, r, l);
  codes(h, r, l);
  notesAndTests(h, r, l);
  liveData(h, r, l);
  return h + "</body>\n</html>\n";
}

}  // namespace history
