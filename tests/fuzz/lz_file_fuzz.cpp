// A compressed file from the medium, any bytes: the expansion never writes
// past the size its header promises, ends as the one-byte rule says, and
// comes out the same whatever blocks the file is read in.
#include <string>

#include "fuzz_support.h"
#include "script/lz_file.h"
#include "support/lz_blocks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string whole;
    const LzOutcome outcome = LzExpandBytes(input, whole);
    const bool written = outcome == LzOutcome::Whole || outcome == LzOutcome::WholeCut;
    FUZZ_CHECK(outcome != LzOutcome::ReadFailed && outcome != LzOutcome::WriteFailed, "a failure without a file call");
    FUZZ_CHECK(written || whole.empty(), "bytes kept from a file that does not expand");
    uint64_t promised = 0;
    if (LzPromisedSize(input, promised)) {
        FUZZ_CHECK(!written || whole.size() == promised, "a whole expansion of another size than promised");
    } else {
        FUZZ_CHECK(outcome == LzOutcome::Corrupt, "a bad header taken");
    }

    // Read in blocks of 1 to 16 bytes, the last byte of the file choosing.
    const size_t block = size == 0 ? 1 : data[size - 1] % 16 + 1;
    std::string pieces;
    const LzOutcome piecewise = ExpandInBlocks(input, block, pieces);
    FUZZ_CHECK(piecewise == outcome, "another outcome when read in blocks of " + std::to_string(block));
    FUZZ_CHECK(!written || pieces == whole, "other bytes when read in blocks of " + std::to_string(block));

    // The underscore name changes the path's end only.
    const std::string name = LzCompressedName(input);
    // Either "_" or "._" appended, or the last character (up to four bytes) replaced.
    const bool appended = name == input + "_" || name == input + "._";
    const bool replaced = !name.empty() && name.size() <= input.size() && input.size() - name.size() < 4 &&
                          input.compare(0, name.size() - 1, name, 0, name.size() - 1) == 0;
    FUZZ_CHECK(name.back() == '_' && (appended || replaced),
               "an underscore name that is not the path's end changed: " + Shown(name));
    return 0;
}
