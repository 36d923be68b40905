// A medium's manifest.crc, any bytes: read as they are, and as the lines of
// a manifest ended with their right count and CRC (else a random input
// would almost never pass the CRC and the lines would go untested). A
// manifest read is the one its entries write, finds each entry by its name
// in any case, and is refused once cut by a byte; a refused one keeps no
// entries. The CRC is the same whatever pieces it is taken in.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "script/medium_seal.h"

namespace {

std::string Ended(std::string_view lines)
{
    const size_t count = static_cast<size_t>(std::count(lines.begin(), lines.end(), '\n'));
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08lx", static_cast<unsigned long>(Crc32(lines)));
    return std::string(lines) + "end " + std::to_string(count > 0 ? count - 1 : 0) + ' ' + crc + "\r\n";
}

std::string Capitals(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

void CheckManifest(const std::string& bytes)
{
    MediumSeal seal;
    if (!seal.Parse(bytes)) {
        FUZZ_CHECK(seal.entries().empty(), "entries kept from a refused manifest");
        return;
    }
    std::string written;
    FUZZ_CHECK(WriteSeal(seal.entries(), written), "a manifest read that its entries cannot write");
    // The writer puts '\' between folders where a reader also takes '/'.
    bool slashes = false;
    for (const SealEntry& entry : seal.entries())
        slashes = slashes || entry.name.find('/') != std::string::npos;
    if (!slashes)
        FUZZ_CHECK(written == bytes, "written back otherwise: " + Shown(written));
    MediumSeal again;
    FUZZ_CHECK(again.Parse(written) && again.entries().size() == seal.entries().size(), "the written one refused");
    for (const SealEntry& entry : seal.entries()) {
        FUZZ_CHECK(seal.Find(entry.name) == &entry, "not found by its name: " + Shown(entry.name));
        FUZZ_CHECK(seal.Find(Capitals(entry.name)) == &entry, "not found in capitals: " + Shown(entry.name));
    }
    FUZZ_CHECK(!MediumSeal().Parse(bytes.substr(0, bytes.size() - 1)), "taken cut by a byte");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    CheckManifest(input);
    CheckManifest(Ended(input));

    const size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    const uint32_t pieces = Crc32Final(Crc32Update(Crc32Update(Crc32Init, data, cut), data + cut, size - cut));
    FUZZ_CHECK(pieces == Crc32(input), "another CRC when taken in two pieces at " + std::to_string(cut));
    return 0;
}
