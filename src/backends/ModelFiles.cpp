#include "backends/ModelFiles.h"

bool isModelFile(std::string_view name)
{
    return name.ends_with("lp");
}

std::string_view modelStem(std::string_view fileName)
{
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
}
