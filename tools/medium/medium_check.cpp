#include "medium_check.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string_view>
#include <vector>

#include "host_files.h"
#include "medium_names.h"
#include "seal_command.h"
#include "script/lz_file.h"
#include "script/script_line.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/windows1252.h"
#include "word_list_check.h"
#include "wordlist/language_list.h"

namespace {

// The list names of langue.cf stand in 24 characters in the format.
constexpr size_t kListNameLength = 24;

// A file as the commands would put it into the install folder. Its bytes
// are read again when a later step reads the file: a medium may be large.
struct Installed {
    MediumFile source;
    bool usable;   // found, and expanded whole where the copy expands
    bool expands;  // copied by copy, which expands; xcopy and sndcopy do not
    int line;      // of the command in install.inf
};

// The file's bytes as the install folder would hold them.
bool InstalledBytes(const Installed& file, std::string& bytes)
{
    if (!file.expands)
        return ReadHostFile(file.source.host, bytes);
    return Installs(ReadExpanded(file.source.host, bytes));
}

struct ScriptText {
    int line;
    int piece;
    std::string text;
};

struct Check {
    Check(const std::string& dir, Report& report) : medium{dir, {}}, report(report) {}
    Medium medium;
    Report& report;
    std::string script = "install.inf";  // as it is named on the medium
    std::string installPrefix;  // the default install folder, for path lengths
    std::map<std::string, Installed> files;  // by folded path in the install folder
    std::set<std::string> folders{""};
    int mkwlistLine = 0, iconNameLine = 0, iconExeLine = 0, displayLine = 0, uninstallLine = 0;
    std::string iconExe, display;
    // A sealed medium: what the run reads of it, by SealKey, with the first
    // line of install.inf that reads it (0: install.inf itself).
    MediumSeal seal;
    bool sealed = false;
    std::set<std::string> missing;  // listed, and told missing already
    struct Read {
        std::string shown;
        int line;
        bool found;  // by a search of xcopy or sndcopy, not named
    };
    std::map<std::string, Read> read;
};

std::string Quoted(std::string_view text)
{
    return "\"" + ShownText(text) + "\"";
}

// A medium path already made for people (MediumFile::shown).
std::string QuotedShown(const std::string& shown)
{
    return "\"" + shown + "\"";
}

// The key of a path in the install folder: its components in capitals, in
// UTF-8 so that a found name without a Windows-1252 form has one too.
// False when the path leaves the folder (from a root, a drive or "..").
bool InstallKey(std::string_view path, std::string& key)
{
    bool absolute;
    std::vector<std::string> kept;
    for (const std::string& component : PathComponents(path, absolute)) {
        if (component != "..") {
            kept.push_back(Windows1252ToUtf8(FoldedName(component)));
        } else if (kept.empty()) {
            return false;
        } else {
            kept.pop_back();
        }
    }
    if (absolute)
        return false;
    key.clear();
    for (const std::string& component : kept)
        key += (key.empty() ? "" : "\\") + component;
    return true;
}

// The key of a name a search finds (UTF-8): what install.inf can write
// folds as in InstallKey; the other characters stay, since only a search
// names them.
std::string FoundNameKey(std::string_view utf8)
{
    std::string key;
    for (size_t at = 0; at < utf8.size();) {
        const size_t start = at;
        char32_t character = 0;
        unsigned char byte = 0;
        if (NextUtf8(utf8, at, character) && Windows1252Byte(character, byte)) {
            key += Windows1252ToUtf8(FoldedName(std::string(1, static_cast<char>(byte))));
            continue;
        }
        at = std::max(at, start + 1);
        key.append(utf8.substr(start, at - start));
    }
    return key;
}

std::string ParentKey(const std::string& key)
{
    const size_t separator = key.find_last_of('\\');
    return separator == std::string::npos ? "" : key.substr(0, separator);
}

std::string FirstWord(const char* line)
{
    return std::string(line, strcspn(line, " "));
}

bool IsBlank(const char* text)
{
    return text[strspn(text, " \t\r")] == '\0';
}

// Names and values past ASCII come out otherwise than the publisher wrote.
void WarnOfUtf8(Check& check, const std::string& file, const std::string& bytes)
{
    if (ReadsAsUtf8(bytes))
        check.report.Warning(file, 0,
                             "reads as UTF-8, but setup.exe reads Windows-1252: save it in Windows-1252, or its "
                             "letters past ASCII come out otherwise");
}

// How a line of install.inf or langue.cf reads otherwise than written: a
// piece of a line over 99 bytes, a CR left by CR CR LF line ends.
void WarnOfLineShape(Check& check, const std::string& file, int line, int piece, std::string_view text)
{
    if (piece > 0)
        check.report.Warning(file, line,
                             "longer than 99 bytes: setup.exe reads bytes " + std::to_string(piece * 99 + 1) +
                                 " on as a line of their own");
    if (!text.empty() && text.back() == '\r')
        check.report.Warning(file, line,
                             "a stray CR at the line's end (CR CR LF): setup.exe keeps it as part of the last "
                             "name or value");
}

// Within setup.exe's limit of characters, which Windows counts in UTF-16
// units: what install.inf gives is Windows-1252, a byte a character; a
// found name is the host's, in UTF-8.
bool FitsPath(std::string_view windows1252, std::string_view utf8Name = {})
{
    return windows1252.size() + PathLength(utf8Name) <= static_cast<size_t>(kPathLimit);
}

// The words of a token command: only the blank separates.
std::vector<std::string> Tokens(const char* line)
{
    std::vector<std::string> tokens;
    for (const char* p = line; *p;) {
        p += strspn(p, " ");
        const size_t length = strcspn(p, " ");
        if (length > 0)
            tokens.emplace_back(p, length);
        p += length;
    }
    return tokens;
}

// A destination folder of a copy: it must be the install folder or made by
// an earlier mkdir, since copies make no folders.
bool DestinationFolderExists(Check& check, int line, const std::string& folderKey, std::string_view shown)
{
    if (check.folders.count(folderKey))
        return true;
    check.report.Warning(check.script, line,
                         "the folder " + Quoted(shown) +
                             " is made by no earlier mkdir: setup.exe skips the copy (copies make no folders)");
    return false;
}

void Reads(Check& check, const MediumFile& file, int line, bool found = false)
{
    if (check.sealed)
        check.read.emplace(SealKey(file.shown), Check::Read{file.shown, line, found});
}

void Install(Check& check, const std::string& key, const MediumFile& source, bool usable, bool expands,
             int line)
{
    check.files[key] = Installed{source, usable, expands, line};
}

// A character Windows refuses in a name ("a*b"): whatever names it is
// skipped. A CR at the end is told as a stray CR.
bool RefusedName(Check& check, int line, std::string_view path)
{
    if (!path.empty() && path.back() == '\r')
        path.remove_suffix(1);
    const size_t drive = path.size() >= 2 && path[1] == ':' ? 2 : 0;
    for (size_t i = drive; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (c < 0x20 || std::strchr("<>:\"|?*", c) != nullptr) {
            check.report.Warning(check.script, line,
                                 Quoted(path) + " holds a character that Windows refuses in names: setup.exe "
                                                "skips it");
            return true;
        }
    }
    return false;
}

void CheckMakeDir(Check& check, int line, const char* rest)
{
    std::string key;
    if (RefusedName(check, line, rest))
        return;
    if (!InstallKey(rest, key)) {
        check.report.Warning(check.script, line,
                             "mkdir " + Quoted(rest) + " leaves the install folder");
        return;
    }
    if (key.empty()) {
        check.report.Warning(check.script, line, "mkdir names no folder: setup.exe makes nothing");
        return;
    }
    if (check.files.count(key)) {
        check.report.Warning(check.script, line,
                             "mkdir " + Quoted(rest) + ": an earlier copy made a file of that name");
        return;
    }
    if (check.folders.count(key)) {
        check.report.Warning(check.script, line,
                             "mkdir " + Quoted(rest) + ": the folder is made already: setup.exe skips the line");
        return;
    }
    if (!check.folders.count(ParentKey(key))) {
        check.report.Warning(check.script, line,
                             "mkdir " + Quoted(rest) +
                                 ": its parent folder is made by no earlier mkdir, and setup.exe makes one level only");
        return;
    }
    check.folders.insert(key);
}

void CheckCopy(Check& check, int line, const ScriptLine& parsed)
{
    std::string key;
    if (RefusedName(check, line, parsed.source) || RefusedName(check, line, parsed.destination))
        return;
    const bool inside = InstallKey(parsed.destination, key);
    if (!inside)
        check.report.Warning(check.script, line,
                             "the destination " + Quoted(parsed.destination) + " leaves the install folder");

    MediumFile source;
    switch (FindCopySource(check.medium, parsed.source, source)) {
    case Lookup::Outside:
        check.report.Warning(check.script, line,
                             "the source " + Quoted(parsed.source) + " lies outside the medium: not checked");
        return;
    case Lookup::Missing: {
        if (!kHostSeesShortNames && std::strchr(parsed.source, '~')) {
            check.report.Warning(check.script, line,
                                 "the source " + Quoted(parsed.source) +
                                     " is missing, unless it is an 8.3 name, which this build cannot see");
            return;
        }
        const std::string alternate = LzCompressedName(parsed.source);
        check.report.Error(check.script, line,
                           "the source " + Quoted(parsed.source) + " is missing" +
                               (alternate == parsed.source ? "" : " (and so is " + Quoted(alternate) + ")") +
                               ": setup.exe skips the copy");
        if (inside && !key.empty())
            Install(check, key, source, false, true, line);
        return;
    }
    case Lookup::Found:
        break;
    }
    Reads(check, source, line);
    std::string bytes;
    const Expansion expansion = ReadExpanded(source.host, bytes);
    const bool usable = Installs(expansion);
    if (expansion == Expansion::WholeCut)
        check.report.Warning(check.script, line,
                             "the source " + Quoted(source.shown) +
                                 " expands one byte past the size it promises: the last byte will be cut");
    else if (expansion == Expansion::Short || expansion == Expansion::Corrupt)
        check.report.Error(check.script, line,
                           "the source " + QuotedShown(source.shown) +
                               " is compressed but does not expand whole: setup.exe installs nothing");
    else if (expansion == Expansion::Unreadable)
        check.report.Error(check.script, line,
                           "the source " + QuotedShown(source.shown) + " cannot be read: setup.exe skips the copy");

    if (!inside)
        return;
    if (key.empty() || check.folders.count(key)) {
        check.report.Warning(check.script, line,
                             "the destination " + Quoted(parsed.destination) + " is a folder: setup.exe skips the copy");
        return;
    }
    if (DestinationFolderExists(check, line, ParentKey(key), ParentKey(parsed.destination)))
        Install(check, key, source, usable, true, line);
}

// The files that xcopy and sndcopy copy as they are, each into the folder.
void InstallFound(Check& check, int line, const std::vector<MatchedFile>& found, const char* pattern,
                  const char* destination)
{
    std::string folderKey;
    if (RefusedName(check, line, destination))
        return;
    if (!InstallKey(destination, folderKey)) {
        check.report.Warning(check.script, line,
                             "the destination " + Quoted(destination) + " leaves the install folder");
        return;
    }
    if (!DestinationFolderExists(check, line, folderKey, destination))
        return;
    for (const auto& [file, shortMatch, shortName] : found) {
        if (shortMatch == ShortMatch::Only)
            check.report.Warning(check.script, line,
                                 QuotedShown(file.shown) + " matches " + Quoted(pattern) + " only through its 8.3 name " +
                                     Quoted(shortName) + ": setup.exe copies it");
        else if (shortMatch == ShortMatch::Maybe)
            check.report.Warning(check.script, line,
                                 QuotedShown(file.shown) + " may match " + Quoted(pattern) +
                                     " through its 8.3 name, which this build cannot see: setup.exe may copy it");
        // Natively only: Windows names every file in Unicode.
        if (!IsUtf8(file.hostName)) {
            check.report.Error(check.script, line,
                               "the name " + QuotedShown(file.shown) +
                                   " is not UTF-8, which no Windows medium can hold: rename it");
            continue;
        }
        std::string head;
        const bool readable = ReadHostStart(file.host, kLzSignatureSize, head);
        if (!readable)
            check.report.Error(check.script, line,
                               QuotedShown(file.shown) + " cannot be read: setup.exe skips its copy");
        else if (IsLzCompressed(head))
            check.report.Warning(check.script, line,
                                 QuotedShown(file.shown) +
                                     " is stored compressed and is copied as it is: only copy expands");
        if (!FitsPath(check.installPrefix + destination + "\\", file.hostName)) {
            check.report.Warning(check.script, line,
                                 "the path of " + QuotedShown(file.shown.substr(file.shown.rfind('/') + 1)) +
                                     " in the install folder is longer than 259 characters: setup.exe skips it");
            continue;
        }
        const std::string key = folderKey + (folderKey.empty() ? "" : "\\") + FoundNameKey(file.hostName);
        if (check.folders.count(key)) {
            check.report.Warning(check.script, line,
                                 QuotedShown(file.shown) + " would replace a folder of that name: setup.exe skips it");
            continue;
        }
        Reads(check, file, line, true);
        if (check.sealed && !check.seal.Find(file.shown))
            continue;  // skipped by setup.exe: not installed
        Install(check, key, file, readable, false, line);
    }
}

// The medium folder a copy reads from; false, after the finding, when it
// lies outside the medium (named as outside says) or is missing (as
// missing says).
bool FindSourceFolder(Check& check, int line, const std::string& path, const std::string& outside,
                      const std::string& missing, MediumFile& folder)
{
    const Lookup lookup = FindOnMedium(check.medium, path, folder);
    if (lookup == Lookup::Outside) {
        check.report.Warning(check.script, line, outside + " lies outside the medium: not checked");
        return false;
    }
    if (lookup == Lookup::Missing || !folder.isFolder) {
        check.report.Error(check.script, line, missing + " is missing: setup.exe copies nothing");
        return false;
    }
    return true;
}

void CheckXCopy(Check& check, int line, const ScriptLine& parsed)
{
    const size_t folderLength = PatternDirectoryLength(parsed.source);
    MediumFile folder;
    if (!FindSourceFolder(check, line, std::string(parsed.source, folderLength), "the pattern " + Quoted(parsed.source),
                          "the folder of " + Quoted(parsed.source), folder))
        return;
    const std::vector<MatchedFile> found = FilesMatching(check.medium, folder, parsed.source + folderLength);
    if (found.empty()) {
        check.report.Error(check.script, line,
                           "the pattern " + Quoted(parsed.source) + " matches no file: setup.exe copies nothing");
        return;
    }
    InstallFound(check, line, found, parsed.source, parsed.destination);
}

void CheckSndCopy(Check& check, int line, const ScriptLine& parsed)
{
    MediumFile folder;
    const std::string named = "the folder " + Quoted(parsed.source);
    if (!FindSourceFolder(check, line, parsed.source, named, named, folder))
        return;
    const std::vector<MatchedFile> found = FilesMatching(check.medium, folder, "*.*");
    if (found.empty()) {
        check.report.Warning(check.script, line,
                             "the folder " + Quoted(parsed.source) + " holds no file: setup.exe copies nothing");
        return;
    }
    InstallFound(check, line, found, "*.*", parsed.destination);
}

// The arguments of a command line that setup.exe takes otherwise than
// written.
void CheckArguments(Check& check, const ScriptText& text, const ScriptLine& parsed)
{
    switch (parsed.command) {
    case ScriptCommand::Copy:
    case ScriptCommand::XCopy:
    case ScriptCommand::SndCopy: {
        const std::vector<std::string> tokens = Tokens(text.text.c_str());
        if (tokens.size() > 3)
            check.report.Warning(check.script, text.line,
                                 "more than two names: setup.exe ignores " + Quoted(tokens[3]) +
                                     " and what follows (names hold no blanks)");
        for (size_t i = 1; i < tokens.size() && i < 3; ++i) {
            if (tokens[i].find('\t') != std::string::npos)
                check.report.Warning(check.script, text.line,
                                     "a tab inside " + Quoted(tokens[i]) + ": only blanks separate names");
        }
        break;
    }
    case ScriptCommand::MakeWordLists:
    case ScriptCommand::None:
        break;
    default:
        if (parsed.rest[0] == ' ')
            check.report.Warning(check.script, text.line,
                                 "the value begins with a blank, which setup.exe keeps: one blank separates");
        break;
    }
}

void CheckScriptLine(Check& check, const ScriptText& text)
{
    const char* line = text.text.c_str();
    WarnOfLineShape(check, check.script, text.line, text.piece, text.text);
    const ScriptCommand keyword = ScriptKeywordOf(line);
    const char* startupKey = StartupKeyOf(line);
    if (keyword == ScriptCommand::None && !startupKey) {
        // The rest of a long line is told once, above.
        if (text.piece > 0)
            return;
        if (IsBlank(line)) {
            check.report.Warning(check.script, text.line, "the line holds only blanks: setup.exe ignores it");
            return;
        }
        if (line[0] == ' ' || line[0] == '\t')
            check.report.Warning(check.script, text.line,
                                 "the line begins with a blank: setup.exe ignores it");
        else
            check.report.Warning(check.script, text.line,
                                 "unknown command " + Quoted(FirstWord(line)) + ": setup.exe ignores the line");
        return;
    }
    const char* name = startupKey ? startupKey : ScriptKeyword(keyword);
    const std::string word = FirstWord(line);
    if (word.size() > std::strlen(name))
        check.report.Warning(check.script, text.line,
                             Quoted(word) + " is read as " + Quoted(name) + " (a blank must follow it)");
    if (startupKey) {
        if (!ValueAfterBlank(line))
            check.report.Warning(check.script, text.line,
                                 Quoted(startupKey) + " without a value: setup.exe ignores the line");
        return;
    }

    const ScriptLine parsed = ParseScriptLine(line);
    if (parsed.command == ScriptCommand::None) {
        check.report.Warning(check.script, text.line,
                             "missing arguments for " + Quoted(name) + ": setup.exe ignores the line");
        return;
    }
    CheckArguments(check, text, parsed);
    switch (parsed.command) {
    case ScriptCommand::None:
        break;
    case ScriptCommand::MakeDir:
        CheckMakeDir(check, text.line, parsed.rest);
        break;
    case ScriptCommand::IconName:
        check.iconNameLine = text.line;
        break;
    case ScriptCommand::AviDelay:
        if (parsed.rest[0] == '\0' || parsed.rest[strspn(parsed.rest, "0123456789")] != '\0')
            check.report.Warning(check.script, text.line, "the delay " + Quoted(parsed.rest) + " is not a number");
        break;
    case ScriptCommand::IconGroup:
        break;
    case ScriptCommand::IconExe:
        check.iconExeLine = text.line;
        check.iconExe = parsed.rest;
        break;
    case ScriptCommand::Display:
        check.displayLine = text.line;
        check.display = parsed.rest;
        break;
    case ScriptCommand::MakeWordLists:
        check.mkwlistLine = text.line;
        break;
    case ScriptCommand::Copy:
        CheckCopy(check, text.line, parsed);
        break;
    case ScriptCommand::XCopy:
        CheckXCopy(check, text.line, parsed);
        break;
    case ScriptCommand::SndCopy:
        CheckSndCopy(check, text.line, parsed);
        break;
    case ScriptCommand::Uninstall:
        if (check.uninstallLine)
            check.report.Warning(check.script, text.line,
                                 "a second uninstall: setup.exe keeps the name of line " +
                                     std::to_string(check.uninstallLine));
        else
            check.uninstallLine = text.line;
        break;
    }
}

const Installed* FindInstalled(const Check& check, std::string_view path)
{
    std::string key;
    if (!InstallKey(path, key))
        return nullptr;
    auto found = check.files.find(key);
    return found == check.files.end() ? nullptr : &found->second;
}

struct EntryLines {
    int catalogue, from, to;
    std::string languageName, fromName, toName;
};

// Language names are compared as the catalogue compares them: A-Z folded.
bool EqualFoldingAZ(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && KeywordMatches(a.c_str(), b.c_str());
}

// The FROM lists, each read once however many entries name it.
void CheckFromList(Check& check, const std::string& file, const EntryLines& entry,
                   std::set<std::string>& checked)
{
    if (entry.fromName.size() > kListNameLength)
        check.report.Warning(file, entry.from,
                             "the list name is longer than " + std::to_string(kListNameLength) + " characters");
    if (entry.toName.size() > kListNameLength)
        check.report.Warning(file, entry.to,
                             "the list name is longer than " + std::to_string(kListNameLength) + " characters");
    const Installed* list = FindInstalled(check, "langue\\" + entry.fromName);
    if (!list) {
        check.report.Warning(file, entry.from,
                             "no copy puts " + Quoted(entry.fromName) +
                                 " under langue\\: setup.exe stops with \"Input file missing\" unless the install folder has it");
        return;
    }
    std::string bytes;
    if (!list->usable || !checked.insert(list->source.host).second)
        return;
    if (InstalledBytes(*list, bytes))
        CheckWordList(bytes, list->source.shown, check.report);
    else
        check.report.Error(list->source.shown, 0, "cannot be read");
}

// The catalogue's language lines go into a section that starts with a line
// beginning with "[langue]"; a dict.ini that the medium brings must have one.
void CheckCatalogue(Check& check)
{
    const Installed* catalogue = FindInstalled(check, "dict.ini");
    std::string bytes;
    if (!catalogue || !catalogue->usable || !InstalledBytes(*catalogue, bytes))
        return;
    ScopedFile file = OpenBytes(bytes);
    std::string line;
    while (file && ReadWholeTextLine(file.get(), line)) {
        if (line.size() >= 8 && KeywordMatches(line.c_str(), "[langue]"))
            return;
    }
    check.report.Error(catalogue->source.shown, 0,
                       "no line begins with \"[langue]\": the languages of langue.cf get no line in dict.ini");
}

void CheckLanguageList(Check& check, const Installed& list)
{
    const std::string& file = list.source.shown;
    std::string bytes;
    ScopedFile input = InstalledBytes(list, bytes) ? OpenBytes(bytes) : ScopedFile();
    if (!input) {
        check.report.Error(file, 0, "cannot be read");
        return;
    }
    WarnOfUtf8(check, file, bytes);
    std::vector<EntryLines> entries;
    std::set<std::string> checkedLists;
    LanguageListReader reader;
    reader.file = input.get();
    LanguageEntry entry{};
    // The lines of the entry read so far (the catalogue line's text is its
    // language name at the end; a line that did not split has none).
    auto lineShapes = [&]() {
        using Line = std::pair<SetupLineCursor, const char*>;
        const bool split = reader.fault != LanguageListFault::BadLanguageLine;
        for (const auto& [at, text] : {Line{reader.catalogueAt, split ? entry.languageName : ""},
                                       Line{reader.fromAt, entry.fromListName}, Line{reader.toAt, entry.toListName}}) {
            if (at.line > 0)
                WarnOfLineShape(check, file, at.line, at.piece, text);
        }
    };
    auto stops = [&](int line, const std::string& what) {
        lineShapes();
        check.report.Error(file, line,
                           what + ": setup.exe stops with \"" + LanguageListMessage(reader.fault) + "\"");
    };
    while (ReadCatalogueLine(reader, entry)) {
        if (!ReadListNames(reader, entry)) {
            if (reader.fault == LanguageListFault::IncompleteEntry)
                stops(reader.catalogueAt.line,
                      std::string("the entry has no ") + (reader.fromAt.line ? "TO" : "FROM") + " list name");
            else if (IsTemporaryListName(entry.fromListName))
                stops(reader.fromAt.line, Quoted(entry.fromListName) + " is the builder's own temporary list");
            else
                stops(reader.toAt.line, Quoted(entry.toListName) + " is the builder's own temporary list");
            return;
        }
        lineShapes();
        EntryLines lines{reader.catalogueAt.line, reader.fromAt.line, reader.toAt.line,
                         entry.languageName, entry.fromListName, entry.toListName};
        for (const EntryLines& earlier : entries) {
            if (EqualFoldingAZ(earlier.languageName, lines.languageName)) {
                check.report.Warning(file, lines.catalogue,
                                     "the language " + Quoted(lines.languageName) + " is named at line " +
                                         std::to_string(earlier.catalogue) +
                                         " too: its line in dict.ini replaces the earlier one");
                break;
            }
        }
        CheckFromList(check, file, lines, checkedLists);
        entries.push_back(lines);
    }
    if (reader.fault == LanguageListFault::BadLanguageLine) {
        stops(reader.catalogueAt.line, "fewer than four fields");
        return;
    }
    // A TO list written over the FROM list of an entry still to come.
    for (size_t i = 0; i < entries.size(); ++i) {
        for (size_t j = i + 1; j < entries.size(); ++j) {
            if (FoldedName(entries[i].toName) == FoldedName(entries[j].fromName)) {
                check.report.Warning(file, entries[i].to,
                                     "this TO list replaces the FROM list of line " +
                                         std::to_string(entries[j].from) + " before it is read");
                break;
            }
        }
    }
    if (!entries.empty())
        CheckCatalogue(check);
}

void CheckAfterScript(Check& check)
{
    if (check.iconExeLine) {
        if (!FindInstalled(check, check.iconExe))
            check.report.Warning(check.script, check.iconExeLine,
                                 "no copy installs the program " + Quoted(check.iconExe) +
                                     " that the shortcut starts");
        if (!check.iconNameLine)
            check.report.Warning(check.script, check.iconExeLine,
                                 "no iconname line: setup.exe makes no shortcut");
    } else if (check.iconNameLine) {
        check.report.Warning(check.script, check.iconNameLine,
                             "no iconexe line: the shortcut starts the install folder itself");
    }
    if (check.displayLine) {
        if (!FindInstalled(check, check.display))
            check.report.Warning(check.script, check.displayLine,
                                 "no copy installs the display file " + Quoted(check.display) +
                                     ": setup.exe shows its own closing text");
        if (!check.mkwlistLine)
            check.report.Warning(check.script, check.displayLine,
                                 "no mkwlist line: the display file is never shown");
    }
    const Installed* languageList = FindInstalled(check, "langue.cf");
    if (check.mkwlistLine && !languageList) {
        check.report.Warning(check.script, check.mkwlistLine,
                             std::string("no copy installs langue.cf: setup.exe stops with \"") +
                                 LanguageListMessage(LanguageListFault::CannotOpen) +
                                 "\" unless the install folder has one");
    } else if (!check.mkwlistLine && languageList) {
        check.report.Warning(check.script, languageList->line,
                             "langue.cf is installed, but no mkwlist line builds its lists");
    }
    if (check.mkwlistLine && languageList && languageList->usable)
        CheckLanguageList(check, *languageList);
}

// What setup.exe reads of a sealed medium must be listed; what is listed
// and never read is likely a leftover.
void CheckSealCovers(Check& check)
{
    for (const auto& [key, file] : check.read) {
        const auto& [shown, line, found] = file;
        if (check.seal.Find(shown))
            continue;
        std::string name = shown;
        std::replace(name.begin(), name.end(), '/', '\\');
        // A found file may be a file manager's leftover: it is skipped.
        const std::string outcome = found ? "setup.exe skips it as not the publisher's"
                                          : "setup.exe stops with \"" + DamagedMediumMessage(name) + "\"";
        check.report.Error(shown, 0,
                           std::string("not listed in manifest.crc") +
                               (line > 0 ? ", but line " + std::to_string(line) + " of " + check.script +
                                               (found ? " finds it" : " reads it")
                                         : "") +
                               ": " + outcome);
    }
    for (const SealEntry& entry : check.seal.entries()) {
        if (check.read.count(SealKey(entry.name)) || check.missing.count(SealKey(entry.name)))
            continue;
        std::string shown = entry.name;
        std::replace(shown.begin(), shown.end(), '\\', '/');
        check.report.Warning(shown, 0, "listed in manifest.crc, but " + check.script + " reads it nowhere");
    }
}

}  // namespace

bool CheckMedium(const std::string& dir, Report& report)
{
    std::vector<FolderEntry> top;
    if (!IsHostFolder(dir) || !ListFolder(dir, top))
        return false;
    Check check(dir, report);
    check.medium.listings[dir] = top;
    switch (ReadMediumSeal(dir, check.seal)) {
    case SealState::None:
        break;
    case SealState::Damaged:
        report.Error(kManifestName, 0,
                     std::string("not a whole manifest, or its own CRC-32 does not match its lines: setup.exe "
                                 "stops with \"") +
                         DamagedMediumMessage(kManifestName) + "\"");
        break;
    case SealState::Read:
        check.sealed = true;
        check.missing = CheckSealedFiles(dir, check.seal, report);
        break;
    }

    MediumFile script;
    std::string bytes;
    if (FindOnMedium(check.medium, "install.inf", script) != Lookup::Found || script.isFolder ||
        !ReadHostFile(script.host, bytes)) {
        report.Error("install.inf", 0, "missing: setup.exe stops with \"Can't open INSTALL.INF\"");
        return true;
    }
    check.script = script.shown;
    Reads(check, script, 0);
    WarnOfUtf8(check, check.script, bytes);

    // Read whole first: the start-up keys count wherever they stand.
    std::vector<ScriptText> lines;
    ScopedFile file = OpenBytes(bytes);
    SetupLineCursor cursor;
    char line[kSetupLineSize];
    std::string defaultDir = "c:\\";
    while (file && ReadSetupLine(file.get(), line, &cursor)) {
        lines.push_back({cursor.line, cursor.piece, line});
        const char* key = StartupKeyOf(line);
        if (key && std::strcmp(key, "dir") == 0 && ValueAfterBlank(line))
            defaultDir = ValueAfterBlank(line);
    }
    const bool separated = !defaultDir.empty() && defaultDir.back() == '\\';
    check.installPrefix = FitsPath(defaultDir + (separated ? "" : "\\"))
                              ? defaultDir + (separated || defaultDir.empty() ? "" : "\\")
                              : "c:\\dico\\";

    for (const ScriptText& text : lines)
        CheckScriptLine(check, text);
    CheckAfterScript(check);
    if (check.sealed)
        CheckSealCovers(check);
    return true;
}
