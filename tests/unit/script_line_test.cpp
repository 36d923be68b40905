#include "script/script_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* Name(ScriptCommand command)
{
    switch (command) {
    case ScriptCommand::None: return "none";
    case ScriptCommand::MakeDir: return "mkdir";
    case ScriptCommand::IconName: return "iconname";
    case ScriptCommand::AviDelay: return "avidelay";
    case ScriptCommand::IconGroup: return "icongroup";
    case ScriptCommand::IconExe: return "iconexe";
    case ScriptCommand::Display: return "display";
    case ScriptCommand::MakeWordLists: return "mkwlist";
    case ScriptCommand::Copy: return "copy";
    case ScriptCommand::XCopy: return "xcopy";
    case ScriptCommand::SndCopy: return "sndcopy";
    case ScriptCommand::Uninstall: return "uninstall";
    }
    return "?";
}

TEST(ParseScriptLine, ValueCommandsTakeEverythingAfterTheFirstSpace)
{
    struct Case {
        const char* line;
        const char* command;
        const char* rest;  // nullptr: no value taken
    } cases[] = {
        {"mkdir langue", "mkdir", "langue"},
        {"MKDIRS x", "mkdir", "x"},
        {"Mkdir\tx y", "mkdir", "y"},  // the tab does not separate
        {"iconname Mon Dico", "iconname", "Mon Dico"},
        {"iconname  Mon Dico ", "iconname", " Mon Dico "},
        {"iconname ", "iconname", ""},
        {"AVIDELAY 250", "avidelay", "250"},
        {"icongroup Dictionnaires Fran\xE7" "ais", "icongroup", "Dictionnaires Fran\xE7" "ais"},
        {"iconexe bin\\dico.exe", "iconexe", "bin\\dico.exe"},
        {"display lisez-moi.txt", "display", "lisez-moi.txt"},
        {"Uninstall Dictionnaire bilingue", "uninstall", "Dictionnaire bilingue"},
        {"uninstall", "none", nullptr},
        {"mkwlist", "mkwlist", nullptr},
        {"MKWLIST now please", "mkwlist", nullptr},
        // A value command without a space is ignored.
        {"mkdir", "none", nullptr},
        {"iconname", "none", nullptr},
        {"icongroup\tGroupe", "none", nullptr},
        {"displayed", "none", nullptr},
        // Keywords in their fixed order; nothing else is a command.
        {"iconnamegroup x", "iconname", "x"},
        {"title Mon dictionnaire", "none", nullptr},
        {"dir c:\\dico", "none", nullptr},
        {"wbarg /f", "none", nullptr},
        {" mkdir x", "none", nullptr},
        {"mkdi x", "none", nullptr},
        {"\tcopy a b", "none", nullptr},
        {"icon x", "none", nullptr},
    };
    for (const Case& c : cases) {
        ScriptLine parsed = ParseScriptLine(c.line);
        EXPECT_STREQ(Name(parsed.command), c.command) << c.line;
        if (c.rest) {
            EXPECT_STREQ(parsed.rest, c.rest) << c.line;
        } else {
            EXPECT_EQ(parsed.rest, nullptr) << c.line;
        }
    }
}

TEST(ParseScriptLine, TokenCommandsTakeTokensTwoAndThreeSplitAtSpacesOnly)
{
    struct Case {
        const char* line;
        const char* command;
        const char* source;
        const char* destination;
    } cases[] = {
        {"copy dico.ex_ dico.exe", "copy", "dico.ex_", "dico.exe"},
        {"copy   a.tx_    sub\\a.txt   extra words", "copy", "a.tx_", "sub\\a.txt"},
        {"Copy A B ", "copy", "A", "B"},
        {"copyright a b", "copy", "a", "b"},
        {"copy a\tb c", "copy", "a\tb", "c"},
        {"xcopy *.tx? doc", "xcopy", "*.tx?", "doc"},
        {"XCOPY docs\\*.* doc", "xcopy", "docs\\*.*", "doc"},
        {"sndcopy sons snd", "sndcopy", "sons", "snd"},
        {"SNDCOPY   sons   snd", "sndcopy", "sons", "snd"},
        // Fewer than three tokens: ignored.
        {"copy a", "none", "", ""},
        {"copy a   ", "none", "", ""},
        {"copy\ta b", "none", "", ""},
        {"xcopy *.txt", "none", "", ""},
        {"sndcopy", "none", "", ""},
        {"copy", "none", "", ""},
    };
    for (const Case& c : cases) {
        ScriptLine parsed = ParseScriptLine(c.line);
        EXPECT_STREQ(Name(parsed.command), c.command) << c.line;
        EXPECT_STREQ(parsed.source, c.source) << c.line;
        EXPECT_STREQ(parsed.destination, c.destination) << c.line;
    }
}

TEST(ParseScriptLine, TokensOfTheLongestLineFitWhole)
{
    // A line as ReadSetupLine delivers it: 99 bytes at most.
    std::string source(47, 's');
    std::string destination(47, 'd');
    std::string line = "copy " + source + " " + destination;
    ASSERT_EQ(line.size(), 100u);
    line.pop_back();
    ScriptLine parsed = ParseScriptLine(line.c_str());
    EXPECT_EQ(parsed.command, ScriptCommand::Copy);
    EXPECT_EQ(parsed.source, source);
    EXPECT_EQ(parsed.destination, std::string(46, 'd'));

    // Longer text is not a line of the file; it is refused, not cut.
    std::string tooLong = "copy a " + std::string(120, 'b');
    EXPECT_EQ(ParseScriptLine(tooLong.c_str()).command, ScriptCommand::None);
}

TEST(ScriptKeywordOf, NamesTheKeywordWhateverTheArguments)
{
    struct Case {
        const char* line;
        const char* keyword;
    } cases[] = {
        {"mkdir", "mkdir"},     {"copy a", "copy"},       {"iconnamegroup", "iconname"},
        {"XCOPY", "xcopy"},     {"sndcopy\t", "sndcopy"}, {"mkwlist x", "mkwlist"},
        {" mkdir x", "none"},   {"title x", "none"},      {"icon", "none"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(Name(ScriptKeywordOf(c.line)), c.keyword) << c.line;
        EXPECT_STREQ(ScriptKeyword(ScriptKeywordOf(c.line)), std::string(c.keyword) == "none" ? "" : c.keyword)
            << c.line;
    }
}

TEST(PatternDirectoryLength, EndsAfterTheLastSeparator)
{
    struct Case {
        const char* pattern;
        size_t length;
    } cases[] = {
        {"*.txt", 0},        {"docs\\*.txt", 5}, {"a\\b\\c?.wav", 4},
        {"d:*.*", 2},        {"docs/*.txt", 5},  {"\\root\\*", 6},
        {"", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PatternDirectoryLength(c.pattern), c.length) << c.pattern;
}

}  // namespace
