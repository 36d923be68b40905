// dict.ini as an earlier installation or the medium left it, and a language
// line, through every catalogue operation in the driver's order. Each
// rewrite must keep every line it is not meant to drop, leave no tmp.ini,
// and give the language exactly one line.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "fake_shell.h"
#include "fuzz_support.h"
#include "shell/collation.h"
#include "shell/setup_state.h"
#include "support/files.h"
#include "support/installed_files.h"

namespace {

const std::string kEndComment(kCatalogueEnd, sizeof kCatalogueEnd - 3);  // less its CR LF

std::string WithoutLineEnd(std::string line)
{
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line;
}

// Fields of a line: maximal runs of characters other than the comma.
std::vector<std::string_view> Fields(std::string_view line, size_t most)
{
    std::vector<std::string_view> fields;
    size_t pos = 0;
    while (fields.size() < most && (pos = line.find_first_not_of(',', pos)) != std::string_view::npos) {
        size_t end = std::min(line.find(',', pos), line.size());
        fields.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return fields;
}

// A line (line end still on it) of the language: its fourth field less the
// last character, or for one to three fields the first, is the name.
bool BelongsTo(const std::string& line, const std::string& name)
{
    std::vector<std::string_view> fields = Fields(line, 4);
    if (fields.empty())
        return false;
    if (fields.size() == 4)
        return EqualFoldingAZ(fields[3].substr(0, fields[3].size() - 1), name);
    return EqualFoldingAZ(fields[0], name);
}

bool StartsWithLangue(const std::string& line)
{
    return EqualFoldingAZ(std::string_view(line).substr(0, 8), "[langue]");
}

// True when every line of part stands in whole, in the same order (line
// ends aside: a rewrite may end an unended last line).
bool IsSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole)
{
    size_t at = 0;
    for (const std::string& line : whole) {
        if (at < part.size() && WithoutLineEnd(part[at]) == WithoutLineEnd(line))
            ++at;
    }
    return at == part.size();
}

size_t CountBelonging(const std::vector<std::string>& lines, const std::string& name)
{
    return static_cast<size_t>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return BelongsTo(line, name); }));
}

// The lines a sort must keep: all but the empty ones and its end comment.
std::map<std::string, int> Content(const std::vector<std::string>& lines)
{
    std::map<std::string, int> content;
    for (const std::string& line : lines) {
        std::string text = WithoutLineEnd(line);
        if (!text.empty() && text != kEndComment)
            ++content[text];
    }
    return content;
}

// True when what the sort wrote is what it read, less some lines that begin
// with "[langue]".
bool OnlyHeadersDropped(const std::map<std::string, int>& read, const std::map<std::string, int>& written)
{
    for (const auto& [text, times] : written) {
        auto it = read.find(text);
        if (it == read.end() || it->second < times)
            return false;
    }
    for (const auto& [text, times] : read) {
        auto it = written.find(text);
        if ((it == written.end() || it->second < times) && !StartsWithLangue(text))
            return false;
    }
    return true;
}

std::string SortKey(const std::string& text)
{
    std::vector<std::string_view> fields = Fields(text, 4);
    if (fields.empty())
        return "";
    return std::string(fields.size() == 4 ? fields[3] : fields[0]);
}

struct Language {
    std::string field1, field2, field3, name;
};

// The language from the first line of the input, as the driver splits a
// catalogue line; missing fields get stand-ins.
Language LanguageOf(std::string_view line)
{
    // langue.cf is read as text: its lines end at a NUL for the driver and
    // at the end-of-file mark for the reader.
    line = line.substr(0, std::min({line.find('\0'), line.find('\x1A'), line.size()}));
    std::vector<std::string_view> fields = Fields(line, 4);
    Language language{"p1", "p2", "p3", "Italien"};
    if (!fields.empty())
        language.field1 = std::string(line.substr(0, static_cast<size_t>(fields[0].data() - line.data()) + fields[0].size()));
    if (fields.size() > 1)
        language.field2 = std::string(fields[1]);
    if (fields.size() > 2)
        language.field3 = std::string(fields[2]);
    if (fields.size() > 3)
        language.name = std::string(fields[3]);
    return language;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    StartInput();

    // The first line (at most 99 bytes, as langue.cf gives it) is the
    // catalogue line; the rest, when there is any, is dict.ini.
    size_t lineEnd = std::min({input.find('\n'), input.size(), static_cast<size_t>(kSetupLineSize - 1)});
    const Language language = LanguageOf(input.substr(0, lineEnd));
    std::string_view catalogue = lineEnd < input.size() ? input.substr(lineEnd + 1) : std::string_view();
    const bool existed = !catalogue.empty();
    if (existed)
        WriteFileBytes("dict.ini", std::string(catalogue));

    try {
        const int32_t statusY = setup.statusY;
        CreateCatalogue("liste.wb");
        FUZZ_CHECK(setup.statusY == statusY + 25, "the status lines did not move one row");
        FUZZ_CHECK(ReadFileBytes("dict.ini") == (existed ? std::string(catalogue) : Catalogue("liste.wb", "")),
                   existed ? "an existing catalogue was changed" : "the new catalogue is not the template");

        // Every line of the language goes, and only those.
        const std::vector<std::string> before = ReadTextLines("dict.ini");
        FUZZ_CHECK(RemoveLanguageEntries(language.name.c_str()) == 0, "RemoveLanguageEntries failed");
        FUZZ_CHECK(!PathExists("tmp.ini"), "tmp.ini is left after RemoveLanguageEntries");
        const std::vector<std::string> removed = ReadTextLines("dict.ini");
        FUZZ_CHECK(IsSubsequence(removed, before), "RemoveLanguageEntries changed a line it kept");
        FUZZ_CHECK(CountBelonging(removed, language.name) == 0, "a line of the language is left");
        FUZZ_CHECK(removed.size() + CountBelonging(before, language.name) == before.size(),
                   "RemoveLanguageEntries dropped a line of another language");

        // One new line in each section, every other line kept.
        FUZZ_CHECK(AddLanguageEntry(language.field1.c_str(), language.field2.c_str(), language.field3.c_str(),
                                    language.name.c_str()) == 0,
                   "AddLanguageEntry failed");
        FUZZ_CHECK(!PathExists("tmp.ini"), "tmp.ini is left after AddLanguageEntry");
        const std::vector<std::string> added = ReadTextLines("dict.ini");
        FUZZ_CHECK(IsSubsequence(removed, added), "AddLanguageEntry lost or changed a line");
        const size_t headers = static_cast<size_t>(std::count_if(removed.begin(), removed.end(), StartsWithLangue));
        const std::string newLine =
            language.field1 + "," + language.field2 + "," + language.field3 + "," + language.name;
        size_t newLines = static_cast<size_t>(std::count_if(
            added.begin(), added.end(), [&](const std::string& line) { return WithoutLineEnd(line) == newLine; }));
        if (headers == 0)
            FUZZ_CHECK(added == removed, "a catalogue without [langue] was changed");
        else
            FUZZ_CHECK(newLines >= 1, "the new line is missing");
        // An unended last line is compared less its last character, so a
        // line of the language there stays; inside the section Add ends it,
        // and then it counts. Outside it stays the unended last line (the
        // new line may have the same text, so finding it ended proves nothing).
        const bool unendedOwnLine = !removed.empty() && removed.back().back() != '\n' &&
                                    BelongsTo(removed.back() + "\n", language.name) &&
                                    added.back() != removed.back();
        if (headers == 1)
            FUZZ_CHECK(CountBelonging(added, language.name) == 1 + (unendedOwnLine ? 1u : 0u),
                       "the language has " + std::to_string(CountBelonging(added, language.name)) + " lines");

        // The sort keeps every line but later [langue] headers (each would
        // get a line of every later installation) and puts the section in
        // key order.
        const int32_t count = CountLanguageEntries();
        FUZZ_CHECK(count >= 0, "the catalogue cannot be counted");
        FUZZ_CHECK(SortLanguageSection(std::max<int32_t>(count, 2)) == 0, "SortLanguageSection failed");
        FUZZ_CHECK(!PathExists("tmp.ini"), "tmp.ini is left after SortLanguageSection");
        const std::vector<std::string> sorted = ReadTextLines("dict.ini");
        FUZZ_CHECK(OnlyHeadersDropped(Content(added), Content(sorted)), "the sort lost, added or changed a line");
        auto placed = std::find_if(sorted.begin(), sorted.end(), StartsWithLangue);
        if (placed != sorted.end()) {
            FUZZ_CHECK(sorted.end() - placed > count, "the sorted lines are missing");
            FUZZ_CHECK(std::none_of(placed + 1 + count, sorted.end(), StartsWithLangue),
                       "a later [langue] header was kept");
        }

        auto firstHeader = std::find_if(added.begin(), added.end(), StartsWithLangue);
        if (count > 1 && WithoutLineEnd(*firstHeader) .size() == 8) {
            FUZZ_CHECK(CountLanguageEntries() == count, "the sort changed the number of language lines");
            auto header = std::find_if(sorted.begin(), sorted.end(), StartsWithLangue);
            FUZZ_CHECK(sorted.end() - header > count, "the sorted lines are missing");
            for (int32_t i = 1; i < count; ++i) {
                std::string a = SortKey(WithoutLineEnd(header[i]));
                std::string b = SortKey(WithoutLineEnd(header[i + 1]));
                FUZZ_CHECK(CompareCollated(a.c_str(), b.c_str()) <= 0,
                           "language lines out of order: " + Shown(a) + " before " + Shown(b));
            }
        }
    } catch (const FatalErrorExit& exit) {
        FuzzFailure(__FILE__, __LINE__, "a writable catalogue ended the run: " + exit.message);
    }
    return 0;
}
