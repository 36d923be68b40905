// The medium check: a small clean medium, then the same medium with one
// fault each, and the file, line and severity the publisher must be told.
#include "medium_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/installed_files.h"
#include "support/word_lists.h"

namespace {

// Files under the medium and their bytes; a name ending in '/' is an empty
// folder. install.inf is made from the script's lines.
struct TestMedium {
    std::vector<std::string> script;
    Files files;
};

std::string Compressed(const std::string& bytes, char mode = 'A', long promised = -1)
{
    return CompressedForm(bytes, mode, promised);
}

const std::string kProgram(300, 'p');
const std::string kWordList = ListBytes({{"cat", "chat"}, {"dog", "chien, toutou"}});

const std::vector<std::string> kScript = {
    "title Dico",                  // 1
    "dir c:\\dico",                // 2
    "mkdir langue",                // 3
    "mkdir aide",                  // 4
    "copy prog.ex_ prog.exe",      // 5
    "copy langue.cf langue.cf",    // 6
    "copy fin.txt fin.txt",        // 7
    "xcopy langue\\*.wb langue",   // 8
    "sndcopy aide aide",           // 9
    "iconname Dico",               // 10
    "icongroup Dico",              // 11
    "iconexe prog.exe",            // 12
    "display fin.txt",             // 13
    "mkwlist",                     // 14
};

const char kLanguageList[] = "# langues\nfr,en,langue\\anglais.tb,Anglais\nanglais.wb\nanglais.tb\n";

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

TestMedium CleanMedium()
{
    return {kScript, {
        {"install.inf", ""},
        {"prog.ex_", Compressed(kProgram)},
        {"langue.cf", kLanguageList},
        {"fin.txt", "Merci.\r\n"},
        {"langue/anglais.wb", kWordList},
        {"aide/index.txt", "aide\r\n"},
    }};
}

void WriteMedium(const std::string& root, const TestMedium& medium)
{
    Files files;
    for (const auto& [name, bytes] : medium.files) {
        if (name.back() == '/')
            MakeFolder(root + kSeparator + name.substr(0, name.size() - 1));
        else
            files[name] = name == "install.inf" ? Lines(medium.script) : bytes;
    }
    WriteFiles(root, files);
}

Report CheckMediumOf(const TestMedium& medium)
{
    ScratchFolder dir;
    WriteMedium(dir.path(), medium);
    Report report;
    EXPECT_TRUE(CheckMedium(dir.path(), report));
    return report;
}

std::string Listed(const Report& report)
{
    std::string text;
    for (const Finding& finding : report.findings)
        text += "  " + FormatFinding(finding) + "\n";
    return text;
}

// Changes to the clean medium.
using Change = std::function<void(TestMedium&)>;

Change ScriptLine(size_t number, const std::string& text)
{
    return [=](TestMedium& medium) { medium.script[number - 1] = text; };
}

Change AddScriptLine(const std::string& text)  // line 15 of the clean script
{
    return [=](TestMedium& medium) { medium.script.push_back(text); };
}

Change Put(const std::string& path, const std::string& bytes)
{
    return [=](TestMedium& medium) { medium.files[path] = bytes; };
}

Change Remove(const std::string& path)
{
    return [=](TestMedium& medium) { medium.files.erase(path); };
}

Change Both(Change first, Change second)
{
    return [=](TestMedium& medium) {
        first(medium);
        second(medium);
    };
}

std::string Repeated(const std::string& text, int times)
{
    std::string out;
    while (times-- > 0)
        out += text;
    return out;
}

std::string RecordWithRawKey(const std::string& key31)
{
    std::string record = RecordBytes("", "chat");
    record.replace(0, 31, key31);
    return record;
}

// The install folder's path with its '\' is 94 characters, aide\ 5; a found
// name of 90 + ascii characters in 180 + ascii bytes.
const std::string kLongDir = "dir c:\\" + std::string(90, 'd');
std::string FoundName(int ascii)
{
    return Repeated("\xC5\x99", 90) + std::string(ascii, 'a');
}

TEST(MediumCheck, TheCleanMediumHasNothingToReport)
{
    const Report report = CheckMediumOf(CleanMedium());
    EXPECT_TRUE(report.findings.empty()) << Listed(report);
    EXPECT_EQ(Summary(report), "0 errors, 0 warnings");
}

TEST(MediumCheck, EachFaultIsReportedWithItsFileLineAndSeverity)
{
    const std::string longName(25, 'n');
    struct Case {
        const char* fault;
        Change change;
        std::string file;
        int line;
        Severity severity;
        const char* says;  // part of the text
    } cases[] = {
        // What would stop setup.exe or install something else than written.
        {"install.inf missing", Remove("install.inf"), "install.inf", 0, Severity::Error, "Can't open INSTALL.INF"},
        {"compressed data longer than promised", Put("prog.ex_", Compressed(kProgram, 'A', 298)), "install.inf", 5,
         Severity::Error, "does not expand whole"},
        {"compressed data one byte longer than promised", Put("prog.ex_", Compressed(kProgram, 'A', 299)),
         "install.inf", 5, Severity::Warning, "the last byte will be cut"},
        {"word list cut short", Put("langue/anglais.wb", kWordList + "abc"), "langue/anglais.wb", 3,
         Severity::Error, "no whole record"},
        {"key without its zero byte", Put("langue/anglais.wb", RecordWithRawKey(std::string(31, 'k'))),
         "langue/anglais.wb", 1, Severity::Error, "key has no zero byte"},
        {"value without its zero byte",
         Put("langue/anglais.wb", RecordBytes("cat", Repeated("ab,", 17))), "langue/anglais.wb", 1,
         Severity::Error, "value has no zero byte"},
        {"fault seen only once expanded",
         Both(Put("langue.c_", Compressed("fr,en,Anglais\nanglais.wb\nanglais.tb\n")),
              ScriptLine(6, "copy langue.c_ langue.cf")),
         "langue.c_", 1, Severity::Error, "Bad language line"},
        {"dict.ini without [langue]",
         Both(Put("dict.ini", "[ajouter]\r\non\r\n"), AddScriptLine("copy dict.ini dict.ini")), "dict.ini", 0,
         Severity::Error, "[langue]"},
        // What setup.exe ignores or cuts.
        {"start-up key without a value", ScriptLine(1, "title"), "install.inf", 1, Severity::Warning,
         "without a value"},
        {"keyword run into a word", ScriptLine(14, "mkwlists"), "install.inf", 14, Severity::Warning,
         "\"mkwlists\" is read as \"mkwlist\""},
        {"tab after a keyword", AddScriptLine("mkdir\tdoc x"), "install.inf", 15, Severity::Warning,
         "is read as \"mkdir\""},
        {"line longer than 99 bytes", AddScriptLine("iconname " + std::string(120, 'x')), "install.inf", 15,
         Severity::Warning, "bytes 100 on"},
        {"third name ignored", AddScriptLine("copy fin.txt fin2.txt extra"), "install.inf", 15,
         Severity::Warning, "ignores \"extra\""},
        {"value with a leading blank", ScriptLine(10, "iconname  Dico"), "install.inf", 10, Severity::Warning,
         "begins with a blank"},
        {"second uninstall", AddScriptLine("uninstall Dico\nuninstall Autre"), "install.inf", 16,
         Severity::Warning, "keeps the name of line 15"},
        {"delay not a number", AddScriptLine("avidelay soon"), "install.inf", 15, Severity::Warning,
         "not a number"},
        {"list name over 24 characters", Put("langue.cf", "fr,en,x,Anglais\nanglais.wb\n" + longName + "\n"),
         "langue.cf", 3, Severity::Warning, "longer than 24"},
        {"word over 30 characters", Put("langue/anglais.wb", ListBytes({{"cat", "chat," + std::string(31, 'w')}})),
         "langue/anglais.wb", 1, Severity::Warning, "longer than 30"},
        {"bytes after a key's zero byte", Put("langue/anglais.wb", RecordWithRawKey(std::string("cat\0x", 5) +
                                                                                    std::string(26, '\0'))),
         "langue/anglais.wb", 1, Severity::Warning, "are not zero"},
        {"value without a word", Put("langue/anglais.wb", ListBytes({{"cat", ",,"}})), "langue/anglais.wb", 1,
         Severity::Warning, "no word"},
        // Likely mistakes.
        {"langue.cf without mkwlist", Both(ScriptLine(13, "# sans display"), ScriptLine(14, "# sans mkwlist")),
         "install.inf", 6, Severity::Warning, "no mkwlist"},
        {"FROM list no copy installs", Put("langue.cf", "fr,en,x,Anglais\nautre.wb\nanglais.tb\n"), "langue.cf",
         2, Severity::Warning, "no copy puts \"autre.wb\""},
        {"language named twice",
         Put("langue.cf", std::string(kLanguageList) + "fr,en,y,ANGLAIS\nanglais.wb\nautre.tb\n"), "langue.cf", 5,
         Severity::Warning, "named at line 2"},
        {"TO list over a later FROM list",
         Both(Put("langue.cf", "a,b,c,Anglais\nanglais.wb\nallemand.wb\na,b,c,Allemand\nallemand.wb\nx.tb\n"),
              Put("langue/allemand.wb", kWordList)),
         "langue.cf", 3, Severity::Warning, "replaces the FROM list of line 5"},
        {"iconexe that no copy installs", ScriptLine(12, "iconexe dico.exe"), "install.inf", 12,
         Severity::Warning, "no copy installs the program"},
        {"display file missing", ScriptLine(13, "display adieu.txt"), "install.inf", 13, Severity::Warning,
         "display file \"adieu.txt\""},
        {"destination through ..", AddScriptLine("copy fin.txt ..\\fin.txt"), "install.inf", 15,
         Severity::Warning, "leaves the install folder"},
        {"absolute destination", AddScriptLine("copy fin.txt c:\\fin.txt"), "install.inf", 15, Severity::Warning,
         "leaves the install folder"},
        {"xcopy of a compressed file", AddScriptLine("xcopy *.ex_ aide"), "install.inf", 15, Severity::Warning,
         "only copy expands"},
        {"found path of 260 characters", Both(ScriptLine(2, kLongDir), Put("aide/" + FoundName(71), "x")),
         "install.inf", 9, Severity::Warning, "longer than 259 characters"},
        {"found name not UTF-8", Put("aide/\xE9t\xE9.txt", "x"), "install.inf", 9, Severity::Error, "not UTF-8"},
    };
    for (const Case& c : cases) {
        TestMedium medium = CleanMedium();
        c.change(medium);
        const Report report = CheckMediumOf(medium);
        ASSERT_EQ(report.findings.size(), 1u) << c.fault << "\n" << Listed(report);
        const Finding& found = report.findings[0];
        EXPECT_EQ(found.file, c.file) << c.fault;
        EXPECT_EQ(found.line, c.line) << c.fault;
        EXPECT_EQ(found.severity, c.severity) << c.fault;
        EXPECT_NE(found.text.find(c.says), std::string::npos) << c.fault << ": " << found.text;
    }
}

TEST(MediumCheck, NamesResolveAsOnWindows)
{
    struct Case {
        const char* how;
        Change change;
    } cases[] = {
        {"letters in other case", ScriptLine(5, "copy PROG.EX_ Prog.Exe")},
        {"the LZ name of the source", ScriptLine(5, "copy prog.exe prog.exe")},
        {"LZ name of a short extension", Both(Put("notes.md_", Compressed("md")), AddScriptLine("copy notes.md notes.md"))},
        {"LZ name of no extension", Both(Put("LISEZMOI._", "lisez-moi"), AddScriptLine("copy lisezmoi lisezmoi"))},
        {"LZ name from the first dot", Both(Put("data.tar.g_", Compressed("tar")), AddScriptLine("copy data.tar.gz data.tar.gz"))},
        {"accented letters in other case",
         Both(Put("aide/Abr\xC3\xA9viations.txt", "abr."), AddScriptLine("copy aide\\ABR\xC9VIATIONS.TXT abr.txt"))},
        {"trailing dots and blanks", ScriptLine(7, "copy fin.txt. fin.txt")},
        {"a compressed empty file", Both(Put("vide.tx_", Compressed("")), AddScriptLine("copy vide.tx_ vide.txt"))},
        {"LZ name after a '/', as setup.exe reads it",
         Both(Put("v1.0/readme._", Compressed("readme")), AddScriptLine("copy v1.0/readme readme"))},
        {"a found name outside Windows-1252", Both(Put("sons/Dvo\xC5\x99\xC3\xA1k.wav", "RIFF"),
                                                    Both(AddScriptLine("mkdir sons"), AddScriptLine("sndcopy sons sons")))},
        {"a found path of 259 characters in more bytes", Both(ScriptLine(2, kLongDir), Put("aide/" + FoundName(70), "x"))},
    };
    for (const Case& c : cases) {
        TestMedium medium = CleanMedium();
        c.change(medium);
        const Report report = CheckMediumOf(medium);
        EXPECT_TRUE(report.findings.empty()) << c.how << "\n" << Listed(report);
    }
}

TEST(MediumCheck, AFolderThatCannotBeReadIsNoMedium)
{
    ScratchFolder dir;
    Report report;
    EXPECT_FALSE(CheckMedium(dir / "absent", report));
    WriteFileBytes(dir / "file", "x");
    EXPECT_FALSE(CheckMedium(dir / "file", report));
    EXPECT_TRUE(report.findings.empty());
}

TEST(MediumCheck, FindingsPrintAsFileLineSeverityTextThenTheSummary)
{
    TestMedium medium = CleanMedium();
    Both(Remove("prog.ex_"), AddScriptLine("frobnicate"))(medium);
    const Report report = CheckMediumOf(medium);
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    PrintReport(out, report);
    std::fclose(out);
    EXPECT_EQ(std::string(text, size),
              "install.inf:5: error: the source \"prog.ex_\" is missing: setup.exe skips the copy\n"
              "install.inf:15: warning: unknown command \"frobnicate\": setup.exe ignores the line\n"
              "1 error, 1 warning\n");
    std::free(text);
}

}  // namespace
