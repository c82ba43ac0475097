#include "backends/scipcompat/ObjectiveRewrite.h"

#include <cctype>
#include <charconv>
#include <initializer_list>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

// The token rules of GLPK's reader: keywords count only at the very start of a line.
enum class Token { End, Keyword, Name, Number, Plus, Minus, Colon, Other };

constexpr const char* kNameCharacters = "!\"#$%&()/,.;?@_`'{}|~";

bool isNameCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || (c != '\0' && std::strchr(kNameCharacters, c) != nullptr);
}

bool startsName(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || (c != '.' && c != '\0' && std::strchr(kNameCharacters, c) != nullptr);
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

bool isOneOf(std::string_view word, std::initializer_list<const char*> keywords)
{
    for (const char* keyword : keywords) {
        if (sameWord(word, keyword))
            return true;
    }
    return false;
}

bool isSense(std::string_view word)
{
    return isOneOf(word, {"minimize", "minimum", "min", "maximize", "maximum", "max"});
}

bool isKeyword(std::string_view word)
{
    return isSense(word)
        || isOneOf(word, {"subject", "such", "st", "s.t.", "st.", "bounds", "bound", "general", "generals", "gen",
                          "integer", "integers", "int", "binary", "binaries", "bin", "end"});
}

class Scanner {
public:
    explicit Scanner(const std::string& text) : m_text(text) {}

    Token next()
    {
        skipBlanks();
        m_start = m_pos;
        if (m_pos >= m_text.size())
            return Token::End;
        const char c = m_text[m_pos];
        if (startsName(c)) {
            const bool lineStart = std::isalpha(static_cast<unsigned char>(c)) != 0 && m_atLineStart;
            while (m_pos < m_text.size() && isNameCharacter(m_text[m_pos]))
                ++m_pos;
            m_atLineStart = false;
            return lineStart && isKeyword(image()) ? Token::Keyword : Token::Name;
        }
        m_atLineStart = false;
        if (std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '.') {
            scanNumber();
            return Token::Number;
        }
        ++m_pos;
        if (c == '+')
            return Token::Plus;
        if (c == '-')
            return Token::Minus;
        if (c == ':')
            return Token::Colon;
        return Token::Other;
    }

    std::size_t start() const { return m_start; }
    std::size_t end() const { return m_pos; }
    std::string_view image() const { return std::string_view(m_text).substr(m_start, m_pos - m_start); }
    // The next significant character, as GLPK looks ahead for the ':' after a name.
    char following()
    {
        skipBlanks();
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }

private:
    void skipBlanks()
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

    void scanNumber()
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

    const std::string& m_text;
    std::size_t m_pos = 0;
    std::size_t m_start = 0;
    bool m_atLineStart = true;
};

struct Span {
    std::size_t start;
    std::size_t end;
};

}  // namespace

ObjectiveRewrite rewriteObjective(std::string& text)
{
    ObjectiveRewrite result;
    Scanner scanner(text);
    Token token = scanner.next();
    if (token != Token::Keyword)
        return result;
    if (!isSense(scanner.image()))
        return result;  // the objective must come first
    std::size_t headerEnd = scanner.end();

    token = scanner.next();
    if (token == Token::Name && scanner.following() == ':') {
        scanner.next();
        headerEnd = scanner.end();
        token = scanner.next();
    }

    // Terms: [sign] [number] [name]. A number with no name after it is a constant.
    std::vector<Span> constantSpans;
    int variables = 0;
    int constants = 0;
    while (token != Token::End && token != Token::Keyword) {
        Span span{scanner.start(), scanner.end()};
        double sign = 1.0;
        if (token == Token::Plus || token == Token::Minus) {
            sign = token == Token::Minus ? -1.0 : 1.0;
            token = scanner.next();
        } else if (variables + constants > 0) {
            return {};  // terms after the first need their sign
        }
        if (token == Token::Number) {
            const std::string_view number = scanner.image();
            double value = 0.0;
            const auto parsed = std::from_chars(number.data(), number.data() + number.size(), value);
            if (parsed.ec != std::errc() || parsed.ptr != number.data() + number.size())
                return {};
            span.end = scanner.end();
            token = scanner.next();
            if (token == Token::Name) {
                ++variables;
                token = scanner.next();
                continue;
            }
            if (token != Token::Keyword && token != Token::End)
                return {};  // SCIP takes a constant only as the objective's last term
            ++constants;
            result.constant += sign * value;
            constantSpans.push_back(span);
            continue;
        }
        if (token != Token::Name)
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
