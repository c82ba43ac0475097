// The MPS format, fixed and free, as SCIP 9's MPS reader takes it: its line buffer, how it
// tells the two layouts apart, its sections and their order, and the meaning it gives to
// markers, right-hand sides, ranges, bounds, sets and indicator rows.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <functional>
#include <vector>

#include "engines/model/LpModel.h"

namespace {

constexpr double kInfinity = 1e20;
constexpr double kEpsilon = 1e-9;       // SCIP's numerics/epsilon
constexpr double kFeasibility = 1e-6;  // SCIP's numerics/feastol
// SCIP reads a line into a buffer of 1024 bytes: a longer line goes on as the next one.
constexpr std::size_t kLineRead = 1023;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A number as C's atof reads it: the longest prefix that is one, 0 when there is none.
Number atofNumber(std::string_view token)
{
    const char* begin = token.data();
    const char* end = begin + token.size();
    const char* digits = begin != end && *begin == '+' ? begin + 1 : begin;
    if (digits == end || *digits != '+') {
        double value = 0.0;
        const auto [stop, code] = std::from_chars(digits, end, value);
        if (code == std::errc() && stop == end && !(digits != begin && *digits == '-'))
            return Number::fromText(token, value);
    }
    // Rare: hexadecimal, out of range, or text after the number.
    const std::string copy(token);
    char* stop = nullptr;
    const double value = std::strtod(copy.c_str(), &stop);
    const std::size_t used = static_cast<std::size_t>(stop - copy.c_str());
    if (used == 0)
        return Number(0.0);
    const std::string_view prefix = token.substr(0, used);
    const bool decimal = prefix.find_first_not_of("+-.0123456789eE") == std::string_view::npos;
    return decimal ? Number::fromText(prefix, value) : Number(value);
}

// The SOS weight SCIP takes: strtod over the whole field.
bool wholeNumber(std::string_view token, Number& value)
{
    const std::string copy(token);
    char* stop = nullptr;
    const double parsed = std::strtod(copy.c_str(), &stop);
    if (stop == copy.c_str() || *stop != '\0')
        return false;
    value = atofNumber(token);
    value = value.value() == parsed ? value : Number(parsed);
    return true;
}

Number absolute(const Number& value)
{
    return value.value() < 0.0 ? value.negated() : value;
}

bool isMinusInfinity(const Number& value)
{
    return value.value() <= -kInfinity;
}

bool isPlusInfinity(const Number& value)
{
    return value.value() >= kInfinity;
}

enum class Section {
    Name,
    Objsense,
    Objname,
    Rows,
    UserCuts,
    LazyCons,
    Columns,
    Rhs,
    Ranges,
    Bounds,
    Sos,
    QuadObj,
    QMatrix,
    QcMatrix,
    Indicators,
    Endata
};

// The lines of the file and their fields as SCIP's mpsinputReadLine splits them. A field is
// empty when absent. Names with blanks in fixed layout are patched with '_' in the text.
class MpsInput {
public:
    explicit MpsInput(std::string& text) : m_data(text.data()), m_size(text.size()) {}

    // Reads the next line that is neither a comment, empty nor a marker. False at the end.
    bool readLine(Section section)
    {
        bool marker = false;
        bool empty = false;
        do {
            for (std::string_view& field : f)
                field = {};
            marker = false;
            if (!nextRawLine())
                return false;
            trimTrailing();
            if (at(0) != ' ') {  // a section line
                std::size_t pos = 0;
                f[0] = token(pos);
                f[1] = token(pos);
                return true;
            }
            if (!m_freeLayout)
                checkLayout(section);
            splitFields(marker);
            empty = f[0].empty() && f[1].empty();
        } while (marker || empty);
        return true;
    }

    int line() const { return m_line; }
    bool isInteger() const { return m_integer; }

    // Shifts fields as SCIP does when a vector name or a value is missing.
    void insertName(std::string_view name, bool second)
    {
        f[5] = f[4];
        f[4] = f[3];
        f[3] = f[2];
        if (second) {
            f[2] = name;
        } else {
            f[2] = f[1];
            f[1] = name;
        }
    }

    void insertField4(std::string_view value)
    {
        f[5] = f[4];
        f[4] = value;
    }

    std::string_view f[6];

private:
    bool nextRawLine()
    {
        do {
            if (m_next >= m_size)
                return false;
            m_start = m_next;
            const std::size_t limit = std::min(m_size - m_start, kLineRead);
            const void* newline = std::memchr(m_data + m_start, '\n', limit);
            m_next = newline != nullptr ? static_cast<std::size_t>(static_cast<const char*>(newline) - m_data) + 1
                                        : m_start + limit;
            ++m_line;
        } while (m_data[m_start] == '*');
        m_length = m_next - m_start;
        if (const void* nul = std::memchr(m_data + m_start, '\0', m_length))
            m_length = static_cast<std::size_t>(static_cast<const char*>(nul) - (m_data + m_start));
        return true;
    }

    void trimTrailing()
    {
        while (m_length > 0 && isBlank(m_data[m_start + m_length - 1]))
            --m_length;
    }

    // The line's character as SCIP's buffer holds it: blanks for tabs, line ends and the
    // padding to column 80.
    char at(std::size_t pos) const
    {
        if (pos >= m_length)
            return ' ';
        const char c = m_data[m_start + pos];
        return isBlank(c) ? ' ' : c;
    }

    // Fixed layout while every line so far could be; free layout from the first that cannot.
    void checkLayout(Section section)
    {
        const std::size_t length = m_length;
        if (at(14) == '$' && at(13) == ' ')
            m_length = std::min<std::size_t>(m_length, 14);
        else if (at(39) == '$' && at(38) == ' ')
            m_length = std::min<std::size_t>(m_length, 39);
        static constexpr std::size_t kBlankColumns[] = {12, 13, 22, 23, 36, 37, 38, 47, 48, 61, 62, 63};
        const bool blanks = std::all_of(std::begin(kBlankColumns), std::end(kBlankColumns),
                                        [this](std::size_t column) { return at(column) == ' '; });
        if (!blanks) {
            m_freeLayout = true;
            return;
        }
        bool number = false;
        for (std::size_t column = 24; column <= 35 && !number; ++column)
            number = isDigit(at(column));
        if (number || (length < 14 && section == Section::Rows)) {
            patchField(4, 12);
            patchField(14, 22);
            patchField(39, 47);
        } else if (section == Section::Columns || section == Section::Rhs || section == Section::Ranges
                   || section == Section::Bounds) {
            m_freeLayout = true;
        }
    }

    // Blanks inside a fixed field's name become '_'.
    void patchField(std::size_t begin, std::size_t end)
    {
        while (begin <= end && at(end) == ' ')
            --end;
        while (begin <= end && at(begin) == ' ')
            ++begin;
        for (std::size_t pos = begin; pos <= end; ++pos)
            if (at(pos) == ' ')
                m_data[m_start + pos] = '_';
    }

    std::string_view token(std::size_t& pos) const
    {
        while (pos < m_length && at(pos) == ' ')
            ++pos;
        const std::size_t begin = pos;
        while (pos < m_length && at(pos) != ' ')
            ++pos;
        return begin == pos ? std::string_view() : std::string_view(m_data + m_start + begin, pos - begin);
    }

    // Fields 1 to 5 of a data line; a field that starts with '$' ends the line. Integer
    // markers switch the columns that follow.
    void splitFields(bool& marker)
    {
        std::size_t pos = 1;
        f[1] = token(pos);
        if (f[1].empty())
            return;
        f[2] = token(pos);
        if (f[2].empty() || f[2][0] == '$') {
            f[2] = {};
            return;
        }
        marker = f[2] == "'MARKER'";
        f[3] = token(pos);
        if (f[3].empty() || f[3][0] == '$') {
            f[3] = {};
            return;
        }
        if (marker && !switchInteger(f[3]))
            return;
        if (f[3] == "'MARKER'")
            marker = true;
        f[4] = token(pos);
        if (f[4].empty() || f[4][0] == '$') {
            f[4] = {};
            return;
        }
        if (marker && !switchInteger(f[4]))
            return;
        f[5] = token(pos);
        if (!f[5].empty() && f[5][0] == '$')
            f[5] = {};
    }

    bool switchInteger(std::string_view field)
    {
        if (field == "'INTORG'")
            m_integer = true;
        else if (field == "'INTEND'")
            m_integer = false;
        else
            return false;  // an unknown marker: the line is skipped
        return true;
    }

    char* m_data;
    std::size_t m_size;
    std::size_t m_next = 0;
    std::size_t m_start = 0;
    std::size_t m_length = 0;
    int m_line = 0;
    bool m_freeLayout = false;
    bool m_integer = false;
};

// SCIP's type order: a type is relaxed by moving right.
int rank(VarType type)
{
    switch (type) {
    case VarType::Binary:
        return 0;
    case VarType::Integer:
        return 1;
    case VarType::Continuous:
        return 3;
    }
    return 3;
}

// A bound as SCIP changes an original bound: near zero is zero, a change within epsilon
// keeps the old value.
void changeBound(Number& bound, const Number& value)
{
    const Number adjusted = std::fabs(value.value()) <= kEpsilon ? Number(0.0) : value;
    if (std::fabs(adjusted.value() - bound.value()) <= kEpsilon)
        return;
    bound = adjusted;
}

// Names to indexes in one flat table (open addressing, hashes kept): a model's rows are
// looked up once per coefficient, and chained buckets cost a cache miss more each time.
class NameIndex {
public:
    // The index of `name`, or -1.
    int find(std::string_view name) const
    {
        if (m_slots.empty())
            return -1;
        const std::size_t hash = std::hash<std::string_view>{}(name);
        for (std::size_t at = hash & m_mask;; at = (at + 1) & m_mask) {
            const Slot& slot = m_slots[at];
            if (slot.index < 0)
                return -1;
            if (slot.hash == hash && slot.name == name)
                return slot.index;
        }
    }

    // Adds `name` with `index`; false when it is there already.
    bool add(std::string_view name, int index)
    {
        if ((m_count + 1) * 2 > m_slots.size())
            grow();
        const std::size_t hash = std::hash<std::string_view>{}(name);
        std::size_t at = hash & m_mask;
        for (; m_slots[at].index >= 0; at = (at + 1) & m_mask)
            if (m_slots[at].hash == hash && m_slots[at].name == name)
                return false;
        m_slots[at] = Slot{hash, name, index};
        ++m_count;
        return true;
    }

private:
    struct Slot {
        std::size_t hash = 0;
        std::string_view name;
        int index = -1;
    };

    void grow()
    {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(std::max<std::size_t>(1024, old.size() * 2), Slot{});
        m_mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.index < 0)
                continue;
            std::size_t at = slot.hash & m_mask;
            while (m_slots[at].index >= 0)
                at = (at + 1) & m_mask;
            m_slots[at] = slot;
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::size_t m_count = 0;
};

struct Entry {
    int row;
    int column;
    Number value;
};

struct IndicatorRow {
    int row;
    int binary;
    bool activeOnOne;
    int line;
};

class Parser {
public:
    Parser(std::string& text, LpModel& model, LpReadError& error) : m_input(text), m_model(model), m_error(error) {}

    bool run()
    {
        readName();
        if (m_section == Section::Objsense)
            readObjsense();
        if (m_section == Section::Objname)
            readObjname();
        while (m_section == Section::Rows || m_section == Section::UserCuts || m_section == Section::LazyCons)
            readRows();
        if (m_section == Section::Columns)
            readColumns();
        if (m_section == Section::Rhs)
            readRhs();
        if (m_section == Section::Ranges)
            readRanges();
        if (m_section == Section::Bounds)
            readBounds();
        if (m_section == Section::Sos)
            readSos();
        if (m_section == Section::QcMatrix || m_section == Section::QMatrix || m_section == Section::QuadObj)
            refuseQuadratic();
        if (m_section == Section::Indicators)
            readIndicators();
        if (m_section != Section::Endata)
            syntaxError(field(0).empty() ? "the file ends before ENDATA" : "unexpected section " + named(field(0)));
        if (m_failed)
            return false;
        m_model.maximize = m_maximize;
        placeTerms();
        return addIndicators();
    }

private:
    bool readLine() { return m_input.readLine(m_section); }
    std::string_view field(int k) const { return m_input.f[k]; }

    void fail(std::string message)
    {
        if (m_failed)
            return;
        m_failed = true;
        m_error.line = m_input.line();
        m_error.message = std::move(message);
        m_section = Section::Endata;
    }

    // SCIP says only "Syntax error in line N"; the hint says what was expected.
    void syntaxError(const std::string& hint) { fail("Syntax error: " + hint); }

    void enter(Section section) { m_section = section; }

    static std::string named(std::string_view name) { return "<" + std::string(name) + ">"; }

    void readName()
    {
        if (!readLine() || field(0) != "NAME") {
            syntaxError("an MPS file starts with a NAME line");
            return;
        }
        if (!readLine() || field(0).empty()) {
            syntaxError("expected a section after NAME");
            return;
        }
        const std::string_view word = field(0);
        if (word.starts_with("ROWS"))
            enter(Section::Rows);
        else if (word.starts_with("USERCUTS"))
            enter(Section::UserCuts);
        else if (word.starts_with("LAZYCONS"))
            enter(Section::LazyCons);
        else if (word.starts_with("OBJSEN"))
            enter(Section::Objsense);
        else if (word.starts_with("OBJNAME"))
            enter(Section::Objname);
        else
            syntaxError("unknown section " + named(word) + " after NAME");
    }

    // Either "OBJSENSE" with MIN or MAX on the next line, or "OBJSENSE MAX" on one line.
    void readObjsense()
    {
        if (field(1).empty() && (!readLine() || field(1).empty())) {
            syntaxError("expected MIN or MAX after OBJSENSE");
            return;
        }
        if (field(1).starts_with("MIN")) {
            m_maximize = false;
        } else if (field(1).starts_with("MAX")) {
            m_maximize = true;
        } else {
            syntaxError("expected MIN or MAX after OBJSENSE, not " + named(field(1)));
            return;
        }
        if (!readLine() || field(0).empty()) {
            syntaxError("expected ROWS after OBJSENSE");
            return;
        }
        const std::string_view word = field(0);
        if (word == "ROWS")
            enter(Section::Rows);
        else if (word == "USERCUTS")
            enter(Section::UserCuts);
        else if (word == "LAZYCONS")
            enter(Section::LazyCons);
        else if (word == "OBJNAME")
            enter(Section::Objname);
        else
            syntaxError("unexpected section " + named(word) + " after OBJSENSE");
    }

    void readObjname()
    {
        if (!readLine() || field(1).empty()) {
            syntaxError("expected the objective's name after OBJNAME");
            return;
        }
        m_objective = field(1);
        if (!readLine() || field(0).empty()) {
            syntaxError("expected ROWS after OBJNAME");
            return;
        }
        const std::string_view word = field(0);
        if (word == "ROWS")
            enter(Section::Rows);
        else if (word == "USERCUTS")
            enter(Section::UserCuts);
        else if (word == "LAZYCONS")
            enter(Section::LazyCons);
        else
            syntaxError("unexpected section " + named(word) + " after OBJNAME");
    }

    // Lazy constraints and user cuts are rows too, as the LP reader takes them.
    void readRows()
    {
        while (readLine()) {
            if (!field(0).empty()) {
                const std::string_view word = field(0);
                if (word == "ROWS")
                    enter(Section::Rows);
                else if (word == "USERCUTS")
                    enter(Section::UserCuts);
                else if (word == "LAZYCONS")
                    enter(Section::LazyCons);
                else if (word == "COLUMNS")
                    enter(Section::Columns);
                else
                    syntaxError("unexpected section " + named(word) + " after ROWS");
                return;
            }
            const char type = field(1)[0];
            const std::string_view name = field(2);
            if (name.empty()) {
                syntaxError("a row needs a type and a name");
                return;
            }
            if (type == 'N') {
                if (m_objective.empty())
                    m_objective = name;  // later N rows are free rows, and dropped
                continue;
            }
            LpRow row;
            row.name = name;
            switch (type) {
            case 'G':
                row.lower = 0.0;
                break;
            case 'E':
                row.lower = 0.0;
                row.upper = 0.0;
                break;
            case 'L':
                row.upper = 0.0;
                break;
            default:
                syntaxError("unknown row type " + named(field(1)));
                return;
            }
            if (!m_rows.add(name, static_cast<int>(m_model.rows.size()))) {
                syntaxError("row " + named(name) + " is named twice");
                return;
            }
            m_model.rows.push_back(row);
        }
        syntaxError("the file ends in ROWS");
    }

    int findRow(std::string_view name) const { return m_rows.find(name); }
    int findColumn(std::string_view name) const { return m_columns.find(name); }

    int addColumn(std::string_view name, bool integer)
    {
        LpColumn column;
        column.name = name;
        if (integer) {  // SCIP: an integer column is binary until its bounds say otherwise
            column.type = VarType::Binary;
            column.upper = 1.0;
        }
        const int index = static_cast<int>(m_model.columns.size());
        m_columns.add(name, index);
        m_model.columns.push_back(column);
        return index;
    }

    // One (row, value) pair of a column: the objective's is set, a row's added.
    bool addCoefficient(int column, std::string_view rowName, std::string_view text)
    {
        const Number value = atofNumber(text);
        if (rowName == m_objective) {
            if (std::fabs(value.value()) >= kInfinity) {
                fail("invalid objective value: objective value is infinite");
                return false;
            }
            m_model.columns[static_cast<std::size_t>(column)].objective = value;
            return true;
        }
        const int row = findRow(rowName);
        if (row >= 0 && std::fabs(value.value()) > kEpsilon)
            m_entries.push_back({row, column, value});
        return true;  // a row not declared is ignored, as SCIP warns and goes on
    }

    void readColumns()
    {
        std::string_view current;
        int column = -1;
        while (readLine()) {
            if (!field(0).empty()) {
                if (field(0) != "RHS")
                    break;
                enter(Section::Rhs);
                return;
            }
            if (field(1).empty() || field(2).empty() || field(3).empty())
                break;
            if (field(1) != current) {
                current = field(1);
                if (findColumn(current) >= 0) {
                    fail("Coeffients of column " + named(current) + " don't appear consecutively");
                    return;
                }
                column = addColumn(current, m_input.isInteger());
            }
            if (!addCoefficient(column, field(2), field(3)))
                return;
            if (!field(5).empty() && !addCoefficient(column, field(4), field(5)))
                return;
        }
        if (field(0).empty() && field(1).empty())
            syntaxError("the file ends in COLUMNS");
        else
            syntaxError(field(0).empty() ? "expected a column, a row and a value"
                                         : "expected RHS after COLUMNS, not " + named(field(0)));
    }

    // A section of vectors (RHS, RANGES) is over: the section that follows, or a syntax error.
    bool nextSectionAfterVectors(bool ranges)
    {
        const std::string_view word = field(0);
        if (word == "RANGES" && !ranges)
            enter(Section::Ranges);
        else if (word == "BOUNDS")
            enter(Section::Bounds);
        else if (!enterLateSection(word, true))
            return false;
        return true;
    }

    // The sections that may follow BOUNDS (and SOS, without SOS itself).
    bool enterLateSection(std::string_view word, bool sos)
    {
        if (word == "SOS" && sos)
            enter(Section::Sos);
        else if (word == "QMATRIX")
            enter(Section::QMatrix);
        else if (word == "QUADOBJ")
            enter(Section::QuadObj);
        else if (word == "QCMATRIX")
            enter(Section::QcMatrix);
        else if (word == "INDICATORS")
            enter(Section::Indicators);
        else if (word == "ENDATA")
            enter(Section::Endata);
        else
            return false;
        return true;
    }

    void setRhs(std::string_view rowName, std::string_view text)
    {
        const int index = findRow(rowName);
        if (index < 0) {
            if (rowName == m_objective)  // the objective's right-hand side is minus its constant
                m_model.objectiveOffset = m_model.objectiveOffset.plus(atofNumber(text).negated());
            return;
        }
        const Number value = atofNumber(text);
        LpRow& row = m_model.rows[static_cast<std::size_t>(index)];
        if (isMinusInfinity(row.lower)) {
            row.upper = value;
        } else if (isPlusInfinity(row.upper)) {
            row.lower = value;
        } else {
            row.lower = value;
            row.upper = value;
        }
    }

    //  Row  Sign   lower           upper
    //   G   +/-    rhs             rhs + |range|
    //   L   +/-    rhs - |range|   rhs
    //   E   +      rhs             rhs + range
    //   E   -      rhs + range     rhs
    void setRange(std::string_view rowName, std::string_view text)
    {
        const int index = findRow(rowName);
        if (index < 0)
            return;
        const Number value = atofNumber(text);
        LpRow& row = m_model.rows[static_cast<std::size_t>(index)];
        if (isMinusInfinity(row.lower))
            row.lower = row.upper.plus(absolute(value).negated());
        else if (isPlusInfinity(row.upper))
            row.upper = row.lower.plus(absolute(value));
        else if (value.value() >= 0.0)
            row.upper = row.upper.plus(value);
        else
            row.lower = row.lower.plus(value);
    }

    // RHS and RANGES: only the first vector named counts.
    void readVectors(bool ranges)
    {
        std::string_view vector;
        while (readLine()) {
            if (!field(0).empty()) {
                if (!nextSectionAfterVectors(ranges))
                    break;
                return;
            }
            if ((!field(2).empty() && field(3).empty()) || (!field(4).empty() && field(5).empty()))
                m_input.insertName(ranges ? "_RNG_" : "_RHS_", false);
            if (field(1).empty() || field(2).empty() || field(3).empty())
                break;
            if (vector.empty())
                vector = field(1);
            if (field(1) != vector)
                continue;
            for (int k = 2; k <= 4; k += 2) {
                if (k == 4 && field(5).empty())
                    break;
                if (ranges)
                    setRange(field(k), field(k + 1));
                else
                    setRhs(field(k), field(k + 1));
            }
        }
        const std::string section = ranges ? "RANGES" : "RHS";
        if (field(0).empty() && field(1).empty())
            syntaxError("the file ends in " + section);
        else
            syntaxError(field(0).empty() ? "expected a vector, a row and a value in " + section
                                         : "unexpected section " + named(field(0)) + " after " + section);
    }

    void readRhs() { readVectors(false); }
    void readRanges() { readVectors(true); }

    // Fills in what a bound line leaves out, as SCIP guesses it. False: not a bound type.
    bool completeBoundLine(bool& shifted)
    {
        const std::string_view type = field(1);
        static constexpr std::string_view kValued[] = {"LO", "UP", "FX", "LI", "UI", "SC", "SI"};
        static constexpr std::string_view kUnvalued[] = {"FR", "MI", "PL", "BV"};
        if (std::find(std::begin(kValued), std::end(kValued), type) != std::end(kValued)) {
            if (!field(3).empty() && field(4).empty()) {
                // Only digits and dots: the bound's name is missing; anything else: its value.
                if (field(3).find_first_not_of(".0123456789") == std::string_view::npos)
                    m_input.insertName("_BND_", true);
                else
                    m_input.insertField4("0.0");
                shifted = true;
            }
            return true;
        }
        if (std::find(std::begin(kUnvalued), std::end(kUnvalued), type) != std::end(kUnvalued)) {
            if (!field(2).empty() && field(3).empty()) {
                m_input.insertName("_BND_", true);
                shifted = true;
            }
            return true;
        }
        return false;
    }

    void applyBound(LpColumn& column, std::string_view type, const Number& value, int index)
    {
        VarType old = column.type;
        // A marked integer column is binary only while its bounds keep it so.
        const bool keepsBinary = (type[0] == 'B' && type[1] == 'V')
            || (type[0] == 'U' && !((value.value() - 1.0) / std::max({std::fabs(value.value()), 1.0}) > kFeasibility))
            || (type[0] == 'F' && type[1] == 'X' && value.value() >= -kFeasibility
                && !((value.value() - 1.0) / std::max({std::fabs(value.value()), 1.0}) > kFeasibility));
        if (old == VarType::Binary && !keepsBinary) {
            old = VarType::Integer;
            column.upper = kInfinity;
        }
        // The bound is applied to the column as if continuous, so it is not rounded.
        VarType now = VarType::Continuous;
        switch (type[0]) {
        case 'L':
            changeBound(column.lower, value);
            if (type[1] == 'I')
                now = VarType::Integer;
            break;
        case 'U':
            changeBound(column.upper, value);
            if (type[1] == 'I')
                now = VarType::Integer;
            break;
        case 'S':
            m_semicontinuous.push_back({index, 0.0, m_input.line()});
            if (type[1] == 'I')
                now = VarType::Integer;
            if (!isPlusInfinity(value) || !isPlusInfinity(column.upper))
                changeBound(column.upper, value);
            break;
        case 'F':
            if (type[1] == 'X') {
                changeBound(column.lower, value);
                changeBound(column.upper, value);
            } else {
                column.lower = -kInfinity;
                column.upper = kInfinity;
            }
            break;
        case 'M':
            column.lower = -kInfinity;
            break;
        case 'P':
            column.upper = kInfinity;
            break;
        case 'B':
            if (old != VarType::Binary) {
                // Tightened only: a bound that would cross the other is left (SCIP: infeasible).
                if (column.lower.value() < 0.0 && !(column.upper.value() < -kFeasibility))
                    column.lower = 0.0;
                if (column.upper.value() > 1.0 && !(column.lower.value() > 1.0 + kFeasibility))
                    column.upper = 1.0;
                now = VarType::Binary;
            } else {
                now = VarType::Binary;
            }
            break;
        default:
            break;
        }
        column.type = rank(old) < rank(now) ? old : now;
    }

    void readBounds()
    {
        std::string_view vector;
        bool finished = false;
        while (readLine()) {
            if (!field(0).empty()) {
                finished = enterLateSection(field(0), true);
                break;
            }
            bool shifted = false;
            if (!completeBoundLine(shifted)) {
                syntaxError("unknown bound type " + named(field(1)));
                return;
            }
            if (field(1).empty() || field(2).empty() || field(3).empty()) {
                syntaxError("expected a bound type, a vector, a column and a value");
                return;
            }
            if (vector.empty())
                vector = field(2);
            if (field(2) != vector) {
                if (field(3) == vector && shifted) {
                    syntaxError("the bound line is missing a field");
                    return;
                }
                continue;  // only the first vector counts
            }
            int index = findColumn(field(3));
            if (index < 0)  // a column named first here is continuous
                index = addColumn(field(3), false);
            const Number value = field(4).empty() ? Number(0.0) : atofNumber(field(4));
            applyBound(m_model.columns[static_cast<std::size_t>(index)], field(1), value, index);
        }
        if (!finished)
            syntaxError(field(0).empty() ? "the file ends in BOUNDS" : "unexpected section " + named(field(0)) + " after BOUNDS");
        else
            addSemicontinuous();
    }

    // x = 0 or x >= its lower bound, and 1 for a lower bound of 0; the lower bound becomes 0.
    void addSemicontinuous()
    {
        for (LpSemicontinuous variable : m_semicontinuous) {
            LpColumn& column = m_model.columns[static_cast<std::size_t>(variable.column)];
            variable.threshold = column.lower.value() == 0.0 ? Number(1.0) : column.lower;
            column.lower = 0.0;
            ++m_model.extraConstraints;
            // A negative threshold leaves x >= 0 only.
            if (variable.threshold.value() > 0.0)
                m_model.semicontinuous.push_back(variable);
        }
    }

    void readSos()
    {
        LpSos set;
        bool open = false;
        while (readLine()) {
            if (!field(0).empty()) {
                enterLateSection(field(0), false);
                break;
            }
            if (field(1) == "S1" || field(1) == "S2") {
                if (open)
                    addSet(set);
                set = LpSos{};
                set.type = field(1) == "S1" ? 1 : 2;
                set.line = m_input.line();
                open = true;
                continue;
            }
            if (!open) {
                fail("missing SOS type (S1 or S2).");
                return;
            }
            const int column = findColumn(field(1));
            if (column < 0)
                continue;  // an unknown column is ignored
            Number weight = 0.0;
            if (field(2).empty() || !wholeNumber(field(2), weight)) {
                fail("weight for variable " + named(field(1)) + " not specified.");
                return;
            }
            set.members.push_back({column, weight});
        }
        if (open)
            addSet(set);
    }

    void addSet(LpSos& set)
    {
        m_model.sets.push_back(std::move(set));
        ++m_model.extraConstraints;
    }

    void refuseQuadratic()
    {
        const char* section = m_section == Section::QcMatrix ? "QCMATRIX"
            : m_section == Section::QMatrix                  ? "QMATRIX"
                                                              : "QUADOBJ";
        fail(std::string("quadratic sections (") + section + ") are not supported by this engine.");
    }

    void readIndicators()
    {
        while (readLine()) {
            if (!field(0).empty()) {
                if (field(0) == "ENDATA")
                    enter(Section::Endata);
                return;
            }
            if (field(1).empty() || field(2).empty()) {
                fail("empty data in a non-comment line.");
                return;
            }
            if (field(1) != "IF") {
                fail("Indicator constraints need to be introduced by 'IF' in column 1.");
                return;
            }
            const int row = findRow(field(2));
            if (row < 0) {
                fail("row " + named(field(2)) + " does not exist.");
                return;
            }
            const int binary = findColumn(field(3));
            if (binary < 0) {
                fail("binary variable " + named(field(3)) + " does not exist.");
                return;
            }
            if (m_model.columns[static_cast<std::size_t>(binary)].type != VarType::Binary) {
                fail("variable " + named(field(3)) + " is not binary.");
                return;
            }
            bool activeOnOne = true;
            if (!field(4).empty()) {
                if (field(4)[0] == '0') {
                    activeOnOne = false;
                } else if (field(4)[0] != '1') {
                    fail("binary variable " + named(field(3)) + " can only take values 0/1 (" + std::string(field(4))
                         + ").");
                    return;
                }
            }
            const bool used = std::any_of(m_indicatorRows.begin(), m_indicatorRows.end(),
                                          [row](const IndicatorRow& other) { return other.row == row; });
            if (used) {
                fail("Linear constraint " + named(field(2)) + " already used in an indicator constraint.");
                return;
            }
            m_indicatorRows.push_back({row, binary, activeOnOne, m_input.line()});
        }
    }

    // The coefficients came column by column; the model keeps them row by row.
    void placeTerms()
    {
        std::vector<LpRow>& rows = m_model.rows;
        for (const Entry& entry : m_entries)
            ++rows[static_cast<std::size_t>(entry.row)].count;
        int first = 0;
        for (LpRow& row : rows) {
            row.first = first;
            first += row.count;
            row.count = 0;
        }
        m_model.terms.resize(m_entries.size(), LpTerm{0, Number(0.0)});
        for (const Entry& entry : m_entries) {
            LpRow& row = rows[static_cast<std::size_t>(entry.row)];
            m_model.terms[static_cast<std::size_t>(row.first + row.count++)] = LpTerm{entry.column, entry.value};
        }
        std::vector<Entry>().swap(m_entries);
    }

    // A row named by an indicator holds only when its binary variable takes the active
    // value: it leaves the rows and becomes one indicator per finite side.
    bool addIndicators()
    {
        if (m_indicatorRows.empty())
            return true;
        std::vector<bool> conditional(m_model.rows.size(), false);
        for (const IndicatorRow& source : m_indicatorRows) {
            const LpRow& row = m_model.rows[static_cast<std::size_t>(source.row)];
            conditional[static_cast<std::size_t>(source.row)] = true;
            LpIndicator indicator;
            indicator.binary = source.binary;
            indicator.activeOnOne = source.activeOnOne;
            indicator.line = source.line;
            if (!isMinusInfinity(row.lower)) {  // lower <= a x as -a x <= -lower
                LpIndicator lower = indicator;
                lower.first = static_cast<int>(m_model.terms.size());
                lower.count = row.count;
                for (int k = 0; k < row.count; ++k) {
                    LpTerm term = m_model.terms[static_cast<std::size_t>(row.first + k)];
                    term.value = term.value.negated();
                    m_model.terms.push_back(term);
                }
                lower.rhs = row.lower.negated();
                addIndicator(m_model, lower);
            }
            if (!isPlusInfinity(row.upper)) {
                indicator.first = row.first;
                indicator.count = row.count;
                indicator.rhs = row.upper;
                addIndicator(m_model, indicator);
            }
        }
        std::size_t kept = 0;
        for (std::size_t k = 0; k < m_model.rows.size(); ++k)
            if (!conditional[k])
                m_model.rows[kept++] = m_model.rows[k];
        m_model.rows.resize(kept);
        return true;
    }


    MpsInput m_input;
    LpModel& m_model;
    LpReadError& m_error;
    Section m_section = Section::Name;
    bool m_failed = false;
    bool m_maximize = false;
    std::string_view m_objective;
    NameIndex m_rows;
    NameIndex m_columns;
    std::vector<Entry> m_entries;
    std::vector<LpSemicontinuous> m_semicontinuous;
    std::vector<IndicatorRow> m_indicatorRows;
};

}  // namespace

bool parseMpsText(std::string& text, LpModel& model, LpReadError& error)
{
    Parser parser(text, model, error);
    return parser.run();
}
