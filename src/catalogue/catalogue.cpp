#include "catalogue/catalogue.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

#include "shell/collation.h"
#include "shell/fatal_error.h"
#include "shell/run_log.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"

namespace {


const char kHeaderComment[] = "# --- dict.ini --------------------------------------------------\n";
const char kEndComment[] = "# --- EOF --------------------------------------------------------\n";
const std::string_view kEndCommentText(kEndComment, sizeof kEndComment - 2);
const std::string_view kLangueHeader = "[langue]";

// The number of language lines of the last count; lives for the process.
int32_t entryCount = 0;

bool StartsWithLangue(std::string_view line)
{
    return EqualsFoldingAZ(line.substr(0, kLangueHeader.size()), kLangueHeader);
}

bool HasLineEnd(std::string_view line)
{
    return !line.empty() && line.back() == '\n';
}

std::string_view WithoutLineEnd(std::string_view line)
{
    if (HasLineEnd(line))
        line.remove_suffix(1);
    return line;
}

// WriteText stops at a NUL; a catalogue someone else wrote may hold one, and
// it must come through the rewrite like every other byte.
bool WriteBytes(FILE* file, std::string_view text)
{
    size_t start = 0;
    for (;;) {
        size_t nul = text.find('\0', start);
        std::string piece(text.substr(start, nul == std::string_view::npos ? nul : nul - start));
        if (!WriteText(file, piece))
            return false;
        if (nul == std::string_view::npos)
            return true;
        if (!WriteToFile(file, "", 1))
            return false;
        start = nul + 1;
    }
}

// tmp.ini while it is being written: every failed write, the flush and the
// close end the run, so dict.ini is never replaced by a partial copy.
class TempFile {
public:
    TempFile() : file_(OpenTextWrite(kTempFile))
    {
        if (!file_)
            FatalError("Can't open TMP.INI");
    }

    void Write(std::string_view text)
    {
        if (!WriteBytes(file_.get(), text))
            FatalError("Write error TMP.INI");
    }

    void WriteLine(std::string_view line)
    {
        Write(line);
        if (!HasLineEnd(line))
            Write("\n");
    }

    // Flushes tmp.ini to disk and closes it.
    void Finish()
    {
        if (!FlushAndClose(file_.release()))
            FatalError("Write error TMP.INI");
    }

private:
    ScopedFile file_;
};

// Its owner closes what a fatal error in a test leaves open; in the program
// the process simply ends.
ScopedFile OpenCatalogueOrEnd()
{
    ScopedFile catalogue(OpenTextRead(kCatalogueFile));
    if (!catalogue)
        FatalError("Can't open DICT.INI");
    return catalogue;
}

// Ends a rewrite: tmp.ini, complete and on disk, takes the place of dict.ini
// in one step. A read error means tmp.ini is incomplete: dict.ini stays.
int ReplaceCatalogue(ScopedFile& catalogue, TempFile& temp)
{
    bool readFailed = std::ferror(catalogue.get()) != 0;
    catalogue.reset();
    temp.Finish();
    if (readFailed)
        return -1;
    return ReplaceFileAtomically(kTempFile, kCatalogueFile) ? 0 : -1;
}

// A line belongs to the language when its fourth field less that field's
// last character (normally the line end) is the name, or, for a line of one
// to three fields, when its first field is.
bool BelongsToLanguage(std::string_view line, std::string_view languageName)
{
    FieldSpan fields[4];
    size_t count = SplitFields(line, fields, 4);
    if (count == 0)
        return false;
    if (count == 4)
        return EqualsFoldingAZ(line.substr(fields[3].start, fields[3].length - 1), languageName);
    return EqualsFoldingAZ(line.substr(fields[0].start, fields[0].length), languageName);
}

// The lines of a catalogue: those of the open file, or lines already read
// and filtered.
class LineSource {
public:
    explicit LineSource(FILE* file) : file_(file) {}
    explicit LineSource(const std::vector<std::string>& lines) : lines_(&lines) {}

    bool Next(std::string& line)
    {
        if (file_)
            return ReadWholeTextLine(file_, line);
        if (next_ >= lines_->size())
            return false;
        line = (*lines_)[next_++];
        return true;
    }

private:
    FILE* file_ = nullptr;
    const std::vector<std::string>* lines_ = nullptr;
    size_t next_ = 0;
};

// The section copy of AddLanguageEntry, entered after a line beginning with
// "[langue]". Copies the section's lines and writes the new line after the
// last of them, in place of the empty line that closes the section. True
// when the section ran to the end of the file.
bool CopySectionAndAdd(LineSource& catalogue, TempFile& temp, const std::string& newLine,
                       bool lastLineEnded)
{
    std::string line;
    for (;;) {
        if (!catalogue.Next(line)) {
            // The new line must not be glued onto an unended last line.
            if (!lastLineEnded)
                temp.Write("\n");
            temp.Write(newLine + "\n\n");
            return true;
        }
        if (line == "\n") {
            temp.Write(newLine + "\n\n");
            return false;
        }
        temp.Write(line);
        lastLineEnded = HasLineEnd(line);
    }
}

// The section scan shared by the count and the sort. The section opens after
// a line that is exactly "[langue]" and closes at an empty or comment line.
struct SectionScan {
    bool open = false;
};

// True when the line (line end allowed) is a language line.
bool ScanLine(SectionScan& scan, std::string_view line)
{
    line = WithoutLineEnd(line);
    if (line.empty() || line[0] == '#') {
        scan.open = false;
        return false;
    }
    bool isLanguageLine = scan.open;
    if (EqualsFoldingAZ(line, kLangueHeader))
        scan.open = true;
    return isLanguageLine;
}

LanguageSlot MakeSlot(std::string_view line)
{
    LanguageSlot slot;
    slot.text = std::string(WithoutLineEnd(line));
    FieldSpan fields[4];
    size_t count = SplitFields(slot.text, fields, 4);
    if (count == 4)
        slot.key = slot.text.substr(fields[3].start, fields[3].length);
    else if (count > 0)
        slot.key = slot.text.substr(fields[0].start, fields[0].length);
    return slot;
}

// The copy loop of AddLanguageEntry: every line, and the new line at the end
// of every section that starts with a line beginning with "[langue]".
void CopyAndAdd(LineSource& catalogue, TempFile& temp, const std::string& newLine)
{
    std::string line;
    while (catalogue.Next(line)) {
        temp.Write(line);
        if (StartsWithLangue(line) && CopySectionAndAdd(catalogue, temp, newLine, HasLineEnd(line)))
            break;
    }
}

bool IsEmptyLine(const std::string& line)
{
    return WithoutLineEnd(line).empty();
}

// Writes what follows the sorted lines. In a catalogue of the usual shape
// the rest is only empty lines and the end comment, and what is written is
// one empty line and the end comment. Anything else that stood after the
// [langue] line, but for later [langue] headers, is kept, in its order,
// between the two.
void WriteSectionEnd(TempFile& temp, const std::vector<std::string>& rest)
{
    size_t first = 0;
    size_t last = rest.size();
    while (first < last && IsEmptyLine(rest[first]))
        ++first;
    while (last > first && IsEmptyLine(rest[last - 1]))
        --last;
    if (last > first && WithoutLineEnd(rest[last - 1]) == kEndCommentText) {
        --last;
        while (last > first && IsEmptyLine(rest[last - 1]))
            --last;
    }

    temp.Write("\n");
    for (size_t i = first; i < last; ++i)
        temp.WriteLine(rest[i]);
    if (last > first)
        temp.Write("\n");
    temp.Write(kEndComment);
}

// The language lines of dict.ini with their line ends; none when it
// cannot be read.
std::vector<std::string> LanguageLines()
{
    std::vector<std::string> lines;
    ScopedFile catalogue(OpenTextRead(kCatalogueFile));
    if (!catalogue)
        return lines;
    SectionScan scan;
    std::string line;
    while (ReadWholeTextLine(catalogue.get(), line)) {
        if (ScanLine(scan, line))
            lines.push_back(line);
    }
    return lines;
}

}  // namespace

void CreateCatalogue(const char* fromListName)
{
    // An existing catalogue is left alone. Either way the status lines move
    // one row down.
    if (ScopedFile existing{OpenTextRead(kCatalogueFile)}) {
        if (setup.verbose != 0)
            setup.statusY += 25;
        return;
    }
    if (setup.verbose != 0)
        setup.statusY += 25;

    // The template is written to tmp.ini and takes the name dict.ini only
    // when it is whole: a run killed meanwhile leaves no half catalogue that
    // the next run would keep as an existing one.
    ScopedFile catalogue(OpenTextWrite(kTempFile));
    if (!catalogue)
        FatalError("Can't create DICT.INI");

    const char* const pieces[] = {
        kHeaderComment, "\n", "[ajouter]\n", "on\n\n", "[selectionn\xE9]\n",
        fromListName,   "\n\n", "[langue]\n\n\n", kEndComment,
    };
    bool written = true;
    for (const char* piece : pieces)
        written = written && WriteText(catalogue.get(), piece);
    // Closed before the move, which needs the whole file on disk.
    written = FlushAndClose(catalogue.release()) && written;
    if (!written || !MoveToNewName(kTempFile, kCatalogueFile)) {
        RemovePath(kTempFile);
        FatalError("Can't create DICT.INI");
    }
    LogLine("Catalogue dict.ini created from its template");
}

std::string LanguageLine(const char* field1, const char* field2, const char* field3,
                         const char* languageName)
{
    return std::string(field1) + "," + field2 + "," + field3 + "," + languageName;
}

int RemoveLanguageEntries(const char* languageName)
{
    ScopedFile catalogue = OpenCatalogueOrEnd();
    TempFile temp;

    // Every line, in any section, line end still on it.
    std::string line;
    while (ReadWholeTextLine(catalogue.get(), line)) {
        if (!BelongsToLanguage(line, languageName))
            temp.Write(line);
    }
    return ReplaceCatalogue(catalogue, temp);
}

int AddLanguageEntry(const char* field1, const char* field2, const char* field3,
                     const char* languageName)
{
    return AddLanguageLine(LanguageLine(field1, field2, field3, languageName));
}

int AddLanguageLine(const std::string& line)
{
    ScopedFile catalogue = OpenCatalogueOrEnd();
    TempFile temp;
    LineSource lines(catalogue.get());
    CopyAndAdd(lines, temp, line);
    return ReplaceCatalogue(catalogue, temp);
}

int ReplaceLanguageEntry(const char* field1, const char* field2, const char* field3,
                         const char* languageName)
{
    ScopedFile catalogue = OpenCatalogueOrEnd();
    TempFile temp;

    // The lines that RemoveLanguageEntries keeps, then AddLanguageEntry's
    // copy over them, in one rewrite.
    std::vector<std::string> kept;
    std::string line;
    while (ReadWholeTextLine(catalogue.get(), line)) {
        if (!BelongsToLanguage(line, languageName))
            kept.push_back(line);
    }
    LineSource lines(kept);
    CopyAndAdd(lines, temp, LanguageLine(field1, field2, field3, languageName));

    return ReplaceCatalogue(catalogue, temp);
}

int32_t CountLanguageEntries()
{
    ScopedFile catalogue(OpenTextRead(kCatalogueFile));
    if (!catalogue)
        return -1;

    // The count is that of this file, whatever an earlier call found.
    entryCount = 0;
    SectionScan scan;
    std::string line;
    while (ReadWholeTextLine(catalogue.get(), line)) {
        if (ScanLine(scan, line))
            ++entryCount;
    }

    if (std::ferror(catalogue.get()))
        return -1;
    return entryCount;
}

std::vector<std::string> LanguageLinesOf(const char* languageName)
{
    std::vector<std::string> found;
    for (const std::string& line : LanguageLines()) {
        if (BelongsToLanguage(line, languageName))
            found.emplace_back(WithoutLineEnd(line));
    }
    return found;
}

bool HoldsLanguageLine(std::string_view text)
{
    const std::vector<std::string> lines = LanguageLines();
    return std::any_of(lines.begin(), lines.end(),
                       [text](const std::string& line) { return WithoutLineEnd(line) == text; });
}

int SortLanguageSection(int32_t count)
{
    // Read: the language lines into slots, in file order.
    ScopedFile catalogue(OpenTextRead(kCatalogueFile));
    if (!catalogue)
        return -1;
    std::vector<LanguageSlot> slots;
    std::vector<const LanguageSlot*> order;
    try {
        // All slots at once; a file that grew since the count still loses
        // no line.
        slots.reserve(count > 0 ? static_cast<size_t>(count) : 0);
        SectionScan scan;
        std::string line;
        while (ReadWholeTextLine(catalogue.get(), line)) {
            if (ScanLine(scan, line))
                slots.push_back(MakeSlot(line));
        }

        if (std::ferror(catalogue.get()))
            return -1;
        catalogue.reset();
        order.reserve(slots.size());
        for (const LanguageSlot& slot : slots)
            order.push_back(&slot);
    } catch (const std::bad_alloc&) {
        return -1;
    }

    // Sort: a merge sort stays in bounds even when the system cannot compare
    // two keys and the order is not consistent.
    std::stable_sort(order.begin(), order.end(), [](const LanguageSlot* a, const LanguageSlot* b) {
        return CompareLanguageSlots(a, b) < 0;
    });

    // Rewrite: up to and including the first line beginning with "[langue]"
    // the file is copied; then come the sorted lines and the section's end.
    catalogue.reset(OpenTextRead(kCatalogueFile));
    if (!catalogue)
        return -1;
    TempFile temp;
    SectionScan scan;
    bool placed = false;
    std::vector<std::string> rest;
    std::string line;
    while (ReadWholeTextLine(catalogue.get(), line)) {
        bool isLanguageLine = ScanLine(scan, line);
        if (!placed) {
            placed = StartsWithLangue(line);
            if (placed)
                temp.WriteLine(line);
            else
                temp.Write(line);
        } else if (!isLanguageLine && !StartsWithLangue(line)) {
            // A later [langue] header would start a section of its own, and
            // every later installation would add its language there too.
            rest.push_back(line);
        }
    }
    if (placed) {
        for (const LanguageSlot* slot : order)
            temp.Write(slot->text + "\n");
        WriteSectionEnd(temp, rest);
    }
    return ReplaceCatalogue(catalogue, temp);
}

int CompareLanguageSlots(const LanguageSlot* a, const LanguageSlot* b)
{
    return CompareCollated(a->key.c_str(), b->key.c_str());
}
