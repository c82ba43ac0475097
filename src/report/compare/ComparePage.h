#pragma once

#include <string>

#include "report/compare/Comparison.h"

// The comparison as one HTML page that needs nothing from elsewhere (styles, a small script
// and the pictures are inline; a content security policy forbids any load): the runs
// compared, the summary table with its notes, the wins of each pair, the virtual best, the
// disagreements and wrong answers, the performance profile (inline SVG, one polyline of class
// "run" per run), for exactly two runs a log-log scatter of their times, and the per-model
// table, which the script makes sortable by any column and which reads as well without it.
// Lines differ by dash pattern and marker as well as colour, so that the page prints in grey.
std::string comparePage(const Comparison& comparison);

// Text made safe for HTML content and attribute values.
std::string escapeHtml(const std::string& text);
