// install.inf as it comes from the medium: the start-up keys, the line rule
// and the parsing of every install command line.
#include <cstring>
#include <string>

#include "fake_shell.h"
#include "fuzz_support.h"
#include "script/script_line.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/windows1252.h"
#include "support/files.h"

namespace {

std::string_view Input;

// A setup value: terminated inside its field, no line end, at most a line
// long, and taken from the file's bytes.
void CheckValue(const char* name, const char* stored, size_t size, const char* initial, bool path = false)
{
    FUZZ_CHECK(strnlen(stored, size) < size, std::string(name) + " is not terminated inside its field");
    // A path is held in UTF-8: its Windows-1252 form is what the file said.
    std::string windows1252 = stored;
    FUZZ_CHECK(!path || Utf8ToWindows1252(stored, windows1252), std::string(name) + " is no UTF-8 of the file");
    const char* field = windows1252.c_str();
    const size_t length = windows1252.size();
    FUZZ_CHECK(length < kSetupLineSize, std::string(name) + " is longer than a line");
    FUZZ_CHECK(std::strchr(field, '\n') == nullptr, std::string(name) + " holds a line end");
    if (std::strcmp(field, initial) != 0)
        FUZZ_CHECK(Input.find(std::string_view(field, length)) != std::string_view::npos,
                   std::string(name) + " holds bytes that are not in the file: " + Shown(field));
}

// What RunInstallScript stores or composes from a parsed line must fit.
void CheckParsedLine(const char* line, const ScriptLine& parsed)
{
    const size_t lineLength = std::strlen(line);
    switch (parsed.command) {
    case ScriptCommand::MakeDir:
    case ScriptCommand::IconName:
    case ScriptCommand::AviDelay:
    case ScriptCommand::IconGroup:
    case ScriptCommand::IconExe:
    case ScriptCommand::Display:
    case ScriptCommand::Uninstall: {
        FUZZ_CHECK(parsed.rest != nullptr, "a value command without its value");
        FUZZ_CHECK(parsed.rest > line && parsed.rest <= line + lineLength,
                   "the value does not point into the line " + Shown(line));
        const char* firstBlank = std::strchr(line, ' ');
        FUZZ_CHECK(firstBlank != nullptr && parsed.rest == firstBlank + 1,
                   "the value does not start after the first blank of " + Shown(line));
        if (lineLength < kSetupLineSize) {
            char field[kDisplayFileSize];
            FUZZ_CHECK(CopyText(field, sizeof field, parsed.rest),
                       "a value of a setup line does not fit the smallest field");
        }
        break;
    }
    case ScriptCommand::MakeWordLists:
        FUZZ_CHECK(parsed.rest == nullptr, "mkwlist takes no value");
        break;
    case ScriptCommand::Copy:
    case ScriptCommand::XCopy:
    case ScriptCommand::SndCopy: {
        const size_t sourceLength = strnlen(parsed.source, sizeof parsed.source);
        const size_t destinationLength = strnlen(parsed.destination, sizeof parsed.destination);
        FUZZ_CHECK(sourceLength < sizeof parsed.source && destinationLength < sizeof parsed.destination,
                   "a token is not terminated inside its buffer");
        FUZZ_CHECK(sourceLength > 0 && destinationLength > 0, "an empty token");
        FUZZ_CHECK(!std::strchr(parsed.source, ' ') && !std::strchr(parsed.destination, ' '),
                   "a token holds a blank");
        const char* source = std::strstr(line, parsed.source);
        FUZZ_CHECK(source != nullptr, "token 2 is not part of the line");
        FUZZ_CHECK(std::strstr(source + sourceLength, parsed.destination) != nullptr,
                   "token 3 does not follow token 2 in the line");
        FUZZ_CHECK(PatternDirectoryLength(parsed.source) <= sourceLength,
                   "the directory part is longer than the pattern");
        break;
    }
    case ScriptCommand::None:
        FUZZ_CHECK(parsed.rest == nullptr && parsed.source[0] == '\0' && parsed.destination[0] == '\0',
                   "an ignored line left arguments behind");
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input = std::string_view(reinterpret_cast<const char*>(data), size);
    StartInput();
    WriteFileBytes("install.inf", std::string(Input));

    // An empty source directory names install.inf in the current folder.
    try {
        ReadStartupKeys();
    } catch (const FatalErrorExit& exit) {
        FuzzFailure(__FILE__, __LINE__, "install.inf exists, yet: " + exit.message);
    }
    CheckValue("title", setup.title, sizeof setup.title, "");
    CheckValue("defaultDir", setup.defaultDir, sizeof setup.defaultDir, "c:\\", true);
    CheckValue("shortcutArgs", setup.shortcutArgs, sizeof setup.shortcutArgs, "");
    FUZZ_CHECK(setup.verbose == 0 || setup.verbose == 1, "verbose is neither on nor off");
    FUZZ_CHECK(setup.installDir[0] == '\0' && setup.iconName[0] == '\0' && setup.displayFile[0] == '\0',
               "start-up wrote a field that is not a start-up key");

    // The install commands, line by line as the interpreter reads them.
    FILE* file = OpenTextRead("install.inf");
    FUZZ_CHECK(file != nullptr, "install.inf cannot be opened again");
    char line[kSetupLineSize + 1];
    std::memset(line, 0x5A, sizeof line);
    line[kSetupLineSize] = '\0';
    size_t lines = 0;
    while (ReadSetupLine(file, line)) {
        FUZZ_CHECK(line[kSetupLineSize] == '\0', "ReadSetupLine wrote past its 100 bytes");
        const size_t length = strnlen(line, kSetupLineSize);
        FUZZ_CHECK(length < kSetupLineSize, "a line is not terminated inside its buffer");
        FUZZ_CHECK(length > 0 && line[0] != '#', "an empty or comment line was delivered");
        FUZZ_CHECK(std::strchr(line, '\n') == nullptr, "a delivered line holds a line feed");
        FUZZ_CHECK(++lines <= size, "more lines than bytes");
        CheckParsedLine(line, ParseScriptLine(line));
    }
    std::fclose(file);

    // The parser must also hold for a text of any length.
    std::string whole(Input.substr(0, Input.find('\0')));
    CheckParsedLine(whole.c_str(), ParseScriptLine(whole.c_str()));
    return 0;
}
