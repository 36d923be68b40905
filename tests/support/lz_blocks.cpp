#include "support/lz_blocks.h"

#include <algorithm>
#include <cstring>

LzOutcome ExpandInBlocks(const std::string& compressed, size_t block, std::string& expanded)
{
    size_t at = 0;
    expanded.clear();
    return LzExpand(
        [&](char* buffer, size_t capacity, size_t& count) {
            count = std::min({capacity, block, compressed.size() - at});
            if (count > 0)
                std::memcpy(buffer, compressed.data() + at, count);
            at += count;
            return true;
        },
        [&](const char* bytes, size_t size) {
            expanded.append(bytes, size);
            return true;
        });
}
