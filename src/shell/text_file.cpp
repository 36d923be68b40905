#include "shell/text_file.h"

#include <cstring>

bool EqualsFoldingAZ(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAZ(a[i]) != FoldAZ(b[i]))
            return false;
    }
    return true;
}

bool CopyText(char* dst, size_t dstSize, const char* src)
{
    if (dstSize == 0)
        return false;
    size_t len = std::strlen(src);
    bool fits = len < dstSize;
    size_t n = fits ? len : dstSize - 1;
    std::memmove(dst, src, n);
    dst[n] = '\0';
    return fits;
}

bool AppendText(char* dst, size_t dstSize, const char* src)
{
    size_t used = std::strlen(dst);
    if (used >= dstSize)
        return false;
    return CopyText(dst + used, dstSize - used, src);
}

bool JoinText(char* dst, size_t dstSize, std::initializer_list<const char*> parts)
{
    std::string joined;
    for (const char* part : parts)
        joined += part;
    if (joined.size() >= dstSize) {
        if (dstSize > 0)
            dst[0] = '\0';
        return false;
    }
    std::memcpy(dst, joined.c_str(), joined.size() + 1);
    return true;
}

std::string PathInDir(const std::string& dir, const char* name)
{
    return dir + (!dir.empty() && dir.back() == '\\' ? "" : "\\") + name;
}

FILE* OpenTextRead(const char* path)
{
    return OpenFile(path, "rb");
}

FILE* OpenTextWrite(const char* path)
{
    return OpenFile(path, "wb");
}

// The DOS end-of-file mark, with which files of that era often end.
constexpr int kEndOfFileMark = 0x1A;

// One character as text mode delivers it: CR LF becomes LF, and the file
// ends at its end-of-file mark (it stays the next character, so every later
// read ends there too).
static int GetTextChar(FILE* file)
{
    int c = std::getc(file);
    if (c == kEndOfFileMark) {
        std::ungetc(c, file);
        return EOF;
    }
    if (c == '\r') {
        int next = std::getc(file);
        if (next == '\n')
            return '\n';
        if (next != EOF)
            std::ungetc(next, file);
    }
    return c;
}

bool ReadTextLine(FILE* file, char* buf, size_t bufSize)
{
    if (bufSize < 2)
        return false;
    size_t n = 0;
    while (n < bufSize - 1) {
        int c = GetTextChar(file);
        if (c == EOF)
            break;
        buf[n++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    buf[n] = '\0';
    return n > 0 && !std::ferror(file);
}

bool ReadWholeTextLine(FILE* file, std::string& line)
{
    line.clear();
    for (;;) {
        int c = GetTextChar(file);
        if (c == EOF)
            break;
        line += static_cast<char>(c);
        if (c == '\n')
            break;
    }
    return !line.empty() && !std::ferror(file);
}

bool WriteText(FILE* file, const char* text)
{
    const char* start = text;
    for (const char* p = text;; ++p) {
        if (*p != '\n' && *p != '\0')
            continue;
        size_t len = static_cast<size_t>(p - start);
        if (len > 0 && !WriteToFile(file, start, len))
            return false;
        if (*p == '\0')
            return true;
        if (!WriteToFile(file, "\r\n", 2))
            return false;
        start = p + 1;
    }
}

bool WriteText(FILE* file, const std::string& text)
{
    // Texts may hold no NUL; the catalogue's lines never do.
    return WriteText(file, text.c_str());
}

bool FlushAndClose(FILE* file)
{
    bool ok = FlushFile(file);
    ok = ok && SyncFileToDisk(file);
    ok = CloseFile(file) && ok;
    return ok;
}

size_t SplitFields(std::string_view line, FieldSpan* fields, size_t maxFields)
{
    size_t count = 0;
    size_t pos = 0;
    while (count < maxFields) {
        pos = line.find_first_not_of(',', pos);
        if (pos == std::string_view::npos)
            break;
        size_t end = line.find(',', pos);
        if (end == std::string_view::npos)
            end = line.size();
        fields[count++] = {pos, end - pos};
        pos = end;
    }
    return count;
}
