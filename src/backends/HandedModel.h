#pragma once

#include <optional>
#include <string>
#include <thread>

#include "backends/ModelFiles.h"

// A model file as a solver can read it: the file itself when the solver reads its kind;
// otherwise its content, decompressed by Lumbrix while the solver reads, through a pipe the
// solver opens as /proc/self/fd/N, so that no copy is made on any disk. Reading time spent
// decompressing is the solver's reading time.
class HandedModel {
public:
    HandedModel(const std::string& path, const ModelKinds& reads);
    ~HandedModel();
    HandedModel(const HandedModel&) = delete;
    HandedModel& operator=(const HandedModel&) = delete;

    // What the solver opens.
    const std::string& path() const { return m_path; }
    // The format to read it as ("lp", "mps") when the path does not say it; null when it does.
    const char* extension() const { return m_extension; }
    // After the solver has read: the reason the solver did not get the whole model (corrupt
    // or truncated compressed data, a file that could not be read); none when it did, or
    // when the file was handed as it is.
    std::optional<std::string> finish();

private:
    void closeReadEnd();

    std::string m_path;
    const char* m_extension = nullptr;
    int m_readEnd = -1;
    std::thread m_writer;
    std::optional<std::string> m_failure;  // written by the writer, read after joining it
};
