#include "report/ScipReport.h"

#include <iostream>

#include "report/Formats.h"
#include "report/ModelReport.h"
#include "report/ResultRows.h"

const char* scipStatusText(SCIP_STATUS status)
{
    switch (status) {
    case SCIP_STATUS_OPTIMAL:
        return "SOL OTIMA";
    case SCIP_STATUS_TIMELIMIT:
        return "PROCESSO INTERROMPIDO - LIMITE DE TEMPO";
    case SCIP_STATUS_INFEASIBLE:
        return "PROBLEMA INFACTIVEL";
    case SCIP_STATUS_UNBOUNDED:
        return "PROBLEMA ILIMITADO";
    case SCIP_STATUS_INFORUNBD:
        return "PROBLEMA ILIMITADO OU INFACTIVEL";
    case SCIP_STATUS_USERINTERRUPT:
        return "PROCESSO INTERROMPIDO - USUARIO";
    case SCIP_STATUS_NODELIMIT:
    case SCIP_STATUS_TOTALNODELIMIT:
    case SCIP_STATUS_STALLNODELIMIT:
        return "PROCESSO INTERROMPIDO - LIMITE DE NOS";
    case SCIP_STATUS_MEMLIMIT:
        return "PROCESSO INTERROMPIDO - LIMITE DE MEMORIA";
    case SCIP_STATUS_GAPLIMIT:
        return "PROCESSO INTERROMPIDO - LIMITE DE GAP";
    case SCIP_STATUS_SOLLIMIT:
    case SCIP_STATUS_BESTSOLLIMIT:
        return "PROCESSO INTERROMPIDO - LIMITE DE SOLUCOES";
    case SCIP_STATUS_RESTARTLIMIT:
        return "PROCESSO INTERROMPIDO - LIMITE DE REINICIOS";
    case SCIP_STATUS_PRIMALLIMIT:
    case SCIP_STATUS_DUALLIMIT:
        return "PROCESSO INTERROMPIDO - LIMITE DE OBJETIVO";
    case SCIP_STATUS_TERMINATE:
        return "PROCESSO INTERROMPIDO - SINAL DE TERMINO";
    default:
        return "STATUS DESCONHECIDO";
    }
}

void reportScipResult(SCIP* scip, std::string path)
{
    const std::string name = modelName(path);
    std::cout << "NOME: " << name << '\n';
    const SCIP_STATUS status = SCIPgetStatus(scip);
    const double solvingTime = SCIPgetSolvingTime(scip);
    std::cout << "TEMPO: " << consoleNumber(solvingTime) << '\n';
    const char* const outcome = scipStatusText(status);
    std::cout << "STATUS: " << outcome << '\n';
    const double primalBound = SCIPgetPrimalbound(scip);
    g_resultRows.emplace_back(makeResultRow(name, rowNumber(solvingTime), outcome, rowNumber(primalBound)));
}
