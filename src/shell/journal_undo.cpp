#include "shell/journal_undo.h"

#include <map>
#include <set>

#include "shell/run_log.h"
#include "shell/text_file.h"

namespace {

// Paths compare with A-Z folded, as the system compares them.
std::string Folded(const std::string& path)
{
    std::string folded = path;
    for (char& c : folded)
        c = FoldAZ(c);
    return folded;
}

struct Written {
    uint64_t size = 0, time = 0;
};

class Undoer {
public:
    Undoer(UndoSystem& system, const UndoRules& rules) : system_(system), rules_(rules) {}

    void Undo(const JournalEntry& entry)
    {
        const std::string& kind = entry.kind;
        const std::vector<std::string>& f = entry.fields;
        if (kind == "written") {
            uint64_t size = 0, time = 0;
            if (ParseRecordNumber(f[0], size) && ParseRecordNumber(f[1], time))
                written_[Folded(f[2])] = Written{size, time};
        } else if (kind == "unwritten") {
            unwritten_.insert(Folded(f[0]));
        } else if (kind == "file" || kind == "aside") {
            TakeBackFile(f[0], kind == "aside" ? f[1] : std::string());
        } else if (kind == "folder" || kind == "menufolder") {
            // One that still holds anything is not the run's to remove.
            if (system_.Exists(f[0])) {
                const bool removed = system_.RemoveFolder(f[0]);
                LogLine("Folder %s: %s", f[0].c_str(), removed ? "removed" : "kept (not empty)");
                ++(removed ? count_.undone : count_.kept);
            }
        } else if (kind == "ini-written") {
            iniWritten_[Folded(f[0] + '\t' + f[1] + '\t' + f[2])] = f[3];
        } else if (kind == "ini") {
            RestoreIni(RecordedIniKey{f[0], f[1], f[2], f[3] == "1", f[4] == "1", f[5], {}, false});
        } else if (kind == "catalogue-before") {
            RestoreCatalogue(f[0], f[1]);
        } else if (kind == "registry") {
            if (system_.RemoveRegistryKey(f[0])) {
                LogLine("Registry HKCU\\%s: removed", f[0].c_str());
                ++count_.undone;
            }
        } else if (kind == "regvalue") {
            std::string data;
            uint64_t type = 0;
            if (ParseRecordNumber(f[3], type) && FromHex(f[4], data))
                Note(system_.RestoreRegistryValue(f[0], f[1], f[2] == "1", static_cast<uint32_t>(type), data),
                     "Registry value %s: %s", f[0] + "\\" + f[1], "put back", "kept (cannot be written now)");
        }
    }

    UndoCount Count() const { return count_; }

private:
    static bool FromHex(const std::string& hex, std::string& data)
    {
        auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1; };
        if (hex.size() % 2 != 0)
            return false;
        for (size_t i = 0; i < hex.size(); i += 2) {
            const int high = digit(hex[i]), low = digit(hex[i + 1]);
            if (high < 0 || low < 0)
                return false;
            data += static_cast<char>(high * 16 + low);
        }
        return true;
    }

    // A step not done now is left for a later run.
    void Note(bool done, const char* format, const std::string& what, const char* yes, const char* no)
    {
        LogLine(format, what.c_str(), done ? yes : no);
        ++(done ? count_.undone : count_.kept);
        if (!done)
            ++count_.left;
    }

    void Kept(const std::string& path, const char* why)
    {
        LogLine("File %s: kept (%s)", path.c_str(), why);
        ++count_.kept;
    }

    // The file goes while it is what the run wrote; then its earlier bytes
    // come back.
    void TakeBackFile(const std::string& path, const std::string& aside)
    {
        const std::string key = Folded(path);
        const bool failed = unwritten_.erase(key) > 0;
        const auto stamp = written_.find(key);
        const bool stamped = stamp != written_.end();
        const Written wrote = stamped ? stamp->second : Written{};
        if (stamped)
            written_.erase(stamp);
        if (!aside.empty() && !system_.Exists(aside))
            return;  // nothing was put aside, or it is back already
        if (aside.empty() && failed)
            return;  // the write left nothing
        uint64_t size = 0, time = 0;
        if (system_.Stamp(path, size, time)) {
            if (stamped && (size != wrote.size || time != wrote.time)) {
                if (!aside.empty())
                    system_.RemoveFile(aside);
                Kept(path, "changed since");
                return;
            }
            if (!stamped && !failed && rules_.keepUnstamped) {
                Kept(path, "not written by the installation");
                return;
            }
            if (!system_.RemoveFile(path)) {
                Kept(path, "cannot be removed now");
                ++count_.left;
                return;
            }
        } else if (system_.Exists(path)) {
            Kept(path, "a folder now");
            return;
        } else if (aside.empty()) {
            return;  // never made, or gone already
        }
        if (aside.empty())
            Note(true, "File %s: %s", path, "removed", "");
        else
            Note(system_.MoveToFreeName(aside, path), "File %s: %s", path, "put back", "kept aside (cannot be put back now)");
    }

    void RestoreIni(const RecordedIniKey& key)
    {
        const auto wrote = iniWritten_.find(Folded(key.file + '\t' + key.section + '\t' + key.key));
        std::string now;
        const bool has = system_.IniValue(key, now);
        const std::string what = key.file + " [" + key.section + "] " + key.key;
        if (has == key.hadValue && (!has || now == key.value)) {
            // Never changed, or put back already: a kill may have come
            // before the emptied section the run made went too.
            if (!key.hadSection)
                system_.RestoreIniKey(key);
            return;
        }
        if (wrote != iniWritten_.end() && (!has || now != wrote->second)) {
            LogLine("%s: kept (changed since)", what.c_str());
            ++count_.kept;
            return;
        }
        system_.RestoreIniKey(key);
        Note(true, "%s: %s", what, key.hadValue ? "put back" : "removed", "");
    }

    void RestoreCatalogue(const std::string& path, const std::string& aside)
    {
        if (aside.empty()) {
            if (system_.Exists(path))
                Note(system_.RemoveFile(path), "Catalogue %s: %s", path, "removed", "kept (cannot be removed)");
            return;
        }
        if (!system_.Exists(aside))
            return;
        if (system_.Exists(path) && !system_.RemoveFile(path)) {
            LogLine("Catalogue %s: kept (cannot be replaced)", path.c_str());
            ++count_.kept;
            return;
        }
        Note(system_.MoveToFreeName(aside, path), "Catalogue %s: %s", path, "put back", "kept aside");
    }

    UndoSystem& system_;
    const UndoRules& rules_;
    UndoCount count_;
    std::map<std::string, Written> written_;
    std::set<std::string> unwritten_;
    std::map<std::string, std::string> iniWritten_;
};

}  // namespace

UndoCount UndoEntries(const std::vector<JournalEntry>& entries, UndoSystem& system, const UndoRules& rules)
{
    Undoer undoer(system, rules);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
        undoer.Undo(*entry);
    return undoer.Count();
}

UndoCount UndoRecord(const InstallRecord& record, UndoSystem& system)
{
    for (const RecordedFile& file : record.files) {
        for (size_t i = file.existedBefore ? 1 : 0; i < file.asides.size(); ++i) {
            if (system.Exists(file.asides[i]))
                system.RemoveFile(file.asides[i]);
        }
    }
    UndoRules rules;
    rules.keepUnstamped = true;
    return UndoEntries(EntriesToUndo(record), system, rules);
}

void DropAsides(const RunJournal& journal, UndoSystem& system)
{
    for (const JournalEntry& entry : journal.entries) {
        const bool aside = entry.kind == "aside" && journal.recordPath.empty();
        const bool catalogue = entry.kind == "catalogue-before" && !entry.fields[1].empty();
        if ((aside || catalogue) && system.Exists(entry.fields[1]))
            system.RemoveFile(entry.fields[1]);
    }
}
