#include "Screen.h"

#include <algorithm>

namespace {

// One cell per character; a row grows as it is written to.
struct Screen {
    std::vector<std::vector<std::string>> rows{1};
    std::size_t row = 0;
    std::size_t col = 0;

    std::vector<std::string>& line()
    {
        if (rows.size() <= row)
            rows.resize(row + 1);
        return rows[row];
    }
    void put(std::string cell)
    {
        if (line().size() <= col)
            line().resize(col + 1, " ");
        line()[col++] = std::move(cell);
    }
    // The sequences a line editor uses on an xterm: cursor right and left, erase to the
    // end of the line, delete characters. Others (modes) show nothing.
    void control(std::string_view parameters, char final)
    {
        std::size_t n = 0;
        for (char c : parameters)
            n = c >= '0' && c <= '9' ? n * 10 + static_cast<std::size_t>(c - '0') : n;
        const std::size_t count = std::max<std::size_t>(n, 1);
        if (final == 'C')
            col += count;
        else if (final == 'D')
            col -= std::min(col, count);
        else if (final == 'K' && n == 0 && line().size() > col)
            line().resize(col);
        else if (final == 'P' && col < line().size())
            line().erase(line().begin() + static_cast<long>(col),
                         line().begin() + static_cast<long>(std::min(line().size(), col + count)));
    }
};

bool continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::vector<std::string> screenLines(std::string_view output)
{
    Screen screen;
    std::size_t i = 0;
    while (i < output.size()) {
        const char c = output[i];
        if (c == '\033' && i + 1 < output.size() && output[i + 1] == '[') {
            std::size_t end = i + 2;
            while (end < output.size() && (output[end] < 0x40 || output[end] > 0x7e))
                ++end;
            if (end < output.size())
                screen.control(output.substr(i + 2, end - i - 2), output[end]);
            i = end + 1;
            continue;
        }
        if (c == '\r')
            screen.col = 0;
        else if (c == '\n')
            ++screen.row;
        else if (c == '\b')
            screen.col -= std::min<std::size_t>(screen.col, 1);
        else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) {
            // A UTF-8 character takes its continuation bytes along.
            std::size_t length = 1;
            while (static_cast<unsigned char>(c) >= 0xC0 && i + length < output.size() && continuation(output[i + length]))
                ++length;
            screen.put(std::string(output.substr(i, length)));
            i += length;
            continue;
        }
        ++i;  // the bell and other controls show nothing
    }
    std::vector<std::string> lines;
    for (const auto& cells : screen.rows) {
        std::string text;
        for (const auto& cell : cells)
            text += cell;
        lines.push_back(text);
    }
    return lines;
}
