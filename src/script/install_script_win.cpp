// The install script: one case per command over the lines of install.inf.
#include "script/install_script.h"

#include <windows.h>
#include <lzexpand.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "script/script_line.h"
#include "shell/fatal_error.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/window_globals.h"

namespace {

// Administrators (and root under Wine) may write through a read-only file;
// the install never replaces one, as the copy would fail for a user.
bool IsReadOnlyOrFolder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

// The absolute wide form of an ANSI path, marked "\\?\" so that a temporary
// name beside a destination of 259 characters may pass that limit.
bool LongWidePath(const char* path, std::wstring& wide)
{
    int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length <= 0)
        return false;
    std::wstring relative(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, &relative[0], length);
    DWORD fullLength = GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
    if (fullLength == 0)
        return false;
    std::wstring full(fullLength, L'\0');
    fullLength = GetFullPathNameW(relative.c_str(), fullLength, &full[0], nullptr);
    if (fullLength == 0 || fullLength >= full.size())
        return false;
    full.resize(fullLength);
    if (full.compare(0, 2, L"\\\\") == 0)
        wide = L"\\\\?\\UNC\\" + full.substr(2);
    else
        wide = L"\\\\?\\" + full;
    return true;
}

// Creates the temporary file of a copy beside its destination (same folder,
// so the final move is a rename) and returns its handle and name. The name
// follows from the destination's: a copy killed before its move leaves the
// file behind, and the next copy of the same file takes it over instead of
// leaving it there for good.
HANDLE CreateTemporaryBeside(const std::wstring& destination, std::wstring& temporary)
{
    const size_t folderLength = destination.find_last_of(L'\\') + 1;
    std::wstring name = destination.substr(folderLength);
    CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
    uint32_t hash = 2166136261u;  // FNV-1a
    for (wchar_t c : name) {
        hash ^= static_cast<uint32_t>(c);
        hash *= 16777619u;
    }
    for (uint32_t salt = 0; salt < 2; ++salt) {
        wchar_t tempName[32];
        swprintf(tempName, 32, L"~lz%08lx.tmp", static_cast<unsigned long>(hash + salt));
        // Never the destination itself, whatever it is called.
        std::wstring upperTempName = tempName;
        CharUpperBuffW(&upperTempName[0], static_cast<DWORD>(upperTempName.size()));
        if (upperTempName == name)
            continue;
        temporary = destination.substr(0, folderLength) + tempName;
        return CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    return INVALID_HANDLE_VALUE;
}

// Ends the open file after its first size bytes.
bool CutFile(HANDLE file, DWORD size)
{
    return SetFilePointer(file, static_cast<LONG>(size), nullptr, FILE_BEGIN) == size &&
           SetEndOfFile(file);
}

// Copies source to destination, expanding it when it is stored in the LZ
// library's compressed format. The destination changes only when the whole
// expansion succeeded: it is written to a temporary file and moved into place.
void CopyExpanded(const char* source, const char* destination)
{
    // Opened by handle: the library's own open goes through OpenFile, which
    // refuses paths of 128 characters or more.
    HANDLE input = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (input == INVALID_HANDLE_VALUE)
        return;
    std::wstring wideDestination, temporary;
    HANDLE output = INVALID_HANDLE_VALUE;
    if (!IsReadOnlyOrFolder(destination) && LongWidePath(destination, wideDestination))
        output = CreateTemporaryBeside(wideDestination, temporary);
    if (output == INVALID_HANDLE_VALUE) {
        CloseHandle(input);
        return;
    }

    INT expander = LZInit(static_cast<HFILE>(reinterpret_cast<INT_PTR>(input)));
    bool complete = false;
    if (expander < 0) {
        CloseHandle(input);
    } else {
        // The size the header promises: a truncated compressed file expands
        // short without any error, and the tail of a compressed empty file
        // may expand to a byte too many.
        LONG expected = LZSeek(expander, 0, SEEK_END);
        if (expected >= 0 && LZSeek(expander, 0, SEEK_SET) == 0) {
            LONG written =
                LZCopy(expander, static_cast<HFILE>(reinterpret_cast<INT_PTR>(output)));
            complete = written == expected ||
                       (written > expected && CutFile(output, static_cast<DWORD>(expected)));
        }
        LZClose(expander);  // closes input as well
    }
    complete = CloseHandle(output) && complete;

    if (!complete ||
        !MoveFileExW(temporary.c_str(), wideDestination.c_str(), MOVEFILE_REPLACE_EXISTING))
        DeleteFileW(temporary.c_str());
}

// A copy replacing an existing file, but never a read-only one. CopyFile
// leaves a partial file behind when the disk fills up, so the copy is made
// beside the destination and moved into place only when whole.
void CopyReplacing(const char* source, const char* destination)
{
    std::wstring wideSource, wideDestination, temporary;
    if (IsReadOnlyOrFolder(destination) || !LongWidePath(source, wideSource) ||
        !LongWidePath(destination, wideDestination))
        return;
    HANDLE reserved = CreateTemporaryBeside(wideDestination, temporary);
    if (reserved == INVALID_HANDLE_VALUE)
        return;
    CloseHandle(reserved);
    if (!CopyFileW(wideSource.c_str(), temporary.c_str(), FALSE) ||
        !MoveFileExW(temporary.c_str(), wideDestination.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        // The copy took the source's attributes, read-only among them.
        SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(temporary.c_str());
    }
}

// Copies every file (not folder) that the search finds to
// installPrefix + destinationDir + "\" + name, showing each destination
// first. Found names are read from sourceFolder, a prefix relative to the
// current directory ("" for the folder searched).
void CopyFoundFiles(const char* pattern, const char* sourceFolder, const char* destinationDir)
{
    WIN32_FIND_DATAA found;
    ScopedFind search(FindFirstFileA(pattern, &found));
    if (!search)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        char from[kPathSize];
        char to[kPathSize];
        if (!JoinText(from, sizeof from, {sourceFolder, found.cFileName}) ||
            !JoinText(to, sizeof to, {setup.installPrefix, destinationDir, "\\", found.cFileName}))
            continue;
        ShowInDirectoryField(to);
        CopyReplacing(from, to);
    } while (FindNextFileA(search.get(), &found));
}

// The current directory, saved to be made current again after a command
// that moves it.
bool SaveCurrentDirectory(char (&saved)[kPathSize])
{
    DWORD length = GetCurrentDirectoryA(kPathSize, saved);
    return length > 0 && length < kPathSize;
}

void RunMakeDir(const char* rest)
{
    char path[kPathSize];
    if (JoinText(path, sizeof path, {setup.installPrefix, rest}))
        CreateDirectoryA(path, nullptr);
}

void RunCopy(const char* sourcePrefix, const ScriptLine& line)
{
    char source[kPathSize];
    char destination[kPathSize];
    if (!JoinText(source, sizeof source, {sourcePrefix, line.source}) ||
        !JoinText(destination, sizeof destination, {setup.installPrefix, line.destination}))
        return;
    ShowInDirectoryField(destination);
    CopyExpanded(source, destination);
}

void RunXCopy(const char* sourcePrefix, const ScriptLine& line)
{
    char saved[kPathSize];
    if (!SaveCurrentDirectory(saved))
        return;
    if (SetCurrentDirectoryA(sourcePrefix)) {
        // Found names are read from the folder the pattern searched.
        char folder[kSetupLineSize];
        CopyText(folder, sizeof folder, line.source);
        folder[PatternDirectoryLength(line.source)] = '\0';
        CopyFoundFiles(line.source, folder, line.destination);
    }
    SetCurrentDirectoryA(saved);
}

void RunSndCopy(const char* sourcePrefix, const ScriptLine& line)
{
    char saved[kPathSize];
    if (!SaveCurrentDirectory(saved))
        return;
    // A subdirectory that can't be entered skips the line: the search must
    // not fall back on the medium's own files.
    if (SetCurrentDirectoryA(sourcePrefix) && SetCurrentDirectoryA(line.source))
        CopyFoundFiles("*.*", "", line.destination);
    SetCurrentDirectoryA(saved);
}

}  // namespace

void RunInstallScript()
{
    // Preparation.
    char sourcePrefix[kPathSize];
    char scriptPath[kPathSize];
    bool sourceFits = MakeDirPrefix(sourcePrefix, sizeof sourcePrefix, setup.sourceDir) &&
                      JoinText(scriptPath, sizeof scriptPath, {sourcePrefix, "install.inf"});
    // An install directory too long for its prefix leaves it empty: every
    // command that writes under it is then skipped rather than aimed elsewhere.
    bool installFits = setup.installDir[0] != '\0' &&
                       MakeDirPrefix(setup.installPrefix, sizeof setup.installPrefix, setup.installDir);
    if (!installFits)
        setup.installPrefix[0] = '\0';
    ScopedFile file(sourceFits ? OpenTextRead(scriptPath) : nullptr);
    if (!file)
        FatalError("Can't open INSTALL.INF");

    // Command loop.
    char text[kSetupLineSize];
    while (ReadSetupLine(file.get(), text)) {
        ScriptLine line = ParseScriptLine(text);
        switch (line.command) {
        case ScriptCommand::None:
            break;
        case ScriptCommand::MakeDir:
            if (installFits)
                RunMakeDir(line.rest);
            break;
        case ScriptCommand::IconName:
            setup.createShortcut = 1;
            CopyText(setup.iconName, sizeof setup.iconName, line.rest);
            break;
        case ScriptCommand::AviDelay:
            WritePrivateProfileStringA("Dictionary", "FrenchAviDelay", line.rest, "win.ini");
            break;
        case ScriptCommand::IconGroup:
            CopyText(setup.iconGroup, sizeof setup.iconGroup, line.rest);
            break;
        case ScriptCommand::IconExe:
            CopyText(setup.iconExe, sizeof setup.iconExe, line.rest);
            break;
        case ScriptCommand::Display:
            CopyText(setup.displayFile, sizeof setup.displayFile, line.rest);
            break;
        case ScriptCommand::MakeWordLists:
            setup.buildWordLists = 1;
            break;
        case ScriptCommand::Copy:
            if (installFits)
                RunCopy(sourcePrefix, line);
            break;
        case ScriptCommand::XCopy:
            if (installFits)
                RunXCopy(sourcePrefix, line);
            break;
        case ScriptCommand::SndCopy:
            if (installFits)
                RunSndCopy(sourcePrefix, line);
            break;
        }
    }
}
