#pragma once

#include <string>
#include <vector>

#include "report/compare/Comparison.h"

// The texts of a comparison that the terminal and the page share, so that both show the
// same numbers: the table with one row per run, the notes under it, the wins of each pair,
// the virtual best, the disagreements and the wrong answers (Portuguese, a decimal point).

struct SummaryTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;  // one per run, cells as the header
};

SummaryTable summaryTable(const Comparison& comparison);
// What the table's columns count and how the means are taken, a sentence a line.
std::vector<std::string> summaryNotes(const Comparison& comparison);
// The heading of the wins, then one line per pair of runs ("a × b: a 2, b 0"); none for one run.
std::vector<std::string> pairLines(const Comparison& comparison);
std::string virtualBestLine(const Comparison& comparison);
// "m.lp: ótimos diferentes: a 12, b 13", one per disagreement.
std::vector<std::string> disagreementLines(const Comparison& comparison);
// "m.lp em b: check wrong", one per wrong answer.
std::vector<std::string> wrongAnswerLines(const Comparison& comparison);

// Seconds and ratios as the table writes them: "12.345", "0.50".
std::string secondsCell(double seconds);
std::string ratioCell(double ratio);

// The whole report for the terminal: the table with its columns aligned, the notes, the
// pairs, the virtual best, the disagreements and the wrong answers.
std::string terminalText(const Comparison& comparison);
