#pragma once

// What the fault tests share: the program's fixed texts, small models with known optima,
// and a strict reader of the results file.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Models.h"
#include "Process.h"

inline const std::string kPrompt = "Lumbrix> ";
inline const std::string kAskVerbose = "Imprimir log do solver? (s/n)> ";
inline const std::string kAskTimeLimit = "Digite o tempo máximo para resolução dos modelos (seg)> ";
inline const std::string kAskModels = "Digite o caminho da pasta de arquivos .lp> ";
inline const std::string kAskOutput = "Digite o caminho da pasta para gerar o output> ";
inline const std::string kBadModels = "Pasta de .lps inexistente ou inválida...\n";
inline const std::string kBadOutput = "Pasta de output inexistente ou inválida...\n";
inline const std::string kRule = std::string(70, '-') + "\n";
inline const std::string kUnknownCommand = "Comando não reconhecido. Para ver os comandos digite 'help'\n";
inline const std::string kBye = "Saindo do shell...\n";
inline const std::string kHeader = "SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR\r\n";
inline const std::string kOptimal = "SOL OTIMA";
inline const std::string kReadError = "ERRO DE LEITURA";
inline const std::string kTimeLimit = "PROCESSO INTERROMPIDO - LIMITE DE TEMPO";

// An LP whose optimum is `optimum` (a whole number, 0 or more).
std::string lpWithOptimum(int optimum);
// A MIP whose optimum is `optimum`: the LP relaxation's is half a unit more.
std::string mipWithOptimum(int optimum);
// Not a model: the reader must refuse it.
std::string brokenModel();
// What the engine says on reading lpWithOptimum and mipWithOptimum, whatever the verbosity.
extern const std::string kLpReadLog;
extern const std::string kMipReadLog;
extern const std::string kHardReadLog;

// The console up to the first model of "verbose n [time_limit t] opt <models> <output>".
std::string quietStart(bool withTimeLimit = false);
// Runs the program with that input as the unprivileged user nobody (when run as root), so
// that permissions hold; exit code 125 when privileges cannot be dropped.
ProcessResult runAsNobody(const std::string& input);

std::string quietOpt(const std::string& models, const std::string& output, const std::string& timeLimit = "");

// Console lines of one entry: banner, the engine's reading log, and the report.
std::string bannerOf(std::size_t number);
std::string solvedBlock(std::size_t number, const std::string& name, const std::string& status,
                        const std::string& readLog);
std::string unreadBlock(std::size_t number, const std::string& name);
// The solver's times vary; "TEMPO: <number>" becomes "TEMPO: T".
std::string withoutTimes(const std::string& console);
// The number of reports whose STATUS line has reached the console in full.
std::size_t completeReports(const std::string& console);

using CsvRecord = std::vector<std::string>;

// Reads the results file as RFC 4180 records with ';' between fields and CR LF after every
// record. False, with the reason, when anything is out of shape: a record without its
// CR LF, a stray quote, a lone CR or LF outside quotes.
bool parseResultsFile(const std::string& text, std::vector<CsvRecord>& records, std::string& problem);
// The details file likewise: ',' between fields, LF after every record.
bool parseDetailsFile(const std::string& text, std::vector<CsvRecord>& records, std::string& problem);
inline const std::string kDetailsHeader =
    "model,solver,solver_version,status,objective,dual_bound,gap,nodes,lp_iterations,solve_seconds,read_seconds,"
    "wall_seconds,peak_memory_mb,time_limit,memory_limit,jobs,host,started_at,lumbrix_version,check,"
    "solution_check,max_violation,violated,objective_recomputed,check_seconds,settings\n";

// A row as the program writes it: "SCIP", the name, the solving time ("-" when the model
// was not solved), the status, the objective ("-" likewise) and the reading time.
struct ExpectedRow {
    std::string name;
    std::string status;
    std::string objective;  // "-" for a model that was not solved
};
// The objective of a model stopped by its limit: any row number.
inline const std::string kAnyNumber = "#";
// Empty when the record is that row; otherwise what differs.
std::string rowMismatch(const CsvRecord& record, const ExpectedRow& expected);

// The header and then exactly these rows (times checked for their form only).
::testing::AssertionResult holdsRows(const std::string& fileText, const std::vector<ExpectedRow>& expected);

// Names of the entries of a folder, sorted, "." and ".." left out.
std::vector<std::string> folderEntries(const std::string& folder);
