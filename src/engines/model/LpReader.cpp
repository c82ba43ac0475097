// The CPLEX LP format as SCIP 9's LP reader takes it: its tokens, section keywords, error
// cases and the meaning it gives to bounds and declarations.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>

#include "engines/model/LpModel.h"

namespace {

constexpr double kInfinity = 1e20;
constexpr double kEpsilon = 1e-9;       // SCIP's numerics/epsilon
constexpr double kFeasibility = 1e-6;  // SCIP's numerics/feastol

bool isDelimiter(char c)
{
    return c == ' ' || c == '\f' || c == '\n' || c == '\r' || c == '\t' || c == '\v' || c == '\0';
}

bool isTokenChar(char c)
{
    switch (c) {
    case '-':
    case '+':
    case ':':
    case '<':
    case '>':
    case '=':
    case '[':
    case ']':
    case '*':
    case '^':
        return true;
    default:
        return false;
    }
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

enum class Exponent { None, Unsigned, Signed };

// Whether `c` continues a number, as SCIP decides it: "24311." and "2e-3" are numbers.
bool isValueChar(char c, char next, bool first, bool& hasDot, Exponent& exponent)
{
    if (isDigit(c))
        return true;
    if (exponent == Exponent::None && !hasDot && c == '.'
        && (isDigit(next) || isSpace(next) || next == 'e' || next == 'E')) {
        hasDot = true;
        return true;
    }
    if (!first && exponent == Exponent::None && (c == 'e' || c == 'E')) {
        if (next == '+' || next == '-') {
            exponent = Exponent::Signed;
            return true;
        }
        if (isDigit(next)) {
            exponent = Exponent::Unsigned;
            return true;
        }
        return false;
    }
    if (exponent == Exponent::Signed && (c == '+' || c == '-')) {
        exponent = Exponent::Unsigned;
        return true;
    }
    return false;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (std::toupper(static_cast<unsigned char>(a[k])) != std::toupper(static_cast<unsigned char>(b[k])))
            return false;
    }
    return true;
}

// Lines end at a newline; a backslash or a NUL byte ends what is read of a line.
class Lexer {
public:
    explicit Lexer(std::string_view text) : m_data(text.data()), m_size(text.size()) {}

    bool next(std::string_view& token)
    {
        if (!m_pushed.empty()) {
            token = m_pushed.back();
            m_pushed.pop_back();
            return true;
        }
        for (;;) {
            while (m_pos < m_end && isDelimiter(m_data[m_pos]))
                ++m_pos;
            if (m_pos < m_end)
                break;
            if (!startLine())
                return false;
        }
        const std::size_t start = m_pos;
        bool hasDot = false;
        Exponent exponent = Exponent::None;
        if (isValueChar(at(m_pos), at(m_pos + 1), true, hasDot, exponent)) {
            do
                ++m_pos;
            while (isValueChar(at(m_pos), at(m_pos + 1), false, hasDot, exponent));
            token = std::string_view(m_data + start, m_pos - start);
            return true;
        }
        ++m_pos;
        if (!isTokenChar(m_data[start])) {
            while (m_pos < m_end && !isDelimiter(m_data[m_pos]) && !isTokenChar(m_data[m_pos]))
                ++m_pos;
        }
        token = std::string_view(m_data + start, m_pos - start);
        const char last = m_data[m_pos - 1];
        if (last == '^' && at(m_pos) == '2')
            ++m_pos;
        if ((last == '<' || last == '>' || last == '=') && at(m_pos) == '=') {
            ++m_pos;
        } else if (last == '=' && (at(m_pos) == '<' || at(m_pos) == '>')) {
            token = std::string_view(m_data + m_pos, 1);  // "=<" is "<"
            ++m_pos;
        }
        return true;
    }

    void push(std::string_view token) { m_pushed.push_back(token); }
    int line() const { return m_line; }

private:
    bool startLine()
    {
        if (m_nextLine >= m_size)
            return false;
        const std::size_t start = m_nextLine;
        const void* newline = std::memchr(m_data + start, '\n', m_size - start);
        const std::size_t limit = newline != nullptr ? static_cast<std::size_t>(static_cast<const char*>(newline) - m_data)
                                                     : m_size;
        std::size_t end = limit;
        if (const void* comment = std::memchr(m_data + start, '\\', end - start))
            end = static_cast<std::size_t>(static_cast<const char*>(comment) - m_data);
        if (const void* nul = std::memchr(m_data + start, '\0', end - start))
            end = static_cast<std::size_t>(static_cast<const char*>(nul) - m_data);
        m_terminator = end == limit && newline != nullptr ? '\n' : '\0';
        m_pos = start;
        m_end = end;
        m_nextLine = limit + 1;
        ++m_line;
        return true;
    }

    // The character at `pos` of the current line as SCIP's line buffer holds it.
    char at(std::size_t pos) const
    {
        if (pos < m_end)
            return m_data[pos];
        return pos == m_end ? m_terminator : '\0';
    }

    const char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::size_t m_nextLine = 0;
    char m_terminator = '\0';
    int m_line = 0;
    std::vector<std::string_view> m_pushed;
};

bool isSign(std::string_view token, int& sign)
{
    if (token.size() != 1)
        return false;
    if (token[0] == '+')
        return true;
    if (token[0] == '-') {
        sign = -sign;
        return true;
    }
    return false;
}

// The larger (smaller) of two numbers, kept whole with its exact value.
const Number& atLeast(const Number& value, const Number& bound)
{
    return value < bound ? bound : value;
}

const Number& atMost(const Number& value, const Number& bound)
{
    return value > bound ? bound : value;
}

bool isValue(std::string_view token, Number& value)
{
    if (equalsIgnoringCase(token, "INFINITY") || equalsIgnoringCase(token, "INF")) {
        value = kInfinity;
        return true;
    }
    const char* end = token.data() + token.size();
    double parsed = 0.0;
    const auto [ptr, ec] = std::from_chars(token.data(), end, parsed);
    if (ptr != end || token.empty())
        return false;
    if (ec == std::errc::result_out_of_range) {
        const std::string copy(token);  // strtod's answer: an infinity or a zero
        parsed = std::strtod(copy.c_str(), nullptr);
    } else if (ec != std::errc()) {
        return false;
    }
    value = Number::fromText(token, parsed);
    return true;
}

enum class Sense { Nothing, Le, Ge, Eq };

bool isSense(std::string_view token, Sense& sense)
{
    if (token.size() != 1)
        return false;
    switch (token[0]) {
    case '<':
        sense = Sense::Le;
        return true;
    case '>':
        sense = Sense::Ge;
        return true;
    case '=':
        sense = Sense::Eq;
        return true;
    default:
        return false;
    }
}

bool isSense(std::string_view token)
{
    Sense ignored;
    return isSense(token, ignored);
}

bool isZero(double value)
{
    return std::fabs(value) <= kEpsilon;
}

enum class Section { Start, Objective, Constraints, Bounds, Generals, Binaries, Semicontinuous, Sos, End };

class Parser {
public:
    Parser(std::string_view text, LpModel& model, LpReadError& error) : m_lexer(text), m_model(model), m_error(error)
    {
        m_names.reserve(1024);
    }

    bool run()
    {
        while (m_section != Section::End && !m_failed) {
            switch (m_section) {
            case Section::Start:
                readStart();
                break;
            case Section::Objective:
                readObjective();
                break;
            case Section::Constraints:
                readConstraints();
                break;
            case Section::Bounds:
                readBounds();
                break;
            case Section::Generals:
                readTypes(VarType::Integer);
                break;
            case Section::Binaries:
                readTypes(VarType::Binary);
                break;
            case Section::Semicontinuous:
                readSemicontinuous();
                break;
            case Section::Sos:
                readSos();
                break;
            case Section::End:
                break;
            }
        }
        if (m_failed)
            return false;
        // A binary variable is binary whatever Bounds said before or after.
        for (LpColumn& column : m_model.columns) {
            if (column.type == VarType::Binary) {
                column.lower = atLeast(column.lower, 0.0);
                column.upper = atMost(column.upper, 1.0);
            }
        }
        return true;
    }

private:
    // At the end of the file SCIP's reader is in its End section, whatever it was reading.
    bool next(std::string_view& token)
    {
        if (m_lexer.next(token))
            return true;
        m_section = Section::End;
        return false;
    }

    void fail(const std::string& message)
    {
        if (m_failed)
            return;
        m_failed = true;
        m_error.line = m_lexer.line();
        m_error.message = message;
        m_section = Section::End;
    }

    void fail(const char* message) { fail(std::string(message)); }

    int column(std::string_view name, bool& created)
    {
        const auto [it, inserted] = m_names.try_emplace(name, static_cast<int>(m_model.columns.size()));
        created = inserted;
        if (inserted) {
            LpColumn column;
            column.name = name;
            m_model.columns.push_back(column);
        }
        return it->second;
    }

    int column(std::string_view name)
    {
        bool created;
        return column(name, created);
    }

    // Whether `token` starts a section; switches to it if so. A token followed by a colon is
    // a name, never a keyword.
    bool isNewSection(std::string_view token)
    {
        std::string_view ahead;
        if (next(ahead)) {
            m_lexer.push(ahead);
            if (ahead == ":")
                return false;
        }
        const std::size_t length = token.size();
        if (length < 2 || (length > 8 && length != 15))
            return false;
        auto is = [token](const char* keyword) { return equalsIgnoringCase(token, keyword); };
        if (is("MIN") || is("MINIMUM") || is("MINIMIZE") || is("MAX") || is("MAXIMUM") || is("MAXIMIZE")) {
            m_model.maximize = is("MAX") || is("MAXIMUM") || is("MAXIMIZE");
            return enter(Section::Objective, token);
        }
        if (is("SUBJECT") && followedBy("TO"))
            return enterConstraints();
        if (is("SUCH") && followedBy("THAT"))
            return enterConstraints();
        if (is("ST") || is("ST.") || is("S.T."))
            return enterConstraints();
        if (is("LAZY") && followedBy("CONSTRAINTS"))
            return enterConstraints();
        if (is("USER") && followedBy("CUTS"))
            return enterConstraints();
        if (is("BOUND") || is("BOUNDS"))
            return enter(Section::Bounds, token);
        if (is("GEN") || is("INT") || is("GENERAL") || is("INTEGER") || is("GENERALS") || is("INTEGERS"))
            return enter(Section::Generals, token);
        if (is("BIN") || is("BINARY") || is("BINARIES"))
            return enter(Section::Binaries, token);
        if (is("SEMI") || is("SEMIS") || is("SEMI-CONTINUOUS"))
            return enter(Section::Semicontinuous, token);
        if (is("SOS"))
            return enter(Section::Sos, token);
        if (is("END"))
            return enter(Section::End, token);
        return false;
    }

    bool followedBy(const char* word)
    {
        std::string_view ahead;
        if (!next(ahead))
            return false;
        if (equalsIgnoringCase(ahead, word))
            return true;
        m_lexer.push(ahead);
        return false;
    }

    bool enter(Section section, std::string_view keyword)
    {
        m_section = section;
        m_sectionKeyword = keyword;
        return true;
    }

    // Lazy constraints are constraints of the model. User cuts are rows too: SCIP separates
    // them when the relaxation violates them, and a valid cut changes no optimum.
    bool enterConstraints()
    {
        m_section = Section::Constraints;
        return true;
    }

    // Everything before the first section is a comment.
    void readStart()
    {
        std::string_view token;
        while (next(token)) {
            if (isNewSection(token))
                return;
        }
    }

    struct Line {
        bool named = false;
        std::string_view name;
        std::size_t firstTerm = 0;  // into m_model.terms
        Number offset = 0.0;
        bool newSection = false;
    };

    // The name and terms of an objective or constraint, appended to m_model.terms.
    bool readCoefficients(bool objective, Line& line)
    {
        line = Line{};
        line.firstTerm = m_model.terms.size();
        std::string_view token;
        if (next(token)) {
            if (isNewSection(token)) {
                line.newSection = true;
                return true;
            }
            std::string_view second;
            if (next(second)) {
                if (second == ":") {
                    line.named = true;
                    line.name = token;
                } else {
                    m_lexer.push(second);
                    m_lexer.push(token);
                }
            } else {
                m_lexer.push(token);
            }
        }

        int sign = +1;
        Number coefficient = 1.0;
        bool haveSign = false;
        bool haveValue = false;
        bool haveOffset = false;
        bool haveVariable = false;
        std::size_t termCount = 0;
        while (next(token)) {
            if (token == "+" || token == "-") {
                if (objective && haveValue && !haveVariable) {
                    if (haveOffset) {
                        fail("two objective offsets.");
                        return false;
                    }
                    haveOffset = true;
                    line.offset = coefficient.withSign(sign);
                }
            }
            if (isSign(token, sign)) {
                if (haveValue) {
                    fail("sign after value without variable.");
                    return false;
                }
                haveSign = true;
                continue;
            }
            if (isValue(token, coefficient)) {
                if (haveValue) {
                    fail("two consecutive values.");
                    return false;
                }
                haveValue = true;
                continue;
            }
            if (isSense(token)) {
                if (objective) {
                    fail("no sense allowed in objective");
                    return false;
                }
                if (haveValue) {
                    fail("no constant values allowed for constraints in lp file format");
                    return false;
                }
                if (haveSign) {
                    fail("constaint has sign without a variable");
                    return false;
                }
                m_lexer.push(token);
                break;
            }
            if ((objective || (!haveValue && !haveSign)) && isNewSection(token)) {
                if (objective && haveValue && !isZero(coefficient)) {
                    if (haveOffset) {
                        fail("two objective offsets.");
                        return false;
                    }
                    line.offset = coefficient.withSign(sign);
                }
                line.newSection = true;
                return true;
            }
            if (token == "[") {
                fail("quadratic terms are not supported by this engine.");
                return false;
            }
            if (token == "]") {
                fail("cannot end quadratic part before starting one.");
                return false;
            }
            if (token == "*") {
                fail("cannot have '*' outside of quadratic part.");
                return false;
            }
            if (termCount > 0 && !haveSign) {
                fail("expected sign ('+' or '-') or sense ('<' or '>').");
                return false;
            }
            if (token == "^") {
                fail("cannot have squares ('^2') outside of quadratic part.");
                return false;
            }
            const int variable = column(token);
            haveVariable = true;
            if (!isZero(coefficient)) {
                m_model.terms.push_back({variable, coefficient.withSign(sign)});
                ++termCount;
            }
            sign = +1;
            coefficient = 1.0;
            haveSign = false;
            haveValue = false;
        }
        return true;
    }

    void readObjective()
    {
        Line line;
        if (!readCoefficients(true, line))
            return;
        if (!isZero(line.offset))
            m_model.objectiveOffset = m_model.objectiveOffset.plus(line.offset);
        for (std::size_t k = line.firstTerm; k < m_model.terms.size(); ++k) {
            LpColumn& variable = m_model.columns[static_cast<std::size_t>(m_model.terms[k].column)];
            variable.objective = variable.objective.plus(m_model.terms[k].value);
            if (std::fabs(variable.objective) >= kInfinity) {
                fail("invalid objective value: objective value is infinite");
                return;
            }
        }
        m_model.terms.resize(line.firstTerm);  // the objective lives in the columns
    }

    bool checkFiniteCoefficients(std::size_t first)
    {
        for (std::size_t k = first; k < m_model.terms.size(); ++k) {
            if (std::fabs(m_model.terms[k].value) >= kInfinity) {
                const LpColumn& variable = m_model.columns[static_cast<std::size_t>(m_model.terms[k].column)];
                fail("coefficient of variable <" + std::string(variable.name) + "> is infinite.");
                return false;
            }
        }
        return true;
    }

    // The right-hand side after a sense: an optional sign, then a value.
    bool readSide(Number& value, const char* expected)
    {
        std::string_view token;
        int sign = +1;
        if (!next(token)) {
            fail("missing right hand side.");
            return false;
        }
        if (isSign(token, sign) && !next(token)) {
            fail("missing value of right hand side.");
            return false;
        }
        if (!isValue(token, value)) {
            fail(expected);
            return false;
        }
        value = value.withSign(sign);
        return true;
    }

    // After a constraint: "->" makes it the condition of an indicator constraint.
    bool readIndicatorArrow()
    {
        std::string_view token;
        if (!next(token) || isNewSection(token))
            return false;
        if (token == "<") {
            std::string_view dash, arrow;
            if (next(dash)) {
                if (dash == "-" && next(arrow)) {
                    if (arrow == ">") {
                        fail("SCIP does not support equivalence (<->) indicator constraints; consider using the \"->\" form.");
                        return false;
                    }
                    m_lexer.push(arrow);
                }
                m_lexer.push(dash);
            }
        }
        if (token == "-") {
            std::string_view arrow;
            if (next(arrow)) {
                if (arrow == ">")
                    return true;
                m_lexer.push(arrow);
            }
            m_lexer.push(token);
            return false;
        }
        m_lexer.push(token);
        return false;
    }

    void readConstraints()
    {
        Line line;
        if (!readCoefficients(false, line))
            return;
        const std::size_t count = m_model.terms.size() - line.firstTerm;
        if (line.newSection) {
            if (count > 0)
                fail("expected constraint sense '<=', '=', or '>='.");
            return;
        }
        std::string_view token;
        Sense sense = Sense::Nothing;
        if (!next(token)) {
            fail("missing constraint sense.");
            return;
        }
        if (!isSense(token, sense)) {
            fail("expected constraint sense '<=', '=', or '>='.");
            return;
        }
        Number side = 0.0;
        if (!readSide(side, "expected value as right hand side."))
            return;
        const bool indicator = readIndicatorArrow();
        if (m_failed)
            return;
        if (indicator) {
            readIndicator(line, count, sense, side);
            return;
        }
        if (!checkFiniteCoefficients(line.firstTerm))
            return;
        LpRow row;
        row.first = static_cast<int>(line.firstTerm);
        row.count = static_cast<int>(count);
        row.name = line.name;
        row.lower = sense == Sense::Le ? Number(-kInfinity) : side;
        row.upper = sense == Sense::Ge ? Number(kInfinity) : side;
        m_model.rows.push_back(row);
    }

    void readIndicator(const Line& condition, std::size_t count, Sense sense, const Number& value)
    {
        if (count != 1) {
            fail("Indicator part can only consist of one binary variable.");
            return;
        }
        const LpTerm term = m_model.terms[condition.firstTerm];
        if (std::fabs(term.value.value() - 1.0) > kEpsilon) {
            fail("There cannot be a coefficient before the binary indicator variable.");
            return;
        }
        if (sense != Sense::Eq) {
            fail("Indicator part cannot handle equations.");
            return;
        }
        m_model.terms.resize(condition.firstTerm);
        const bool zero = std::fabs(value) <= kFeasibility;
        if (!zero && std::fabs(value.value() - 1.0) > kFeasibility) {
            fail("value for binary variable must be '0' or '1'.");
            return;
        }
        LpColumn& binary = m_model.columns[static_cast<std::size_t>(term.column)];
        if (zero) {
            // SCIP needs the negated variable, which makes the variable binary there and then.
            binary.lower = atLeast(binary.lower, 0.0);
            binary.upper = atMost(binary.upper, 1.0);
            binary.type = VarType::Binary;
        }

        Line line;
        if (!readCoefficients(false, line))
            return;
        const std::size_t terms = m_model.terms.size() - line.firstTerm;
        if (line.newSection) {
            fail("expected constraint.");
            return;
        }
        if (line.named) {
            fail("did not expect name for linear constraint.");
            return;
        }
        std::string_view token;
        Sense linearSense = Sense::Nothing;
        if (!next(token)) {
            fail("missing constraint sense.");
            return;
        }
        if (!isSense(token, linearSense)) {
            fail("expected constraint sense '<=', '=', or '>='.");
            return;
        }
        Number rhs = 0.0;
        if (!readSide(rhs, "expected value for right hand side."))
            return;
        if (!checkFiniteCoefficients(line.firstTerm))
            return;

        LpIndicator indicator;
        indicator.binary = term.column;
        indicator.activeOnOne = !zero;
        indicator.first = static_cast<int>(line.firstTerm);
        indicator.count = static_cast<int>(terms);
        indicator.line = m_lexer.line();
        indicator.rhs = rhs;
        indicator.name = condition.name;
        if (linearSense == Sense::Ge)
            negate(indicator);
        addIndicator(m_model, indicator);
        if (linearSense == Sense::Eq) {
            // Two indicator constraints, the second over the negated row.
            LpIndicator other = indicator;
            other.first = static_cast<int>(m_model.terms.size());
            for (int k = 0; k < indicator.count; ++k)
                m_model.terms.push_back(m_model.terms[static_cast<std::size_t>(indicator.first + k)]);
            negate(other);
            addIndicator(m_model, other);
        }
    }

    void negate(LpIndicator& indicator)
    {
        for (int k = 0; k < indicator.count; ++k)
            m_model.terms[static_cast<std::size_t>(indicator.first + k)].value
                = m_model.terms[static_cast<std::size_t>(indicator.first + k)].value.negated();
        indicator.rhs = indicator.rhs.negated();
    }

    void readBounds()
    {
        std::string_view token;
        while (next(token)) {
            if (isNewSection(token))
                return;
            Number lower = 0.0;
            Number upper = kInfinity;
            Sense left = Sense::Nothing;
            int sign = +1;
            const bool hasSign = isSign(token, sign);
            if (hasSign && !next(token)) {
                fail("expected value.");
                return;
            }
            Number value = 0.0;
            if (isValue(token, value)) {
                if (!next(token) || !isSense(token, left)) {
                    fail("expected bound sense '<=', '=', or '>='.");
                    return;
                }
                if (left == Sense::Ge)
                    upper = value.withSign(sign);
                else if (left == Sense::Le)
                    lower = value.withSign(sign);
                else
                    lower = upper = value.withSign(sign);
            } else if (hasSign) {
                fail("expected value.");
                return;
            } else {
                m_lexer.push(token);
            }
            if (!next(token)) {
                fail("expected variable name.");
                return;
            }
            const int variable = column(token);
            if (next(token)) {
                Sense right = Sense::Nothing;
                if (isSense(token, right)) {
                    if (!(left == Sense::Nothing || (left == Sense::Le && right == Sense::Le)
                          || (left == Sense::Ge && right == Sense::Ge))) {
                        fail("the two bound senses do not fit.");
                        return;
                    }
                    if (!next(token)) {
                        fail("expected value or sign.");
                        return;
                    }
                    sign = +1;
                    if (isSign(token, sign) && !next(token)) {
                        fail("expected value.");
                        return;
                    }
                    if (!isValue(token, value)) {
                        fail("expected value.");
                        return;
                    }
                    if (right == Sense::Ge)
                        lower = value.withSign(sign);
                    else if (right == Sense::Le)
                        upper = value.withSign(sign);
                    else
                        lower = upper = value.withSign(sign);
                } else if (equalsIgnoringCase(token, "FREE")) {
                    if (left != Sense::Nothing) {
                        fail("variable with bound is marked as 'free'.");
                        return;
                    }
                    lower = -kInfinity;
                    upper = kInfinity;
                } else {
                    m_lexer.push(token);
                }
            }
            // As SCIP: a bound is changed only when given, so "x free" keeps an upper bound.
            LpColumn& target = m_model.columns[static_cast<std::size_t>(variable)];
            if (lower != 0.0)
                target.lower = lower;
            if (upper != kInfinity)
                target.upper = upper;
        }
    }

    void readTypes(VarType type)
    {
        std::string_view token;
        while (next(token)) {
            if (isNewSection(token))
                return;
            bool created = false;
            const int variable = column(token, created);
            if (created) {
                fail(type == VarType::Binary ? "unknown variable in binaries section."
                                             : "unknown variable in generals section.");
                return;
            }
            LpColumn& target = m_model.columns[static_cast<std::size_t>(variable)];
            if (type == VarType::Binary) {
                target.lower = atLeast(target.lower, 0.0);
                target.upper = atMost(target.upper, 1.0);
            }
            target.type = type;
        }
    }

    void readSemicontinuous()
    {
        std::string_view token;
        if (equalsIgnoringCase(m_sectionKeyword, "SEMI")) {  // "semi-continuous" comes in three tokens
            if (!next(token)) {
                fail("unexpected end.");
                return;
            }
            if (token == "-") {
                if (!next(token) || !equalsIgnoringCase(token, "CONTINUOUS")) {
                    fail("expected 'CONTINUOUS' after 'SEMI-'.");
                    return;
                }
            } else {
                m_lexer.push(token);
            }
        }
        while (next(token)) {
            const int line = m_lexer.line();
            if (isNewSection(token))
                return;
            bool created = false;
            const int variable = column(token, created);
            if (created) {
                fail("unknown variable in semi-continuous section.");
                return;
            }
            LpColumn& target = m_model.columns[static_cast<std::size_t>(variable)];
            if (target.lower <= 0.0)
                continue;  // SCIP keeps such a variable as it is
            m_model.semicontinuous.push_back({variable, target.lower, line});
            target.lower = 0.0;
            ++m_model.extraConstraints;
        }
    }

    void readSos()
    {
        std::string_view token;
        while (next(token)) {
            if (isNewSection(token))
                return;
            const std::string_view first = token;
            std::string_view second;
            if (next(second)) {
                if (second != ":") {
                    m_lexer.push(second);
                    m_lexer.push(first);
                }
            } else {
                m_lexer.push(first);
            }
            if (!next(token)) {
                fail("expected SOS type: 'S1::' or 'S2::'.");
                return;
            }
            const bool unnamed = token == ":";
            if (unnamed) {  // "S1::" without a name: the first token was the type
                m_lexer.push(":");
                m_lexer.push(":");
                token = first;
            }
            LpSos set;
            set.line = m_lexer.line();
            if (second == ":" && !unnamed)
                set.name = first;
            if (token == "S1") {
                set.type = 1;
            } else if (token == "S2") {
                set.type = 2;
            } else {
                fail("SOS constraint type other than 1 or 2 appeared.");
                return;
            }
            for (int colon = 0; colon < 2; ++colon) {
                if (!next(token) || token != ":") {
                    fail("SOS constraint type has to be followed by two colons.");
                    return;
                }
            }
            readSosMembers(set);
            if (m_failed)
                return;
            m_model.sets.push_back(std::move(set));
            ++m_model.extraConstraints;
        }
    }

    void readSosMembers(LpSos& set)
    {
        std::string_view name;
        while (next(name)) {
            if (isNewSection(name))
                return;
            const auto found = m_names.find(name);
            if (found == m_names.end()) {
                m_lexer.push(name);  // the name of the next set
                return;
            }
            std::string_view token;
            if (!next(token) || token != ":") {
                fail("expected colon and weight.");
                return;
            }
            if (!next(token)) {
                m_lexer.push(name);
                return;
            }
            int sign = +1;
            if (isSign(token, sign) && !next(token))
                return;
            Number weight = 0.0;
            if (!isValue(token, weight)) {
                m_lexer.push(token);
                m_lexer.push(name);
                return;
            }
            set.members.push_back({found->second, weight.withSign(sign)});
        }
    }

    Lexer m_lexer;
    LpModel& m_model;
    LpReadError& m_error;
    std::unordered_map<std::string_view, int> m_names;
    Section m_section = Section::Start;
    std::string_view m_sectionKeyword;
    bool m_failed = false;
};


}  // namespace

bool parseLpText(std::string_view text, LpModel& model, LpReadError& error)
{
    Parser parser(text, model, error);
    return parser.run();
}
