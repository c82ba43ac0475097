#include "report/Outcome.h"

const char* statusText(ModelStatus status)
{
    switch (status) {
    case ModelStatus::Optimal:
        return "SOL OTIMA";
    case ModelStatus::Infeasible:
        return "PROBLEMA INFACTIVEL";
    case ModelStatus::Unbounded:
        return "PROBLEMA ILIMITADO";
    case ModelStatus::InfeasibleOrUnbounded:
        return "PROBLEMA ILIMITADO OU INFACTIVEL";
    case ModelStatus::TimeLimit:
    case ModelStatus::HardTimeLimit:
        return "PROCESSO INTERROMPIDO - LIMITE DE TEMPO";
    case ModelStatus::MemoryLimit:
        return "PROCESSO INTERROMPIDO - LIMITE DE MEMORIA";
    case ModelStatus::OutOfMemory:
        return "SEM MEMORIA";
    case ModelStatus::NodeLimit:
        return "PROCESSO INTERROMPIDO - LIMITE DE NOS";
    case ModelStatus::GapLimit:
        return "PROCESSO INTERROMPIDO - LIMITE DE GAP";
    case ModelStatus::SolutionLimit:
        return "PROCESSO INTERROMPIDO - LIMITE DE SOLUCOES";
    case ModelStatus::RestartLimit:
        return "PROCESSO INTERROMPIDO - LIMITE DE REINICIOS";
    case ModelStatus::ObjectiveLimit:
        return "PROCESSO INTERROMPIDO - LIMITE DE OBJETIVO";
    case ModelStatus::UserObjectiveLimit:
        return "LIMITE DE OBJETIVO";
    case ModelStatus::Cutoff:
        return "LIMITE DE CORTE";
    case ModelStatus::IterationLimit:
        return "PROCESSO INTERROMPIDO - LIMITE DE ITERACOES";
    case ModelStatus::WorkLimit:
        return "PROCESSO INTERROMPIDO - LIMITE DE TRABALHO";
    case ModelStatus::UserInterrupt:
        return "PROCESSO INTERROMPIDO - USUARIO";
    case ModelStatus::Terminated:
        return "PROCESSO INTERROMPIDO - SINAL DE TERMINO";
    case ModelStatus::NumericError:
        return "ERRO NUMERICO";
    case ModelStatus::Suboptimal:
        return "SOLUCAO SUBOTIMA";
    case ModelStatus::ReadError:
        return "ERRO DE LEITURA";
    case ModelStatus::SolverError:
    case ModelStatus::Crashed:
        return "ERRO DO SOLVER";
    case ModelStatus::Unknown:
        break;
    }
    return "STATUS DESCONHECIDO";
}
