#pragma once

#include <string>
#include <utility>

// A failed call of the Gurobi library: its code and the library's message at that moment.
// Thrown and caught by value.
class GRBException {
public:
    GRBException(std::string message, int errorCode) : m_message(std::move(message)), m_errorCode(errorCode) {}

    int errorCode() const { return m_errorCode; }
    std::string message() const { return m_message; }

private:
    std::string m_message;
    int m_errorCode;
};

// The library's codes that the program tells apart.
inline constexpr int kGurobiOutOfMemory = 10001;
