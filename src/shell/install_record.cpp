#include "shell/install_record.h"

#include <cstdlib>
#include <string_view>

#include "shell/scoped_handles.h"
#include "shell/text_file.h"

// One entry a line: a kind, then tab-separated fields, the last of which
// takes the rest of the line (names and values may hold anything but a line
// end; paths cannot hold a tab).

namespace {

// Ends the entry that a run, killed while writing it, left unended. No
// entry can hold a NUL (every value is a C string), so the reader passes a
// line with one over.
constexpr char kBrokenEnd[] = {'\0', '\r', '\n'};

ScopedFile recordFile;
InstallRecord current;

// Splits off the text up to the next tab; false when there is none.
bool NextField(std::string_view& rest, std::string_view& field)
{
    const size_t tab = rest.find('\t');
    if (tab == std::string_view::npos)
        return false;
    field = rest.substr(0, tab);
    rest.remove_prefix(tab + 1);
    return true;
}

bool ParseNumber(std::string_view text, uint64_t& value)
{
    if (text.empty() || text.size() > 20)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        const uint64_t next = value * 10 + static_cast<uint64_t>(c - '0');
        if (next / 10 != value)
            return false;
        value = next;
    }
    return true;
}

RecordedFile& FileEntry(InstallRecord& record, std::string_view path)
{
    for (RecordedFile& file : record.files) {
        if (EqualsFoldingAZ(file.path, path))
            return file;
    }
    record.files.push_back(RecordedFile{std::string(path)});
    return record.files.back();
}

void AddOnce(std::vector<std::string>& list, std::string_view item)
{
    for (const std::string& known : list) {
        if (EqualsFoldingAZ(known, item))
            return;
    }
    list.emplace_back(item);
}

bool HasIniKey(const InstallRecord& record, std::string_view file, std::string_view section, std::string_view key)
{
    for (const RecordedIniKey& known : record.iniKeys) {
        if (EqualsFoldingAZ(known.file, file) && EqualsFoldingAZ(known.section, section) &&
            EqualsFoldingAZ(known.key, key))
            return true;
    }
    return false;
}

// Takes one line (line end removed) into the record; unknown kinds and
// malformed lines change nothing.
void TakeLine(InstallRecord& record, std::string_view line)
{
    std::string_view kind;
    std::string_view rest = line;
    if (!NextField(rest, kind)) {
        kind = line;
        rest = {};
    }
    if (kind == "name") {
        record.name = std::string(rest);
        if (!rest.empty())
            AddOnce(record.names, rest);
    } else if (kind == "title") {
        record.title = std::string(rest);
    } else if (kind == "dir") {
        record.installDir = std::string(rest);
    } else if (kind == "dirmade") {
        record.madeInstallDir = true;
    } else if (kind == "folder" && !rest.empty()) {
        AddOnce(record.folders, rest);
    } else if (kind == "file" && !rest.empty()) {
        FileEntry(record, rest);
    } else if (kind == "written") {
        std::string_view size, time;
        uint64_t sizeValue = 0, timeValue = 0;
        if (NextField(rest, size) && NextField(rest, time) && !rest.empty() &&
            ParseNumber(size, sizeValue) && ParseNumber(time, timeValue)) {
            RecordedFile& file = FileEntry(record, rest);
            file.stamped = true;
            file.size = sizeValue;
            file.time = timeValue;
        }
    } else if (kind == "unwritten" && !rest.empty()) {
        // A file an earlier run wrote keeps that run's size and time.
        RecordedFile& file = FileEntry(record, rest);
        if (!file.stamped)
            record.files.erase(record.files.begin() + (&file - record.files.data()));
    } else if (kind == "shortcut" && !rest.empty()) {
        AddOnce(record.shortcuts, rest);
    } else if (kind == "menufolder" && !rest.empty()) {
        AddOnce(record.menuFolders, rest);
    } else if (kind == "ini") {
        std::string_view file, section, name, hadSection, hadValue;
        if (NextField(rest, file) && NextField(rest, section) && NextField(rest, name) &&
            NextField(rest, hadSection) && NextField(rest, hadValue) && !HasIniKey(record, file, section, name)) {
            record.iniKeys.push_back(RecordedIniKey{std::string(file), std::string(section),
                                                    std::string(name), hadSection == "1",
                                                    hadValue == "1", std::string(rest)});
        }
    } else if (kind == "catalogue-made") {
        record.catalogueMade = true;
    } else if (kind == "catalogue-line" && !rest.empty()) {
        AddOnce(record.catalogueLines, rest);
    } else if (kind == "catalogue-replaced" && !rest.empty()) {
        AddOnce(record.replacedCatalogueLines, rest);
    } else if (kind == "registry" && !rest.empty()) {
        AddOnce(record.registryKeys, rest);
    }
}

// Appends one entry and hands it to the system at once: a run killed right
// after a change still has its entry.
void Append(std::initializer_list<std::string_view> fields)
{
    if (!recordFile)
        return;
    std::string line;
    for (std::string_view field : fields) {
        if (!line.empty())
            line += '\t';
        line += field;
    }
    TakeLine(current, line);
    line += '\n';
    if (!WriteText(recordFile.get(), line) || !FlushFile(recordFile.get())) {
        // The installation goes on; what it does from here is not undone.
        recordFile.reset();
    }
}

// One line of the record, its CR LF removed; false when the file ends
// before a line end. Read as bytes: a damaged entry holding the text
// files' end-of-file mark must not hide the entries after it.
bool ReadEntryLine(FILE* file, std::string& line)
{
    line.clear();
    for (int c; (c = std::getc(file)) != EOF;) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        line += static_cast<char>(c);
    }
    return false;
}

}  // namespace

bool ReadInstallRecord(FILE* file, InstallRecord& record)
{
    record = InstallRecord{};
    std::string line;
    // An unended last line is the entry a killed run was writing.
    while (ReadEntryLine(file, line)) {
        if (line.find('\0') == std::string::npos)
            TakeLine(record, line);
    }
    return std::ferror(file) == 0;
}

bool OpenInstallRecord(const char* path)
{
    CloseInstallRecord();
    current = InstallRecord{};
    bool endsWithLine = true;
    if (ScopedFile earlier(OpenTextRead(path)); earlier) {
        ReadInstallRecord(earlier.get(), current);
        // A killed run may have left half an entry: it is marked so, and
        // the next one starts on a line of its own.
        endsWithLine = std::fseek(earlier.get(), -1, SEEK_END) != 0 || std::fgetc(earlier.get()) == '\n';
    }
    recordFile.reset(std::fopen(path, "ab"));
    if (!recordFile)
        return false;
    if (!endsWithLine &&
        (!WriteToFile(recordFile.get(), kBrokenEnd, sizeof kBrokenEnd) || !FlushFile(recordFile.get()))) {
        CloseInstallRecord();
        return false;
    }
    return true;
}

bool InstallRecordIsOpen()
{
    return static_cast<bool>(recordFile);
}

const InstallRecord& CurrentInstallRecord()
{
    return current;
}

void CloseInstallRecord()
{
    recordFile.reset();
}

void RecordProduct(const char* name, const char* title, const char* installDir)
{
    Append({"name", name});
    Append({"title", title});
    Append({"dir", installDir});
}

void RecordInstallDirMade()
{
    Append({"dirmade"});
}

void RecordFolder(const char* path)
{
    Append({"folder", path});
}

void RecordFileToWrite(const char* path)
{
    Append({"file", path});
}

void RecordFileWritten(const char* path)
{
    uint64_t size = 0, time = 0;
    if (!recordFile || !FileStamp(path, size, time))
        return;
    Append({"written", std::to_string(size), std::to_string(time), path});
}

void RecordFileNotWritten(const char* path)
{
    Append({"unwritten", path});
}

void RecordShortcut(const char* path)
{
    Append({"shortcut", path});
}

void RecordMenuFolder(const char* path)
{
    Append({"menufolder", path});
}

bool IniKeyRecorded(const char* file, const char* section, const char* key)
{
    return HasIniKey(current, file, section, key);
}

void RecordIniKey(const RecordedIniKey& key)
{
    if (IniKeyRecorded(key.file.c_str(), key.section.c_str(), key.key.c_str()))
        return;
    Append({"ini", key.file, key.section, key.key, key.hadSection ? "1" : "0",
            key.hadValue ? "1" : "0", key.value});
}

void RecordCatalogueMade()
{
    Append({"catalogue-made"});
}

void RecordCatalogueLine(const char* line)
{
    Append({"catalogue-line", line});
}

void RecordReplacedCatalogueLine(const char* line)
{
    for (const std::string& ours : current.catalogueLines) {
        if (EqualsFoldingAZ(ours, line))
            return;
    }
    Append({"catalogue-replaced", line});
}

void RecordRegistryKey(const char* path)
{
    Append({"registry", path});
}
