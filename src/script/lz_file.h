// The LZ format in which a setup medium stores compressed files (the one
// the platform's LZ32 library reads): the name a compressed file is stored
// under, its signature, its expansion and the compression that makes it.
// Portable, standard library only: setup.exe's copy and the medium tool
// both call it, so that they agree on every medium.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The header: the signature, the mode 'A', the last character of the name,
// and the expanded size (uint32, little-endian).
constexpr size_t kLzSignatureSize = 8;
constexpr size_t kLzHeaderSize = 14;

// The name under which a medium stores path compressed, the one the LZ open
// looks for when the named file is missing: the last character of the
// extension replaced by '_' ("dico.exe" -> "dico.ex_"), '_' appended to a
// shorter extension ("x.md" -> "x.md_"), "._" appended to a name without
// one. The extension starts at the first dot of the last path element;
// '\' and '/' both end an element (setup.exe reads '/' as '\').
std::string LzCompressedName(std::string_view path);

// The character LzCompressedName puts '_' in place of, which the header
// keeps: 'e' for "dico.exe". 0 where the name only grows ("x.md_", "x._"),
// as nothing of it is lost.
char LzReplacedCharacter(std::string_view path);

// True when a file starting with these bytes is stored compressed: they
// begin with the signature. A file that has it but no whole header is a
// corrupt compressed file, not a plain one.
bool IsLzCompressed(std::string_view start);

// The expanded size a compressed file's header promises; false when start
// holds no whole header of mode 'A'.
bool LzPromisedSize(std::string_view start, uint64_t& size);

// What an expansion ends with.
enum class LzOutcome {
    Whole,        // exactly the size the header promises
    WholeCut,     // one byte more than promised, as mscompress compresses an
                  // empty file: the surplus byte is cut, the rest is whole
    Short,        // fewer bytes than promised: a truncated file
    Corrupt,      // a bad header (no signature, a mode other than 'A', cut
                  // short), more than one byte over the promise, or a match
                  // missing its second byte once every promised byte is there
    ReadFailed,   // the source could not be read
    WriteFailed,  // the expansion could not be written
};

// The one-byte rule: the outcome of a stream that decoded to expanded bytes
// when its header promised promised.
LzOutcome LzOutcomeOfSize(uint64_t promised, uint64_t expanded);

// Fills buffer with up to capacity bytes of the compressed file and sets
// count (0 at its end); false on a read error.
using LzRead = std::function<bool(char* buffer, size_t capacity, size_t& count)>;
// Takes the next size bytes of the expansion; false on a write error.
using LzWrite = std::function<bool(const char* bytes, size_t size)>;

// Expands a compressed file, header included, in blocks. Never writes more
// than the promised size (a surplus byte is cut, not written). Only Whole
// and WholeCut leave the file written whole; after any other outcome the
// caller discards what was written. A stream that ends where a group's
// flag byte promises more items just ends there; one that ends between the
// two bytes of a match is Short while bytes are missing, Corrupt otherwise.
// Throws std::bad_alloc when its buffers cannot be had.
LzOutcome LzExpand(const LzRead& read, const LzWrite& write);

// The same over bytes in memory; expanded receives the expansion (empty
// unless Whole or WholeCut).
LzOutcome LzExpandBytes(std::string_view compressed, std::string& expanded);

// The largest size a header can promise.
constexpr uint64_t kLzMaxExpandedSize = 0xFFFFFFFFu;

// bytes compressed, header included (nameCharacter is its name character):
// LzExpand and the platform's expansion give them back whole. Throws
// std::length_error past kLzMaxExpandedSize.
std::string LzCompressBytes(std::string_view bytes, char nameCharacter);
