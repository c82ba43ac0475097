#include "shell/PromptCompletion.h"

#include <string_view>

#include <cstdio>
#include <cstring>
#include <iterator>

#include <readline/readline.h>

#include "shell/Commands.h"

namespace {

Completion g_completion = Completion::None;

char* nextCommandWord(const char* text, int state)
{
    static std::size_t next = 0;
    if (state == 0)
        next = 0;
    const std::string_view typed = text;
    const auto commands = shellCommands();
    while (next < commands.size()) {
        const std::string_view word = commands[next++].word;
        if (word.starts_with(typed))
            return strndup(word.data(), word.size());
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
