#include "HeadlessBrowser.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Process.h"

namespace {

constexpr int kAnswerSeconds = 30;

bool isExecutable(const std::string& path)
{
    return access(path.c_str(), X_OK) == 0;
}

// Whether this process may put the browser in a network namespace of its own.
bool canUnshareNetwork()
{
    if (geteuid() != 0 || !isExecutable("/usr/bin/unshare"))
        return false;
    return runProcess({"/usr/bin/unshare", "-n", "true"}).exitCode == 0;
}

std::vector<std::string> browserCommand(const std::string& profileFolder)
{
    std::vector<std::string> command;
    if (canUnshareNetwork())
        command = {"/usr/bin/unshare", "-n"};
    command.push_back(HeadlessBrowser::program());
    for (const char* option : {"--headless", "--disable-gpu", "--no-first-run", "--no-default-browser-check",
                               "--disable-background-networking", "--disable-component-update", "--disable-sync",
                               "--disable-extensions", "--disable-dev-shm-usage", "--remote-debugging-pipe",
                               "--proxy-server=127.0.0.1:9", "--host-resolver-rules=MAP * ~NOTFOUND",
                               "--window-size=1280,1000"})
        command.push_back(option);
    if (geteuid() == 0)
        command.push_back("--no-sandbox");
    command.push_back("--user-data-dir=" + profileFolder + "/profile");
    command.push_back("about:blank");
    return command;
}

// The browser reads commands on descriptor 3 and writes answers on descriptor 4.
[[noreturn]] void execBrowser(const std::vector<std::string>& command, int commands, int answers, const std::string& log)
{
    setpgid(0, 0);
    const int in = fcntl(commands, F_DUPFD_CLOEXEC, 10);
    const int out = fcntl(answers, F_DUPFD_CLOEXEC, 10);
    const int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (in < 0 || out < 0 || logFd < 0 || nothing < 0 || dup2(in, 3) < 0 || dup2(out, 4) < 0 || dup2(nothing, 0) < 0
        || dup2(nothing, 1) < 0 || dup2(logFd, 2) < 0)
        _exit(126);
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

bool writeAllTo(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// A member of a JSON object, null when there is none.
nlohmann::json member(const nlohmann::json& object, const char* name)
{
    return object.is_object() && object.contains(name) ? object[name] : nlohmann::json();
}

std::string text(const nlohmann::json& object, const char* name)
{
    const nlohmann::json value = member(object, name);
    return value.is_string() ? value.get<std::string>() : std::string();
}

}  // namespace

std::string HeadlessBrowser::program()
{
    for (const char* path : {"/usr/lib/chromium/chromium", "/usr/bin/chromium"})
        if (isExecutable(path))
            return path;
    return {};
}

HeadlessBrowser::HeadlessBrowser(const std::string& profileFolder)
{
    // A browser that dies must fail the test, not end it with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    // The browser's helpers outlive it for a moment; they are to be reaped here.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    int commands[2], answers[2];
    if (pipe2(commands, O_CLOEXEC) != 0 || pipe2(answers, O_CLOEXEC) != 0) {
        m_error = std::string("pipe: ") + std::strerror(errno);
        return;
    }
    const std::vector<std::string> command = browserCommand(profileFolder);
    m_pid = fork();
    if (m_pid == 0)
        execBrowser(command, commands[0], answers[1], profileFolder + "/chromium.log");
    close(commands[0]);
    close(answers[1]);
    m_toBrowser = commands[1];
    m_fromBrowser = answers[0];
    if (m_pid < 0)
        m_error = std::string("fork: ") + std::strerror(errno);
}

HeadlessBrowser::~HeadlessBrowser()
{
    if (m_pid > 0) {
        call("Browser.close", nlohmann::json::object(), false);
        // The browser's helpers are in its process group and, this process being their
        // subreaper, its children once the browser is gone: wait for the group to end, then
        // kill what is left of it and reap that too.
        for (int i = 0; i < 100; ++i) {
            int status = 0;
            const pid_t ended = waitpid(-m_pid, &status, WNOHANG);
            if (ended < 0)
                break;
            if (ended == 0)
                usleep(50000);
        }
        kill(-m_pid, SIGKILL);
        int status = 0;
        while (waitpid(-m_pid, &status, 0) > 0) {
        }
    }
    if (m_toBrowser >= 0)
        close(m_toBrowser);
    if (m_fromBrowser >= 0)
        close(m_fromBrowser);
}

bool HeadlessBrowser::readMessage(nlohmann::json& message)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kAnswerSeconds);
    for (;;) {
        const std::size_t end = m_buffer.find('\0');
        if (end != std::string::npos) {
            message = nlohmann::json::parse(m_buffer.substr(0, end), nullptr, false);
            m_buffer.erase(0, end + 1);
            return !message.is_discarded();
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd wait{m_fromBrowser, POLLIN, 0};
        if (left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) <= 0) {
            m_error = "the browser did not answer within " + std::to_string(kAnswerSeconds) + " s";
            return false;
        }
        char chunk[65536];
        const ssize_t got = read(m_fromBrowser, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            m_error = "the browser closed its pipe";
            return false;
        }
        m_buffer.append(chunk, static_cast<std::size_t>(got));
    }
}

void HeadlessBrowser::noteEvent(const nlohmann::json& message)
{
    const std::string method = text(message, "method");
    const nlohmann::json params = member(message, "params");
    if (method == "Runtime.exceptionThrown") {
        const nlohmann::json details = member(params, "exceptionDetails");
        m_problems.push_back("exception: " + text(details, "text") + " " + text(member(details, "exception"), "description"));
    } else if (method == "Runtime.consoleAPICalled") {
        const std::string type = text(params, "type");
        if (type == "error" || type == "warning" || type == "assert")
            m_problems.push_back("console." + type + ": " + member(params, "args").dump());
    } else if (method == "Log.entryAdded") {
        const nlohmann::json entry = member(params, "entry");
        const std::string level = text(entry, "level");
        if (level == "error" || level == "warning")
            m_problems.push_back("log " + level + ": " + text(entry, "text") + " " + text(entry, "url"));
    } else if (method == "Network.requestWillBeSent") {
        m_requests.push_back(text(member(params, "request"), "url"));
    } else if (method == "Network.loadingFailed") {
        m_problems.push_back("load failed: " + text(params, "errorText"));
    }
}

nlohmann::json HeadlessBrowser::call(const std::string& method, const nlohmann::json& params, bool inPage)
{
    if (m_pid <= 0)
        return nullptr;
    const int id = m_nextId++;
    nlohmann::json command = {{"id", id}, {"method", method}, {"params", params}};
    if (inPage)
        command["sessionId"] = m_session;
    if (!writeAllTo(m_toBrowser, command.dump() + std::string(1, '\0'))) {
        m_error = "the browser does not read its commands";
        return nullptr;
    }
    nlohmann::json message;
    while (readMessage(message)) {
        if (!message.contains("id")) {
            noteEvent(message);
            continue;
        }
        if (message["id"] != id)
            continue;
        if (message.contains("error")) {
            m_error = method + ": " + message["error"].dump();
            return nullptr;
        }
        return member(message, "result");
    }
    return nullptr;
}

bool HeadlessBrowser::waitForEvent(const std::string& method)
{
    nlohmann::json message;
    while (readMessage(message)) {
        noteEvent(message);
        if (text(message, "method") == method && text(message, "sessionId") == m_session)
            return true;
    }
    return false;
}

bool HeadlessBrowser::open(const std::string& url)
{
    const nlohmann::json target = call("Target.createTarget", {{"url", "about:blank"}}, false);
    if (!target.is_object())
        return false;
    const nlohmann::json attached =
        call("Target.attachToTarget", {{"targetId", text(target, "targetId")}, {"flatten", true}}, false);
    if (!attached.is_object())
        return false;
    m_session = text(attached, "sessionId");
    for (const char* domain : {"Runtime.enable", "Log.enable", "Network.enable", "Page.enable"})
        if (call(domain, nlohmann::json::object()).is_null())
            return false;
    const nlohmann::json navigated = call("Page.navigate", {{"url", url}});
    if (!navigated.is_object())
        return false;
    if (!text(navigated, "errorText").empty()) {
        m_error = "navigate: " + text(navigated, "errorText");
        return false;
    }
    return waitForEvent("Page.loadEventFired");
}

nlohmann::json HeadlessBrowser::evaluate(const std::string& expression)
{
    const nlohmann::json result =
        call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}});
    if (!result.is_object())
        return nullptr;
    if (result.contains("exceptionDetails")) {
        m_problems.push_back("evaluate: " + result["exceptionDetails"].dump());
        return nullptr;
    }
    return member(member(result, "result"), "value");
}

std::string HeadlessBrowser::printedPdf()
{
    const nlohmann::json result = call("Page.printToPDF", nlohmann::json::object());
    return text(result, "data");
}
