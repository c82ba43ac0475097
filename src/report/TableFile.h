#pragma once

#include <memory_resource>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

// A table file written as a run goes: after every line added it holds the header and every
// line so far, never part of a line. It is first written whole to a new file that is then
// renamed over the old one (rewritten in place only when the folder may not be written to but
// the file may); later lines are appended, so a run costs the same per line however long it
// gets. A file deleted, replaced, emptied or added to from outside is written whole again.
class TableFile {
public:
    TableFile(std::string folder, std::string name, std::string header);
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    // A line an earlier run left in the file, kept before the next create().
    void keep(std::string_view line) { m_lines.emplace_back(line); }

    // Writes the header and the lines kept. 0, or the errno of the failure.
    int create();

    // Adds a line (with its line end) and brings the file up to date. 0, or the errno of the
    // failure; the line is kept, and the next call writes the whole file again.
    int append(std::string_view line);

    const std::string& path() const { return m_path; }

    // Whether `other` names the file this object writes.
    bool isFile(const std::string& other) const;

private:
    int replaceWhole();
    int appendNew();
    bool stillAsLeft() const;
    void close();

    std::string m_folder;
    std::string m_name;
    std::string m_path;
    std::string m_header;
    // Thousands of small strings that live for the whole run, scattered among a solver's
    // short-lived allocations, slow the solver's allocator down as a long run goes on.
    std::pmr::unsynchronized_pool_resource m_memory;
    std::pmr::vector<std::pmr::string> m_lines{&m_memory};
    int m_fd = -1;
    off_t m_size = 0;
    std::size_t m_linesWritten = 0;
};
