#include "word_list_commands.h"

#include <vector>

#include "host_files.h"
#include "report.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "tool_shell.h"
#include "shell/windows1252.h"
#include "word_list_check.h"
#include "word_list_text.h"
#include "shell/collation.h"
#include "wordlist/language_entry.h"
#include "wordlist/reverse_list.h"

namespace {

bool ReadOrSay(const std::string& path, std::string& bytes, FILE* err)
{
    if (ReadHostFile(path, bytes))
        return true;
    std::fprintf(err, "%s:0: error: cannot be read\n", path.c_str());
    return false;
}

// The faults of a refused conversion under the file they are in, then what
// was left unwritten.
void PrintFaults(FILE* err, const std::string& file, const std::vector<TextFault>& faults, const std::string& unwritten)
{
    for (const TextFault& fault : faults)
        std::fprintf(err, "%s:%d: error: %s\n", file.c_str(), fault.line, fault.text.c_str());
    std::fprintf(err, "%s\n", unwritten.c_str());
}

void PrintFindings(FILE* out, const Report& report)
{
    for (const Finding& finding : report.findings)
        std::fprintf(out, "%s\n", FormatFinding(finding).c_str());
}

// Makes a folder current for the object's lifetime.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) : saved_(CurrentHostFolder())
    {
        entered_ = !saved_.empty() && ChangeHostFolder(folder);
    }
    ~CurrentFolder()
    {
        if (entered_)
            ChangeHostFolder(saved_);
    }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;
    bool entered() const { return entered_; }

private:
    std::string saved_;
    bool entered_;
};

}  // namespace

int ExportWordList(const std::string& path, FILE* out, FILE* err)
{
    std::string bytes;
    if (!ReadOrSay(path, bytes, err))
        return 2;
    // All or nothing: a text that lacks a record would import as another list.
    std::string text;
    std::vector<TextFault> faults;
    if (!ExportText(bytes, text, faults)) {
        PrintFaults(err, path, faults, path + ": nothing exported");
        return 1;
    }
    // What is left to say of a list the text carries whole: the warnings of
    // its words, and a list setup.exe could not read.
    Report report;
    CheckWordList(bytes, path, report);
    PrintFindings(err, report);
    if (report.Count(Severity::Error) > 0)
        return 1;
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fflush(out) != 0) {
        std::fprintf(err, "medium: cannot write the text\n");
        return 2;
    }
    return 0;
}

int ImportWordList(const std::string& textPath, const std::string& listPath, FILE* err)
{
    std::string text;
    if (!ReadOrSay(textPath, text, err))
        return 2;
    std::string list;
    std::vector<TextFault> faults;
    if (!ImportText(text, list, faults)) {
        PrintFaults(err, textPath, faults, listPath + ": nothing written");
        return 1;
    }
    if (!WriteHostFileWhole(listPath, list)) {
        std::fprintf(err, "%s:0: error: cannot be written\n", listPath.c_str());
        return 2;
    }
    return 0;
}

int DescribeWordList(const std::string& path, FILE* out)
{
    std::string bytes;
    if (!ReadOrSay(path, bytes, out))
        return 2;
    Report report;
    const WordListFacts facts = CheckWordList(bytes, path, report);
    std::fprintf(out, "records: %d\n", facts.records);
    std::fprintf(out, "longest key: %zu characters \"%s\"\n", facts.longestKey.size(),
                 ShownText(facts.longestKey).c_str());
    std::fprintf(out, "longest value: %zu characters \"%s\"\n", facts.longestValue.size(),
                 ShownText(facts.longestValue).c_str());
    if (facts.records > 0)
        std::fprintf(out, "words per value: %d to %d, %.2f on average\n", facts.fewestWords, facts.mostWords,
                     static_cast<double>(facts.words) / facts.records);
    PrintReport(out, report);
    return report.Count(Severity::Error) > 0 ? 1 : 0;
}

int ReverseWordList(const std::string& fromPath, const std::string& toPath, FILE* err)
{
    if (!kHostHasFrenchCollation) {
        std::fprintf(err, "medium: reverse sorts by the French collation of Windows: run medium.exe\n");
        return 2;
    }
    std::string from;
    if (!ReadOrSay(fromPath, from, err))
        return 2;
    WorkFolder scratch;
    std::string to;
    int result = 0;
    {
        CurrentFolder inScratch(scratch.path());
        if (scratch.path().empty() || !inScratch.entered() || !MakeHostFolder("langue") ||
            !WriteHostFileWhole("langue\\from.wb", from)) {
            std::fprintf(err, "medium: no room to build the list\n");
            return 2;
        }
        // As the language list driver prepares a build.
        ResetSetupState();
        toolBoxTexts.clear();
        if (!SetFrenchCollation())
            std::fprintf(err, "%s:0: warning: no French collation here: setup.exe would warn and sort by bytes\n",
                         fromPath.c_str());
        LanguageEntry entry{};
        CopyText(entry.languageName, sizeof entry.languageName, "reverse");
        CopyText(entry.fromListName, sizeof entry.fromListName, "from.wb");
        CopyText(entry.toListName, sizeof entry.toListName, "to.wb");
        try {
            BuildReverseList(entry);
        } catch (const ProductStop& stop) {
            std::fprintf(err, "%s:0: error: setup.exe stops with \"%s\"\n", fromPath.c_str(), stop.message.c_str());
            result = 1;
        }
        if (result == 0 && !ReadHostFile("langue\\to.wb", to)) {
            std::fprintf(err, "medium: the built list cannot be read\n");
            result = 2;
        }
    }
    if (result == 0 && !WriteHostFileWhole(toPath, to)) {
        std::fprintf(err, "%s:0: error: cannot be written\n", toPath.c_str());
        result = 2;
    }
    return result;
}
