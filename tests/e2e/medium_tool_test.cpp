// medium.exe, the publisher's tool, as a publisher runs it: the platform's
// LZ library expands the medium's compressed files, and the reversed list
// comes out of setup.exe's own builder under the French collation.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "support/files.h"
#include "support/installed_files.h"
#include "support/word_lists.h"

namespace {

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

TEST(MediumTool, TheSampleMediumIsClean)
{
    const ToolRun run = RunMedium("check " + Quoted(BesideProgram("medium")));
    EXPECT_EQ(run.code, 0u) << run.out << run.err;
    EXPECT_EQ(run.out, "0 errors, 0 warnings\n");
}

TEST(MediumTool, CompressedSourcesAreExpandedAsSetupExeExpandsThem)
{
    ScratchFolder medium("medium-lz");
    const std::string fixtures = BesideProgram("tests\\win\\lz_fixtures\\");
    for (const char* name : {"text.tx_", "binary.bi_", "empty.tx_", "truncated.bi_"})
        WriteFileBytes(medium / name, ReadFileBytes(fixtures + name));
    // An empty file as mscompress compresses it, on old media: one zero byte
    // past a promise of none.
    WriteFileBytes(medium / "old.tx_", ReadFileBytes(fixtures + "empty.tx_") + std::string("\x01\0", 2));
    WriteFileBytes(medium / "install.inf",
                   "copy text.txt text.txt\r\n"       // found by its LZ name
                   "copy BINARY.BI_ binary.bin\r\n"
                   "copy empty.tx_ empty.txt\r\n"
                   "copy old.tx_ old.txt\r\n"
                   "copy truncated.bi_ truncated.bin\r\n");
    const ToolRun run = RunMedium("check " + Quoted(medium.path()));
    EXPECT_EQ(run.code, 1u) << run.err;
    EXPECT_EQ(run.out,
              "install.inf:4: warning: the source \"old.tx_\" expands one byte past the size it promises: "
              "the last byte will be cut\n"
              "install.inf:5: error: the source \"truncated.bi_\" is compressed but does not expand whole: "
              "setup.exe installs nothing\n"
              "1 error, 1 warning\n");
}

// --- The check and the installation agree --------------------------------

struct CheckFinding {
    std::string file;
    int line;
    bool error;
    std::string text;
};

// "FILE:LINE: error|warning: TEXT" lines of medium.exe's report.
std::vector<CheckFinding> Findings(const std::string& out)
{
    std::vector<CheckFinding> findings;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        // The first severity marker on the line is the finding's own.
        const size_t error = line.find(": error: "), warning = line.find(": warning: ");
        const bool isError = error < warning;
        const size_t at = isError ? error : warning;
        const size_t colon = at == std::string::npos || at == 0 ? std::string::npos : line.rfind(':', at - 1);
        if (colon == std::string::npos)
            continue;
        findings.push_back({line.substr(0, colon), std::atoi(line.c_str() + colon + 1), isError,
                            line.substr(at + (isError ? 9 : 11))});
    }
    return findings;
}

// What setup.exe's log says of each usable line of install.inf, by the
// line's number (as the product's own line reader counts), and how the run
// ended.
struct LoggedRun {
    std::map<int, std::vector<std::string>> outcomes;  // "done" or "skipped (...)"
    std::string fatal;                                 // "Fatal error: X" gives X
};

LoggedRun ReadLog(const std::string& log, const std::string& installInf)
{
    std::vector<int> lineNumbers;
    ScopedFile script(OpenTextRead(installInf.c_str()));
    SetupLineCursor cursor;
    char text[kSetupLineSize];
    while (script && ReadSetupLine(script.get(), text, &cursor))
        lineNumbers.push_back(cursor.line);

    LoggedRun run;
    std::istringstream lines(log);
    std::string line;
    size_t logged = 0;
    int current = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("install.inf: ", 0) == 0) {
            current = logged < lineNumbers.size() ? lineNumbers[logged] : -1;
            ++logged;
        } else if (current != 0 && (line == "  done" || line.rfind("  skipped (", 0) == 0)) {
            run.outcomes[current].push_back(line.substr(2));
            current = 0;
        } else if (line.rfind("Fatal error: ", 0) == 0) {
            run.fatal = line.substr(13);
        }
    }
    return run;
}

// A medium for both: install.inf as it stands (line ends included) and
// the other files; a name may hold UTF-8 letters past Windows-1252.
struct AgreementMedium {
    const char* what;
    std::string installInf;
    Files files;
    std::vector<std::string> says;  // in the check's report, each
};

void WriteWideNamed(const std::string& folder, const std::string& utf8Name, const std::string& bytes)
{
    const std::string path = folder + "\\" + utf8Name;
    std::wstring wide(path.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0],
                                                        static_cast<int>(wide.size())) - 1));
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool IsNarrow(const std::string& name)
{
    for (unsigned char c : name) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

// Every line setup.exe skips or fails on has a finding of the check on it,
// every error of the check is a line setup.exe skips, and a run that stops
// is foretold with the message it stops with.
void ExpectAgreement(const AgreementMedium& medium, const ScratchFolder& work, int index)
{
    const std::string root = work / ("m" + std::to_string(index));
    MakeFolder(root);
    Files narrowFiles;
    for (const auto& [name, bytes] : medium.files) {
        if (name.back() == '\\')
            MakeFolder(root + "\\" + name.substr(0, name.size() - 1));
        else if (IsNarrow(name))
            narrowFiles[name] = bytes;
    }
    narrowFiles["install.inf"] = medium.installInf;
    WriteFiles(root, narrowFiles);
    for (const auto& [name, bytes] : medium.files) {
        if (!IsNarrow(name))
            WriteWideNamed(root, name, bytes);
    }

    const ToolRun check = RunMedium("check " + Quoted(root));
    const std::vector<CheckFinding> findings = Findings(check.out);
    const std::string log = work / ("m" + std::to_string(index) + ".log");
    SetupProcess setup(root, SetupExePath(),
                       "/verysilent \"/dir=" + (work / ("i" + std::to_string(index))) + "\" \"/log=" + log + "\"",
                       false);
    const DWORD exitCode = setup.WaitForExit(120000);
    const LoggedRun run = ReadLog(ReadFileBytes(log), root + "\\install.inf");
    const std::string context = std::string(medium.what) + "\n--- check:\n" + check.out + "--- log:\n" +
                                ReadFileBytes(log);
    ASSERT_TRUE(exitCode == 0 || exitCode == 1) << context;
    for (const std::string& text : medium.says)
        EXPECT_NE(check.out.find(text), std::string::npos) << "the check does not say " << text << "\n" << context;

    auto findingOn = [&](int line) {
        for (const CheckFinding& finding : findings) {
            if (finding.file == "install.inf" && finding.line == line)
                return true;
        }
        return false;
    };
    for (const auto& [line, outcomes] : run.outcomes) {
        bool skipped = false;
        for (const std::string& outcome : outcomes)
            skipped = skipped || outcome.rfind("skipped", 0) == 0 || outcome.rfind("ignored", 0) == 0;
        EXPECT_TRUE(!skipped || findingOn(line)) << "line " << line << " skipped, the check is silent\n"
                                                 << context;
    }
    for (const CheckFinding& finding : findings) {
        if (!finding.error || finding.file != "install.inf" || finding.line == 0)
            continue;
        bool skipped = false;
        auto outcomes = run.outcomes.find(finding.line);
        if (outcomes != run.outcomes.end()) {
            for (const std::string& outcome : outcomes->second)
                skipped = skipped || outcome.rfind("skipped", 0) == 0;
        }
        EXPECT_TRUE(skipped) << "line " << finding.line << " is done, the check says: " << finding.text << "\n"
                             << context;
    }
    if (exitCode == 1) {
        bool foretold = false;
        for (const CheckFinding& finding : findings)
            foretold = foretold || finding.text.find("\"" + run.fatal + "\"") != std::string::npos;
        EXPECT_TRUE(!run.fatal.empty() && foretold) << "the run stops, the check does not say so\n" << context;
    }
    for (const CheckFinding& finding : findings) {
        const size_t stops = finding.text.find("setup.exe stops with \"");
        if (finding.error && stops != std::string::npos) {
            EXPECT_EQ(exitCode, 1u) << "the check foretells a stop: " << finding.text << "\n" << context;
        }
    }
}

std::string Crlf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

const std::string kWordList = ListBytes({{"cat", "chat"}, {"dog", "chien"}});

// The files of every medium below: plain, compressed and folders.
Files BaseFiles()
{
    return {
        {"a.txt", "a\r\n"},
        {"B.TXT", "b\r\n"},
        {"prog.ex_", CompressedForm(std::string(300, 'p'))},
        {"court.tx_", CompressedForm(std::string(200, 'c')).substr(0, 100)},
        {"v1.0\\readme._", CompressedForm("lisez-moi")},
        {"aide\\x.htm", "<p>x</p>"},
        {"aide\\page.html", "<p>page</p>"},
        {"aide\\readme", "aide"},
        {"sons\\s1.wav", "RIFF1"},
        {"sons\\s2.wav", "RIFF2"},
        {"vide\\", ""},
        {"langue\\anglais.wb", kWordList},
    };
}

AgreementMedium With(const char* what, const std::vector<std::string>& lines, std::vector<std::string> says,
                     Files extra = {})
{
    Files files = BaseFiles();
    for (auto& [name, bytes] : extra)
        files[name] = bytes;
    return {what, Crlf(lines), files, std::move(says)};
}

// Random lines of install.inf over BaseFiles, some of them bent as
// publishers bend them (case, blanks, a CR left at the end).
std::vector<AgreementMedium> GeneratedMedia(unsigned seed, unsigned count)
{
    static const char* const kLines[] = {
        "mkdir aide", "mkdir langue", "mkdir aide\\sous", "mkdir sons", "mkdir a*b",
        "copy a.txt a.txt", "copy manque.txt m.txt", "copy prog.exe prog.exe", "copy court.tx_ court.txt",
        "copy a.txt aide\\a.txt", "copy a.txt rien\\a.txt", "copy B.TXT aide", "copy v1.0/readme readme",
        "copy aide\\x.htm aide\\x.htm", "xcopy aide\\*.htm aide", "xcopy aide\\*.doc aide",
        "xcopy rien\\*.* aide", "xcopy *.txt .", "xcopy aide\\*. aide", "xcopy sons\\s?.wav sons",
        "sndcopy sons sons", "sndcopy vide aide", "sndcopy rien aide", "sndcopy aide .", "frobnicate x",
        "   ", "copy a.txt", "mkdir", "COPY A.TXT HAUT.TXT", "copyx a.txt b.txt", "display a.txt",
        "copy a.txt  aide\\deux.txt  trois",
    };
    uint32_t state = seed * 2654435761u + 1;
    auto next = [&](uint32_t below) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % below;
    };
    std::vector<AgreementMedium> media;
    for (unsigned m = 0; m < count; ++m) {
        std::string text;
        const uint32_t lines = 3 + next(6);
        for (uint32_t i = 0; i < lines; ++i) {
            std::string line = kLines[next(sizeof kLines / sizeof kLines[0])];
            switch (next(8)) {
            case 0:
                line += "\r";  // saved with CR CR LF
                break;
            case 1:
                line = " " + line;
                break;
            default:
                break;
            }
            text += line + "\r\n";
        }
        media.push_back({"generated", text, BaseFiles(), {}});
    }
    return media;
}

TEST(MediumTool, TheCheckAndTheInstallationAgree)
{
    const SeededRuns generated = SeededRunsFromEnvironment(1, 16);
    std::vector<AgreementMedium> media = {
        With("compressed name after a slash", {"copy v1.0/readme readme"}, {"0 errors, 0 warnings"}),
        With("lines ending CR CR LF", {"mkdir langue\r", "copy a.txt langue\\a.txt\r", "copy a.txt b.txt\r"},
             {"install.inf:1: warning: a stray CR", "install.inf:3: warning: a stray CR"}),
        With("a name past Windows-1252 in a sndcopy folder", {"mkdir sons", "sndcopy sons sons"},
             {"0 errors, 0 warnings"},
             {{"sons\\Dvo\xC5\x99\xC3\xA1" "k.wav", "RIFF3"}}),
        With("matches through 8.3 names and names without an extension",
             {"mkdir aide", "xcopy aide\\*.htm aide", "xcopy aide\\*. aide"},
             {"install.inf:2: warning: \"aide/page.html\" matches \"aide\\*.htm\" only through its 8.3 name"}),
        With("one byte more than promised", {"copy un.tx_ un.txt"}, {"install.inf:1: warning: "},
             {{"un.tx_", CompressedForm("xy", 'A', 1)}}),
        With("install.inf saved as UTF-8", {"copy a.txt fran\xC3\xA7" "ais.txt"},
             {"install.inf:0: warning: reads as UTF-8"}),
        With("sources missing, cut short or of another method",
             {"copy manque.txt m.txt", "copy court.tx_ c.txt", "copy autre.tx_ autre.txt"},
             {"install.inf:1: error: the source \"manque.txt\" is missing", "install.inf:2: error: ",
              "install.inf:3: error: "},
             {{"autre.tx_", CompressedForm("autre", 'B')}}),
        With("searches that find nothing",
             {"mkdir aide", "xcopy aide\\*.doc aide", "xcopy rien\\*.wav aide", "sndcopy rien aide",
              "sndcopy vide aide"},
             {"install.inf:2: error: the pattern \"aide\\*.doc\" matches no file",
              "install.inf:3: error: the folder of \"rien\\*.wav\" is missing",
              "install.inf:4: error: the folder \"rien\" is missing", "install.inf:5: warning: the folder \"vide\" holds no file"}),
        With("folders that no mkdir makes", {"copy a.txt doc\\a.txt", "mkdir doc\\fr", "mkdir aide", "mkdir aide"},
             {"install.inf:1: warning: the folder \"doc\" is made by no earlier mkdir",
              "install.inf:2: warning: mkdir \"doc\\fr\": its parent", "install.inf:4: warning: mkdir \"aide\": the folder is made already"}),
        With("lines setup.exe ignores", {"frobnicate x", " copy a.txt b.txt", "copy a.txt", "iconexe", "   "},
             {"install.inf:1: warning: unknown command", "install.inf:2: warning: the line begins with a blank",
              "install.inf:3: warning: missing arguments", "install.inf:4: warning: missing arguments",
              "install.inf:5: warning: the line holds only blanks"}),
        With("a copy onto a folder", {"mkdir aide", "copy a.txt aide", "mkdir x.htm", "xcopy aide\\x.htm ."},
             {"install.inf:2: warning: the destination \"aide\" is a folder",
              "install.inf:4: warning: \"aide/x.htm\" would replace a folder"}),
        With("a catalogue line of three fields", {"mkdir langue", "copy langue.cf langue.cf", "mkwlist"},
             {"langue.cf:1: error: fewer than four fields"},
             {{"langue.cf", "fr,en,Anglais\r\nanglais.wb\r\nanglais.tb\r\n"}}),
        With("an entry cut short", {"mkdir langue", "copy langue.cf langue.cf", "mkwlist"},
             {"langue.cf:1: error: the entry has no TO list name"},
             {{"langue.cf", "fr,en,x,Anglais\r\nanglais.wb\r\n"}}),
        With("the temporary list as a TO list", {"mkdir langue", "copy langue.cf langue.cf", "mkwlist"},
             {"langue.cf:3: error: \"temp.wb\" is the builder's own temporary list"},
             {{"langue.cf", "fr,en,x,Anglais\r\nanglais.wb\r\ntemp.wb\r\n"}}),
        With("mkwlist without langue.cf", {"mkwlist"}, {"install.inf:1: warning: no copy installs langue.cf"}),
    };
    for (AgreementMedium& medium : GeneratedMedia(generated.seed, generated.runs))
        media.push_back(std::move(medium));

    ScratchFolder work("agree");
    for (size_t i = 0; i < media.size(); ++i)
        ExpectAgreement(media[i], work, static_cast<int>(i));
}

TEST(MediumTool, ReverseGivesTheListSetupExeBuilds)
{
    ScratchFolder out("medium-reverse");
    for (const char* name : {"anglais.wb", "allemand.wb"}) {
        const std::string from = SourceFile(std::string("examples/medium/langue/") + name);
        const ToolRun run = RunMedium("reverse " + Quoted(from) + " -o " + Quoted(out / "to.wb"));
        EXPECT_EQ(run.code, 0u) << name << ": " << run.err;
        EXPECT_TRUE(ReadFileBytes(out / "to.wb") == ReversedWordList(ReadFileBytes(from), FrenchOrder)) << name;
    }
}

TEST(MediumTool, WordListsGoThroughTextAndBackUnchanged)
{
    ScratchFolder work("medium-text");
    const std::string from = SourceFile("examples/medium/langue/allemand.wb");
    const ToolRun exported = RunMedium("wordlist export " + Quoted(from));
    ASSERT_EQ(exported.code, 0u) << exported.err;
    EXPECT_EQ(exported.out.find('\r'), std::string::npos);
    WriteFileBytes(work / "list.txt", exported.out);
    const ToolRun imported = RunMedium("wordlist import " + Quoted(work / "list.txt") + " -o " + Quoted(work / "list.wb"));
    EXPECT_EQ(imported.code, 0u) << imported.err;
    EXPECT_TRUE(ReadFileBytes(work / "list.wb") == ReadFileBytes(from));
}

TEST(MediumTool, UsageAndUnreadableFoldersEndWithCode2)
{
    EXPECT_EQ(RunMedium("").code, 2u);
    EXPECT_EQ(RunMedium("check").code, 2u);
    EXPECT_EQ(RunMedium("wordlist import a.txt b.wb").code, 2u);
    const ToolRun missing = RunMedium("check C:\\no-such-medium");
    EXPECT_EQ(missing.code, 2u);
    EXPECT_EQ(missing.out, "");
}

}  // namespace
