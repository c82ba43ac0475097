/* The part of SCIP's C interface that Lumbrix uses, with SCIP 9's names, signatures,
 * enumeration values and return codes, served by an engine built on GLPK. Only CPLEX LP
 * files can be read, and only the parameters listed in Parameters.cpp are known. */
#ifndef LUMBRIX_SCIPCOMPAT_SCIP_H
#define LUMBRIX_SCIPCOMPAT_SCIP_H

#ifdef __cplusplus
extern "C" {
#endif

typedef double SCIP_Real;
typedef unsigned int SCIP_Bool;
#define SCIP_Longint long long

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define SCIP_INVALID 1e+99

enum SCIP_Retcode
{
   SCIP_OKAY               =  +1,
   SCIP_ERROR              =   0,
   SCIP_NOMEMORY           =  -1,
   SCIP_READERROR          =  -2,
   SCIP_WRITEERROR         =  -3,
   SCIP_NOFILE             =  -4,
   SCIP_FILECREATEERROR    =  -5,
   SCIP_LPERROR            =  -6,
   SCIP_NOPROBLEM          =  -7,
   SCIP_INVALIDCALL        =  -8,
   SCIP_INVALIDDATA        =  -9,
   SCIP_INVALIDRESULT      = -10,
   SCIP_PLUGINNOTFOUND     = -11,
   SCIP_PARAMETERUNKNOWN   = -12,
   SCIP_PARAMETERWRONGTYPE = -13,
   SCIP_PARAMETERWRONGVAL  = -14,
   SCIP_KEYALREADYEXISTING = -15,
   SCIP_MAXDEPTHLEVEL      = -16,
   SCIP_BRANCHERROR        = -17,
   SCIP_NOTIMPLEMENTED     = -18
};
typedef enum SCIP_Retcode SCIP_RETCODE;

enum SCIP_Status
{
   SCIP_STATUS_UNKNOWN        =  0,
   SCIP_STATUS_USERINTERRUPT  =  1,
   SCIP_STATUS_NODELIMIT      =  2,
   SCIP_STATUS_TOTALNODELIMIT =  3,
   SCIP_STATUS_STALLNODELIMIT =  4,
   SCIP_STATUS_TIMELIMIT      =  5,
   SCIP_STATUS_MEMLIMIT       =  6,
   SCIP_STATUS_GAPLIMIT       =  7,
   SCIP_STATUS_SOLLIMIT       =  8,
   SCIP_STATUS_BESTSOLLIMIT   =  9,
   SCIP_STATUS_RESTARTLIMIT   = 10,
   SCIP_STATUS_OPTIMAL        = 11,
   SCIP_STATUS_INFEASIBLE     = 12,
   SCIP_STATUS_UNBOUNDED      = 13,
   SCIP_STATUS_INFORUNBD      = 14,
   SCIP_STATUS_TERMINATE      = 15,
   SCIP_STATUS_PRIMALLIMIT    = 16,
   SCIP_STATUS_DUALLIMIT      = 17
};
typedef enum SCIP_Status SCIP_STATUS;

enum SCIP_Objsense
{
   SCIP_OBJSENSE_MAXIMIZE = -1,
   SCIP_OBJSENSE_MINIMIZE = +1
};
typedef enum SCIP_Objsense SCIP_OBJSENSE;

enum SCIP_ParamType
{
   SCIP_PARAMTYPE_BOOL    = 0,
   SCIP_PARAMTYPE_INT     = 1,
   SCIP_PARAMTYPE_LONGINT = 2,
   SCIP_PARAMTYPE_REAL    = 3,
   SCIP_PARAMTYPE_CHAR    = 4,
   SCIP_PARAMTYPE_STRING  = 5
};
typedef enum SCIP_ParamType SCIP_PARAMTYPE;

typedef struct Scip SCIP;
typedef struct SCIP_Param SCIP_PARAM;
typedef struct SCIP_Messagehdlr SCIP_MESSAGEHDLR;
typedef struct SCIP_Var SCIP_VAR;
typedef struct SCIP_Sol SCIP_SOL;

SCIP_RETCODE SCIPcreate(SCIP** scip);
SCIP_RETCODE SCIPfree(SCIP** scip);
SCIP_RETCODE SCIPcreateProbBasic(SCIP* scip, const char* name);
SCIP_RETCODE SCIPreadProb(SCIP* scip, const char* filename, const char* extension);
SCIP_PARAM* SCIPgetParam(SCIP* scip, const char* name);
SCIP_PARAMTYPE SCIPparamGetType(SCIP_PARAM* param);
SCIP_RETCODE SCIPsetBoolParam(SCIP* scip, const char* name, SCIP_Bool value);
SCIP_RETCODE SCIPsetIntParam(SCIP* scip, const char* name, int value);
SCIP_RETCODE SCIPsetLongintParam(SCIP* scip, const char* name, SCIP_Longint value);
SCIP_RETCODE SCIPsetRealParam(SCIP* scip, const char* name, SCIP_Real value);
SCIP_RETCODE SCIPsetCharParam(SCIP* scip, const char* name, char value);
SCIP_RETCODE SCIPsetStringParam(SCIP* scip, const char* name, const char* value);
SCIP_Bool SCIPisBoolParamValid(SCIP* scip, SCIP_PARAM* param, SCIP_Bool value);
SCIP_Bool SCIPisIntParamValid(SCIP* scip, SCIP_PARAM* param, int value);
SCIP_Bool SCIPisLongintParamValid(SCIP* scip, SCIP_PARAM* param, SCIP_Longint value);
SCIP_Bool SCIPisRealParamValid(SCIP* scip, SCIP_PARAM* param, SCIP_Real value);
SCIP_Bool SCIPisCharParamValid(SCIP* scip, SCIP_PARAM* param, const char value);
SCIP_Bool SCIPisStringParamValid(SCIP* scip, SCIP_PARAM* param, const char* value);
SCIP_RETCODE SCIPreadParams(SCIP* scip, const char* filename);
SCIP_RETCODE SCIPsetMessagehdlr(SCIP* scip, SCIP_MESSAGEHDLR* messagehdlr);
SCIP_RETCODE SCIPsolve(SCIP* scip);

SCIP_OBJSENSE SCIPgetObjsense(SCIP* scip);
SCIP_STATUS SCIPgetStatus(SCIP* scip);
SCIP_Real SCIPgetSolvingTime(SCIP* scip);
SCIP_Real SCIPgetPrimalbound(SCIP* scip);
SCIP_Real SCIPgetDualbound(SCIP* scip);
SCIP_Real SCIPgetGap(SCIP* scip);
SCIP_Longint SCIPgetNNodes(SCIP* scip);
SCIP_Longint SCIPgetNLPIterations(SCIP* scip);
SCIP_Real SCIPinfinity(SCIP* scip);

SCIP_SOL* SCIPgetBestSol(SCIP* scip);
int SCIPgetNOrigVars(SCIP* scip);
SCIP_VAR** SCIPgetOrigVars(SCIP* scip);
const char* SCIPvarGetName(SCIP_VAR* var);
SCIP_Real SCIPgetSolVal(SCIP* scip, SCIP_SOL* sol, SCIP_VAR* var);
SCIP_RETCODE SCIPgetSolVals(SCIP* scip, SCIP_SOL* sol, int nvars, SCIP_VAR** vars, SCIP_Real* vals);

SCIP_Real SCIPversion(void);
int SCIPmajorVersion(void);
int SCIPminorVersion(void);
int SCIPtechVersion(void);

void SCIPmessagePrintErrorHeader(const char* sourcefile, int sourceline);
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void SCIPmessagePrintError(const char* formatstr, ...);

#ifdef __cplusplus
}
#endif

#endif
