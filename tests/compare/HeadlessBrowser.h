#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>
#include <sys/types.h>

// Debian's Chromium without a window, driven over the DevTools protocol on a pair of pipes
// (--remote-debugging-pipe), with no network: in a network namespace of its own when run as
// root, and pointed at a proxy that does not exist in any case. It records what a person
// would see in the developer tools' console (errors and warnings, uncaught exceptions) and
// every address the page asks for.
class HeadlessBrowser {
public:
    // The browser's program, or empty when Chromium is not installed.
    static std::string program();

    // Starts the browser with a fresh profile in `profileFolder`; its log goes to
    // profileFolder/chromium.log.
    explicit HeadlessBrowser(const std::string& profileFolder);
    // Closes the browser, and kills what is left of its process group.
    ~HeadlessBrowser();
    HeadlessBrowser(const HeadlessBrowser&) = delete;
    HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

    // Opens the address in a new tab and waits for its load event. False, with the reason in
    // error(), when the browser does not answer in time.
    bool open(const std::string& url);
    // The value of a script expression evaluated in the open page; null when it threw (the
    // exception is then among problems()).
    nlohmann::json evaluate(const std::string& expression);
    // The page printed to PDF, as the protocol returns it (base64); empty on failure.
    std::string printedPdf();

    // Console errors and warnings, uncaught exceptions, failed loads: one text each.
    const std::vector<std::string>& problems() const { return m_problems; }
    // Every address the page requested, in order.
    const std::vector<std::string>& requests() const { return m_requests; }
    const std::string& error() const { return m_error; }

private:
    nlohmann::json call(const std::string& method, const nlohmann::json& params, bool inPage = true);
    bool waitForEvent(const std::string& method);
    bool readMessage(nlohmann::json& message);
    void noteEvent(const nlohmann::json& message);

    pid_t m_pid = -1;
    int m_toBrowser = -1;
    int m_fromBrowser = -1;
    std::string m_buffer;
    std::string m_session;
    int m_nextId = 1;
    std::vector<std::string> m_problems;
    std::vector<std::string> m_requests;
    std::string m_error;
};
