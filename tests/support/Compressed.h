#pragma once

#include <string>

// Model files as the field ships them, made in the test from their text.
std::string gzipped(const std::string& text);
std::string bzipped(const std::string& text);
