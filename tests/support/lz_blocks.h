// The LZ module's expansion of bytes in memory read a few bytes at a time,
// so that headers, groups and matches fall across the reads.
#pragma once

#include <cstddef>
#include <string>

#include "script/lz_file.h"

LzOutcome ExpandInBlocks(const std::string& compressed, size_t block, std::string& expanded);
