// The seal of a setup medium: a manifest that lists every file of the
// medium with its size and its CRC-32, as the medium stores it (compressed
// files as compressed), and ends with the CRC-32 of its own lines. The
// publisher's tool writes it; setup.exe verifies what it reads against it.
// Portable, standard library only: both read it with this one reader.
//
// The manifest, manifest.crc at the medium's root, is text, lines ended
// by CR LF:
//   medium manifest 1
//   <crc, 8 lower-case hex digits> <size in bytes> <name>
//   ...
//   end <number of files> <crc of every byte before this line>
// A name is the file's path under the root, folders separated by '\', in
// UTF-8 (whatever code page the medium is read under); lines are sorted by
// SealKey.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr char kManifestName[] = "manifest.crc";

// The fatal error setup.exe ends with on a damaged medium; name is the
// file's path under the root, or kManifestName.
std::string DamagedMediumMessage(std::string_view name);

// A manifest larger than this is damaged: it would list millions of files.
constexpr size_t kManifestMaxSize = 64u << 20;

// CRC-32 (the polynomial of zip and PNG), taken in pieces: start with
// Crc32Init, feed every piece in order, finish with Crc32Final.
constexpr uint32_t Crc32Init = 0xFFFFFFFFu;
uint32_t Crc32Update(uint32_t state, const void* data, size_t size);
constexpr uint32_t Crc32Final(uint32_t state)
{
    return state ^ 0xFFFFFFFFu;
}
uint32_t Crc32(std::string_view bytes);

struct SealEntry {
    std::string name;  // UTF-8, '\' between folders
    uint64_t size = 0;
    uint32_t crc = 0;
};

// How file names compare, as on Windows: letters without regard to case
// (ASCII and Latin-1's accented letters), '/' read as '\'. The key of a
// name is the name upper-cased that way.
std::string SealKey(std::string_view utf8Name);

// The manifest's entries, looked up by name.
class MediumSeal {
public:
    // False when bytes is no whole manifest of this form: a line out of
    // form, a name that leaves the medium or is listed twice, a count or a
    // CRC of the manifest that does not match, anything after the end line.
    bool Parse(std::string_view bytes);

    const std::vector<SealEntry>& entries() const { return entries_; }

    // The entry of a UTF-8 name, compared as SealKey says; nullptr when
    // the manifest does not list it.
    const SealEntry* Find(std::string_view utf8Name) const;

private:
    std::vector<SealEntry> entries_;  // in the order of their keys
    std::vector<std::string> keys_;
};

// The manifest of these entries, sorted and ended with its CRC. False
// (text empty) when a name could not be read back: empty, with a control
// character, absolute or with an empty, "." or ".." element, or listed
// twice.
bool WriteSeal(std::vector<SealEntry> entries, std::string& text);

// A file checked while it is read once: every piece read goes through
// Add, and Matches says at the end whether the bytes were the listed ones.
class SealedRead {
public:
    explicit SealedRead(const SealEntry& entry) : entry_(entry) {}
    void Add(const void* data, size_t size)
    {
        state_ = Crc32Update(state_, data, size);
        size_ += size;
    }
    bool Matches() const { return size_ == entry_.size && Crc32Final(state_) == entry_.crc; }
    uint64_t size() const { return size_; }

private:
    const SealEntry& entry_;
    uint32_t state_ = Crc32Init;
    uint64_t size_ = 0;
};
