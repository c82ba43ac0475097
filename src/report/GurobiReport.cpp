#include "report/GurobiReport.h"

#include <iostream>
#include <optional>

#include "backends/gurobi/GRBException.h"
#include "backends/gurobi/GurobiModel.h"
#include "report/Formats.h"
#include "report/ModelReport.h"
#include "report/ResultRows.h"

namespace {

std::optional<int> tryIntAttribute(GurobiModel& model, IntAttr attribute)
{
    try {
        return model.intAttribute(attribute);
    } catch (const GRBException&) {
        return std::nullopt;
    }
}

std::string consoleValue(const std::optional<double>& value)
{
    return value ? consoleNumber(*value) : "-";
}

std::string rowValue(const std::optional<double>& value)
{
    return value ? rowNumber(*value) : "-";
}

}  // namespace

std::optional<double> tryDoubleAttribute(GurobiModel& model, DoubleAttr attribute)
{
    try {
        return model.doubleAttribute(attribute);
    } catch (const GRBException&) {
        return std::nullopt;
    }
}

const char* gurobiStatusText(int status)
{
    switch (status) {
    case 2:
        return "SOL OTIMA";
    case 3:
        return "PROBLEMA INFACTIVEL";
    case 4:
        return "PROBLEMA ILIMITADO OU INFACTIVEL";
    case 5:
        return "PROBLEMA ILIMITADO";
    case 6:
        return "LIMITE DE CORTE";
    case 7:
        return "PROCESSO INTERROMPIDO - LIMITE DE ITERACOES";
    case 8:
        return "PROCESSO INTERROMPIDO - LIMITE DE NOS";
    case 9:
        return "PROCESSO INTERROMPIDO - LIMITE DE TEMPO";
    case 10:
        return "PROCESSO INTERROMPIDO - LIMITE DE SOLUCOES";
    case 11:
        return "PROCESSO INTERROMPIDO - USUARIO";
    case 12:
        return "ERRO NUMERICO";
    case 13:
        return "SOLUCAO SUBOTIMA";
    case 15:
        return "LIMITE DE OBJETIVO";
    case 16:
        return "PROCESSO INTERROMPIDO - LIMITE DE TRABALHO";
    case 17:
        return "PROCESSO INTERROMPIDO - LIMITE DE MEMORIA";
    default:
        return "STATUS DESCONHECIDO";
    }
}

void reportGurobiResult(GurobiModel& model, std::string path, bool outOfMemory)
{
    const std::string name = modelName(path);
    std::cout << "NOME: " << name << '\n';
    if (outOfMemory) {
        g_resultRows.emplace_back(makeResultRow(name, "-", "SEM MEMORIA", "-"));
        return;
    }
    const std::optional<int> status = tryIntAttribute(model, IntAttr::Status);
    const std::optional<double> objective = tryDoubleAttribute(model, DoubleAttr::ObjVal);
    const std::optional<double> runtime = tryDoubleAttribute(model, DoubleAttr::Runtime);
    std::cout << "TEMPO: " << consoleValue(runtime) << '\n';
    // A status the library does not give is as unknown as one outside the table.
    const char* const outcome = gurobiStatusText(status.value_or(0));
    std::cout << "STATUS: " << outcome << '\n';
    g_resultRows.emplace_back(makeResultRow(name, rowValue(runtime), outcome, rowValue(objective)));
}
