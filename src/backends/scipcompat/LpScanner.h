#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

// The tokens of the CPLEX LP format as GLPK's reader cuts them, for the few places where the
// engine looks at a model file's text itself. A keyword counts only at the very start of a
// line; '\' starts a comment that runs to the end of the line.
enum class LpToken { End, Keyword, Name, Number, Plus, Minus, Colon, Other };

class LpScanner {
public:
    explicit LpScanner(const std::string& text) : m_text(text) {}

    LpToken next();

    // Where the current token lies in the text, and its characters.
    std::size_t start() const { return m_start; }
    std::size_t end() const { return m_pos; }
    std::string_view image() const { return std::string_view(m_text).substr(m_start, m_pos - m_start); }

    // The next significant character, as GLPK looks ahead for the ':' after a name.
    char following();

private:
    void skipBlanks();
    void scanNumber();

    const std::string& m_text;
    std::size_t m_pos = 0;
    std::size_t m_start = 0;
    bool m_atLineStart = true;
};

// Case-insensitive comparison of a word with keywords written in lower case.
bool isOneOf(std::string_view word, std::initializer_list<const char*> keywords);
bool isSenseKeyword(std::string_view word);
