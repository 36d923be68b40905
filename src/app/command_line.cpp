#include "app/command_line.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "shell/setup_state.h"

namespace {

// Blanks outside double quotes separate; the quotes themselves go, so both
// "/dir=c:\mon dico" and /dir="c:\mon dico" give one argument.
std::vector<std::string> SplitArguments(const char* text)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inQuotes = false;
    bool inArgument = false;
    for (const char* p = text; *p; ++p) {
        if (*p == '"') {
            inQuotes = !inQuotes;
            inArgument = true;
        } else if ((*p == ' ' || *p == '\t') && !inQuotes) {
            if (inArgument)
                arguments.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            current += *p;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.push_back(current);
    return arguments;
}

// The option's name matches in any case; a name ending in '=' takes the
// rest of the argument as its value.
bool OptionMatches(const std::string& argument, const char* name, std::string* value)
{
    const size_t length = std::strlen(name);
    if (argument.size() < length + 1 || (argument[0] != '/' && argument[0] != '-'))
        return false;
    if (!KeywordMatches(argument.c_str() + 1, name))
        return false;
    if (value) {
        *value = argument.substr(1 + length);
        return true;
    }
    return argument.size() == length + 1;
}

}  // namespace

CommandLine ParseCommandLine(const char* text)
{
    CommandLine options;
    std::string value;
    for (const std::string& argument : SplitArguments(text ? text : "")) {
        if (OptionMatches(argument, "silent", nullptr)) {
            options.silent = true;
        } else if (OptionMatches(argument, "verysilent", nullptr)) {
            options.silent = true;
            options.verySilent = true;
        } else if (OptionMatches(argument, "?", nullptr) ||
                   OptionMatches(argument, "help", nullptr)) {
            options.help = true;
        } else if (OptionMatches(argument, "dir=", &value)) {
            options.hasDir = true;
            options.dir = value;
        } else if (OptionMatches(argument, "log=", &value)) {
            options.logPath = value;
        } else if (OptionMatches(argument, "uninstall", nullptr)) {
            options.uninstall = true;
            options.uninstallDir.clear();
        } else if (OptionMatches(argument, "uninstall=", &value) && !value.empty()) {
            options.uninstall = true;
            options.uninstallDir = value;
        } else if (OptionMatches(argument, "product=", &value)) {
            options.product = value;
        } else if (OptionMatches(argument, "finish=", &value)) {
            char* end = nullptr;
            const unsigned long handle = std::strtoul(value.c_str(), &end, 10);
            options.finish = !value.empty() && *end == '\0' && handle != 0;
            options.finishHandle = options.finish ? handle : 0;
        }
    }
    return options;
}
