// The sealed medium: see sealed_medium.h.
#include "script/sealed_medium.h"

#include <windows.h>

#include <string>
#include <vector>

#include "shell/fatal_error.h"
#include "shell/run_log.h"
#include "shell/scoped_handles.h"
#include "shell/wide_text.h"

namespace {

struct Medium {
    bool sealed = false;
    MediumSeal seal;
    std::wstring root;  // full long path, ending with a backslash
};

Medium medium;

// The full path of a path, short names made long where the file is
// there to ask, so that a path compares with the manifest's names.
std::wstring FullLongPath(const char* path)
{
    const std::wstring full = FullWidePath(path);
    if (full.empty())
        return full;
    const DWORD longLength = GetLongPathNameW(full.c_str(), nullptr, 0);
    if (longLength == 0)
        return full;
    std::wstring longPath(longLength, L'\0');
    const DWORD got = GetLongPathNameW(full.c_str(), &longPath[0], longLength);
    if (got == 0 || got >= longLength)
        return full;
    longPath.resize(got);
    return longPath;
}

// The path under the medium's root, or empty when path is not under it.
std::wstring NameUnderRoot(const std::wstring& full)
{
    const std::wstring& root = medium.root;
    if (full.size() <= root.size() ||
        CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, full.c_str(), static_cast<int>(root.size()),
                       root.c_str(), static_cast<int>(root.size())) != CSTR_EQUAL)
        return std::wstring();
    return full.substr(root.size());
}

// The entry a file of the medium must match; ends the program when the
// manifest does not list it. name receives the file's name for a message.
const SealEntry& EntryOf(const char* path, std::string& name)
{
    const std::wstring under = NameUnderRoot(FullLongPath(path));
    name = under.empty() ? path : Utf8Path(under);
    const SealEntry* entry = under.empty() ? nullptr : medium.seal.Find(name);
    if (!entry)
        DamagedMedium(name.c_str(), "not listed in the manifest");
    return *entry;
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes, size_t limit)
{
    ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size) || static_cast<uint64_t>(size.QuadPart) > limit)
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() || (ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                             read == bytes.size());
}

}  // namespace

void DamagedMedium(const char* name, const char* why)
{
    LogLine("Medium: %s: %s", name, why);
    FatalErrorNaming(DamagedMediumMessage("").c_str(), name);
}

void OpenSealedMedium(const char* sourceDir)
{
    medium = Medium();
    std::wstring root = FullLongPath(sourceDir);
    if (root.empty())
        return;
    if (root.back() != L'\\')
        root += L'\\';
    const std::wstring manifestPath = root + WidePath(kManifestName);
    const DWORD attributes = GetFileAttributesW(manifestPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    std::string bytes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || !ReadWholeFile(manifestPath, bytes, kManifestMaxSize) ||
        !medium.seal.Parse(bytes))
        DamagedMedium(kManifestName, "the manifest is damaged");
    medium.root = root;
    medium.sealed = true;
    LogLine("Medium: sealed, %u files", static_cast<unsigned>(medium.seal.entries().size()));
    // A file missing or cut short is found now, before the run changes
    // anything; a changed byte only when the file is read.
    for (const SealEntry& entry : medium.seal.entries()) {
        std::wstring path = root + WidePath(entry.name.c_str());
        WIN32_FILE_ATTRIBUTE_DATA data;
        const char* name = entry.name.c_str();
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DamagedMedium(name, "missing");
        const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        if (size != entry.size)
            DamagedMedium(name, "not of its listed size");
    }
}

MediumRead::MediumRead(const char* path)
{
    if (medium.sealed)
        read_ = std::make_unique<SealedRead>(EntryOf(path, name_));
}

bool MediumHolds(const char* path)
{
    if (!medium.sealed)
        return true;
    const std::wstring under = NameUnderRoot(FullLongPath(path));
    return !under.empty() && medium.seal.Find(Utf8Path(under));
}

void EndIfListed(const char* path)
{
    if (!medium.sealed || !MediumHolds(path))
        return;
    DamagedMedium(Utf8Path(NameUnderRoot(FullLongPath(path))).c_str(), "cannot be read");
}

void CheckWholeMediumFile(const char* path)
{
    if (!medium.sealed)
        return;
    MediumRead read(path);
    std::string bytes;
    // Its size was checked at start-up; a file grown since is damaged too.
    if (!ReadWholeFile(WidePath(path), bytes, kManifestMaxSize))
        DamagedMedium(read.name(), "cannot be read whole");
    read.Add(bytes.data(), bytes.size());
    if (!read.Matches())
        DamagedMedium(read.name(), "its bytes are not the listed ones");
}
