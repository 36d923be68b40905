#include "compress_command.h"

#include "host_files.h"
#include "script/lz_file.h"

namespace {

bool CompressFile(const std::string& file, const std::string& folder, FILE* err)
{
    const std::string stored = LzCompressedName(file);
    if (stored == file) {
        // "x.tx_": the compressed file would take the original's own name.
        std::fprintf(err, "medium: %s: its compressed name is its own name\n", file.c_str());
        return false;
    }
    std::string bytes;
    if (!ReadHostFile(file, bytes)) {
        std::fprintf(err, "medium: cannot read %s\n", file.c_str());
        return false;
    }
    if (bytes.size() > kLzMaxExpandedSize) {
        std::fprintf(err, "medium: %s is larger than a compressed file can hold (4 GiB)\n", file.c_str());
        return false;
    }
    std::string target = stored;
    if (!folder.empty()) {
        const size_t separator = stored.find_last_of("\\/");
        target = folder + kHostSeparator + stored.substr(separator == std::string::npos ? 0 : separator + 1);
    }
    if (!WriteHostFileWhole(target, LzCompressBytes(bytes, LzReplacedCharacter(file)))) {
        std::fprintf(err, "medium: cannot write %s\n", target.c_str());
        return false;
    }
    return true;
}

}  // namespace

int CompressFiles(const std::vector<std::string>& files, const std::string& folder, FILE* err)
{
    bool allWritten = true;
    for (const std::string& file : files)
        allWritten = CompressFile(file, folder, err) && allWritten;
    return allWritten ? 0 : 1;
}
