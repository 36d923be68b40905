// The publisher's word list text, any bytes: an import either refuses with
// faults on lines that exist, or gives whole zero-filled records whose export
// imports to the same bytes. The same bytes read as a list: every
// well-formed list comes back through export and import unchanged.
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "report.h"
#include "word_list_check.h"
#include "word_list_text.h"

namespace {

constexpr size_t kRecordSize = 84;

// The export of a list the fuzzer has found well formed.
std::string Exported(std::string_view list)
{
    std::string text;
    std::vector<TextFault> faults;
    FUZZ_CHECK(ExportText(list, text, faults), "the export of a well-formed list is refused: " + faults[0].text);
    return text;
}

// The lines of a text that hold a record once it is accepted: all but a
// byte order mark at the start and the lines that hold only their end.
long RecordLines(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    long lines = 0;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, end - at);
        lines += !line.empty() && !(line == "\r" && end < text.size());
        at = end + 1;
    }
    return lines;
}

// Fields ended inside themselves, zeros after, reserved 0, a key.
bool WellFormed(std::string_view list)
{
    if (list.size() % kRecordSize != 0)
        return false;
    for (size_t at = 0; at < list.size(); at += kRecordSize) {
        const std::string_view record = list.substr(at, kRecordSize);
        const std::string_view key = record.substr(0, 31);
        const std::string_view value = record.substr(31, 51);
        const size_t keyEnd = key.find('\0');
        const size_t valueEnd = value.find('\0');
        if (keyEnd == 0 || keyEnd == std::string_view::npos || valueEnd == std::string_view::npos ||
            key.find_first_not_of('\0', keyEnd) != std::string_view::npos ||
            value.find_first_not_of('\0', valueEnd) != std::string_view::npos || record[82] != 0 ||
            record[83] != 0)
            return false;
    }
    return true;
}

void CheckImport(std::string_view text)
{
    std::string list;
    std::vector<TextFault> faults;
    const bool accepted = ImportText(text, list, faults);
    const long lines = std::count(text.begin(), text.end(), '\n') + (text.empty() || text.back() == '\n' ? 0 : 1);
    if (!accepted) {
        FUZZ_CHECK(!faults.empty(), "a refused text without a fault");
        FUZZ_CHECK(list.empty(), "a refused text left records");
        for (const TextFault& fault : faults)
            FUZZ_CHECK(fault.line >= 1 && fault.line <= lines, "a fault on line " + std::to_string(fault.line) +
                                                                   " of " + std::to_string(lines));
        return;
    }
    FUZZ_CHECK(faults.empty(), "an accepted text with faults");
    FUZZ_CHECK(list.size() == static_cast<size_t>(RecordLines(text)) * kRecordSize, "not one record a line");
    FUZZ_CHECK(WellFormed(list), "an imported list is not well formed");
    std::string again;
    FUZZ_CHECK(ImportText(Exported(list), again, faults), "the export of an import is refused");
    FUZZ_CHECK(again == list, "the export of an import imports otherwise");
}

void CheckList(std::string_view bytes)
{
    Report report;
    const WordListFacts facts = CheckWordList(std::string(bytes), "list.wb", report);
    FUZZ_CHECK(facts.records == static_cast<int>(bytes.size() / kRecordSize), "wrong record count");
    for (const Finding& finding : report.findings)
        FUZZ_CHECK(finding.line >= 0 && finding.line <= facts.records + 1, "a finding past the list's end");
    std::string text;
    std::vector<TextFault> faults;
    const bool exported = ExportText(bytes, text, faults);
    FUZZ_CHECK(exported == WellFormed(bytes), "the export takes a list that does not come back, or refuses one");
    for (const TextFault& fault : faults)
        FUZZ_CHECK(fault.line >= 1 && fault.line <= facts.records + 1, "an export fault past the list's end");
    if (!exported)
        return;
    FUZZ_CHECK(report.Count(Severity::Error) == 0, "a well-formed list with errors: " + report.findings[0].text);
    std::string list;
    FUZZ_CHECK(ImportText(text, list, faults), "the export of a well-formed list is refused: " + faults[0].text);
    FUZZ_CHECK(list == bytes, "a well-formed list comes back otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckImport(bytes);
    CheckList(bytes);
    return 0;
}
