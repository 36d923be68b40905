// Start-up of the real program: the setup file, the fatal box before any
// window, the full-screen window with its title.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "driver.h"
#include "support/shortcuts.h"

namespace {

TEST(Startup, WithoutSetupFileShowsTheFatalBoxAndNoWindow)
{
    ScratchFolder medium("nomedium");
    SetupProcess setup(medium.path());
    MessageBoxInfo box = WaitForMessageBox(setup);
    ASSERT_NE(box.handle, nullptr) << "no message box";
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, "Can't open INSTALL.INF");
    EXPECT_EQ(box.icon, MessageBoxInfo::Icon::Error);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(setup.FindWindowOfClass("Installation"), nullptr);
    AnswerMessageBox(box);
    EXPECT_EQ(setup.WaitForExit(), 1u);
}

TEST(Startup, CoversTheScreenWithTheGradientAndTheTitle)
{
    ScratchFolder medium("medium");
    WriteFileBytes(medium / "install.inf", "title Mon dictionnaire\r\ndir c:\\dico\r\n");
    SetupProcess setup(medium.path());
    HWND window = setup.WaitForWindow("Installation");
    ASSERT_NE(window, nullptr);
    // Painted once the last gradient line and the title's light pass show.
    WaitFor([] {
        Pixels shot = GrabScreen();
        return shot.at(1023, 767) == Rgb(0, 0, 14) && shot.at(700, 0) == Rgb(0, 0, 200) &&
               std::count(shot.data.begin(), shot.data.end(), Rgb(230, 230, 230)) > 200;
    });

    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_CLIPSIBLINGS);
    EXPECT_FALSE(style & WS_CAPTION);
    char text[16] = "x";
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "");

    Pixels shot = GrabScreen();
    SaveArtefact(shot, "start");
    EXPECT_EQ(shot.at(700, 0), Rgb(0, 0, 200));
    EXPECT_EQ(shot.at(1023, 767), Rgb(0, 0, 14));
    // The title's light pass starts at (28, 18), its shadow at (30, 20).
    int light = 0, black = 0;
    for (int y = 18; y < 90; ++y) {
        for (int x = 28; x < 480; ++x) {
            light += shot.at(x, y) == Rgb(230, 230, 230);
            black += shot.at(x, y) == Rgb(0, 0, 0);
        }
    }
    EXPECT_GT(light, 200);
    EXPECT_GT(black, 20);
    for (int x = 0; x < 480; ++x)
        ASSERT_EQ(shot.at(x, 17), shot.at(700, 17)) << "nothing drawn above the title at x " << x;
    for (int y = 18; y < 90; ++y)
        ASSERT_EQ(shot.at(27, y), shot.at(700, y)) << "nothing drawn left of the title at y " << y;

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

// --- The loader's trace --------------------------------------------------

// The DLLs that Windows loads from its own folder whatever the search (the
// KnownDLLs of Windows 10, and ntdll and kernelbase): no file beside a
// program can stand in for them, so none is planted.
const std::set<std::string> kKnownDlls = {
    "advapi32.dll", "clbcatq.dll", "combase.dll",  "comdlg32.dll", "coml2.dll",    "difxapi.dll",
    "gdi32.dll",    "gdiplus.dll", "imagehlp.dll", "imm32.dll",    "kernel32.dll", "kernelbase.dll",
    "msctf.dll",    "msvcrt.dll",  "normaliz.dll", "nsi.dll",      "ntdll.dll",    "ole32.dll",
    "oleaut32.dll", "psapi.dll",   "rpcrt4.dll",   "sechost.dll",  "setupapi.dll", "shcore.dll",
    "shell32.dll",  "shlwapi.dll", "user32.dll",   "wldap32.dll",  "ws2_32.dll",
};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

// The text of the first L"..." at or after from, with the trace's doubled
// backslashes made single.
std::string QuotedAfter(const std::string& line, size_t from)
{
    const size_t start = line.find("L\"", from);
    if (start == std::string::npos)
        return "";
    std::string text;
    for (size_t i = start + 2; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size())
            ++i;
        text += line[i];
    }
    return text;
}

// What the trace says of one process: the modules it loaded (path, and
// whether Wine's own or the file's code), and the searches for a DLL made
// on demand outside any DLL's initialisation (name, search path).
struct LoaderTrace {
    std::vector<std::pair<std::string, bool>> loaded;  // path, native
    std::vector<std::pair<std::string, std::string>> searches;
};

// Lines of a "+pid,+loaddll,+module" trace begin "pid:tid:"; the process is
// the one whose main module is exe.
LoaderTrace ReadLoaderTrace(const std::string& text, const std::string& exe)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::string pid;
    for (const std::string& line : lines) {
        const size_t at = line.find(":trace:loaddll:");
        if (at != std::string::npos && Lower(QuotedAfter(line, at)) == Lower(exe)) {
            pid = line.substr(0, line.find(':') + 1);
            break;
        }
    }
    LoaderTrace trace;
    if (pid.empty())
        return trace;
    std::map<std::string, int> depth;  // of DLL initialisations, by thread
    for (const std::string& line : lines) {
        if (line.compare(0, pid.size(), pid) != 0)
            continue;
        const std::string thread = line.substr(pid.size(), line.find(':', pid.size()) - pid.size());
        if (line.find(":trace:module:MODULE_InitDLL") != std::string::npos) {
            if (line.find(") - CALL") != std::string::npos)
                ++depth[thread];
            else if (line.find(") - RETURN") != std::string::npos)
                --depth[thread];
        }
        size_t at = line.find(":trace:loaddll:");
        if (at != std::string::npos && line.find("Loaded L\"", at) != std::string::npos)
            trace.loaded.emplace_back(QuotedAfter(line, at), line.size() >= 7 &&
                                                                 line.compare(line.size() - 7, 7, ": native") == 0);
        at = line.find(":trace:module:load_dll looking for L\"");
        const size_t in = line.find("\" in L\"");
        if (at != std::string::npos && in != std::string::npos && depth[thread] == 0)
            trace.searches.emplace_back(QuotedAfter(line, at), QuotedAfter(line, in));
    }
    return trace;
}

// True when every folder of the search path is the system's.
bool SearchesTheSystemFolderOnly(const std::string& path)
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    for (size_t start = 0; start <= path.size();) {
        size_t end = std::min(path.find(';', start), path.size());
        std::string folder = path.substr(start, end - start);
        while (!folder.empty() && folder.back() == '\\')
            folder.pop_back();
        if (Lower(folder) != Lower(system))
            return false;
        start = end + 1;
    }
    return true;
}

std::string BaseName(const std::string& path)
{
    return Lower(path.substr(path.find_last_of('\\') + 1));
}

// A whole installation with the loader's trace of setup.exe, which Wine
// writes to this program's standard error, read back from that file.
InstallResult InstallTraced(const std::string& medium, const std::string& dir, const std::string& exe,
                            const std::string& traceFile, LoaderTrace& trace)
{
    const size_t before = ReadFileBytes(traceFile).size();
    char saved[256] = "";
    const bool hadDebug = GetEnvironmentVariableA("WINEDEBUG", saved, sizeof saved) > 0;
    SetEnvironmentVariableA("WINEDEBUG", "+pid,+loaddll,+module");
    InstallResult result = RunInstallation(medium, dir, exe);
    SetEnvironmentVariableA("WINEDEBUG", hadDebug ? saved : nullptr);
    trace = ReadLoaderTrace(ReadFileBytes(traceFile).substr(before), exe);
    return result;
}

TEST(Startup, TakesNoDllFromTheMediumFolder)
{
    const char* unixTrace = std::getenv("SETUP_LOADER_TRACE");
    if (!unixTrace)
        GTEST_SKIP() << "needs its standard error in a file: ctest runs it on its own";
    std::string traceFile = std::string("Z:") + unixTrace;
    std::replace(traceFile.begin(), traceFile.end(), '/', '\\');

    // setup.exe on a copy of the sample medium, as it stands on a CD or in
    // a download folder that others can write.
    ScratchFolder medium("dll-medium");
    CopyTree(BesideProgram("medium"), medium.path());
    const std::string exe = medium / "setup.exe";
    ASSERT_TRUE(CopyFileA(SetupExePath().c_str(), exe.c_str(), FALSE));
    ScratchFolder parent("dll-install");

    // The DLLs a whole installation loads.
    LoaderTrace first;
    ASSERT_EQ(InstallTraced(medium.path(), parent / "first", exe, traceFile, first).exitCode, 0u);
    ASSERT_FALSE(first.loaded.empty()) << "no loader trace of setup.exe in " << traceFile;
    std::set<std::string> planted;
    for (const auto& [path, native] : first.loaded) {
        const std::string name = BaseName(path);
        if (name != "setup.exe" && !kKnownDlls.count(name) &&
            CopyFileA(BesideProgram("loaded_marker.dll").c_str(), (medium / name).c_str(), FALSE))
            planted.insert(name);
    }
    ASSERT_FALSE(planted.empty());

    // A DLL of each of those names beside setup.exe.
    LoaderTrace second;
    EXPECT_EQ(InstallTraced(medium.path(), parent / "second", exe, traceFile, second).exitCode, 0u);
    std::vector<std::string> markers;
    for (const std::string& name : FolderNames(medium.path()))
        if (name.size() > 7 && name.compare(name.size() - 7, 7, ".loaded") == 0)
            markers.push_back(name);
    EXPECT_TRUE(markers.empty()) << markers.size() << " planted DLLs loaded, " << markers.front();
    for (const auto& [path, native] : second.loaded)
        EXPECT_FALSE(native && BaseName(path) != "setup.exe") << path << " was loaded";

    // Whatever loads on demand once setup.exe runs is searched for in the
    // system folder only. (Wine's own DLLs are taken before any file of
    // the same name, so the markers alone would not show a wider search.)
    for (const LoaderTrace* trace : {&first, &second}) {
        EXPECT_FALSE(trace->searches.empty()) << "no search on demand in the trace";
        for (const auto& [name, path] : trace->searches)
            EXPECT_TRUE(SearchesTheSystemFolderOnly(path)) << name << " searched in " << path;
    }
    DeleteFileA((ProgramMenuFolder() + "\\Dictionnaire\\Dictionnaire bilingue.lnk").c_str());
}

}  // namespace

namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Resources, InstallIconGroupHoldsTwo16ColourIcons)
{
    HMODULE exe = LoadLibraryExA(SetupExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    HRSRC group = FindResourceA(exe, "INSTALLICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(exe, group)));
    ASSERT_NE(data, nullptr);
    const WORD count = *reinterpret_cast<const WORD*>(data + 4);
    ASSERT_EQ(count, 2);
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(data + 6);
    EXPECT_EQ(entries[0].width, 32);
    EXPECT_EQ(entries[1].width, 16);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(entries[i].bitCount, 4) << i;
        EXPECT_EQ(entries[i].colours, 16) << i;
    }
    EXPECT_NE(FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr)
        << "application manifest";
    EXPECT_NE(FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)), nullptr)
        << "version information";
    FreeLibrary(exe);
}

}  // namespace
