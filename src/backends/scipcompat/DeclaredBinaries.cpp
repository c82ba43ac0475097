#include "backends/scipcompat/DeclaredBinaries.h"

#include "backends/scipcompat/LpScanner.h"

std::unordered_set<std::string_view> binarySectionNames(const std::string& text)
{
    std::unordered_set<std::string_view> names;
    LpScanner scanner(text);
    bool inBinaries = false;
    for (LpToken token = scanner.next(); token != LpToken::End; token = scanner.next()) {
        if (token == LpToken::Keyword)
            inBinaries = isOneOf(scanner.image(), {"binary", "binaries", "bin"});
        else if (inBinaries && token == LpToken::Name)
            names.insert(scanner.image());
    }
    return names;
}

int countDeclaredBinaries(const std::string& text, glp_prob* problem)
{
    const std::unordered_set<std::string_view> names = binarySectionNames(text);
    int count = 0;
    const int columns = glp_get_num_cols(problem);
    for (int j = 1; j <= columns && static_cast<std::size_t>(count) < names.size(); ++j) {
        const char* name = glp_get_col_name(problem, j);
        if (glp_get_col_kind(problem, j) != GLP_CV && name != nullptr && names.count(name) != 0)
            ++count;
    }
    return count;
}
