#include "Screen.h"

#include <cstdlib>

namespace {

class Screen {
public:
    void put(std::string cell)
    {
        std::vector<std::string>& line = row();
        if (line.size() <= m_col)
            line.resize(m_col + 1, " ");
        line[m_col++] = std::move(cell);
    }
    void carriageReturn() { m_col = 0; }
    void lineFeed() { ++m_row; }
    void left(std::size_t n) { m_col = n > m_col ? 0 : m_col - n; }
    void right(std::size_t n) { m_col += n; }
    void up(std::size_t n) { m_row = n > m_row ? 0 : m_row - n; }
    void eraseToEnd()
    {
        std::vector<std::string>& line = row();
        if (line.size() > m_col)
            line.resize(m_col);
    }
    void deleteCells(std::size_t n)
    {
        std::vector<std::string>& line = row();
        if (m_col < line.size())
            line.erase(line.begin() + static_cast<long>(m_col),
                       line.begin() + static_cast<long>(std::min(line.size(), m_col + n)));
    }
    void insertBlanks(std::size_t n)
    {
        std::vector<std::string>& line = row();
        if (m_col < line.size())
            line.insert(line.begin() + static_cast<long>(m_col), n, " ");
    }
    void column(std::size_t n) { m_col = n; }

    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        for (const auto& cells : m_rows) {
            std::string text;
            for (const auto& cell : cells)
                text += cell;
            result.push_back(text);
        }
        return result;
    }

private:
    std::vector<std::string>& row()
    {
        if (m_rows.size() <= m_row)
            m_rows.resize(m_row + 1);
        return m_rows[m_row];
    }

    std::vector<std::vector<std::string>> m_rows;
    std::size_t m_row = 0;
    std::size_t m_col = 0;
};

// A control sequence's first number, or the default.
std::size_t firstNumber(std::string_view parameters, std::size_t fallback)
{
    std::size_t value = 0;
    bool any = false;
    for (char c : parameters) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + static_cast<std::size_t>(c - '0');
        any = true;
    }
    return any && value > 0 ? value : fallback;
}

void control(Screen& screen, std::string_view parameters, char final)
{
    const std::size_t n = firstNumber(parameters, 1);
    switch (final) {
    case 'A': screen.up(n); break;
    case 'C': screen.right(n); break;
    case 'D': screen.left(n); break;
    case 'G': screen.column(n - 1); break;
    case 'K':
        if (firstNumber(parameters, 0) == 0)
            screen.eraseToEnd();
        break;
    case 'P': screen.deleteCells(n); break;
    case '@': screen.insertBlanks(n); break;
    default: break;  // modes, colours: nothing to show
    }
}

}  // namespace

std::vector<std::string> screenLines(std::string_view output)
{
    Screen screen;
    std::size_t i = 0;
    while (i < output.size()) {
        const unsigned char c = static_cast<unsigned char>(output[i]);
        if (c == '\033') {
            if (i + 1 < output.size() && output[i + 1] == '[') {
                std::size_t end = i + 2;
                while (end < output.size() && (output[end] < 0x40 || output[end] > 0x7e))
                    ++end;
                if (end < output.size())
                    control(screen, output.substr(i + 2, end - i - 2), output[end]);
                i = end + 1;
            } else {
                i += 2;
            }
            continue;
        }
        if (c == '\r')
            screen.carriageReturn();
        else if (c == '\n')
            screen.lineFeed();
        else if (c == '\b')
            screen.left(1);
        else if (c >= 0x20 && c != 0x7f) {
            // One cell per character: a UTF-8 lead byte takes its continuation bytes along.
            std::size_t length = 1;
            while (i + length < output.size() && (static_cast<unsigned char>(output[i + length]) & 0xC0) == 0x80)
                ++length;
            if (c < 0x80)
                length = 1;
            screen.put(std::string(output.substr(i, length)));
            i += length;
            continue;
        }
        ++i;  // bell and other controls show nothing
    }
    return screen.lines();
}
