#include "report/compare/ComparePage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "report/compare/CompareText.h"

namespace {

// Colours of different lightness, dash patterns and markers, one of each per run.
constexpr const char* kColours[] = {"#000000", "#0072b2", "#d55e00", "#009e73", "#cc79a7", "#e69f00"};
constexpr const char* kDashes[] = {"", "9 4", "2 3", "10 3 2 3", "5 2 1 2 1 2", "14 4"};
constexpr std::size_t kStyles = 6;
constexpr int kMarkersPerLine = 5;

const char* const kStyle = R"CSS(
body{font-family:sans-serif;margin:1.5em auto;max-width:72em;padding:0 1em;color:#111;background:#fff}
h1{font-size:1.5em}h2{font-size:1.2em;margin-top:1.6em;border-bottom:1px solid #999}
table{border-collapse:collapse;font-size:.9em}th,td{border:1px solid #bbb;padding:.2em .5em}
th{background:#eee}td.n{text-align:right;font-variant-numeric:tabular-nums}
#resumo td:first-child{font-weight:bold}.nota{font-size:.85em;color:#333;margin:.2em 0}
figure{margin:1em 0}figcaption{font-size:.85em;color:#333;max-width:60em}
svg{max-width:100%;height:auto;background:#fff}svg text{font-family:sans-serif;font-size:12px;fill:#111}
.eixo{stroke:#111;stroke-width:1}.grade{stroke:#ddd;stroke-width:1}
th.ordenavel{cursor:pointer}th.ordenavel::after{content:" \2195";color:#888}
th[aria-sort=ascending]::after{content:" \25B2"}th[aria-sort=descending]::after{content:" \25BC"}
tr.divergencia td:first-child::after{content:" \2260";font-weight:bold}
td.errado{font-weight:bold;text-decoration:underline}.rolagem{overflow-x:auto}
@media print{body{max-width:none;margin:0;font-size:9pt}h2{break-after:avoid}figure,#resumo{break-inside:avoid}
thead{display:table-header-group}tr{break-inside:avoid}th.ordenavel::after{content:none}th{background:none}
.rolagem{overflow:visible}}
)CSS";

// Sorts the per-model table by the column whose heading is clicked (or chosen with Enter),
// numbers as numbers, empty cells last; the page reads the same without it.
const char* const kScript = R"JS(
(function () {
  var table = document.getElementById('modelos');
  if (!table || !table.tHead || !table.tBodies.length) return;
  var heads = table.tHead.rows[table.tHead.rows.length - 1].cells;
  function key(row, column, numeric) {
    var text = row.cells[column].textContent;
    if (!numeric) return text === '' ? null : text;
    var value = parseFloat(text);
    return isNaN(value) ? null : value;
  }
  function sortBy(column) {
    var head = heads[column];
    var numeric = head.getAttribute('data-tipo') === 'n';
    var ascending = head.getAttribute('aria-sort') !== 'ascending';
    for (var i = 0; i < heads.length; i++) heads[i].removeAttribute('aria-sort');
    head.setAttribute('aria-sort', ascending ? 'ascending' : 'descending');
    var body = table.tBodies[0];
    var keyed = Array.prototype.map.call(body.rows, function (row, index) {
      return {row: row, key: key(row, column, numeric), index: index};
    });
    keyed.sort(function (a, b) {
      if (a.key === null || b.key === null) {
        if (a.key === b.key) return a.index - b.index;
        return a.key === null ? 1 : -1;
      }
      var order = numeric ? a.key - b.key : a.key.localeCompare(b.key);
      if (order === 0) return a.index - b.index;
      return ascending ? order : -order;
    });
    var fragment = document.createDocumentFragment();
    keyed.forEach(function (item) { fragment.appendChild(item.row); });
    body.appendChild(fragment);
  }
  Array.prototype.forEach.call(heads, function (head, column) {
    head.tabIndex = 0;
    head.classList.add('ordenavel');
    head.title = 'Ordenar por esta coluna';
    head.addEventListener('click', function () { sortBy(column); });
    head.addEventListener('keydown', function (event) {
      if (event.key === 'Enter' || event.key === ' ') { event.preventDefault(); sortBy(column); }
    });
  });
})();
)JS";

std::string coordinate(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// A logarithmic axis from `low` to `high` onto the pixels from `from` to `to`.
struct LogScale {
    double low, high, from, to;
    double operator()(double value) const
    {
        return from + (std::log(value / low) / std::log(high / low)) * (to - from);
    }
};

// The ticks of a log axis: powers of the base, every other one while there are too many.
std::vector<double> logTicks(double low, double high, double base)
{
    std::vector<double> ticks;
    for (double tick = std::pow(base, std::ceil(std::log(low) / std::log(base) - 1e-9)); tick <= high * (1 + 1e-9);
         tick *= base)
        ticks.push_back(tick);
    while (ticks.size() > 9) {
        std::vector<double> thinned;
        for (std::size_t i = 0; i < ticks.size(); i += 2)
            thinned.push_back(ticks[i]);
        ticks = thinned;
    }
    return ticks;
}

std::string tickLabel(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A marker of the run's shape centred on a point, as path data.
std::string markerPath(std::size_t run, double x, double y)
{
    const double r = 4;
    switch (run % kStyles) {
    case 0:
        return "M" + coordinate(x - r) + " " + coordinate(y) + "a4 4 0 1 0 8 0a4 4 0 1 0 -8 0z";
    case 1:
        return "M" + coordinate(x - r) + " " + coordinate(y - r) + "h8v8h-8z";
    case 2:
        return "M" + coordinate(x) + " " + coordinate(y - r - 1) + "l5 9h-10z";
    case 3:
        return "M" + coordinate(x) + " " + coordinate(y - r - 1) + "l5 5l-5 5l-5 -5z";
    case 4:
        return "M" + coordinate(x) + " " + coordinate(y + r + 1) + "l5 -9h-10z";
    default:
        return "M" + coordinate(x - r) + " " + coordinate(y - r) + "l8 8m0 -8l-8 8";
    }
}

std::string strokeStyle(std::size_t run)
{
    std::string style = "stroke=\"" + std::string(kColours[run % kStyles]) + "\"";
    if (*kDashes[run % kStyles])
        style += " stroke-dasharray=\"" + std::string(kDashes[run % kStyles]) + "\"";
    return style;
}

// Points of a polyline, leaving out those that lie on the straight line between their
// neighbours along an axis, so that long steps cost two points.
class Points {
public:
    void add(double x, double y)
    {
        const std::pair<double, double> point{std::round(x * 10) / 10, std::round(y * 10) / 10};
        if (!m_points.empty() && m_points.back() == point)
            return;
        const std::size_t n = m_points.size();
        if (n >= 2) {
            const auto& a = m_points[n - 2];
            const auto& b = m_points[n - 1];
            if ((a.first == b.first && b.first == point.first) || (a.second == b.second && b.second == point.second)) {
                m_points.back() = point;
                return;
            }
        }
        m_points.push_back(point);
    }
    std::string text() const
    {
        std::string text;
        for (const auto& [x, y] : m_points)
            text += (text.empty() ? "" : " ") + coordinate(x) + "," + coordinate(y);
        return text;
    }

private:
    std::vector<std::pair<double, double>> m_points;
};

struct Frame {
    double left, top, right, bottom;  // the plot area's edges in pixels
};

std::string axisLines(const Frame& frame)
{
    return "<line class=\"eixo\" x1=\"" + coordinate(frame.left) + "\" y1=\"" + coordinate(frame.bottom) + "\" x2=\""
        + coordinate(frame.right) + "\" y2=\"" + coordinate(frame.bottom) + "\"/>\n<line class=\"eixo\" x1=\""
        + coordinate(frame.left) + "\" y1=\"" + coordinate(frame.top) + "\" x2=\"" + coordinate(frame.left) + "\" y2=\""
        + coordinate(frame.bottom) + "\"/>\n";
}

std::string verticalTick(const Frame& frame, double x, const std::string& label)
{
    return "<line class=\"grade\" x1=\"" + coordinate(x) + "\" y1=\"" + coordinate(frame.top) + "\" x2=\"" + coordinate(x)
        + "\" y2=\"" + coordinate(frame.bottom) + "\"/><text x=\"" + coordinate(x) + "\" y=\""
        + coordinate(frame.bottom + 16) + "\" text-anchor=\"middle\">" + label + "</text>\n";
}

std::string horizontalTick(const Frame& frame, double y, const std::string& label)
{
    return "<line class=\"grade\" x1=\"" + coordinate(frame.left) + "\" y1=\"" + coordinate(y) + "\" x2=\""
        + coordinate(frame.right) + "\" y2=\"" + coordinate(y) + "\"/><text x=\"" + coordinate(frame.left - 6)
        + "\" y=\"" + coordinate(y + 4) + "\" text-anchor=\"end\">" + label + "</text>\n";
}

std::string axisTitles(const Frame& frame, const std::string& x, const std::string& y)
{
    const double middleY = (frame.top + frame.bottom) / 2;
    return "<text x=\"" + coordinate((frame.left + frame.right) / 2) + "\" y=\"" + coordinate(frame.bottom + 40)
        + "\" text-anchor=\"middle\">" + escapeHtml(x) + "</text>\n<text x=\"16\" y=\"" + coordinate(middleY)
        + "\" text-anchor=\"middle\" transform=\"rotate(-90 16 " + coordinate(middleY) + ")\">" + escapeHtml(y)
        + "</text>\n";
}

// The share of a run's ratios at or below tau.
double shareAt(const std::vector<double>& ratios, double tau, std::size_t models)
{
    const auto within = std::upper_bound(ratios.begin(), ratios.end(), tau * (1 + 1e-12)) - ratios.begin();
    return static_cast<double>(within) / static_cast<double>(models);
}

std::string profileLine(const Comparison& comparison, const std::vector<double>& ratios, std::size_t run,
                        const LogScale& x, const Frame& frame)
{
    const std::size_t models = comparison.models.size();
    const auto y = [&frame](double share) { return frame.bottom - share * (frame.bottom - frame.top); };
    Points points;
    double share = shareAt(ratios, 1, models);
    points.add(x(1), y(share));
    for (std::size_t i = 0; i < ratios.size(); ++i) {
        if (ratios[i] <= 1 || (i + 1 < ratios.size() && ratios[i + 1] == ratios[i]))
            continue;
        points.add(x(ratios[i]), y(share));
        share = static_cast<double>(i + 1) / static_cast<double>(models);
        points.add(x(ratios[i]), y(share));
    }
    points.add(x(x.high), y(share));

    std::string svg = "<polyline class=\"run\" data-run=\"" + escapeHtml(comparison.runs[run].label)
        + "\" fill=\"none\" stroke-width=\"2\" " + strokeStyle(run) + " points=\"" + points.text() + "\"/>\n";
    std::string markers;
    for (int k = 0; k < kMarkersPerLine; ++k) {
        const double fraction =
            (k + (static_cast<double>(run) + 0.5) / static_cast<double>(comparison.runs.size())) / kMarkersPerLine;
        const double tau = std::exp(fraction * std::log(x.high));
        markers += markerPath(run, x(tau), y(shareAt(ratios, tau, models)));
    }
    return svg + "<path class=\"marca\" fill=\"" + std::string(kColours[run % kStyles]) + "\" stroke=\""
        + kColours[run % kStyles] + "\" d=\"" + markers + "\"/>\n";
}

std::string legend(const Comparison& comparison, double left, double top)
{
    std::string svg;
    for (std::size_t run = 0; run < comparison.runs.size(); ++run) {
        const double y = top + 20.0 * static_cast<double>(run);
        svg += "<line x1=\"" + coordinate(left) + "\" y1=\"" + coordinate(y) + "\" x2=\"" + coordinate(left + 44)
            + "\" y2=\"" + coordinate(y) + "\" stroke-width=\"2\" " + strokeStyle(run) + "/><path fill=\""
            + kColours[run % kStyles] + "\" stroke=\"" + kColours[run % kStyles] + "\" d=\""
            + markerPath(run, left + 22, y) + "\"/><text x=\"" + coordinate(left + 52) + "\" y=\"" + coordinate(y + 4)
            + "\">" + escapeHtml(comparison.runs[run].label) + "</text>\n";
    }
    return svg;
}

std::string profileFigure(const Comparison& comparison)
{
    const auto ratios = performanceRatios(comparison);
    double largest = 1;
    for (const auto& run : ratios)
        if (!run.empty())
            largest = std::max(largest, run.back());
    const double width = 760;
    const double height = 390 + 20.0 * static_cast<double>(comparison.runs.size());
    const Frame frame{70, 20, width - 30, 330};
    const LogScale x{1, std::max(2.0, largest * 1.05), frame.left, frame.right};

    std::string svg = "<svg id=\"perfil\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + coordinate(width) + " "
        + coordinate(height) + "\" width=\"" + coordinate(width) + "\" height=\"" + coordinate(height)
        + "\" role=\"img\" aria-labelledby=\"perfil-titulo\"><title id=\"perfil-titulo\">Perfil de desempenho</title>\n";
    // Ratios: powers of two over a short range, of ten over a long one.
    for (const double tick : logTicks(x.low, x.high, x.high <= 1100 ? 2 : 10))
        svg += verticalTick(frame, x(tick), tickLabel(tick));
    for (int percent = 0; percent <= 100; percent += 20)
        svg += horizontalTick(frame, frame.bottom - percent / 100.0 * (frame.bottom - frame.top),
                              std::to_string(percent) + "%");
    svg += axisLines(frame);
    svg += axisTitles(frame, "τ: tempo sobre o do melhor run no modelo (escala log)",
                      "modelos resolvidos em até τ vezes o melhor");
    if (!comparison.models.empty())
        for (std::size_t run = 0; run < comparison.runs.size(); ++run)
            svg += profileLine(comparison, ratios[run], run, x, frame);
    svg += legend(comparison, frame.left + 10, frame.bottom + 62);
    svg += "</svg>\n";
    return "<figure>\n" + svg
        + "<figcaption>Para cada run, a parte dos " + std::to_string(comparison.models.size())
        + " modelos que ele resolveu em até τ vezes o menor tempo de solução entre os runs (Dolan e Moré). "
          "Tempos abaixo de " + exactNumber(kProfileFloorSeconds) + " s contam como " + exactNumber(kProfileFloorSeconds)
        + " s; um modelo não resolvido nunca entra.</figcaption>\n</figure>\n";
}

std::string scatterFigure(const Comparison& comparison)
{
    const std::string& a = comparison.runs[0].label;
    const std::string& b = comparison.runs[1].label;
    const auto floored = [](double seconds) { return std::max(seconds, kProfileFloorSeconds); };
    double low = 1e300, high = kProfileFloorSeconds;
    for (const ComparedModel& model : comparison.models)
        for (const double seconds : model.seconds) {
            low = std::min(low, floored(seconds));
            high = std::max(high, floored(seconds));
        }
    for (const RunStatistics& statistics : comparison.statistics)
        if (statistics.timeLimit)
            high = std::max(high, *statistics.timeLimit);
    // Whole decades, with room beyond the time limits so that their lines stand apart from
    // the frame.
    low = std::pow(10, std::floor(std::log10(std::min(low, high))));
    high = std::max(std::pow(10, std::ceil(std::log10(high * 1.5))), low * 10);

    const double size = 520;
    const Frame frame{70, 20, size - 20, size - 60};
    const LogScale x{low, high, frame.left, frame.right};
    const LogScale y{low, high, frame.bottom, frame.top};
    std::string svg = "<svg id=\"dispersao\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + coordinate(size) + " "
        + coordinate(size) + "\" width=\"" + coordinate(size) + "\" height=\"" + coordinate(size)
        + "\" role=\"img\" aria-labelledby=\"dispersao-titulo\"><title id=\"dispersao-titulo\">Tempos de "
        + escapeHtml(a) + " e " + escapeHtml(b) + "</title>\n";
    for (const double tick : logTicks(low, high, 10)) {
        svg += verticalTick(frame, x(tick), tickLabel(tick));
        svg += horizontalTick(frame, y(tick), tickLabel(tick));
    }
    svg += axisLines(frame);
    svg += axisTitles(frame, "tempo de " + a + " (s, escala log)", "tempo de " + b + " (s, escala log)");
    svg += "<line class=\"diagonal\" x1=\"" + coordinate(x(low)) + "\" y1=\"" + coordinate(y(low)) + "\" x2=\""
        + coordinate(x(high)) + "\" y2=\"" + coordinate(y(high))
        + "\" stroke=\"#555\" stroke-dasharray=\"6 3\"/><text x=\"" + coordinate(x(high) - 4) + "\" y=\""
        + coordinate(y(high) + 14) + "\" text-anchor=\"end\">mesmo tempo</text>\n";
    if (const auto limit = comparison.statistics[0].timeLimit; limit && *limit >= low)
        svg += "<line class=\"limite\" x1=\"" + coordinate(x(*limit)) + "\" y1=\"" + coordinate(frame.top) + "\" x2=\""
            + coordinate(x(*limit)) + "\" y2=\"" + coordinate(frame.bottom)
            + "\" stroke=\"#000\" stroke-dasharray=\"2 2\"/><text x=\"" + coordinate(x(*limit) - 4) + "\" y=\""
            + coordinate(frame.bottom - 6) + "\" text-anchor=\"end\">limite de " + escapeHtml(a) + "</text>\n";
    if (const auto limit = comparison.statistics[1].timeLimit; limit && *limit >= low)
        svg += "<line class=\"limite\" x1=\"" + coordinate(frame.left) + "\" y1=\"" + coordinate(y(*limit)) + "\" x2=\""
            + coordinate(frame.right) + "\" y2=\"" + coordinate(y(*limit))
            + "\" stroke=\"#000\" stroke-dasharray=\"2 2\"/><text x=\"" + coordinate(frame.left + 6) + "\" y=\""
            + coordinate(y(*limit) + 14) + "\">limite de " + escapeHtml(b) + "</text>\n";

    std::string bothSolved, notBoth;
    for (const ComparedModel& model : comparison.models) {
        const double px = x(floored(model.seconds[0]));
        const double py = y(floored(model.seconds[1]));
        if (model.verdicts[0] == Verdict::Solved && model.verdicts[1] == Verdict::Solved)
            bothSolved += "M" + coordinate(px - 3) + " " + coordinate(py) + "a3 3 0 1 0 6 0a3 3 0 1 0 -6 0z";
        else
            notBoth += "M" + coordinate(px - 3) + " " + coordinate(py - 3) + "l6 6m0 -6l-6 6";
    }
    svg += "<path class=\"pontos\" fill=\"none\" stroke=\"#0072b2\" d=\"" + bothSolved + "\"/>\n";
    svg += "<path class=\"pontos\" fill=\"none\" stroke=\"#d55e00\" stroke-width=\"1.5\" d=\"" + notBoth + "\"/>\n";
    svg += "</svg>\n";
    return "<figure>\n" + svg + "<figcaption>Um ponto por modelo: ○ resolvido pelos dois runs, × não resolvido por um "
        "deles (no tempo que conta para a média: o limite de tempo do run). Abaixo da diagonal, " + escapeHtml(b)
        + " foi mais rápido. Tempos abaixo de " + exactNumber(kProfileFloorSeconds) + " s aparecem em "
        + exactNumber(kProfileFloorSeconds) + " s.</figcaption>\n</figure>\n";
}

std::string summarySection(const Comparison& comparison)
{
    const SummaryTable table = summaryTable(comparison);
    std::string html = "<table id=\"resumo\">\n<thead><tr>";
    for (const std::string& heading : table.header)
        html += "<th scope=\"col\">" + escapeHtml(heading) + "</th>";
    html += "</tr></thead>\n<tbody>\n";
    for (const auto& row : table.rows) {
        html += "<tr>";
        for (std::size_t column = 0; column < row.size(); ++column)
            html += std::string(column == 0 ? "<td>" : "<td class=\"n\">") + escapeHtml(row[column]) + "</td>";
        html += "</tr>\n";
    }
    html += "</tbody>\n</table>\n";
    for (const std::string& note : summaryNotes(comparison))
        html += "<p class=\"nota\">" + escapeHtml(note) + "</p>\n";
    const auto pairs = pairLines(comparison);
    if (!pairs.empty()) {
        html += "<h2>Vitórias</h2>\n<p>" + escapeHtml(pairs[0]) + "</p>\n<ul id=\"vitorias\">\n";
        for (std::size_t i = 1; i < pairs.size(); ++i)
            html += "<li>" + escapeHtml(pairs[i]) + "</li>\n";
        html += "</ul>\n";
    }
    return html + "<p id=\"melhor-virtual\">" + escapeHtml(virtualBestLine(comparison)) + "</p>\n";
}

std::string listSection(const char* id, const char* heading, const std::vector<std::string>& lines)
{
    std::string html = "<h2>" + std::string(heading) + ": " + (lines.empty() ? "nenhuma" : std::to_string(lines.size()))
        + "</h2>\n";
    if (lines.empty())
        return html;
    html += "<ul id=\"" + std::string(id) + "\">\n";
    for (const std::string& line : lines)
        html += "<li>" + escapeHtml(line) + "</li>\n";
    return html + "</ul>\n";
}

// Four significant digits, so that the times of quick models do not all read 0.000.
std::string modelSeconds(double seconds)
{
    char text[64];
    std::snprintf(text, sizeof text, seconds < 1000 ? "%.4g" : "%.0f", seconds);
    return text;
}

std::string verification(const ModelRecord& record)
{
    if (record.check.empty() || record.solutionCheck.empty())
        return record.check + record.solutionCheck;
    return record.check + ", " + record.solutionCheck;
}

std::string modelRow(const Comparison& comparison, const ComparedModel& model, bool disagreed)
{
    std::string html = disagreed ? "<tr class=\"divergencia\"><td>" : "<tr><td>";
    html += escapeHtml(model.name) + "</td>";
    for (std::size_t run = 0; run < comparison.runs.size(); ++run) {
        const ModelRecord* record = comparison.record(model, run);
        if (!record) {
            html += "<td>sem linha</td><td class=\"n\"></td><td class=\"n\"></td><td></td>";
            continue;
        }
        html += "<td>" + escapeHtml(record->status) + "</td><td class=\"n\">"
            + (record->objective ? exactNumber(*record->objective) : "") + "</td><td class=\"n\">"
            + (record->solveSeconds ? modelSeconds(*record->solveSeconds) : "") + "</td>";
        const bool wrong = model.verdicts[run] == Verdict::Wrong || record->check == "wrong"
            || record->solutionCheck == "infeasible";
        html += std::string(wrong ? "<td class=\"errado\">" : "<td>") + escapeHtml(verification(*record)) + "</td>";
    }
    return html + "</tr>\n";
}

std::string modelTable(const Comparison& comparison)
{
    std::string html = "<div class=\"rolagem\"><table id=\"modelos\">\n<thead><tr><th></th>";
    for (const ComparedRun& run : comparison.runs)
        html += "<th colspan=\"4\" scope=\"colgroup\">" + escapeHtml(run.label) + "</th>";
    html += "</tr>\n<tr><th scope=\"col\">modelo</th>";
    for (std::size_t run = 0; run < comparison.runs.size(); ++run)
        html += "<th scope=\"col\">status</th><th scope=\"col\" data-tipo=\"n\">objetivo</th>"
                "<th scope=\"col\" data-tipo=\"n\">tempo (s)</th><th scope=\"col\">verificação</th>";
    html += "</tr></thead>\n<tbody>\n";
    std::vector<bool> disagreed(comparison.models.size());
    for (const Disagreement& disagreement : comparison.disagreements)
        disagreed[disagreement.model] = true;
    for (std::size_t index = 0; index < comparison.models.size(); ++index)
        html += modelRow(comparison, comparison.models[index], disagreed[index]);
    return html + "</tbody>\n</table></div>\n";
}

}  // namespace

std::string escapeHtml(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string comparePage(const Comparison& comparison)
{
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"pt\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
        "script-src 'unsafe-inline'\">\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>Comparação de runs</title>\n<style>"
        + std::string(kStyle) + "</style>\n</head>\n<body>\n<h1>Comparação de runs</h1>\n<ul id=\"runs\">\n";
    for (std::size_t run = 0; run < comparison.runs.size(); ++run)
        html += "<li><b>" + escapeHtml(comparison.runs[run].label) + "</b>: " + escapeHtml(comparison.runs[run].source)
            + " (" + std::to_string(comparison.statistics[run].rows) + " modelos)</li>\n";
    html += "</ul>\n<h2>Resumo</h2>\n" + summarySection(comparison);
    html += listSection("divergencias", "Divergências", disagreementLines(comparison));
    html += listSection("erradas", "Respostas erradas", wrongAnswerLines(comparison));
    html += "<h2>Perfil de desempenho</h2>\n" + profileFigure(comparison);
    if (comparison.runs.size() == 2)
        html += "<h2>Tempos: " + escapeHtml(comparison.runs[0].label) + " × " + escapeHtml(comparison.runs[1].label)
            + "</h2>\n" + scatterFigure(comparison);
    html += "<h2>Modelos</h2>\n<p class=\"nota\">Clique num título de coluna para ordenar. ≠: os runs divergem no "
            "modelo; sublinhado: resposta errada.</p>\n"
        + modelTable(comparison);
    return html + "<script>" + kScript + "</script>\n</body>\n</html>\n";
}
