#include "shell/install_record.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "shell/run_log.h"
#include "shell/scoped_handles.h"
#include "shell/text_file.h"

// One entry a line: a kind, then tab-separated fields, the last of which
// takes the rest of the line (names and values may hold anything but a line
// end; paths cannot hold a tab).

bool ParseRecordNumber(std::string_view text, uint64_t& value)
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

namespace {

// Ends the entry that a run, killed while writing it, left unended. No
// entry can hold a NUL (every value is a C string), so the reader passes a
// line with one over.
constexpr char kBrokenEnd[] = {'\0', '\r', '\n'};

ScopedFile journalFile;
InstallRecord current;  // the record and this run's entries
RunJournal run;         // this run's entries alone

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


RecordedFile& FileEntry(InstallRecord& record, std::string_view path)
{
    for (RecordedFile& file : record.files) {
        if (EqualsFoldingAZ(file.path, path))
            return file;
    }
    record.files.emplace_back();
    record.files.back().path = std::string(path);
    return record.files.back();
}

bool HasFileEntry(const InstallRecord& record, std::string_view path)
{
    for (const RecordedFile& file : record.files) {
        if (EqualsFoldingAZ(file.path, path))
            return true;
    }
    return false;
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

// The kinds of entries and how many fields each has.
struct EntryKind {
    const char* kind;
    size_t fields;
};

constexpr EntryKind kKinds[] = {
    {"run", 1},           {"record", 1},        {"commit", 1},           {"name", 1},
    {"title", 1},         {"dir", 1},           {"dirmade", 0},          {"folder", 1},
    {"file", 1},          {"aside", 2},         {"written", 3},          {"unwritten", 1},
    {"shortcut", 1},      {"menufolder", 1},    {"ini", 6},              {"ini-written", 4},
    {"catalogue-made", 0}, {"catalogue-line", 1}, {"catalogue-replaced", 1}, {"catalogue-before", 2},
    {"registry", 1},      {"regvalue", 5},          {"entry", 1},           {"file-before", 2},
    {"ini-before", 6},
};

// Splits a line into its kind and fields; false for an unknown kind, a
// missing field or an empty path.
bool ParseEntry(std::string_view line, JournalEntry& entry)
{
    std::string_view kind;
    std::string_view rest = line;
    if (!NextField(rest, kind)) {
        kind = line;
        rest = {};
    }
    const EntryKind* known = nullptr;
    for (const EntryKind& candidate : kKinds) {
        if (kind == candidate.kind)
            known = &candidate;
    }
    if (!known)
        return false;
    entry.kind = std::string(kind);
    entry.fields.clear();
    for (size_t i = 0; i + 1 < known->fields; ++i) {
        std::string_view field;
        if (!NextField(rest, field))
            return false;
        entry.fields.emplace_back(field);
    }
    if (known->fields > 0)
        entry.fields.emplace_back(rest);
    // Every kind but these names a path or an identifier last.
    const bool emptyAllowed = entry.kind == "name" || entry.kind == "title" || entry.kind == "dir" ||
                              entry.kind == "ini" || entry.kind == "ini-written" ||
                              entry.kind == "catalogue-before" || entry.kind == "regvalue" ||
                              entry.kind == "file-before" || entry.kind == "ini-before";
    // An entry of a file names its file, whatever its other fields hold.
    const bool ofAFile = entry.kind == "aside" || entry.kind == "written" || entry.kind == "file-before";
    if (ofAFile && entry.fields.front().empty())
        return false;
    return known->fields == 0 || emptyAllowed || !entry.fields.back().empty();
}

// Takes one entry into the record's summary.
void TakeEntry(InstallRecord& record, const JournalEntry& entry)
{
    const std::string& kind = entry.kind;
    const std::vector<std::string>& f = entry.fields;
    if (kind == "name") {
        record.name = f[0];
        if (!f[0].empty())
            AddOnce(record.names, f[0]);
    } else if (kind == "title") {
        record.title = f[0];
    } else if (kind == "dir") {
        record.installDir = f[0];
    } else if (kind == "dirmade") {
        record.madeInstallDir = true;
    } else if (kind == "folder") {
        AddOnce(record.folders, f[0]);
    } else if (kind == "file") {
        FileEntry(record, f[0]).asidePending = false;
    } else if (kind == "aside") {
        const bool known = HasFileEntry(record, f[0]);
        RecordedFile& file = FileEntry(record, f[0]);
        if (!known)
            file.existedBefore = true;
        file.asides.push_back(f[1]);
        file.asidePending = true;
    } else if (kind == "written") {
        uint64_t sizeValue = 0, timeValue = 0;
        if (ParseRecordNumber(f[0], sizeValue) && ParseRecordNumber(f[1], timeValue)) {
            RecordedFile& file = FileEntry(record, f[2]);
            file.stamped = true;
            file.size = sizeValue;
            file.time = timeValue;
            file.asidePending = false;
        }
    } else if (kind == "unwritten") {
        // What was put aside for the failed write is back in place; a file
        // an earlier run wrote keeps that run's size and time.
        RecordedFile& file = FileEntry(record, f[0]);
        if (file.asidePending)
            file.asides.pop_back();
        file.asidePending = false;
        if (!file.stamped && file.asides.empty())
            record.files.erase(record.files.begin() + (&file - record.files.data()));
    } else if (kind == "shortcut") {
        AddOnce(record.shortcuts, f[0]);
    } else if (kind == "menufolder") {
        AddOnce(record.menuFolders, f[0]);
    } else if (kind == "ini") {
        if (!HasIniKey(record, f[0], f[1], f[2]))
            record.iniKeys.push_back(RecordedIniKey{f[0], f[1], f[2], f[3] == "1", f[4] == "1", f[5], {}, false});
    } else if (kind == "ini-written") {
        for (RecordedIniKey& key : record.iniKeys) {
            if (EqualsFoldingAZ(key.file, f[0]) && EqualsFoldingAZ(key.section, f[1]) &&
                EqualsFoldingAZ(key.key, f[2])) {
                key.written = f[3];
                key.wasWritten = true;
            }
        }
    } else if (kind == "catalogue-made") {
        record.catalogueMade = true;
    } else if (kind == "catalogue-line") {
        AddOnce(record.catalogueLines, f[0]);
    } else if (kind == "catalogue-replaced") {
        AddOnce(record.replacedCatalogueLines, f[0]);
    } else if (kind == "registry") {
        AddOnce(record.registryKeys, f[0]);
    } else if (kind == "file-before") {
        // Another installation that went handed its earlier state over.
        RecordedFile& file = FileEntry(record, f[0]);
        if (file.existedBefore && !file.asides.empty())
            file.asides.erase(file.asides.begin());
        if (!f[1].empty())
            file.asides.insert(file.asides.begin(), f[1]);
        file.existedBefore = !f[1].empty();
    } else if (kind == "ini-before") {
        for (RecordedIniKey& key : record.iniKeys) {
            if (EqualsFoldingAZ(key.file, f[0]) && EqualsFoldingAZ(key.section, f[1]) &&
                EqualsFoldingAZ(key.key, f[2])) {
                key.hadSection = f[3] == "1";
                key.hadValue = f[4] == "1";
                key.value = f[5];
            }
        }
    } else if (kind == "entry") {
        AddOnce(record.entryKeys, f[0]);
    }
    record.entries.push_back(entry);
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

// A copy of the file at from, made durable, at the new name to.
bool CopyWholeFile(const char* from, const char* to)
{
    ScopedFile input(OpenFile(from, "rb"));
    ScopedFile output(input ? OpenFile(to, "wb") : nullptr);
    if (!output)
        return false;
    char block[16384];
    bool ok = true;
    for (size_t read; ok && (read = std::fread(block, 1, sizeof block, input.get())) > 0;)
        ok = WriteToFile(output.get(), block, read);
    ok = ok && !std::ferror(input.get()) && FlushAndClose(output.release());
    if (!ok)
        RemovePath(to);
    return ok;
}

// The lines of a file as entries, with the block they belong to: the
// reader of the record and of a journal alike. An unended last line (a run
// killed while writing it) and a line holding a NUL (the mark of one) are
// passed over.
template <typename Take>
bool ReadEntries(FILE* file, Take take)
{
    std::string line;
    JournalEntry entry;
    while (ReadEntryLine(file, line)) {
        if (line.find('\0') == std::string::npos && ParseEntry(line, entry))
            take(entry);
    }
    return std::ferror(file) == 0;
}

std::string LineOf(const JournalEntry& entry)
{
    std::string line = entry.kind;
    for (const std::string& field : entry.fields)
        line += '\t' + field;
    return line;
}

bool AppendLine(FILE* file, const std::string& line, bool durable)
{
    return WriteText(file, line + "\n") && FlushFile(file) && (!durable || SyncFileToDisk(file));
}

// Appends one entry to the running journal. An entry that says what was
// there before a change is on disk before the change; the others only
// need to reach the system.
void Append(const JournalEntry& entry, bool durable = true)
{
    if (!journalFile)
        return;
    if (!AppendLine(journalFile.get(), LineOf(entry), durable)) {
        // The installation goes on; what it does from here is not undone.
        journalFile.reset();
        return;
    }
    TakeEntry(current, entry);
    run.entries.push_back(entry);
}

void Append(std::initializer_list<std::string_view> fields, bool durable = true)
{
    JournalEntry entry;
    for (std::string_view field : fields) {
        if (entry.kind.empty() && entry.fields.empty())
            entry.kind = std::string(field);
        else
            entry.fields.emplace_back(field);
    }
    Append(entry, durable);
}

// A free name beside path for its earlier bytes.
bool AsideName(const std::string& path, std::string& aside)
{
    const size_t separator = path.find_last_of("\\/");
    const std::string folder = path.substr(0, separator == std::string::npos ? 0 : separator + 1);
    uint64_t size = 0, time = 0;
    for (unsigned n = 0; n < 10000; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "~dsi%04u.old", n);
        aside = folder + name;
        if (!FileStamp(aside.c_str(), size, time))
            return true;
    }
    return false;
}

// Whether this run entered path as to be written and has not said since
// how that ended; aside receives what it put aside for it, if anything.
bool PendingWrite(const char* path, std::string& aside)
{
    for (auto entry = run.entries.rbegin(); entry != run.entries.rend(); ++entry) {
        const std::string& kind = entry->kind;
        const bool names = kind == "written" ? EqualsFoldingAZ(entry->fields[2], path)
                           : kind == "unwritten" || kind == "file" || kind == "aside"
                               ? EqualsFoldingAZ(entry->fields[0], path)
                               : false;
        if (names) {
            aside = kind == "aside" ? entry->fields[1] : std::string();
            return kind == "file" || kind == "aside";
        }
    }
    return false;
}

}  // namespace

namespace {

// The product a block's entries name, if any: its last name.
std::string ProductOf(const std::vector<JournalEntry>& block)
{
    std::string product;
    for (const JournalEntry& entry : block) {
        if (entry.kind == "name")
            product = entry.fields[0];
    }
    return product;
}

// The record's blocks, each once, whole and in order; lines outside blocks
// (written before blocks came) make blocks of their own where they stand. take(id, entries) for each.
template <typename Take>
bool ReadBlocks(FILE* file, Take take)
{
    // A block counts once its end line is read, and once: a commit that a
    // kill interrupted is appended again by the next start.
    std::vector<JournalEntry> block, loose;
    std::string blockId;
    bool inBlock = false;
    std::vector<std::string> taken;
    const bool read = ReadEntries(file, [&](const JournalEntry& entry) {
        if (entry.kind == "run") {
            if (!loose.empty())
                take(std::string(), loose);
            loose.clear();
            inBlock = true;
            blockId = entry.fields[0];
            block.clear();
        } else if (entry.kind == "commit") {
            if (inBlock && entry.fields[0] == blockId &&
                std::find(taken.begin(), taken.end(), blockId) == taken.end()) {
                take(blockId, block);
                taken.push_back(blockId);
            }
            inBlock = false;
            block.clear();
        } else if (inBlock) {
            block.push_back(entry);
        } else {
            loose.push_back(entry);
        }
    });
    if (!loose.empty())
        take(std::string(), loose);
    return read;
}

}  // namespace

bool ReadInstallRecord(FILE* file, InstallRecord& record, const std::string& product,
                       std::vector<std::string>* products)
{
    record = InstallRecord{};
    return ReadBlocks(file, [&](const std::string&, const std::vector<JournalEntry>& block) {
        const std::string owner = ProductOf(block);
        if (product.empty() || owner.empty() || EqualsFoldingAZ(owner, product)) {
            for (const JournalEntry& entry : block)
                TakeEntry(record, entry);
        } else if (products && std::none_of(products->begin(), products->end(), [&](const std::string& known) {
                       return EqualsFoldingAZ(known, owner);
                   })) {
            products->push_back(owner);
        }
    });
}

std::vector<JournalEntry> EntriesToUndo(const InstallRecord& record)
{
    std::vector<JournalEntry> entries;
    for (const RecordedIniKey& key : record.iniKeys) {
        entries.push_back({"ini", {key.file, key.section, key.key, key.hadSection ? "1" : "0",
                                   key.hadValue ? "1" : "0", key.value}});
        if (key.wasWritten)
            entries.push_back({"ini-written", {key.file, key.section, key.key, key.written}});
    }
    for (const std::string& folder : record.menuFolders)
        entries.push_back({"menufolder", {folder}});
    for (const std::string& folder : record.folders)
        entries.push_back({"folder", {folder}});
    for (const RecordedFile& file : record.files) {
        if (file.existedBefore && !file.asides.empty())
            entries.push_back({"aside", {file.path, file.asides.front()}});
        else
            entries.push_back({"file", {file.path}});
        if (file.stamped)
            entries.push_back({"written", {std::to_string(file.size), std::to_string(file.time), file.path}});
    }
    return entries;
}

bool RemoveProductFromRecord(const char* path, const std::string& product)
{
    std::string kept;
    int unnamed = 0;
    {
        ScopedFile file(OpenTextRead(path));
        if (!file || !ReadBlocks(file.get(), [&](const std::string& id, const std::vector<JournalEntry>& block) {
                if (EqualsFoldingAZ(ProductOf(block), product))
                    return;
                // Lines from before blocks came become blocks of their own.
                const std::string name = id.empty() ? "earlier runs " + std::to_string(++unnamed) : id;
                kept += "run\t" + name + "\n";
                for (const JournalEntry& entry : block)
                    kept += LineOf(entry) + "\n";
                kept += "commit\t" + name + "\n";
            }))
            return false;
    }
    const std::string temporary = std::string(path) + ".new";
    ScopedFile out(OpenFile(temporary.c_str(), "wb"));
    if (!out || !WriteText(out.get(), kept) || !FlushAndClose(out.release()) ||
        !ReplaceFileAtomically(temporary.c_str(), path)) {
        RemovePath(temporary.c_str());
        return false;
    }
    return true;
}

namespace {

// Whether path lies below folder: no step back up, no other drive or stream
// on the way.
bool IsBelow(const std::string& path, const std::string& folder)
{
    if (folder.empty() || path.size() <= folder.size() + 1 ||
        !EqualsFoldingAZ(std::string_view(path).substr(0, folder.size()), folder) ||
        (path[folder.size()] != '\\' && folder.back() != '\\'))
        return false;
    std::string_view rest = std::string_view(path).substr(folder.size());
    if (rest.find_first_of(":/") != std::string_view::npos)
        return false;
    for (size_t start = 0; start <= rest.size();) {
        const size_t end = std::min(rest.find('\\', start), rest.size());
        const std::string_view part = rest.substr(start, end - start);
        if (part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

template <typename Item, typename Allowed, typename Name>
void Keep(std::vector<Item>& items, const char* what, Allowed allowed, Name name)
{
    for (auto item = items.begin(); item != items.end();) {
        if (allowed(*item)) {
            ++item;
            continue;
        }
        LogLine("Record: %s %s ignored (no installation makes it)", what, name(*item).c_str());
        item = items.erase(item);
    }
}

}  // namespace

void KeepWithinScope(InstallRecord& record, const RecordScope& scope)
{
    if (!EqualsFoldingAZ(record.installDir, scope.installDir) && !record.installDir.empty())
        LogLine("Record: install folder %s ignored, %s is used", record.installDir.c_str(), scope.installDir.c_str());
    record.installDir = scope.installDir;
    auto ours = [&](const std::string& path) {
        return IsBelow(path, scope.installDir) || IsBelow(path, scope.programMenu);
    };
    auto same = [](const std::string& path) { return path; };
    Keep(record.files, "file", [&](const RecordedFile& file) {
        return ours(file.path) && std::all_of(file.asides.begin(), file.asides.end(), ours);
    }, [](const RecordedFile& file) { return file.path; });
    Keep(record.folders, "folder", [&](const std::string& path) {
        return EqualsFoldingAZ(path, scope.installDir) || IsBelow(path, scope.installDir);
    }, same);
    Keep(record.shortcuts, "shortcut", [&](const std::string& path) { return IsBelow(path, scope.programMenu); },
         same);
    Keep(record.menuFolders, "program-menu folder",
         [&](const std::string& path) { return IsBelow(path, scope.programMenu); }, same);
    Keep(record.iniKeys, "initialisation key", [&](const RecordedIniKey& key) {
        return EqualsFoldingAZ(key.file, scope.iniFile) && EqualsFoldingAZ(key.section, scope.iniSection) &&
               EqualsFoldingAZ(key.key, scope.iniKey);
    }, [](const RecordedIniKey& key) { return key.file + " [" + key.section + "] " + key.key; });
    // An entry key, or a key above one of them.
    Keep(record.registryKeys, "registry key", [&](const std::string& path) {
        return std::any_of(scope.entryKeys.begin(), scope.entryKeys.end(), [&](const std::string& entry) {
            return EqualsFoldingAZ(path, entry) ||
                   (entry.size() > path.size() && entry[path.size()] == '\\' &&
                    EqualsFoldingAZ(std::string_view(entry).substr(0, path.size()), path));
        });
    }, same);
}

bool ReadRunJournal(FILE* file, RunJournal& journal)
{
    journal = RunJournal{};
    bool started = false;
    const bool read = ReadEntries(file, [&](const JournalEntry& entry) {
        if (entry.kind == "run" && !started) {
            started = true;
            journal.id = entry.fields[0];
        } else if (!started || journal.committed) {
            return;
        } else if (entry.kind == "record") {
            journal.recordPath = entry.fields[0];
        } else if (entry.kind == "commit") {
            journal.committed = entry.fields[0] == journal.id;
        } else {
            journal.entries.push_back(entry);
        }
    });
    return read && started;
}

bool AppendRunToRecord(const RunJournal& journal)
{
    if (journal.recordPath.empty())
        return true;
    bool endsWithLine = true;
    if (ScopedFile earlier(OpenTextRead(journal.recordPath.c_str())); earlier) {
        std::string line;
        // The block is there already when its end line is.
        while (ReadEntryLine(earlier.get(), line)) {
            if (line == "commit\t" + journal.id)
                return true;
        }
        endsWithLine = std::fseek(earlier.get(), -1, SEEK_END) != 0 || std::fgetc(earlier.get()) == '\n';
    }
    ScopedFile record(OpenFile(journal.recordPath.c_str(), "ab"));
    if (!record)
        return false;
    // A kill may have left half an entry: it is marked so, and the block
    // starts on a line of its own.
    if (!endsWithLine && !WriteToFile(record.get(), kBrokenEnd, sizeof kBrokenEnd))
        return false;
    std::string block = "run\t" + journal.id + "\n";
    for (const JournalEntry& entry : journal.entries) {
        // The catalogue's copy from before the run goes with the run.
        if (entry.kind != "catalogue-before")
            block += LineOf(entry) + "\n";
    }
    block += "commit\t" + journal.id + "\n";
    return WriteText(record.get(), block) && FlushAndClose(record.release());
}

bool OpenRunJournal(const char* journalPath, const char* runId)
{
    CloseRunJournal();
    current = InstallRecord{};
    run = RunJournal{};
    journalFile.reset(OpenFile(journalPath, "wb"));
    if (!journalFile)
        return false;
    run.id = runId;
    if (!AppendLine(journalFile.get(), std::string("run\t") + runId, true)) {
        CloseRunJournal();
        return false;
    }
    return true;
}

bool KeepRunInRecord(const char* recordPath)
{
    if (!journalFile)
        return false;
    InstallRecord record;
    if (ScopedFile earlier(OpenTextRead(recordPath)); earlier)
        ReadInstallRecord(earlier.get(), record);
    // What this run did so far stays in the summary.
    for (const JournalEntry& entry : run.entries)
        TakeEntry(record, entry);
    current = std::move(record);
    if (!AppendLine(journalFile.get(), std::string("record\t") + recordPath, true)) {
        journalFile.reset();
        return false;
    }
    run.recordPath = recordPath;
    return true;
}

bool RunJournalIsOpen()
{
    return static_cast<bool>(journalFile);
}

const InstallRecord& CurrentInstallRecord()
{
    return current;
}

const RunJournal& CurrentRunJournal()
{
    return run;
}

bool CommitRunJournal()
{
    if (!journalFile || !AppendLine(journalFile.get(), "commit\t" + run.id, true))
        return false;
    run.committed = true;
    journalFile.reset();
    return AppendRunToRecord(run);
}

void CloseRunJournal()
{
    journalFile.reset();
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
    // Whoever left a file there gets it back if the run is undone.
    RecordFileToReplace(path);
}

bool RecordFileToReplace(const char* path)
{
    uint64_t size = 0, time = 0;
    if (!journalFile || !FileStamp(path, size, time)) {
        Append({"file", path});
        return true;
    }
    // A file that cannot be written (read-only, or in use) is not put
    // aside either: the write fails on it as it always did, and nothing of
    // it needs undoing.
    if (ScopedFile writable(OpenFile(path, "r+b")); !writable)
        return true;
    std::string aside;
    if (!AsideName(path, aside))
        return false;
    Append({"aside", path, aside});
    if (!journalFile)
        return false;  // no entry, no change
    if (!MoveToNewName(path, aside.c_str())) {
        Append({"unwritten", path}, false);
        return false;
    }
    return true;
}

void RecordFileWritten(const char* path)
{
    uint64_t size = 0, time = 0;
    if (!journalFile || !FileStamp(path, size, time))
        return;
    Append({"written", std::to_string(size), std::to_string(time), path}, false);
}

void RecordFileNotWritten(const char* path)
{
    std::string aside;
    if (!PendingWrite(path, aside))
        return;
    // The earlier bytes go back at once: the run goes on without the copy.
    if (!aside.empty()) {
        RemovePath(path);
        MoveToNewName(aside.c_str(), path);
    }
    Append({"unwritten", path}, false);
}

void RecordShortcut(const char* path)
{
    Append({"shortcut", path});
}

void RecordMenuFolder(const char* path)
{
    Append({"menufolder", path});
}

void RecordIniKey(const RecordedIniKey& key)
{
    Append({"ini", key.file, key.section, key.key, key.hadSection ? "1" : "0", key.hadValue ? "1" : "0",
            key.value});
}

void RecordIniWritten(const char* file, const char* section, const char* key, const char* value)
{
    Append({"ini-written", file, section, key, value}, false);
}

bool RecordCatalogueBefore(const char* path)
{
    if (!journalFile)
        return true;
    for (const JournalEntry& entry : run.entries) {
        if (entry.kind == "catalogue-before" && EqualsFoldingAZ(entry.fields[0], path))
            return true;  // the state before the run is kept already
    }
    uint64_t size = 0, time = 0;
    std::string aside;
    if (FileStamp(path, size, time)) {
        // A copy, not a rename: the catalogue is read and rewritten in place.
        if (!AsideName(path, aside) || !CopyWholeFile(path, aside.c_str()))
            return false;
    }
    Append({"catalogue-before", path, aside});
    return static_cast<bool>(journalFile);
}

void RecordCatalogueMade()
{
    Append({"catalogue-made"});
}

void RecordCatalogueLine(const char* line)
{
    Append({"catalogue-line", line}, false);
}

void RecordReplacedCatalogueLine(const char* line)
{
    for (const std::string& ours : current.catalogueLines) {
        if (EqualsFoldingAZ(ours, line))
            return;
    }
    Append({"catalogue-replaced", line}, false);
}

void RecordRegistryKey(const char* path)
{
    Append({"registry", path});
}

void RecordProgramEntry(const char* path)
{
    Append({"entry", path});
}

void RecordRegistryValue(const char* keyPath, const char* name, bool had, uint32_t type, const std::string& data)
{
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : data) {
        hex += kHex[c >> 4];
        hex += kHex[c & 15];
    }
    Append({"regvalue", keyPath, name, had ? "1" : "0", std::to_string(type), hex});
}
