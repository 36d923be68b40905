// langue.cf from the medium through the whole language list driver: entries,
// reverse lists and catalogue lines. A documented fatal error is a valid end;
// any other end, or a broken result after success, is a finding.
#include <set>
#include <string>

#include "app/language_driver.h"
#include "catalogue/catalogue.h"
#include "fake_shell.h"
#include "fuzz_support.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "support/files.h"
#include "support/word_lists.h"

namespace {

// Every message the driver and the steps it calls may end the run with.
const std::set<std::string> kFatalMessages = {
    "Can't open LANGUAGE.CF",
    "Read error LANGUAGE.CF",
    "Bad language line in LANGUAGE.CF",
    "Incomplete entry in LANGUAGE.CF",
    "Bad list name in LANGUAGE.CF",
    "Input file missing",
    "Read error input file",
    "Can't create tempfile",
    "Write error tempfile",
    "Can't open tempfile",
    "Read error tempfile",
    "Can't create output file",
    "Write error output file",
    "Can't create DICT.INI",
    "Can't open DICT.INI",
    "Can't open TMP.INI",
    "Write error TMP.INI",
};

// FROM lists that the seed entries name; other names meet "Input file missing".
void WriteFromLists()
{
    WriteFileBytes("langue\\anglais.wb", ListBytes({{"chat", "cat,tomcat"}, {"matou", "tomcat"}}));
    WriteFileBytes("langue\\allemand.wb", ListBytes({{"chien", "Hund"}, {"chat", "Katze, Kater"}}));
    WriteFileBytes("langue\\a", "");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    StartInput();
    WriteFromLists();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    WriteFileBytes("langue.cf", std::string(input));
    // The closing box shows the display file's bytes; here they are the
    // list's own.
    CopyText(setup.displayFile, sizeof setup.displayFile, "fin.txt");
    WriteFileBytes("fin.txt", std::string(input));

    try {
        ProcessLanguageList();
    } catch (const FatalErrorExit& exit) {
        FUZZ_CHECK(kFatalMessages.count(exit.message) == 1, "undocumented fatal error " + Shown(exit.message));
        FUZZ_CHECK(PathExists("langue.cf"), "langue.cf was deleted although the run stopped");
        return 0;
    }

    FUZZ_CHECK(!PathExists("langue.cf"), "langue.cf is left after success");
    FUZZ_CHECK(!PathExists("tmp.ini"), "tmp.ini is left after success");
    FUZZ_CHECK(!PathExists("langue\\temp.wb"), "the temporary list is left after success");

    // Each entry had its heading and its closing box (and, natively, the
    // collation warning).
    std::vector<std::string> names;
    for (const std::string& step : fakeShell.progress) {
        if (step.compare(0, 6, "Begin ") == 0)
            names.push_back(step.substr(6));
    }
    size_t closing = 0;
    size_t warnings = 0;
    for (const RecordedBox& box : fakeShell.boxes) {
        if (box.icon == BoxIcon::None && box.caption == "Installation") {
            ++closing;
            FUZZ_CHECK(box.text == input.substr(0, input.find('\0')), "the closing box does not show the display file");
        }
        warnings += box.icon == BoxIcon::Warning;
    }
    FUZZ_CHECK(closing == names.size() && warnings == names.size(),
               "headings, closing boxes and warnings differ in number");
    if (names.empty()) {
        FUZZ_CHECK(!PathExists("dict.ini"), "a list without entries created the catalogue");
        return 0;
    }

    // One catalogue line per language, names compared with A-Z folded.
    std::vector<std::string> distinct;
    for (const std::string& name : names) {
        bool seen = false;
        for (const std::string& other : distinct)
            seen = seen || EqualFoldingAZ(name, other);
        if (!seen)
            distinct.push_back(name);
    }
    int32_t count = CountLanguageEntries();
    FUZZ_CHECK(count == static_cast<int32_t>(distinct.size()),
               "the catalogue holds " + std::to_string(count) + " language lines for " +
                   std::to_string(distinct.size()) + " languages");
    return 0;
}
