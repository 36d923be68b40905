// Text and file helpers shared by every subsystem: bounded copies, the C
// runtime's text-mode line rule done the same way on every platform, checked
// writes and the atomic replacement of a file. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

// c with the letters A-Z taken as a-z; every other byte, accented letters
// included, stays as it is. Keywords, section headers and language names
// compare this way.
constexpr char FoldAZ(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when a and b are equal with A-Z folded.
bool EqualsFoldingAZ(std::string_view a, std::string_view b);

// Copies src into dst (dstSize bytes), always terminated. Returns false when
// src had to be cut.
bool CopyText(char* dst, size_t dstSize, const char* src);

// Appends src to the text in dst. Returns false when it had to be cut.
bool AppendText(char* dst, size_t dstSize, const char* src);

// Joins the texts of the list into dst; false (dst emptied) when they do not
// fit, so a cut path is never used.
bool JoinText(char* dst, size_t dstSize, std::initializer_list<const char*> parts);

// The path of name in dir, with one backslash between them.
std::string PathInDir(const std::string& dir, const char* name);

// Opens a text file for reading or writing. Files are opened in binary and
// translated by the functions below, so the behaviour does not depend on the
// C runtime.
FILE* OpenTextRead(const char* path);
FILE* OpenTextWrite(const char* path);

// fgets in text mode: reads at most bufSize - 1 bytes, counted after CR LF
// has become LF (a lone CR stays), up to and including a line feed, and
// terminates buf. Returns false at end of file with nothing read or on a read
// error (ferror tells which).
bool ReadTextLine(FILE* file, char* buf, size_t bufSize);

// Reads one whole line however long, line feed included when there is one.
// False at end of file with nothing read or on a read error.
bool ReadWholeTextLine(FILE* file, std::string& line);

// Writes text turning LF into CR LF. False on any write error.
bool WriteText(FILE* file, const char* text);
bool WriteText(FILE* file, const std::string& text);

// Flushes the C buffers and the operating system's to disk, then closes.
// False when any of it failed; the file is closed in every case.
bool FlushAndClose(FILE* file);

// Replaces target by source in one step: afterwards target has either its
// old content or source's whole content. False when nothing was replaced
// (source then stays).
bool ReplaceFileAtomically(const char* source, const char* target);

// Gives source the name target when nothing has that name yet: afterwards
// target is either absent or source's whole content. False when target
// exists or the move failed (source then stays).
bool MoveToNewName(const char* source, const char* target);

// --- Platform part (text_file_posix.cpp, text_file_win.cpp) -------------
// Every write, flush, sync, close and replacement of a file the program
// writes goes through these, so the native tests can link a version that
// fails any one of them.

// fopen and remove for a path in UTF-8, whatever the system's code page.
FILE* OpenFile(const char* path, const char* mode);
bool RemovePath(const char* path);

// Writes all size bytes; false on any error.
bool WriteToFile(FILE* file, const void* data, size_t size);

// Empties the C buffers into the system; false when that or an earlier
// write failed.
bool FlushFile(FILE* file);

// Makes the data of a written file durable (fsync).
bool SyncFileToDisk(FILE* file);

// Closes a written file; false when the close failed. The file is closed in
// every case.
bool CloseFile(FILE* file);

// The size and last write time of a file, to tell later whether it changed.
// False when the file cannot be looked at.
bool FileStamp(const char* path, uint64_t& size, uint64_t& time);

// True when both paths name one file, by the system's identity of files
// (another case, a short name, a relative path, a link); false when either
// cannot be looked at.
bool IsSameFile(const char* a, const char* b);

// The field rule of catalogue lines, in dict.ini and langue.cf alike.
// A field is a maximal run of characters other than the comma: leading commas
// and runs of commas are one separator, so no field is ever empty. A line end
// left on the line belongs to its last field.

struct FieldSpan {
    size_t start;   // offset of the field's first character in the line
    size_t length;  // at least 1
};

// Finds at most maxFields fields of line (fields beyond are not looked for)
// and returns how many it found.
size_t SplitFields(std::string_view line, FieldSpan* fields, size_t maxFields);
