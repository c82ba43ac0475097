#pragma once

// The part of the Gurobi C library's published interface that the program calls, as
// function types, so that the functions can be looked up in a library loaded at run time.

extern "C" {

struct GRBenv;
struct GRBmodel;

typedef int GRBcallback(GRBmodel* model, void* cbdata, int where, void* usrdata);
typedef void GRBlogcallback(char* msg, void* logdata);

// The argument list of versions 10 to 12.
typedef int GRBloadenvadvFunction(GRBenv** envP, const char* logfilename, int apitype, int major, int minor,
                                  int tech, const char* server, const char* router, const char* password,
                                  const char* group, int priority, int idletimeout, const char* cloudaccessid,
                                  const char* cloudsecretkey, GRBcallback* cb, void* usrdata,
                                  GRBlogcallback* logcb, void* logdata);
typedef void GRBfreeenvFunction(GRBenv* env);
typedef int GRBsetdblparamFunction(GRBenv* env, const char* paramname, double value);
typedef int GRBsetintparamFunction(GRBenv* env, const char* paramname, int value);
typedef int GRBsetstrparamFunction(GRBenv* env, const char* paramname, const char* value);
typedef int GRBgetparamtypeFunction(GRBenv* env, const char* paramname);
typedef int GRBreadparamsFunction(GRBenv* env, const char* filename);
typedef int GRBstartenvFunction(GRBenv* env);
typedef int GRBreadmodelFunction(GRBenv* env, const char* filename, GRBmodel** modelP);
typedef GRBenv* GRBgetenvFunction(GRBmodel* model);
typedef int GRBprefetchattrFunction(GRBmodel* model, const char* attrname);
typedef int GRBgetintattrFunction(GRBmodel* model, const char* attrname, int* valueP);
typedef int GRBgetdblattrFunction(GRBmodel* model, const char* attrname, double* valueP);
typedef int GRBgetdblattrarrayFunction(GRBmodel* model, const char* attrname, int start, int len, double* values);
typedef int GRBgetstrattrarrayFunction(GRBmodel* model, const char* attrname, int start, int len, char** values);
typedef int GRBupdatemodelFunction(GRBmodel* model);
typedef int GRBoptimizeFunction(GRBmodel* model);
typedef const char* GRBgeterrormsgFunction(GRBenv* env);
typedef int GRBfreemodelFunction(GRBmodel* model);
typedef void GRBversionFunction(int* majorP, int* minorP, int* technicalP);

}  // extern "C"

// The library's functions, found by name in the loaded library.
struct GurobiFunctions {
    GRBloadenvadvFunction* loadenvadv = nullptr;
    GRBfreeenvFunction* freeenv = nullptr;
    GRBsetdblparamFunction* setdblparam = nullptr;
    GRBsetintparamFunction* setintparam = nullptr;
    GRBsetstrparamFunction* setstrparam = nullptr;
    GRBgetparamtypeFunction* getparamtype = nullptr;
    GRBreadparamsFunction* readparams = nullptr;
    GRBstartenvFunction* startenv = nullptr;
    GRBreadmodelFunction* readmodel = nullptr;
    GRBgetenvFunction* getenv = nullptr;
    GRBprefetchattrFunction* prefetchattr = nullptr;
    GRBgetintattrFunction* getintattr = nullptr;
    GRBgetdblattrFunction* getdblattr = nullptr;
    GRBgetdblattrarrayFunction* getdblattrarray = nullptr;
    GRBgetstrattrarrayFunction* getstrattrarray = nullptr;
    GRBupdatemodelFunction* updatemodel = nullptr;
    GRBoptimizeFunction* optimize = nullptr;
    GRBgeterrormsgFunction* geterrormsg = nullptr;
    GRBfreemodelFunction* freemodel = nullptr;
    GRBversionFunction* version = nullptr;
};
