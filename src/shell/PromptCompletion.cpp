#include "shell/PromptCompletion.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include <readline/readline.h>

namespace {

constexpr const char* kCommandWords[] = {"exit",    "opt",    "solver", "time_limit",
                                         "verbose", "mod_lp", "help",   "about"};

Completion g_completion = Completion::None;

char* nextCommandWord(const char* text, int state)
{
    static std::size_t next = 0;
    if (state == 0)
        next = 0;
    const std::size_t length = std::strlen(text);
    while (next < std::size(kCommandWords)) {
        const char* word = kCommandWords[next++];
        if (std::strncmp(word, text, length) == 0)
            return strdup(word);
    }
    return nullptr;
}

char** completeAnswer(const char* text, int, int)
{
    // Readline resets these before every completion. Nothing falls back to its default
    // completion, nothing is quoted, and no blank is appended.
    rl_attempted_completion_over = 1;
    rl_completion_append_character = '\0';
    rl_filename_quoting_desired = 0;
    switch (g_completion) {
    case Completion::Command:
        return rl_completion_matches(text, nextCommandWord);
    case Completion::Path:
        // The program takes '~' literally; completing it from the home folder would offer
        // paths that the folder check then rejects.
        if (text[0] == '~')
            return nullptr;
        return rl_completion_matches(text, rl_filename_completion_function);
    case Completion::None:
        break;
    }
    return nullptr;
}

}  // namespace

void useCompletion(Completion completion)
{
    g_completion = completion;
    rl_attempted_completion_function = completeAnswer;
    // The whole answer is one word: a path may hold blanks and any other character.
    rl_completer_word_break_characters = "";
    rl_completer_quote_characters = nullptr;
}
