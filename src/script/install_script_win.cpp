// The install script: one case per command over the lines of install.inf.
#include "script/install_script.h"

#include <windows.h>
#include <lzexpand.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "script/script_line.h"
#include "shell/fatal_error.h"
#include "shell/install_record.h"
#include "shell/run_log.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/window_seam.h"

namespace {

// The LZ library's signature of a compressed file.
constexpr char kCompressedSignature[] = "SZDD\x88\xF0\x27\x33";
constexpr DWORD kSignatureLength = sizeof kCompressedSignature - 1;

// Uncompressed files are copied in blocks this large: the library's own copy
// moves small blocks and runs at a fraction of the disk's speed.
constexpr DWORD kCopyBlock = 1u << 20;

// Why a command or one of its copies did nothing, for the log; a null
// reason means it was done.
using SkipReason = const char*;

// The reason the last failed file call gives, in the words of the log.
SkipReason ReasonOfLastError(SkipReason otherwise)
{
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
        return "missing source";
    case ERROR_PATH_NOT_FOUND:
        return "missing folder";
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "disk full";
    default:
        return otherwise;
    }
}

SkipReason ReasonOfProtected(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? "destination is a folder"
                                                   : "read-only, hidden or system destination";
}

// Files the platform's own copies refuse to replace: CopyFileA a read-only
// or hidden one, the LZ library's create (CREATE_ALWAYS) a hidden or system
// one. Administrators, and Wine, may write through them all the same; the
// install never does.
bool IsProtectedDestination(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_DIRECTORY)) != 0;
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

// The name under which a medium stores a file compressed, as the LZ
// library's open looks for it when the named file is missing: the last
// character of the extension replaced by "_" ("dico.exe" -> "dico.ex_"),
// "_" appended to a shorter extension ("a.md" -> "a.md_"), "._" appended to
// a name without one. The first dot of the last path element starts the
// extension.
std::wstring CompressedName(const std::wstring& path)
{
    const size_t element = path.find_last_of(L'\\');
    const size_t dot = path.find(L'.', element == std::wstring::npos ? 0 : element);
    if (dot == std::wstring::npos)
        return path + L"._";
    if (path.size() - (dot + 1) < 3)
        return path + L"_";
    return path.substr(0, path.size() - 1) + L"_";
}

ScopedFileHandle OpenForReading(const std::wstring& path)
{
    return ScopedFileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Opens a copy's source as the LZ library's open does, the named file first,
// then its compressed name; by handle, as the library's own open refuses
// paths of 128 characters or more.
ScopedFileHandle OpenSource(const char* source)
{
    std::wstring wide;
    if (!LongWidePath(source, wide))
        return ScopedFileHandle();
    ScopedFileHandle input = OpenForReading(wide);
    if (!input)
        input = OpenForReading(CompressedName(wide));
    return input;
}

// The name of a copy's temporary file beside its destination (same folder,
// so the final move is a rename). The name follows from the destination's:
// a copy killed before its move leaves the file behind, and the next copy of
// the same file takes it over instead of leaving it there for good.
bool TemporaryNameBeside(const std::wstring& destination, std::wstring& temporary)
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
        return true;
    }
    return false;
}

// Enters a copy in the installation's record before it starts: its
// destination, and the temporary file that a run killed meanwhile leaves
// beside it (its name is plain ASCII).
void RecordCopy(const char* destination, const std::wstring& temporary)
{
    if (!InstallRecordIsOpen())
        return;
    const char* separator = std::strrchr(destination, '\\');
    const size_t folderLength = separator ? static_cast<size_t>(separator - destination) + 1 : 0;
    std::string temporaryName(destination, folderLength);
    for (size_t i = temporary.find_last_of(L'\\') + 1; i < temporary.size(); ++i)
        temporaryName += static_cast<char>(temporary[i]);
    RecordFileToWrite(temporaryName.c_str());
    RecordFileToWrite(destination);
}

// Enters what a copy ended with: the destination whole, or as it was.
void RecordCopyEnd(const char* destination, bool written)
{
    if (written)
        RecordFileWritten(destination);
    else
        RecordFileNotWritten(destination);
}

// Creates the temporary file of a copy beside its destination.
HANDLE CreateTemporaryBeside(const std::wstring& temporary)
{
    // A copy from a read-only medium, killed before its move, leaves a
    // read-only temporary that could not be opened for writing.
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    return CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

void DeleteTemporary(const std::wstring& temporary)
{
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temporary.c_str());
}

// Moves the finished temporary over the destination. An existing
// destination keeps its attributes, as the platform's copy leaves them when
// it writes into an existing file.
bool MoveIntoPlace(const std::wstring& temporary, const std::wstring& destination,
                   DWORD destinationAttributes)
{
    if (destinationAttributes != INVALID_FILE_ATTRIBUTES) {
        const DWORD kept = destinationAttributes &
                           (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        SetFileAttributesW(temporary.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
    }
    return MoveFileExW(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Ends the open file after its first size bytes.
bool CutFile(HANDLE file, DWORD size)
{
    return SetFilePointer(file, static_cast<LONG>(size), nullptr, FILE_BEGIN) == size &&
           SetEndOfFile(file);
}

// True when the open file starts with the LZ library's signature; the file
// is read again from its start afterwards.
bool IsCompressed(HANDLE file)
{
    char start[kSignatureLength];
    DWORD read = 0;
    bool compressed = ReadFile(file, start, kSignatureLength, &read, nullptr) &&
                      read == kSignatureLength &&
                      std::memcmp(start, kCompressedSignature, kSignatureLength) == 0;
    return SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 && compressed;
}

// Expands a compressed input into output through the LZ library, which
// takes the input over. True when the output holds exactly what the header
// promises.
bool Expand(ScopedFileHandle& input, HANDLE output)
{
    INT expander = LZInit(static_cast<HFILE>(reinterpret_cast<INT_PTR>(input.get())));
    if (expander < 0)
        return false;
    input.release();  // LZClose closes it
    // The size the header promises: a truncated compressed file expands
    // short without any error, and the empty tail of a compressed empty file
    // expands to one byte too many. Any other surplus is a corrupt source.
    bool complete = false;
    LONG expected = LZSeek(expander, 0, SEEK_END);
    if (expected >= 0 && LZSeek(expander, 0, SEEK_SET) == 0) {
        LONG written = LZCopy(expander, static_cast<HFILE>(reinterpret_cast<INT_PTR>(output)));
        complete = written == expected ||
                   (written > expected && written - expected == 1 &&
                    CutFile(output, static_cast<DWORD>(expected)));
    }
    LZClose(expander);  // closes input as well
    return complete;
}

// Copies input to output as it is, in large blocks.
bool CopyBlocks(HANDLE input, HANDLE output)
{
    bool complete = false;
    try {
        std::vector<char> block(kCopyBlock);
        for (;;) {
            DWORD read = 0, written = 0;
            if (!ReadFile(input, block.data(), kCopyBlock, &read, nullptr))
                break;
            if (read == 0) {
                complete = true;
                break;
            }
            if (!WriteFile(output, block.data(), read, &written, nullptr) || written != read)
                break;
        }
    } catch (const std::bad_alloc&) {
        complete = false;
    }
    return complete;
}

// Copies source to destination, expanding it when it is stored in the LZ
// library's compressed format. The destination changes only when the whole
// copy succeeded: it is written to a temporary file and moved into place.
// size receives the size of the file written.
SkipReason CopyExpanded(const char* source, const char* destination, uint64_t& size)
{
    ScopedFileHandle input = OpenSource(source);
    if (!input)
        return ReasonOfLastError("source cannot be opened");
    const DWORD destinationAttributes = GetFileAttributesA(destination);
    if (IsProtectedDestination(destinationAttributes))
        return ReasonOfProtected(destinationAttributes);
    std::wstring wideDestination, temporary;
    if (!LongWidePath(destination, wideDestination) || !TemporaryNameBeside(wideDestination, temporary))
        return "path too long";
    RecordCopy(destination, temporary);
    ScopedFileHandle output(CreateTemporaryBeside(temporary));
    if (!output) {
        const SkipReason reason = ReasonOfLastError("destination cannot be created");
        RecordCopyEnd(destination, false);
        return reason;
    }

    const bool compressed = IsCompressed(input.get());
    bool complete = compressed ? Expand(input, output.get()) : CopyBlocks(input.get(), output.get());
    LARGE_INTEGER written = {};
    if (complete && GetFileSizeEx(output.get(), &written))
        size = static_cast<uint64_t>(written.QuadPart);
    // Closed before the move, and a failed close fails the copy.
    complete = CloseHandle(output.release()) && complete;

    if (!complete) {
        const SkipReason reason =
            ReasonOfLastError(compressed ? "corrupt compressed source" : "read or write error");
        DeleteTemporary(temporary);
        RecordCopyEnd(destination, false);
        return reason;
    }
    if (!MoveIntoPlace(temporary, wideDestination, destinationAttributes)) {
        const SkipReason reason = ReasonOfLastError("destination cannot be replaced");
        DeleteTemporary(temporary);
        RecordCopyEnd(destination, false);
        return reason;
    }
    RecordCopyEnd(destination, true);
    return nullptr;
}

// A copy replacing an existing file, but never a read-only one, that leaves
// attributes as the platform's copy does: a new file takes the source's, an
// existing one keeps its own. CopyFile leaves a partial file behind when the
// disk fills up, so the copy is made beside the destination and moved into
// place only when whole.
SkipReason CopyReplacing(const char* source, const char* destination, uint64_t size)
{
    const DWORD destinationAttributes = GetFileAttributesA(destination);
    if (IsProtectedDestination(destinationAttributes))
        return ReasonOfProtected(destinationAttributes);
    std::wstring wideSource, wideDestination, temporary;
    if (!LongWidePath(source, wideSource) || !LongWidePath(destination, wideDestination) ||
        !TemporaryNameBeside(wideDestination, temporary))
        return "path too long";
    // A leftover of an earlier run goes first: the copy is made as a new
    // file, so that it takes the source's attributes.
    DeleteTemporary(temporary);
    RecordCopy(destination, temporary);
    if (!CopyFileW(wideSource.c_str(), temporary.c_str(), TRUE) ||
        !MoveIntoPlace(temporary, wideDestination, destinationAttributes)) {
        const SkipReason reason = ReasonOfLastError("copy failed");
        DeleteTemporary(temporary);
        RecordCopyEnd(destination, false);
        return reason;
    }
    RecordCopyEnd(destination, true);
    LogLine("  %s -> %s: %llu bytes", source, destination, static_cast<unsigned long long>(size));
    return nullptr;
}

// Copies every file (not folder) that the search finds to
// installPrefix + destinationDir + "\" + name, showing each destination
// first. Found names are read from sourceFolder, a prefix relative to the
// current directory ("" for the folder searched).
SkipReason CopyFoundFiles(const char* pattern, const char* sourceFolder,
                          const char* destinationDir)
{
    WIN32_FIND_DATAA found;
    ScopedFind search(FindFirstFileA(pattern, &found));
    if (!search)
        return "no file matches";
    int copied = 0, skipped = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        char from[kPathSize];
        char to[kPathSize];
        SkipReason reason = "path too long";
        if (JoinText(from, sizeof from, {sourceFolder, found.cFileName}) &&
            JoinText(to, sizeof to, {setup.installPrefix, destinationDir, "\\", found.cFileName})) {
            ShowInDirectoryField(to);
            const uint64_t size =
                (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
            reason = CopyReplacing(from, to, size);
        }
        if (reason)
            LogLine("  %s: skipped (%s)", found.cFileName, reason);
        ++(reason ? skipped : copied);
    } while (FindNextFileA(search.get(), &found));
    if (copied + skipped == 0)
        return "no file matches";
    return skipped == 0 ? nullptr : copied == 0 ? "no file copied" : "some files skipped";
}

constexpr char kAviSection[] = "Dictionary";
constexpr char kAviKey[] = "FrenchAviDelay";

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

// Enters a win.ini key in the record before its first change, with the
// value it has.
void RecordWinIniKey(const char* section, const char* key)
{
    if (!InstallRecordIsOpen() || IniKeyRecorded("win.ini", section, key))
        return;
    RecordedIniKey recorded;
    recorded.file = "win.ini";
    recorded.section = section;
    recorded.key = key;
    recorded.hadSection = WinIniHasSection(section);
    // Two different defaults tell a missing key from any value it may have.
    char value[1024];
    char check[2];
    GetPrivateProfileStringA(section, key, "", value, sizeof value, "win.ini");
    const bool missing = GetPrivateProfileStringA(section, key, "?", check, sizeof check, "win.ini") == 1 &&
                         check[0] == '?' && value[0] != '?';
    recorded.hadValue = !missing;
    recorded.value = value;
    RecordIniKey(recorded);
}

// The current directory, saved to be made current again after a command
// that moves it.
bool SaveCurrentDirectory(char (&saved)[kPathSize])
{
    DWORD length = GetCurrentDirectoryA(kPathSize, saved);
    return length > 0 && length < kPathSize;
}

SkipReason RunMakeDir(const char* rest)
{
    char path[kPathSize];
    if (!JoinText(path, sizeof path, {setup.installPrefix, rest}))
        return "path too long";
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        RecordFolder(path);
    if (CreateDirectoryA(path, nullptr))
        return nullptr;
    return GetLastError() == ERROR_ALREADY_EXISTS ? "exists already"
                                                  : ReasonOfLastError("cannot be made");
}

SkipReason RunCopy(const char* sourcePrefix, const ScriptLine& line)
{
    char source[kPathSize];
    char destination[kPathSize];
    if (!JoinText(source, sizeof source, {sourcePrefix, line.source}) ||
        !JoinText(destination, sizeof destination, {setup.installPrefix, line.destination}))
        return "path too long";
    ShowInDirectoryField(destination);
    uint64_t size = 0;
    const SkipReason reason = CopyExpanded(source, destination, size);
    if (!reason)
        LogLine("  %s -> %s: %llu bytes", source, destination,
                static_cast<unsigned long long>(size));
    return reason;
}

SkipReason RunXCopy(const char* sourcePrefix, const ScriptLine& line)
{
    char saved[kPathSize];
    if (!SaveCurrentDirectory(saved))
        return "current directory too long";
    SkipReason reason = "medium folder cannot be entered";
    if (SetCurrentDirectoryA(sourcePrefix)) {
        // Found names are read from the folder the pattern searched.
        char folder[kSetupLineSize];
        CopyText(folder, sizeof folder, line.source);
        folder[PatternDirectoryLength(line.source)] = '\0';
        reason = CopyFoundFiles(line.source, folder, line.destination);
    }
    SetCurrentDirectoryA(saved);
    return reason;
}

SkipReason RunSndCopy(const char* sourcePrefix, const ScriptLine& line)
{
    char saved[kPathSize];
    if (!SaveCurrentDirectory(saved))
        return "current directory too long";
    // A subdirectory that can't be entered skips the line: the search must
    // not fall back on the medium's own files.
    SkipReason reason = "source folder cannot be entered";
    if (SetCurrentDirectoryA(sourcePrefix) && SetCurrentDirectoryA(line.source))
        reason = CopyFoundFiles("*.*", "", line.destination);
    SetCurrentDirectoryA(saved);
    return reason;
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
    constexpr SkipReason kNoInstallDir = "install directory too long";
    char text[kSetupLineSize];
    while (ReadSetupLine(file.get(), text)) {
        ScriptLine line = ParseScriptLine(text);
        LogLine("install.inf: %s", text);
        SkipReason reason = nullptr;
        switch (line.command) {
        case ScriptCommand::None:
            reason = StartupKeyOf(text) ? "start-up key"
                     : ScriptKeywordOf(text) != ScriptCommand::None ? "missing arguments"
                                                                     : "unknown command";
            break;
        case ScriptCommand::MakeDir:
            reason = installFits ? RunMakeDir(line.rest) : kNoInstallDir;
            break;
        case ScriptCommand::IconName:
            setup.createShortcut = 1;
            CopyText(setup.iconName, sizeof setup.iconName, line.rest);
            break;
        case ScriptCommand::AviDelay:
            RecordWinIniKey(kAviSection, kAviKey);
            if (!WritePrivateProfileStringA(kAviSection, kAviKey, line.rest, "win.ini"))
                reason = "win.ini cannot be written";
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
            reason = installFits ? RunCopy(sourcePrefix, line) : kNoInstallDir;
            break;
        case ScriptCommand::XCopy:
            reason = installFits ? RunXCopy(sourcePrefix, line) : kNoInstallDir;
            break;
        case ScriptCommand::SndCopy:
            reason = installFits ? RunSndCopy(sourcePrefix, line) : kNoInstallDir;
            break;
        case ScriptCommand::Uninstall:
            // Read with the start-up keys: the record begins before any command.
            break;
        }
        if (reason)
            LogLine("  skipped (%s)", reason);
        else
            LogLine("  done");
    }
}
