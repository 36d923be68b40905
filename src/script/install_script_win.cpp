// The install script: one case per command over the lines of install.inf.
#include "script/install_script.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "script/copy_engine.h"
#include "script/script_line.h"
#include "script/sealed_medium.h"
#include "shell/fatal_error.h"
#include "shell/install_record.h"
#include "shell/journal_undo.h"
#include "shell/run_log.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/wide_text.h"
#include "shell/window_seam.h"
#include "shell/windows1252.h"

namespace {

// True when win.ini has the section, even without a key in it. win.ini is
// named as the command writes it, so that the system maps it alike.
bool WinIniHasSection(const char* section)
{
    std::vector<char> names(4096);
    for (;;) {
        const DWORD length = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), "win.ini");
        if (length + 2 < names.size())
            break;
        if (names.size() >= (1u << 20))
            return true;  // too many to look through: keep the section, whatever happens
        names.resize(names.size() * 4);
    }
    for (const char* name = names.data(); *name; name += std::strlen(name) + 1) {
        if (lstrcmpiA(name, section) == 0)
            return true;
    }
    return false;
}

// Enters a win.ini key in the journal before its change, with the value it
// has.
void RecordWinIniKey(const char* section, const char* key)
{
    if (!RunJournalIsOpen())
        return;
    RecordedIniKey recorded;
    recorded.file = "win.ini";
    recorded.section = section;
    recorded.key = key;
    recorded.hadSection = WinIniHasSection(section);
    // Read as the undo reads it, so that the two agree on what was there.
    recorded.hadValue = HostUndoSystem().IniValue(recorded, recorded.value);
    RecordIniKey(recorded);
}

// The commands' names and folders come as UTF-8, like every path.
SkipReason RunMakeDir(const char* rest)
{
    char path[kPathSize];
    if (!JoinPath(path, {setup.installPrefix, rest}))
        return "path too long";
    const std::wstring wide = WidePath(path);
    if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES)
        RecordFolder(path);
    if (CreateDirectoryW(wide.c_str(), nullptr))
        return nullptr;
    return GetLastError() == ERROR_ALREADY_EXISTS ? "exists already"
                                                  : ReasonOfLastError("cannot be made");
}

SkipReason RunCopy(const char* sourcePrefix, const char* sourceName, const char* destinationName)
{
    char source[kPathSize];
    char destination[kPathSize];
    if (!JoinPath(source, {sourcePrefix, sourceName}) || !JoinPath(destination, {setup.installPrefix, destinationName}))
        return "path too long";
    ShowInDirectoryField(destination);
    return CopyExpanded(source, destination);
}

SkipReason RunXCopy(const char* sourcePrefix, const char* pattern, const char* destinationName)
{
    // Made current again after the command.
    const std::string saved = CurrentDirectoryPath();
    if (saved.empty())
        return "current directory too long";
    SkipReason reason = "medium folder cannot be entered";
    if (EnterFolder(sourcePrefix)) {
        // Found names are read from the folder the pattern searched.
        const std::string folder(pattern, PatternDirectoryLength(pattern));
        reason = CopyFoundFiles(pattern, folder.c_str(), destinationName);
    }
    EnterFolder(saved.c_str());
    return reason;
}

SkipReason RunSndCopy(const char* sourcePrefix, const char* folder, const char* destinationName)
{
    const std::string saved = CurrentDirectoryPath();
    if (saved.empty())
        return "current directory too long";
    // A subdirectory that can't be entered skips the line: the search must
    // not fall back on the medium's own files.
    SkipReason reason = "source folder cannot be entered";
    if (EnterFolder(sourcePrefix) && EnterFolder(folder))
        reason = CopyFoundFiles("*.*", "", destinationName);
    EnterFolder(saved.c_str());
    return reason;
}

}  // namespace

void RunInstallScript()
{
    // Preparation.
    char sourcePrefix[kPathSize];
    char scriptPath[kPathSize];
    bool sourceFits =
        MakeDirPrefix(sourcePrefix, setup.sourceDir) && JoinPath(scriptPath, {sourcePrefix, "install.inf"});
    // An install directory too long for its prefix leaves it empty: every
    // command that writes under it is then skipped rather than aimed elsewhere.
    bool installFits = setup.installDir[0] != '\0' &&
                       MakeDirPrefix(setup.installPrefix, setup.installDir);
    if (!installFits)
        setup.installPrefix[0] = '\0';
    // Read afresh, so checked afresh: the disc may have changed meanwhile.
    if (sourceFits)
        CheckWholeMediumFile(scriptPath);
    ScopedFile file(sourceFits ? OpenTextRead(scriptPath) : nullptr);
    if (!file)
        FatalError("Can't open INSTALL.INF");

    // Command loop.
    constexpr SkipReason kNoInstallDir = "install directory too long";
    char text[kSetupLineSize];
    bool uninstallSeen = false;
    while (ReadSetupLine(file.get(), text)) {
        ScriptLine line = ParseScriptLine(text);
        LogLine("install.inf: %s", Windows1252ToUtf8(text).c_str());
        // The line's names as paths.
        const std::string rest = line.rest ? Windows1252ToUtf8(line.rest) : std::string();
        const std::string source = Windows1252ToUtf8(line.source);
        const std::string destination = Windows1252ToUtf8(line.destination);
        SkipReason reason = nullptr;
        // What a line that the loop does not carry out came to.
        const char* outcome = nullptr;
        switch (line.command) {
        case ScriptCommand::None:
            if (StartupKeyOf(text))
                outcome = ValueAfterBlank(text) ? "applied at start-up" : "ignored (no value)";
            else
                reason = ScriptKeywordOf(text) != ScriptCommand::None ? "missing arguments" : "unknown command";
            break;
        case ScriptCommand::MakeDir:
            reason = installFits ? RunMakeDir(rest.c_str()) : kNoInstallDir;
            break;
        case ScriptCommand::IconName:
            setup.createShortcut = 1;
            CopyText(setup.iconName, sizeof setup.iconName, rest.c_str());
            break;
        case ScriptCommand::AviDelay:
            RecordWinIniKey(kAviSection, kAviKey);
            if (!WritePrivateProfileStringA(kAviSection, kAviKey, line.rest, "win.ini"))
                reason = "win.ini cannot be written";
            else
                RecordIniWritten("win.ini", kAviSection, kAviKey, line.rest);
            break;
        case ScriptCommand::IconGroup:
            CopyText(setup.iconGroup, sizeof setup.iconGroup, rest.c_str());
            break;
        case ScriptCommand::IconExe:
            CopyText(setup.iconExe, sizeof setup.iconExe, rest.c_str());
            break;
        case ScriptCommand::Display:
            CopyText(setup.displayFile, sizeof setup.displayFile, rest.c_str());
            break;
        case ScriptCommand::MakeWordLists:
            setup.buildWordLists = 1;
            break;
        case ScriptCommand::Copy:
            reason = installFits ? RunCopy(sourcePrefix, source.c_str(), destination.c_str()) : kNoInstallDir;
            break;
        case ScriptCommand::XCopy:
            reason = installFits ? RunXCopy(sourcePrefix, source.c_str(), destination.c_str()) : kNoInstallDir;
            break;
        case ScriptCommand::SndCopy:
            reason = installFits ? RunSndCopy(sourcePrefix, source.c_str(), destination.c_str()) : kNoInstallDir;
            break;
        case ScriptCommand::Uninstall:
            // Read with the start-up keys: the record begins before any command.
            outcome = uninstallSeen ? "ignored (only the first uninstall line counts)" : "applied at start-up";
            uninstallSeen = true;
            break;
        }
        if (outcome)
            LogLine("  %s", outcome);
        else if (reason)
            LogLine("  skipped (%s)", reason);
        else
            LogLine("  done");
    }
}
