#include "backends/scipcompat/LpScanner.h"

#include <cctype>
#include <cstring>

namespace {

constexpr const char* kNameCharacters = "!\"#$%&()/,.;?@_`'{}|~";

bool isNameCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || (c != '\0' && std::strchr(kNameCharacters, c) != nullptr);
}

bool startsName(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0
        || (c != '.' && c != '\0' && std::strchr(kNameCharacters, c) != nullptr);
}

bool sameWord(std::string_view word, const char* keyword)
{
    if (word.size() != std::strlen(keyword))
        return false;
    for (std::size_t k = 0; k < word.size(); ++k) {
        if (std::tolower(static_cast<unsigned char>(word[k])) != keyword[k])
            return false;
    }
    return true;
}

bool isKeyword(std::string_view word)
{
    return isSenseKeyword(word)
        || isOneOf(word, {"subject", "such", "st", "s.t.", "st.", "bounds", "bound", "general", "generals", "gen",
                          "integer", "integers", "int", "binary", "binaries", "bin", "end"});
}

}  // namespace

bool isOneOf(std::string_view word, std::initializer_list<const char*> keywords)
{
    for (const char* keyword : keywords) {
        if (sameWord(word, keyword))
            return true;
    }
    return false;
}

bool isSenseKeyword(std::string_view word)
{
    return isOneOf(word, {"minimize", "minimum", "min", "maximize", "maximum", "max"});
}

LpToken LpScanner::next()
{
    skipBlanks();
    m_start = m_pos;
    if (m_pos >= m_text.size())
        return LpToken::End;
    const char c = m_text[m_pos];
    if (startsName(c)) {
        const bool lineStart = std::isalpha(static_cast<unsigned char>(c)) != 0 && m_atLineStart;
        while (m_pos < m_text.size() && isNameCharacter(m_text[m_pos]))
            ++m_pos;
        m_atLineStart = false;
        return lineStart && isKeyword(image()) ? LpToken::Keyword : LpToken::Name;
    }
    m_atLineStart = false;
    if (std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '.') {
        scanNumber();
        return LpToken::Number;
    }
    ++m_pos;
    switch (c) {
    case '+':
        return LpToken::Plus;
    case '-':
        return LpToken::Minus;
    case ':':
        return LpToken::Colon;
    default:
        return LpToken::Other;
    }
}

char LpScanner::following()
{
    skipBlanks();
    return m_pos < m_text.size() ? m_text[m_pos] : '\0';
}

void LpScanner::skipBlanks()
{
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        if (c == '\n') {
            m_atLineStart = true;
            ++m_pos;
        } else if (c == '\\') {
            while (m_pos < m_text.size() && m_text[m_pos] != '\n')
                ++m_pos;
        } else if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            m_atLineStart = false;
            ++m_pos;
        } else {
            return;
        }
    }
}

void LpScanner::scanNumber()
{
    auto digits = [this] {
        while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])) != 0)
            ++m_pos;
    };
    digits();
    if (m_pos < m_text.size() && m_text[m_pos] == '.') {
        ++m_pos;
        digits();
    }
    if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
        ++m_pos;
        if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-'))
            ++m_pos;
        digits();
    }
}
