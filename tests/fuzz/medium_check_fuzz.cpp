// The medium check on a medium whose install.inf and langue.cf are any bytes
// (the input up to its first 0x1E byte, and after it): every finding names a
// file of the medium and a line or record that exists there, whatever file
// the script installs as langue.cf.
#include <algorithm>
#include <string>

#include "fuzz_support.h"
#include "medium_check.h"
#include "report.h"
#include "support/files.h"

namespace {

const char kMedium[] = "m";

std::string Record(const std::string& key, const std::string& value)
{
    std::string record(84, '\0');
    record.replace(0, key.size(), key);
    record.replace(31, value.size(), value);
    return record;
}

// Every byte a literal, as the platform's LZ format allows.
std::string Compressed(const std::string& bytes)
{
    std::string out("SZDD\x88\xF0\x27\x33" "A\0", 10);
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((bytes.size() >> shift) & 0xFF);
    for (size_t at = 0; at < bytes.size(); at += 8)
        out += "\xFF" + bytes.substr(at, 8);
    return out;
}

// In the scratch folder, the current one, once for the process.
void MakeMedium()
{
    MakeFolder(kMedium);
    WriteFiles(kMedium, {
        {"prog.ex_", Compressed(std::string(100, 'p'))},
        {"cut.ex_", Compressed(std::string(100, 'c')).substr(0, 40)},
        {"langue/anglais.wb", Record("cat", "chat") + Record("dog", "chien, toutou")},
        {"langue/bad.wb", Record("k", std::string(40, 'v') + ",x") + "cut"},
        {"aide/index.txt", "aide\r\n"},
        {"fin.txt", "Merci.\r\n"},
        {"dict.ini", "[langue]\r\n\r\n"},
        {"autre.ini", "[ajouter]\r\n"},
    });
    MakeFolder("m/vide");
}

long LinesOf(const std::string& text)
{
    return std::count(text.begin(), text.end(), '\n') + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool made = (MakeMedium(), true);
    (void)made;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\x1E');
    const std::string script = input.substr(0, split);
    const std::string languages = split == std::string::npos ? "" : input.substr(split + 1);
    WriteFileBytes("m/install.inf", script);
    WriteFileBytes("m/langue.cf", languages);

    Report report;
    FUZZ_CHECK(CheckMedium(kMedium, report), "the medium was not read");
    for (const Finding& finding : report.findings) {
        const std::string where = finding.file + ":" + std::to_string(finding.line);
        FUZZ_CHECK(!finding.text.empty(), where + " says nothing");
        FUZZ_CHECK(PathExists(std::string(kMedium) + "/" + finding.file), where + " names no file of the medium");
        // A line of the file, or a record of it read as a word list (the
        // medium's compressed files expand to a single line).
        const std::string bytes = ReadFileBytes(std::string(kMedium) + "/" + finding.file);
        const long last = std::max<long>(LinesOf(bytes), static_cast<long>(bytes.size() / 84) + 1);
        FUZZ_CHECK(finding.line >= 0 && finding.line <= last, where + " is past the file's end: " + finding.text);
    }
    return 0;
}
