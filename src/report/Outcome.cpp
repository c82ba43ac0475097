#include "report/Outcome.h"

#include <array>

namespace {

using enum ModelStatus;
constexpr ReportLines kFull = ReportLines::NameTimeStatus;
constexpr ReportLines kUnsolved = ReportLines::NameStatus;

constexpr std::array kTable{
    StatusInfo{Optimal, "SOL OTIMA", "optimal", false, false, kFull},
    StatusInfo{Infeasible, "PROBLEMA INFACTIVEL", "infeasible", false, false, kFull},
    StatusInfo{Unbounded, "PROBLEMA ILIMITADO", "unbounded", false, false, kFull},
    StatusInfo{InfeasibleOrUnbounded, "PROBLEMA ILIMITADO OU INFACTIVEL", "infeasible_or_unbounded", false, false,
               kFull},
    StatusInfo{TimeLimit, "PROCESSO INTERROMPIDO - LIMITE DE TEMPO", "time_limit", false, false, kFull},
    StatusInfo{HardTimeLimit, "PROCESSO INTERROMPIDO - LIMITE DE TEMPO", "time_limit", false, false, kFull},
    StatusInfo{MemoryLimit, "PROCESSO INTERROMPIDO - LIMITE DE MEMORIA", "memory_limit", false, false, kFull},
    StatusInfo{OutOfMemory, "SEM MEMORIA", "memory_limit", false, true, kUnsolved},
    StatusInfo{NodeLimit, "PROCESSO INTERROMPIDO - LIMITE DE NOS", "node_limit", false, false, kFull},
    StatusInfo{GapLimit, "PROCESSO INTERROMPIDO - LIMITE DE GAP", "other", false, false, kFull},
    StatusInfo{SolutionLimit, "PROCESSO INTERROMPIDO - LIMITE DE SOLUCOES", "other", false, false, kFull},
    StatusInfo{RestartLimit, "PROCESSO INTERROMPIDO - LIMITE DE REINICIOS", "other", false, false, kFull},
    StatusInfo{ObjectiveLimit, "PROCESSO INTERROMPIDO - LIMITE DE OBJETIVO", "other", false, false, kFull},
    StatusInfo{UserObjectiveLimit, "LIMITE DE OBJETIVO", "other", false, false, kFull},
    StatusInfo{Cutoff, "LIMITE DE CORTE", "other", false, false, kFull},
    StatusInfo{IterationLimit, "PROCESSO INTERROMPIDO - LIMITE DE ITERACOES", "other", false, false, kFull},
    StatusInfo{WorkLimit, "PROCESSO INTERROMPIDO - LIMITE DE TRABALHO", "other", false, false, kFull},
    StatusInfo{UserInterrupt, "PROCESSO INTERROMPIDO - USUARIO", "interrupted", false, false, kFull},
    StatusInfo{Terminated, "PROCESSO INTERROMPIDO - SINAL DE TERMINO", "interrupted", false, false, kFull},
    StatusInfo{NumericError, "ERRO NUMERICO", "other", false, true, kFull},
    StatusInfo{Suboptimal, "SOLUCAO SUBOTIMA", "other", false, false, kFull},
    StatusInfo{Unknown, "STATUS DESCONHECIDO", "other", false, false, kFull},
    StatusInfo{ReadError, "ERRO DE LEITURA", "read_error", true, true, kUnsolved},
    StatusInfo{SolverError, "ERRO DO SOLVER", "solver_error", true, true, kFull},
    StatusInfo{Crashed, "ERRO DO SOLVER", "crashed", true, true, kFull},
};

constexpr bool inEnumOrder()
{
    for (std::size_t i = 0; i < kTable.size(); ++i)
        if (static_cast<std::size_t>(kTable[i].status) != i)
            return false;
    return static_cast<std::size_t>(Crashed) + 1 == kTable.size();
}
static_assert(inEnumOrder(), "one line per status, in the order of ModelStatus");

constexpr const char* kCodes[] = {"optimal",      "infeasible",   "unbounded",   "infeasible_or_unbounded",
                                  "time_limit",   "memory_limit", "node_limit",  "interrupted",
                                  "read_error",   "solver_error", "crashed",     "other"};

}  // namespace

std::span<const StatusInfo> statusTable()
{
    return kTable;
}

const StatusInfo& statusInfo(ModelStatus status)
{
    return kTable[static_cast<std::size_t>(status)];
}

std::optional<ModelStatus> statusAt(long long index)
{
    if (index < 0 || index >= static_cast<long long>(kTable.size()))
        return std::nullopt;
    return kTable[static_cast<std::size_t>(index)].status;
}

const char* statusText(ModelStatus status)
{
    return statusInfo(status).text;
}

const char* statusCode(ModelStatus status)
{
    return statusInfo(status).code;
}

bool isFailure(ModelStatus status)
{
    return statusInfo(status).failure;
}

std::span<const char* const> statusCodes()
{
    return kCodes;
}

ReportLines reportLines(const ModelOutcome& outcome)
{
    return outcome.lines.value_or(statusInfo(outcome.status).lines);
}

const char* solutionCheckCode(SolutionCheck check)
{
    switch (check) {
    case SolutionCheck::Feasible:
        return "feasible";
    case SolutionCheck::Infeasible:
        return "infeasible";
    case SolutionCheck::NoSolution:
        return "no_solution";
    case SolutionCheck::NotChecked:
        return "not_checked";
    }
    return "";
}
