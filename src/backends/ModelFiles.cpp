#include "backends/ModelFiles.h"

namespace {

std::string_view withoutCompression(std::string_view name)
{
    for (const std::string_view suffix : {std::string_view(".gz"), std::string_view(".bz2")})
        if (name.ends_with(suffix))
            return name.substr(0, name.size() - suffix.size());
    return name;
}

}  // namespace

bool isModelFile(std::string_view name, ModelFileRule rule)
{
    if (rule == ModelFileRule::Shell)
        return name.ends_with("lp");
    const std::string_view model = withoutCompression(name);
    return model.ends_with(".lp") || model.ends_with(".mps");
}

std::string_view modelStem(std::string_view fileName)
{
    const std::string_view model = withoutCompression(fileName);
    const std::size_t dot = model.rfind('.');
    return dot == std::string_view::npos ? model : model.substr(0, dot);
}
