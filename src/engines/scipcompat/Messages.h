#pragma once

#include <scip/scip.h>

// An error message the way SCIP writes its own: "[file:line] ERROR: " and the text.
#define COMPAT_ERROR_MESSAGE(...) \
    (SCIPmessagePrintErrorHeader(__FILE_NAME__, __LINE__), SCIPmessagePrintError(__VA_ARGS__))
