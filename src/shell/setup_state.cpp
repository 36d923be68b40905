#include "shell/setup_state.h"

#include <cstring>

#include "shell/fatal_error.h"
#include "shell/scoped_handles.h"
#include "shell/text_file.h"
#include "shell/windows1252.h"

SetupState setup;

void ResetSetupState()
{
    std::memset(&setup, 0, sizeof setup);
    CopyText(setup.defaultDir, sizeof setup.defaultDir, "c:\\");
    setup.verbose = 1;
    setup.headingY = 100;
    setup.progressY = 155;
    setup.statusY = 170;
}

bool ReadSetupLine(FILE* file, char* buf, SetupLineCursor* cursor)
{
    for (;;) {
        if (!ReadTextLine(file, buf, kSetupLineSize))
            return false;
        size_t len = std::strlen(buf);
        const bool endsLine = len > 0 && buf[len - 1] == '\n';
        if (cursor) {
            if (cursor->lineEnded) {
                ++cursor->line;
                cursor->piece = 0;
            } else {
                ++cursor->piece;
            }
            cursor->lineEnded = endsLine;
        }
        if (endsLine)
            buf[--len] = '\0';
        if (len == 0 || buf[0] == '#')
            continue;
        return true;
    }
}

bool KeywordMatches(const char* line, const char* keyword)
{
    for (; *keyword; ++line, ++keyword) {
        if (*line == '\0' || FoldAZ(*line) != FoldAZ(*keyword))
            return false;
    }
    return true;
}

const char* StartupKeyOf(const char* line)
{
    // Tested in this order; the first key whose letters all match wins.
    static const char* const kKeys[] = {"title", "dir", "wbarg", "debug"};
    for (const char* key : kKeys) {
        if (KeywordMatches(line, key))
            return key;
    }
    return nullptr;
}

const char* ValueAfterBlank(const char* line)
{
    const char* blank = std::strchr(line, ' ');
    return blank ? blank + 1 : nullptr;
}

bool JoinPath(char* out, std::initializer_list<const char*> parts)
{
    if (!JoinText(out, kPathSize, parts))
        return false;
    if (PathLength(out) <= kPathLimit)
        return true;
    out[0] = '\0';
    return false;
}

bool MakeDirPrefix(char* out, const char* dir)
{
    size_t len = std::strlen(dir);
    bool needsSeparator = len > 0 && dir[len - 1] != '\\';
    return JoinPath(out, {dir, needsSeparator ? "\\" : ""});
}

void ReadStartupKeys()
{
    char path[kPathSize];
    char prefix[kPathSize];
    if (!MakeDirPrefix(prefix, setup.sourceDir) || !JoinPath(path, {prefix, "install.inf"}))
        FatalError("Can't open INSTALL.INF");

    ScopedFile file(OpenTextRead(path));
    if (!file)
        FatalError("Can't open INSTALL.INF");

    char line[kSetupLineSize];
    while (ReadSetupLine(file.get(), line)) {
        const char* key = StartupKeyOf(line);
        // A key line without a blank has no value and changes nothing.
        const char* value = ValueAfterBlank(line);
        if (!key) {
            if (value && setup.uninstallName[0] == '\0' && KeywordMatches(line, kUninstallKeyword))
                CopyText(setup.uninstallName, sizeof setup.uninstallName, value);
            continue;
        }
        if (!value)
            continue;
        if (std::strcmp(key, "title") == 0)
            CopyText(setup.title, sizeof setup.title, value);
        else if (std::strcmp(key, "dir") == 0)
            CopyText(setup.defaultDir, sizeof setup.defaultDir, Windows1252ToUtf8(value).c_str());
        else if (std::strcmp(key, "wbarg") == 0)
            CopyText(setup.shortcutArgs, sizeof setup.shortcutArgs, value);
        else
            setup.verbose = std::strcmp(value, "0") == 0 ? 0 : 1;
    }
}
