#include "backends/scipcompat/ObjectiveRewrite.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "backends/scipcompat/LpScanner.h"

namespace {

struct Span {
    std::size_t start;
    std::size_t end;
};

}  // namespace

ObjectiveRewrite rewriteObjective(std::string& text)
{
    ObjectiveRewrite result;
    LpScanner scanner(text);
    LpToken token = scanner.next();
    // No objective section: SCIP reads a file that starts with its constraints as a problem
    // with an empty objective.
    if (token == LpToken::Keyword && !isSenseKeyword(scanner.image()))
        if (text.find(kPlaceholderColumn) == std::string::npos) {
            text.insert(0, std::string("Minimize 0 ") + kPlaceholderColumn + "\n");
            result.changed = result.placeholderAdded = true;
            return result;
        }
    if (token != LpToken::Keyword)
        return result;
    if (!isSenseKeyword(scanner.image()))
        return result;  // the objective must come first
    std::size_t headerEnd = scanner.end();

    token = scanner.next();
    if (token == LpToken::Name && scanner.following() == ':') {
        scanner.next();
        headerEnd = scanner.end();
        token = scanner.next();
    }

    // Terms: [sign] [number] [name]. A number with no name after it is a constant.
    std::vector<Span> constantSpans;
    int variables = 0;
    int constants = 0;
    while (token != LpToken::End && token != LpToken::Keyword) {
        Span span{scanner.start(), scanner.end()};
        double sign = 1.0;
        if (token == LpToken::Plus || token == LpToken::Minus) {
            sign = token == LpToken::Minus ? -1.0 : 1.0;
            token = scanner.next();
        } else if (variables + constants > 0) {
            return {};  // terms after the first need their sign
        }
        if (token == LpToken::Number) {
            const std::string_view number = scanner.image();
            double value = 0.0;
            const auto parsed = std::from_chars(number.data(), number.data() + number.size(), value);
            if (parsed.ec != std::errc() || parsed.ptr != number.data() + number.size())
                return {};
            span.end = scanner.end();
            token = scanner.next();
            if (token == LpToken::Name) {
                ++variables;
                token = scanner.next();
                continue;
            }
            if (token != LpToken::Keyword && token != LpToken::End)
                return {};  // SCIP takes a constant only as the objective's last term
            ++constants;
            result.constant += sign * value;
            constantSpans.push_back(span);
            continue;
        }
        if (token != LpToken::Name)
            return {};
        ++variables;
        token = scanner.next();
    }
    if (constants == 0 && variables > 0)
        return {};
    if (text.find(kPlaceholderColumn) != std::string::npos)
        return {};

    for (const Span& span : constantSpans) {
        for (std::size_t k = span.start; k < span.end; ++k) {
            if (text[k] != '\n')
                text[k] = ' ';
        }
    }
    if (variables == 0) {
        text.insert(headerEnd, std::string(" 0 ") + kPlaceholderColumn + " ");
        result.placeholderAdded = true;
    }
    result.changed = true;
    return result;
}
