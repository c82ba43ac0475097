#include <cerrno>
#include <cfloat>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <scip/scip.h>

#include "engines/scipcompat/Instance.h"
#include "engines/scipcompat/Messages.h"

// A parameter the engine knows: SCIP's name, type and range, and where the value is kept.
struct SCIP_Param {
    const char* name;
    SCIP_PARAMTYPE type;
    double min;  // integer ranges fit a double closely enough to tell in from out
    double max;
    void* (*slot)(Scip& scip);  // a pointer to the value, of the parameter's type
};

namespace {

// Only what the engine honours; every other parameter of SCIP's is unknown here, so that a
// setting never goes silently unused. The random seed is not among them: GLPK's search makes
// no random choices, so a seed would change nothing.
const SCIP_Param kParameters[] = {
    {"limits/time", SCIP_PARAMTYPE_REAL, 0.0, kScipInfinity, [](Scip& s) -> void* { return &s.timeLimit; }},
    {"limits/memory", SCIP_PARAMTYPE_REAL, 0.0, kMemoryLimitMax, [](Scip& s) -> void* { return &s.memoryLimit; }},
    {"limits/gap", SCIP_PARAMTYPE_REAL, 0.0, DBL_MAX, [](Scip& s) -> void* { return &s.limits.gap; }},
    {"limits/absgap", SCIP_PARAMTYPE_REAL, 0.0, DBL_MAX, [](Scip& s) -> void* { return &s.limits.absoluteGap; }},
    {"limits/nodes", SCIP_PARAMTYPE_LONGINT, -1.0, static_cast<double>(LLONG_MAX),
     [](Scip& s) -> void* { return &s.limits.nodes; }},
    {"limits/solutions", SCIP_PARAMTYPE_INT, -1.0, INT_MAX, [](Scip& s) -> void* { return &s.limits.solutions; }},
};

const char* typeName(SCIP_PARAMTYPE type)
{
    static const char* const kNames[] = {"Bool", "int", "Longint", "Real", "char", "string"};
    return kNames[type];
}

const SCIP_Param* findParameter(const char* name)
{
    for (const SCIP_Param& parameter : kParameters)
        if (std::strcmp(parameter.name, name) == 0)
            return &parameter;
    return nullptr;
}

// The parameter `name` of type `type`, or null with SCIP's message and `code` set.
const SCIP_Param* typedParameter(SCIP* scip, const char* name, SCIP_PARAMTYPE type, SCIP_RETCODE& code)
{
    code = SCIP_INVALIDDATA;
    if (scip == nullptr || name == nullptr) {
        COMPAT_ERROR_MESSAGE("setting a parameter needs a SCIP instance and a parameter name\n");
        return nullptr;
    }
    const SCIP_Param* parameter = findParameter(name);
    if (parameter == nullptr) {
        COMPAT_ERROR_MESSAGE("parameter <%s> unknown\n", name);
        code = SCIP_PARAMETERUNKNOWN;
        return nullptr;
    }
    if (parameter->type != type) {
        COMPAT_ERROR_MESSAGE("wrong parameter type - parameter <%s> has type <%s> instead of <%s>\n", name,
                             typeName(parameter->type), typeName(type));
        code = SCIP_PARAMETERWRONGTYPE;
        return nullptr;
    }
    return parameter;
}

bool inRange(const SCIP_Param* parameter, double value)
{
    return parameter != nullptr && value >= parameter->min && value <= parameter->max;
}

template <typename Value>
SCIP_RETCODE store(SCIP* scip, const char* name, SCIP_PARAMTYPE type, Value value)
{
    SCIP_RETCODE code = SCIP_OKAY;
    const SCIP_Param* parameter = typedParameter(scip, name, type, code);
    if (parameter == nullptr)
        return code;
    if (!inRange(parameter, static_cast<double>(value))) {
        // SCIP's words: "real", "int" and "longint" here, unlike its type names.
        const bool real = type == SCIP_PARAMTYPE_REAL;
        char range[256];
        std::snprintf(range, sizeof range, real ? "<%.15g> for real" : "<%.0f> for %s", static_cast<double>(value),
                      type == SCIP_PARAMTYPE_INT ? "int" : "longint");
        COMPAT_ERROR_MESSAGE(real ? "Invalid value %s parameter <%s>. Must be in range [%.15g,%.15g].\n"
                                  : "Invalid value %s parameter <%s>. Must be in range [%.0f,%.0f].\n",
                             range, name, parameter->min, parameter->max);
        return SCIP_PARAMETERWRONGVAL;
    }
    *static_cast<Value*>(parameter->slot(*scip)) = value;
    return SCIP_OKAY;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The value of a .set line, read whole for the parameter's type and then set; false, with
// nothing set, when the text is no such value.
bool parseAndStore(SCIP* scip, const SCIP_Param& parameter, const std::string& value, SCIP_RETCODE& code)
{
    char* end = nullptr;
    errno = 0;
    const double real = parameter.type == SCIP_PARAMTYPE_REAL ? std::strtod(value.c_str(), &end) : 0.0;
    const long long whole = parameter.type == SCIP_PARAMTYPE_REAL ? 0 : std::strtoll(value.c_str(), &end, 10);
    const bool fits = parameter.type != SCIP_PARAMTYPE_INT || (whole >= INT_MIN && whole <= INT_MAX);
    if (value.empty() || errno != 0 || *end != '\0' || !fits)
        return false;
    if (parameter.type == SCIP_PARAMTYPE_REAL)
        code = SCIPsetRealParam(scip, parameter.name, real);
    else if (parameter.type == SCIP_PARAMTYPE_INT)
        code = SCIPsetIntParam(scip, parameter.name, static_cast<int>(whole));
    else
        code = SCIPsetLongintParam(scip, parameter.name, whole);
    return true;
}

// One line of a .set file: "name = value", optionally "FIX" after the value; '#' starts a
// comment. An unknown name is a warning, as in SCIP.
SCIP_RETCODE readParameterLine(SCIP* scip, std::string line)
{
    line = trimmed(line.substr(0, line.find('#')));
    if (line.empty())
        return SCIP_OKAY;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
        COMPAT_ERROR_MESSAGE("syntax error: expected \"paramname = value\" in <%s>\n", line.c_str());
        return SCIP_READERROR;
    }
    const std::string name = trimmed(line.substr(0, equals));
    std::string value = trimmed(line.substr(equals + 1));
    if (value.size() > 3 && value.ends_with("FIX") && (value[value.size() - 4] == ' ' || value[value.size() - 4] == '\t'))
        value = trimmed(value.substr(0, value.size() - 3));
    const SCIP_Param* parameter = findParameter(name.c_str());
    if (parameter == nullptr) {
        if (scip->logEnabled)
            std::fprintf(stderr, "WARNING: unknown parameter <%s>\n", name.c_str());
        return SCIP_OKAY;
    }
    SCIP_RETCODE code = SCIP_OKAY;
    if (!parseAndStore(scip, *parameter, value, code)) {
        COMPAT_ERROR_MESSAGE("invalid parameter value <%s> for %s parameter <%s>\n", value.c_str(),
                             typeName(parameter->type), name.c_str());
        return SCIP_READERROR;
    }
    return code;
}

}  // namespace

extern "C" SCIP_PARAM* SCIPgetParam(SCIP* scip, const char* name)
{
    if (scip == nullptr || name == nullptr)
        return nullptr;
    return const_cast<SCIP_PARAM*>(findParameter(name));
}

extern "C" SCIP_PARAMTYPE SCIPparamGetType(SCIP_PARAM* param)
{
    return param->type;
}

extern "C" SCIP_RETCODE SCIPsetBoolParam(SCIP* scip, const char* name, SCIP_Bool value)
{
    return store(scip, name, SCIP_PARAMTYPE_BOOL, value);
}

extern "C" SCIP_RETCODE SCIPsetIntParam(SCIP* scip, const char* name, int value)
{
    return store(scip, name, SCIP_PARAMTYPE_INT, value);
}

extern "C" SCIP_RETCODE SCIPsetLongintParam(SCIP* scip, const char* name, SCIP_Longint value)
{
    return store(scip, name, SCIP_PARAMTYPE_LONGINT, value);
}

extern "C" SCIP_RETCODE SCIPsetRealParam(SCIP* scip, const char* name, SCIP_Real value)
{
    return store(scip, name, SCIP_PARAMTYPE_REAL, value);
}

extern "C" SCIP_RETCODE SCIPsetCharParam(SCIP* scip, const char* name, char value)
{
    return store(scip, name, SCIP_PARAMTYPE_CHAR, value);
}

// The engine has no string parameter: the name is unknown or of another type.
extern "C" SCIP_RETCODE SCIPsetStringParam(SCIP* scip, const char* name, const char* /*value*/)
{
    SCIP_RETCODE code = SCIP_OKAY;
    typedParameter(scip, name, SCIP_PARAMTYPE_STRING, code);
    return code;
}

extern "C" SCIP_Bool SCIPisBoolParamValid(SCIP* /*scip*/, SCIP_PARAM* param, SCIP_Bool value)
{
    return param != nullptr && param->type == SCIP_PARAMTYPE_BOOL && (value == TRUE || value == FALSE);
}

extern "C" SCIP_Bool SCIPisIntParamValid(SCIP* /*scip*/, SCIP_PARAM* param, int value)
{
    return inRange(param, value);
}

extern "C" SCIP_Bool SCIPisLongintParamValid(SCIP* /*scip*/, SCIP_PARAM* param, SCIP_Longint value)
{
    return inRange(param, static_cast<double>(value));
}

extern "C" SCIP_Bool SCIPisRealParamValid(SCIP* /*scip*/, SCIP_PARAM* param, SCIP_Real value)
{
    return inRange(param, value);
}

extern "C" SCIP_Bool SCIPisCharParamValid(SCIP* /*scip*/, SCIP_PARAM* /*param*/, const char /*value*/)
{
    return FALSE;
}

extern "C" SCIP_Bool SCIPisStringParamValid(SCIP* /*scip*/, SCIP_PARAM* /*param*/, const char* /*value*/)
{
    return FALSE;
}

extern "C" SCIP_RETCODE SCIPreadParams(SCIP* scip, const char* filename)
{
    if (scip == nullptr || filename == nullptr) {
        COMPAT_ERROR_MESSAGE("SCIPreadParams needs a SCIP instance and a file name\n");
        return SCIP_INVALIDDATA;
    }
    FILE* file = std::fopen(filename, "r");
    if (file == nullptr) {
        COMPAT_ERROR_MESSAGE("cannot open file <%s> for reading\n", filename);
        return SCIP_NOFILE;
    }
    SCIP_RETCODE code = SCIP_OKAY;
    std::string line;
    int lineNumber = 0;
    for (int c = 0; code == SCIP_OKAY && c != EOF;) {
        line.clear();
        while ((c = std::fgetc(file)) != EOF && c != '\n')
            line += static_cast<char>(c);
        ++lineNumber;
        code = readParameterLine(scip, line);
        if (code != SCIP_OKAY)
            COMPAT_ERROR_MESSAGE("input error in file <%s> line %d\n", filename, lineNumber);
    }
    std::fclose(file);
    return code;
}

// Without a handler the instance writes no log; errors still reach standard error.
extern "C" SCIP_RETCODE SCIPsetMessagehdlr(SCIP* scip, SCIP_MESSAGEHDLR* messagehdlr)
{
    if (scip == nullptr) {
        COMPAT_ERROR_MESSAGE("SCIPsetMessagehdlr needs a SCIP instance\n");
        return SCIP_INVALIDDATA;
    }
    scip->logEnabled = messagehdlr != nullptr;
    return SCIP_OKAY;
}
