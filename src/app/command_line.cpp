#include "app/command_line.h"

#include <cstring>

#include "shell/setup_state.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
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

// Decimal digits only, no sign, no overflow, not 0: strtoul would take
// " 12", "-1" and a wrapped value.
bool ReadHandle(const std::string& text, unsigned long& handle)
{
    unsigned long number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        const unsigned long digit = static_cast<unsigned long>(c - '0');
        if (number > (static_cast<unsigned long>(-1) - digit) / 10)
            return false;
        number = number * 10 + digit;
    }
    handle = number;
    return number != 0;
}

Refusal ReadArgument(const std::string& argument, CommandLine& options)
{
    std::string value;
    if (OptionMatches(argument, "silent", nullptr)) {
        options.silent = true;
    } else if (OptionMatches(argument, "verysilent", nullptr)) {
        options.silent = true;
        options.verySilent = true;
    } else if (OptionMatches(argument, "?", nullptr) || OptionMatches(argument, "help", nullptr)) {
        options.help = true;
    } else if (OptionMatches(argument, "dir=", &value)) {
        options.hasDir = true;
        options.dir = value;
    } else if (OptionMatches(argument, "log=", &value)) {
        options.logPath = value;
    } else if (OptionMatches(argument, "uninstall", nullptr)) {
        options.uninstall = true;
        options.uninstallDir.clear();
    } else if (OptionMatches(argument, "uninstall=", &value)) {
        // Empty, it would name the program's own folder by mistake.
        if (value.empty())
            return Refusal::NoValue;
        options.uninstall = true;
        options.uninstallDir = value;
    } else if (OptionMatches(argument, "product=", &value)) {
        // Empty, it would widen the uninstallation to every product.
        if (value.empty())
            return Refusal::NoValue;
        options.product = value;
    } else if (OptionMatches(argument, "finish=", &value)) {
        unsigned long handle = 0;
        if (value.empty())
            return Refusal::NoValue;
        if (!ReadHandle(value, handle))
            return Refusal::BadValue;
        options.finish = true;
        options.finishHandle = handle;
    } else {
        for (const char* name : {"dir", "log", "product", "finish"})
            if (OptionMatches(argument, name, nullptr))
                return Refusal::NoValue;
        return Refusal::Unknown;
    }
    return Refusal::None;
}

}  // namespace

std::vector<std::string> SplitArguments(const char* text)
{
    std::vector<std::string> arguments;
    const char* p = text ? text : "";
    for (;;) {
        while (IsBlank(*p))
            ++p;
        if (*p == '\0')
            return arguments;
        std::string argument;
        bool quoted = false;
        while (*p != '\0' && (quoted || !IsBlank(*p))) {
            size_t backslashes = 0;
            for (; *p == '\\'; ++p)
                ++backslashes;
            if (*p == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1 || (quoted && p[1] == '"')) {
                    argument += '"';
                    p += backslashes % 2 == 1 ? 1 : 2;
                } else {
                    quoted = !quoted;
                    ++p;
                }
            } else if (backslashes > 0) {
                argument.append(backslashes, '\\');
            } else {
                argument += *p++;
            }
        }
        arguments.push_back(argument);
    }
}

std::string QuotedArgument(const std::string& argument)
{
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + '"';
}

std::string UninstallArguments(const std::string& product)
{
    return product.empty() ? "/uninstall" : "/uninstall " + QuotedArgument("/product=" + product);
}

std::string FinisherArguments(unsigned long handle, const std::string& dir)
{
    return "/finish=" + std::to_string(handle) + " " + QuotedArgument("/uninstall=" + dir);
}

CommandLine ParseCommandLine(const char* text)
{
    CommandLine options;
    for (const std::string& argument : SplitArguments(text)) {
        const Refusal refusal = ReadArgument(argument, options);
        if (refusal != Refusal::None && options.refusal == Refusal::None) {
            options.refusal = refusal;
            options.refused = argument;
        }
    }
    return options;
}
