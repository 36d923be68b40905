#include "wordlist/reverse_list.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "shell/fatal_error.h"
#include "shell/message_box.h"
#include "shell/progress_display.h"
#include "shell/run_log.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "wordlist/key_order.h"
#include "wordlist/prefetch.h"
#include "wordlist/word_list.h"
#include "shell/windows1252.h"

namespace {

const char kDoneText[] = "Installation termin\xE9" "e   ";

// A million records go through these files; large buffers save most calls.
constexpr size_t kFileBufferSize = 1 << 18;

ScopedFile OpenList(const char* path, const char* mode)
{
    ScopedFile file(OpenFile(path, mode));
    if (file)
        std::setvbuf(file.get(), nullptr, _IOFBF, kFileBufferSize);
    return file;
}

// Flushes and closes; false when either failed.
bool CloseWritten(ScopedFile& file)
{
    bool ok = FlushFile(file.get());
    ok = CloseFile(file.release()) && ok;
    return ok;
}

// "langue\" and the name (Windows-1252, as langue.cf gives it) as a path,
// in a buffer that holds any name of a langue.cf line.
void ListPath(char (&path)[kPathSize], const char* name)
{
    JoinText(path, sizeof path, {kListFolder, Windows1252ToUtf8(name).c_str()});
}

// A list too large for the memory the process can have says so, rather
// than blaming the file.
std::unique_ptr<WordList> ReadWholeList(FILE* file, const char* readError)
{
    int32_t count = CountWordRecords(file);
    bool outOfMemory = false;
    std::unique_ptr<WordList> list = count < 0 ? nullptr : LoadWordList(file, count, &outOfMemory);
    if (!list)
        FatalError(outOfMemory ? kOutOfMemoryText : readError);
    return list;
}

// Every FROM value split at its commas; each token, less its leading spaces,
// becomes the key of a record whose value is the FROM key.
void InvertList(const WordList& from, FILE* temp)
{
    for (int32_t i = 0; i < from.Count(); ++i) {
        if (i % 100 == 0)
            DrawCounter(i);
        const WordRecord& record = from.Entry(static_cast<size_t>(i));
        const char* p = record.value;
        while (*p != '\0') {
            if (*p == ',') {
                ++p;
                continue;
            }
            size_t length = 0;
            while (p[length] != '\0' && p[length] != ',')
                ++length;
            char token[kValueFieldSize];
            std::memcpy(token, p, length);  // a value holds at most 50 characters
            token[length] = '\0';
            WriteWordRecord(temp, record.key, token);
            p += length;
        }
    }
}

// A record mostly spans two cache lines.
void PrefetchRecord(const WordRecord& record)
{
    Prefetch(&record);
    Prefetch(reinterpret_cast<const char*>(&record) + sizeof record - 1);
}

// One TO record per run of byte-equal keys, the values joined by ", " as far
// as they fit in 50 characters. Returns the number of records written.
size_t MergeAndWrite(const WordList& temp, FILE* to)
{
    size_t written = 0;
    const size_t count = temp.entries.size();
    // The records lie scattered in memory in this order: ask for them a
    // little ahead.
    constexpr size_t kAhead = 12;
    for (size_t k = 0; k < std::min(kAhead, count); ++k)
        PrefetchRecord(temp.Entry(k));
    size_t i = 0;
    while (i < count) {
        WordRecord& first = temp.Entry(i);
        size_t length = std::strlen(first.value);
        size_t next = i + 1;
        for (; next < count; ++next) {
            if (next + kAhead < count)
                PrefetchRecord(temp.Entry(next + kAhead));
            const WordRecord& member = temp.Entry(next);
            if (std::strcmp(member.key, first.key) != 0)
                break;
            size_t memberLength = std::strlen(member.value);
            if (length + 2 + memberLength > static_cast<size_t>(kMaxValueLength))
                continue;  // a shorter value further on may still fit
            AppendText(first.value, sizeof first.value, ", ");
            AppendText(first.value, sizeof first.value, member.value);
            length += 2 + memberLength;
        }
        if (!WriteToFile(to, &first, sizeof first))
            FatalError("Write error output file");
        ++written;
        size_t last = next - 1;
        if (last % 100 == 0)
            DrawCounter(static_cast<int32_t>(last));
        i = next;
    }
    return written;
}

// The display file's bytes as they are, or false when it cannot be read.
bool ReadDisplayFile(const char* path, std::vector<char>& text)
{
    ScopedFile file(OpenFile(path, "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return false;
    long size = std::ftell(file.get());
    if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return false;
    try {
        text.assign(static_cast<size_t>(size) + 1, '\0');
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::fread(text.data(), 1, static_cast<size_t>(size), file.get());
    return true;
}

void ShowClosingBox()
{
    std::vector<char> text;
    const char* shown = kDoneText;
    if (setup.displayFile[0] != '\0' && ReadDisplayFile(setup.displayFile, text))
        shown = text.data();
    ShowMessageBox(BoxOwner::MainWindow, shown, "Installation", BoxIcon::None);
}

}  // namespace

void BuildReverseList(const LanguageEntry& entry)
{
    char fromPath[kPathSize];
    char toPath[kPathSize];
    ListPath(fromPath, entry.fromListName);
    ListPath(toPath, entry.toListName);

    const auto started = std::chrono::steady_clock::now();
    BeginLanguageDisplay(entry.languageName);
    DrawProgressStep(0, "0%");

    // Read FROM: the whole list, in file order.
    StatusLine("Reading FROM wordlist", 30, 480);
    ScopedFile fromFile = OpenList(fromPath, "rb");
    if (!fromFile)
        FatalError("Input file missing");
    DrawProgressStep(64, "10%");
    PlaceCounterField();
    std::unique_ptr<WordList> from = ReadWholeList(fromFile.get(), "Read error input file");
    const int32_t recordsRead = from->Count();
    StatusDone();

    // Write TEMP: a record for every token of every FROM value.
    ScopedFile tempFile = OpenList(kTempListPath, "wb");
    if (!tempFile)
        FatalError("Can't create tempfile");
    DrawProgressStep(117, "25%");
    StatusLine("Writing TEMP wordlist", 30, 480);
    PlaceCounterField();
    InvertList(*from, tempFile.get());
    from.reset();
    fromFile.reset();
    // Records still in the buffer are part of the list.
    if (!CloseWritten(tempFile))
        FatalError("Write error tempfile");
    StatusDone();

    // Read and sort: TEMP back into memory, then in key order.
    tempFile = OpenList(kTempListPath, "rb");
    if (!tempFile)
        FatalError("Can't open tempfile");
    DrawProgressStep(205, "50%");
    StatusLine("Reading TO wordlist", 30, 480);
    PlaceCounterField();
    std::unique_ptr<WordList> temp = ReadWholeList(tempFile.get(), "Read error tempfile");
    const int32_t tokens = temp->Count();
    StatusDone();
    // Opened for appending, an earlier TO list keeps its content until the
    // new one replaces it; one that cannot be written stops the build here.
    ScopedFile toList(OpenFile(toPath, "ab"));
    if (!toList)
        FatalError("Can't create output file");
    toList.reset();
    ScopedFile toFile = OpenList(kTempToPath, "wb");
    if (!toFile)
        FatalError("Can't create output file");
    StatusLine("Sorting TO wordlist", 30, 400);
    PlaceCounterField();
    SortWordList(*temp);
    StatusDone();

    // Write TO: one record per key, written beside the list and moved into
    // its place only when whole.
    DrawProgressStep(292, "75%");
    StatusLine("Writing TO wordlist", 30, 480);
    PlaceCounterField();
    const size_t recordsWritten = MergeAndWrite(*temp, toFile.get());
    StatusDone();
    temp.reset();
    tempFile.reset();
    if (!FlushAndClose(toFile.release()) || !ReplaceFileAtomically(kTempToPath, toPath))
        FatalError("Write error output file");
    RemovePath(kTempListPath);

    DrawProgressStep(379, "100%");
    EndLanguageDisplay();
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - started;
    LogLine("Language %s: %s -> %s: %ld records read, %ld tokens, %lu records written "
            "(%lu merged), %.2f s",
            Windows1252ToUtf8(entry.languageName).c_str(), fromPath, toPath, static_cast<long>(recordsRead),
            static_cast<long>(tokens), static_cast<unsigned long>(recordsWritten),
            static_cast<unsigned long>(static_cast<size_t>(tokens) - recordsWritten),
            taken.count());
    ShowClosingBox();
}
