#include "script/script_line.h"

#include <cstring>

namespace {

enum class Arguments { Rest, None, Tokens };

struct Keyword {
    const char* word;
    ScriptCommand command;
    Arguments arguments;
};

// Tested in this order; the first keyword whose letters all match wins.
constexpr Keyword kKeywords[] = {
    {"mkdir", ScriptCommand::MakeDir, Arguments::Rest},
    {"iconname", ScriptCommand::IconName, Arguments::Rest},
    {"avidelay", ScriptCommand::AviDelay, Arguments::Rest},
    {"icongroup", ScriptCommand::IconGroup, Arguments::Rest},
    {"iconexe", ScriptCommand::IconExe, Arguments::Rest},
    {"display", ScriptCommand::Display, Arguments::Rest},
    {"mkwlist", ScriptCommand::MakeWordLists, Arguments::None},
    {"copy", ScriptCommand::Copy, Arguments::Tokens},
    {"xcopy", ScriptCommand::XCopy, Arguments::Tokens},
    {"sndcopy", ScriptCommand::SndCopy, Arguments::Tokens},
    {kUninstallKeyword, ScriptCommand::Uninstall, Arguments::Rest},
};

// The next token of the line: only the space separates (a tab is part of a
// token), runs of spaces count as one. Returns its length; start is moved to it.
size_t NextToken(const char*& start)
{
    while (*start == ' ')
        ++start;
    size_t length = 0;
    while (start[length] != '\0' && start[length] != ' ')
        ++length;
    return length;
}

// Token 1 is the command word; tokens 2 and 3 are the arguments, further
// tokens are ignored. False when there are fewer than three.
bool TakeTokens(const char* line, ScriptLine& parsed)
{
    char* targets[] = {nullptr, parsed.source, parsed.destination};
    const char* cursor = line;
    for (char* target : targets) {
        size_t length = NextToken(cursor);
        if (length == 0)
            return false;
        if (target) {
            // A token is part of a line, so it always fits.
            std::memcpy(target, cursor, length);
            target[length] = '\0';
        }
        cursor += length;
    }
    return true;
}

}  // namespace

ScriptLine ParseScriptLine(const char* line)
{
    ScriptLine parsed;
    for (const Keyword& keyword : kKeywords) {
        if (!KeywordMatches(line, keyword.word))
            continue;
        switch (keyword.arguments) {
        case Arguments::Rest:
            parsed.rest = ValueAfterBlank(line);
            if (!parsed.rest)
                return parsed;
            break;
        case Arguments::None:
            break;
        case Arguments::Tokens:
            if (std::strlen(line) >= sizeof parsed.source || !TakeTokens(line, parsed))
                return ScriptLine{};
            break;
        }
        parsed.command = keyword.command;
        return parsed;
    }
    return parsed;
}

ScriptCommand ScriptKeywordOf(const char* line)
{
    for (const Keyword& keyword : kKeywords) {
        if (KeywordMatches(line, keyword.word))
            return keyword.command;
    }
    return ScriptCommand::None;
}

const char* ScriptKeyword(ScriptCommand command)
{
    for (const Keyword& keyword : kKeywords) {
        if (keyword.command == command)
            return keyword.word;
    }
    return "";
}

size_t PatternDirectoryLength(const char* pattern)
{
    size_t length = 0;
    for (size_t i = 0; pattern[i] != '\0'; ++i) {
        // "d:*.txt" searches drive d's current folder: the colon ends the
        // directory part as a separator does.
        if (pattern[i] == '\\' || pattern[i] == '/' || pattern[i] == ':')
            length = i + 1;
    }
    return length;
}
