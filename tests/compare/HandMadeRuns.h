#pragma once

// Two runs made by hand for the comparison's tests, as opt writes them, with the statistics
// worked out in CompareStatisticsTest.cpp.

#include <string>

#include "report/DetailsFile.h"

// A details row as opt writes it; the fields a comparison reads are given, the solution
// check's columns and the settings are empty.
inline std::string detailsLine(const std::string& model, const std::string& status, const std::string& objective,
                               const std::string& dual, const std::string& seconds, const std::string& timeLimit,
                               const std::string& check)
{
    return model + ",SCIP,SCIP 9.2.2," + status + "," + objective + "," + dual + ",,,," + seconds + ",0.001," + seconds
        + ",," + timeLimit + ",,1,nó-1,2026-12-08T10:00:00Z,3.0," + check + ",,,,,,\n";
}

// The faster run, with a time-out (d.lp), time limit 150 s.
inline std::string fastRun()
{
    return std::string(kDetailsFileHeader) + detailsLine("a.lp", "optimal", "10", "10", "0", "150", "ok")
        + detailsLine("b.lp", "optimal", "20", "20", "10", "150", "ok")
        + detailsLine("c.lp", "infeasible", "", "", "1", "150", "ok")
        + detailsLine("d.lp", "time_limit", "7", "5", "150.2", "150", "unknown")
        + detailsLine("e.lp", "optimal", "3", "3", "30", "150", "");
}

// The slower run, with a wrong answer (b.lp), an optimum below the other's dual bound (d.lp)
// and an infeasible model the other solved (e.lp), time limit 150 s.
inline std::string slowRun()
{
    return std::string(kDetailsFileHeader) + detailsLine("a.lp", "optimal", "10", "10", "10", "150", "ok")
        + detailsLine("b.lp", "optimal", "21", "21", "30", "150", "wrong")
        + detailsLine("c.lp", "infeasible", "", "", "1.4", "150", "ok")
        + detailsLine("d.lp", "optimal", "4", "4", "70", "150", "unknown")
        + detailsLine("e.lp", "infeasible", "", "", "0", "150", "");
}

// What `lumbrix compare` prints for fastRun() labelled "rapido" against slowRun() "lento".
inline const std::string kHandMadeTable =
    "run     modelos  resolvidos  limite  falhas  errados  MGD (s)  MGD comuns (s)  razão\n"
    "rapido        5           4       1       0        0   16.898           6.386   1.00\n"
    "lento         5           4       0       0        1   21.119           3.162   0.50\n";
