#include "convert/ConvertModFolder.h"

// Placeholder until the conversion lands.
void convertModFolder() {}
