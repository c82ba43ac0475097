#include "shell/LineEditor.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <poll.h>
#include <unistd.h>

#include <readline/readline.h>

#include "shell/PromptCompletion.h"
#include "shell/PromptHistory.h"
#include "shell/PromptSignals.h"

namespace {

struct Reading {
    bool done = false;
    bool endOfInput = false;
    std::string line;
};

Reading g_reading;

void takeLine(char* text)
{
    g_reading.done = true;
    if (text) {
        g_reading.line = text;
        std::free(text);
    } else {
        g_reading.endOfInput = true;
    }
    // Leaves the terminal as it was and keeps readline from showing a new prompt.
    rl_callback_handler_remove();
}

// Readline needs a multibyte character type to edit and measure UTF-8 text (the prompts
// hold some). The program's own locale is left alone outside the prompt.
class CharacterLocale {
public:
    CharacterLocale()
    {
        const char* current = std::setlocale(LC_CTYPE, nullptr);
        m_saved = current ? current : "C";
    }
    ~CharacterLocale() { std::setlocale(LC_CTYPE, m_saved.c_str()); }
    CharacterLocale(const CharacterLocale&) = delete;
    CharacterLocale& operator=(const CharacterLocale&) = delete;

    // The environment's character type when it is multibyte, UTF-8 otherwise.
    void useForEditing()
    {
        if (!std::setlocale(LC_CTYPE, "") || MB_CUR_MAX == 1)
            std::setlocale(LC_CTYPE, "C.UTF-8");
    }

private:
    std::string m_saved;
};

// Settings made over whatever an inputrc says. Accented letters in answers and paths pass
// as typed. An answer is one line: a pasted line break ends it, as Enter does. Completing
// in the middle of a word does not repeat the text after the cursor.
constexpr const char* kVariables[][2] = {
    {"input-meta", "on"},
    {"output-meta", "on"},
    {"convert-meta", "off"},
    {"enable-bracketed-paste", "off"},
    {"skip-completed-text", "on"},
};

// Home, End and Delete as the console, screen, tmux and rxvt send them, unless an inputrc
// bound those keys already.
struct KeyBinding {
    const char* sequence;
    rl_command_func_t* function;
};
const KeyBinding kKeys[] = {
    {"\033[1~", rl_beg_of_line}, {"\033[7~", rl_beg_of_line}, {"\033[4~", rl_end_of_line},
    {"\033[8~", rl_end_of_line}, {"\033[3~", rl_delete},
};

// Once per run. Readline catches no signals itself and changes no environment variables:
// the prompt loop below deals with the signals and puts everything back after each prompt.
void setUpReadline()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    rl_readline_name = "Lumbrix";
    rl_instream = stdin;
    rl_outstream = stdout;
    rl_catch_signals = 0;
    rl_catch_sigwinch = 0;
    rl_change_environment = 0;
    bool ok = rl_initialize() == 0;
    for (const auto& [name, value] : kVariables)
        ok = rl_variable_bind(name, value) == 0 && ok;
    for (const KeyBinding& key : kKeys)
        ok = rl_bind_keyseq_if_unbound(key.sequence, key.function) >= 0 && ok;
    // Editing still works, only not quite as set up here.
    if (!ok)
        std::cerr << "Aviso: a edição de linha não pôde ser toda configurada.\n";
}

// Ctrl-C: the line is dropped and the prompt shown again on a new line, as shells do.
void restartLine(const std::string& prompt)
{
    rl_free_line_state();
    rl_callback_sigcleanup();
    rl_point = rl_end;
    rl_redisplay();
    rl_echo_signal_char(SIGINT);
    rl_callback_handler_remove();
    rl_crlf();
    rl_callback_handler_install(prompt.c_str(), takeLine);
}

// Any other caught signal: the terminal is put back and the signal does what it did before
// the prompt. If the program goes on (after a stop, for instance), so does the line, shown
// again on a new line.
void passSignalOn(int signal, PromptSignals& signals, const std::string& prompt)
{
    rl_callback_sigcleanup();
    const std::string text(rl_line_buffer, static_cast<std::size_t>(rl_end));
    const int point = rl_point;
    rl_echo_signal_char(signal);
    rl_callback_handler_remove();
    std::fflush(stdout);
    signals.deliverAsBefore(signal);
    rl_crlf();
    rl_callback_handler_install(prompt.c_str(), takeLine);
    rl_insert_text(text.c_str());
    rl_point = point;
    rl_redisplay();
}

}  // namespace

bool editingTerminal()
{
    static const bool terminal = isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1;
    return terminal;
}

bool readEditedLine(const std::string& prompt, std::string& line, Completion completion)
{
    std::cout.flush();
    std::fflush(stdout);
    CharacterLocale locale;
    setUpReadline();
    locale.useForEditing();
    PromptHistory history(completion);
    useCompletion(completion);
    PromptSignals signals;

    g_reading = Reading();
    rl_callback_handler_install(prompt.c_str(), takeLine);
    while (!g_reading.done) {
        pollfd input = {STDIN_FILENO, POLLIN, 0};
        const int ready = ppoll(&input, 1, nullptr, &signals.waitMask());
        if (ready < 0 && errno != EINTR) {
            rl_callback_handler_remove();
            g_reading.endOfInput = true;
            break;
        }
        if (const int signal = signals.takeCaught()) {
            if (signal == SIGINT)
                restartLine(prompt);
            else if (signal == SIGWINCH)
                rl_resize_terminal();
            else
                passSignalOn(signal, signals, prompt);
            continue;
        }
        if (ready > 0)
            rl_callback_read_char();
    }

    if (g_reading.endOfInput) {
        // Ctrl-D leaves the cursor after the prompt; what follows starts on a new line.
        std::fputs("\n", stdout);
        std::fflush(stdout);
        line.clear();
        return false;
    }
    line = g_reading.line;
    history.remember(line);
    return true;
}
