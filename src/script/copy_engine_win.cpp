// The copy engine: see copy_engine.h.
#include "script/copy_engine.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "script/lz_file.h"
#include "script/sealed_medium.h"
#include "shell/install_record.h"
#include "shell/run_log.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/wide_text.h"
#include "shell/window_seam.h"

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

namespace {

// Uncompressed files are copied in blocks this large: the platform's LZ copy
// moved small blocks and ran at a fraction of the disk's speed.
constexpr DWORD kCopyBlock = 1u << 20;

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
    const std::wstring full = FullWidePath(path);
    if (full.empty())
        return false;
    if (full.compare(0, 2, L"\\\\") == 0)
        wide = L"\\\\?\\UNC\\" + full.substr(2);
    else
        wide = L"\\\\?\\" + full;
    return true;
}

ScopedFileHandle OpenForReading(const std::wstring& path)
{
    return ScopedFileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Opens a copy's source as the LZ library's open does, the named file first,
// then its compressed name; by handle, as the library's own open refuses
// paths of 128 characters or more. opened receives the name read.
ScopedFileHandle OpenSource(const char* source, std::string& opened)
{
    std::wstring wide;
    if (!LongWidePath(source, wide))
        return ScopedFileHandle();
    opened = source;
    ScopedFileHandle input = OpenForReading(wide);
    if (!input) {
        opened = LzCompressedName(source);
        if (LongWidePath(opened.c_str(), wide))
            input = OpenForReading(wide);
    }
    return input;
}

// A source that is its destination (installing into the medium's own
// folder): by the system's identity of files, whatever the names.
constexpr SkipReason kSameFile = "source and destination are the same file";

void LogCopied(const char* read, const char* written, uint64_t size)
{
    LogLine("  %s -> %s: %llu bytes", read, written, static_cast<unsigned long long>(size));
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

// Enters a copy's temporary file in the journal before it is made: a run
// killed meanwhile leaves it beside the destination (its name is plain
// ASCII).
void RecordCopy(const char* destination, const std::wstring& temporary)
{
    if (!RunJournalIsOpen())
        return;
    const char* separator = std::strrchr(destination, '\\');
    const size_t folderLength = separator ? static_cast<size_t>(separator - destination) + 1 : 0;
    std::string temporaryName(destination, folderLength);
    for (size_t i = temporary.find_last_of(L'\\') + 1; i < temporary.size(); ++i)
        temporaryName += static_cast<char>(temporary[i]);
    RecordFileToWrite(temporaryName.c_str());
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

// Moves the finished temporary over the destination, which the journal
// first enters as new or puts aside. An existing destination keeps its
// attributes, as the platform's copy leaves them when it writes into an
// existing file.
bool MoveIntoPlace(const std::wstring& temporary, const char* destinationName, const std::wstring& destination,
                   DWORD destinationAttributes)
{
    if (!RecordFileToReplace(destinationName))
        return false;
    if (destinationAttributes != INVALID_FILE_ATTRIBUTES) {
        const DWORD kept = destinationAttributes &
                           (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        SetFileAttributesW(temporary.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
    }
    return MoveFileExW(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// True when the open file starts with the LZ signature; the file is read
// again from its start afterwards.
bool IsCompressed(HANDLE file)
{
    char start[kLzSignatureSize];
    DWORD read = 0;
    const bool compressed = ReadFile(file, start, sizeof start, &read, nullptr) &&
                            IsLzCompressed(std::string_view(start, read));
    return SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 && compressed;
}

// Reads from the source, every byte also to the medium's check.
bool ReadSource(HANDLE input, MediumRead& check, char* buffer, DWORD capacity, DWORD& read)
{
    read = 0;
    if (!ReadFile(input, buffer, capacity, &read, nullptr))
        return false;
    check.Add(buffer, read);
    return true;
}

// Expands a compressed input into output through the LZ module.
LzOutcome Expand(HANDLE input, HANDLE output, MediumRead& check)
{
    try {
        return LzExpand(
            [input, &check](char* buffer, size_t capacity, size_t& count) {
                DWORD read = 0;
                const bool ok = ReadSource(input, check, buffer, static_cast<DWORD>(capacity), read);
                count = read;
                return ok;
            },
            [output](const char* bytes, size_t size) {
                DWORD written = 0;
                return WriteFile(output, bytes, static_cast<DWORD>(size), &written, nullptr) && written == size;
            });
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return LzOutcome::ReadFailed;
    }
}

// Copies input to output as it is, in large blocks; output null reads the
// rest of input for the check alone (what an expansion left unread).
bool CopyBlocks(HANDLE input, HANDLE output, MediumRead& check)
{
    bool complete = false;
    try {
        std::vector<char> block(kCopyBlock);
        for (;;) {
            DWORD read = 0, written = 0;
            if (!ReadSource(input, check, block.data(), kCopyBlock, read))
                break;
            if (read == 0) {
                complete = true;
                break;
            }
            if (output && (!WriteFile(output, block.data(), read, &written, nullptr) || written != read))
                break;
        }
    } catch (const std::bad_alloc&) {
        complete = false;
    }
    return complete;
}

// The attributes a new copy of xcopy and sndcopy takes from its source, as
// the platform's copy gives them, but never the read-only mark: a later
// installation must be able to replace the copy.
DWORD CopiedAttributes(HANDLE input)
{
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(input, &information))
        return FILE_ATTRIBUTE_NORMAL;
    const DWORD kept = information.dwFileAttributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

// How a copy takes its source: the copy command expands a compressed one
// and finds it under its compressed name too; xcopy and sndcopy copy what
// they found as it is.
enum class SourceForm { Expanded, AsStored };

// Ends the run when the source read whole was not the publisher's file.
// The copy's temporary goes first: the rollback cannot remove an open file.
void EndIfDamaged(const MediumRead& check, ScopedFileHandle& output, const std::wstring& temporary,
                  const char* destination)
{
    if (check.Matches())
        return;
    output.reset();
    DeleteTemporary(temporary);
    RecordCopyEnd(destination, false);
    DamagedMedium(check.name(), "its bytes are not the listed ones");
}

// A copy replacing an existing file, but never a read-only, hidden or
// system one. The platform's copies leave a partial file behind when the
// disk fills up, so the copy is made beside the destination and moved into
// place only when whole. On a sealed medium the source is checked as it is
// read, before the copy is moved into place.
SkipReason CopyFromMedium(const char* source, const char* destination, SourceForm form)
{
    std::string read = source;
    ScopedFileHandle input;
    if (form == SourceForm::Expanded) {
        input = OpenSource(source, read);
    } else if (std::wstring wide; LongWidePath(source, wide)) {
        input = OpenForReading(wide);
    }
    if (!input) {
        const SkipReason reason = ReasonOfLastError("source cannot be opened");
        EndIfListed(source);
        if (form == SourceForm::Expanded)
            EndIfListed(LzCompressedName(source).c_str());
        return reason;
    }
    if (form == SourceForm::AsStored && !MediumHolds(read.c_str()))
        return "not listed in the medium's manifest";
    MediumRead check(read.c_str());
    const DWORD destinationAttributes = GetFileAttributesW(WidePath(destination).c_str());
    if (IsProtectedDestination(destinationAttributes))
        return ReasonOfProtected(destinationAttributes);
    if (IsSameFile(read.c_str(), destination))
        return kSameFile;
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

    bool complete = false, corrupt = false;
    if (form == SourceForm::Expanded && IsCompressed(input.get())) {
        const LzOutcome outcome = Expand(input.get(), output.get(), check);
        complete = outcome == LzOutcome::Whole || outcome == LzOutcome::WholeCut;
        corrupt = outcome == LzOutcome::Short || outcome == LzOutcome::Corrupt;
        // The check takes the whole file, what follows the compressed data too.
        if ((complete || corrupt) && !CopyBlocks(input.get(), nullptr, check))
            complete = corrupt = false;
    } else {
        complete = CopyBlocks(input.get(), output.get(), check);
    }
    if (complete || corrupt)
        EndIfDamaged(check, output, temporary, destination);
    LARGE_INTEGER written = {};
    complete = complete && GetFileSizeEx(output.get(), &written);
    // The source's last-write time, as the platform's copies keep it.
    FILETIME sourceTime;
    if (complete && GetFileTime(input.get(), nullptr, nullptr, &sourceTime))
        SetFileTime(output.get(), nullptr, nullptr, &sourceTime);
    // Closed before the move, and a failed close fails the copy.
    complete = CloseHandle(output.release()) && complete;
    if (complete && form == SourceForm::AsStored)
        SetFileAttributesW(temporary.c_str(), CopiedAttributes(input.get()));

    if (!complete) {
        // A short or corrupt source leaves no error of a file call behind.
        const SkipReason reason =
            corrupt ? "corrupt compressed source" : ReasonOfLastError("read or write error");
        DeleteTemporary(temporary);
        RecordCopyEnd(destination, false);
        return reason;
    }
    if (!MoveIntoPlace(temporary, destination, wideDestination, destinationAttributes)) {
        const SkipReason reason = ReasonOfLastError("destination cannot be replaced");
        DeleteTemporary(temporary);
        RecordCopyEnd(destination, false);
        return reason;
    }
    RecordCopyEnd(destination, true);
    LogCopied(read.c_str(), destination, static_cast<uint64_t>(written.QuadPart));
    return nullptr;
}

}  // namespace

SkipReason CopyExpanded(const char* source, const char* destination)
{
    return CopyFromMedium(source, destination, SourceForm::Expanded);
}

SkipReason CopyFoundFiles(const char* pattern, const char* sourceFolder,
                          const char* destinationDir)
{
    WIN32_FIND_DATAW found;
    ScopedFind search(FindFirstFileW(WidePath(pattern).c_str(), &found));
    if (!search)
        return "no file matches";
    int copied = 0, skipped = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        // Any character: the name is UTF-8 from here on.
        const std::string name = Utf8Path(found.cFileName);
        char from[kPathSize];
        char to[kPathSize];
        SkipReason reason = "path too long";
        if (JoinPath(from, {sourceFolder, name.c_str()}) &&
            JoinPath(to, {setup.installPrefix, destinationDir, "\\", name.c_str()})) {
            ShowInDirectoryField(to);
            reason = CopyFromMedium(from, to, SourceForm::AsStored);
        }
        if (reason)
            LogLine("  %s: skipped (%s)", name.c_str(), reason);
        ++(reason ? skipped : copied);
    } while (FindNextFileW(search.get(), &found));
    if (copied + skipped == 0)
        return "no file matches";
    return skipped == 0 ? nullptr : copied == 0 ? "no file copied" : "some files skipped";
}
