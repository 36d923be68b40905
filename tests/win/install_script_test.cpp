#include "script/install_script.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <lzexpand.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/install_run.h"
#include "app/window_globals.h"
#include "script/lz_file.h"
#include "shell/run_log.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "support/drives.h"
#include "support/files.h"
#include "test_main_window.h"

namespace {

// What the directory field was given, and what the named file held at that
// moment: a destination must be shown before anything is written to it.
struct Shown {
    std::string text;
    std::string contentThen;
};

std::vector<Shown> shown;
WNDPROC editProc = nullptr;

// A file's bytes, or "<none>" when there is no such file.
std::string Contents(const std::string& path)
{
    return PathExists(path) ? ReadFileBytes(path) : "<none>";
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT) {
        std::string text = reinterpret_cast<const char*>(lParam);
        shown.push_back({text, Contents(text)});
    }
    return CallWindowProcA(editProc, window, message, wParam, lParam);
}

// The main window with a directory field that records what it shows.
class ScriptWindow {
public:
    ScriptWindow()
    {
        field_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 100, 100, 600,
                                 24, window_.handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(field_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
        windowGlobals.directoryField = field_;
        shown.clear();
    }
    std::string FieldText() const
    {
        char text[MAX_PATH] = "";
        GetWindowTextA(field_, text, MAX_PATH);
        return text;
    }

private:
    TestMainWindow window_;
    HWND field_;
};

std::vector<std::string> ShownTexts()
{
    std::vector<std::string> texts;
    for (const Shown& s : shown)
        texts.push_back(s.text);
    return texts;
}

// A medium folder and an install folder side by side in a scratch folder.
struct ScriptFolders {
    ScratchFolder scratch;
    std::string medium = scratch / "medium";
    std::string install = scratch / "install";
    ScriptFolders()
    {
        MakeFolder(medium);
        MakeFolder(install);
    }
};

void RunScript(const std::string& medium, const std::string& install, const std::string& script)
{
    ResetSetupState();
    WriteFileBytes(medium + "\\install.inf", script);
    if (!PathExists(medium + "\\install.inf")) {
        // Without it the run would end in the fatal box and wait for a click.
        ADD_FAILURE() << "no install.inf in " << medium;
        return;
    }
    CopyText(setup.sourceDir, sizeof setup.sourceDir, medium.c_str());
    CopyText(setup.installDir, sizeof setup.installDir, install.c_str());
    RunInstallScript();
}

std::string Fixture(const std::string& name)
{
    // Made by make_lz_fixtures in lz_fixtures\ beside the test program.
    return ReadFileBytes(BesideProgram("lz_fixtures\\" + name));
}

// Bytes that no block size divides into a pattern.
std::string PseudoRandomBytes(size_t size)
{
    std::string bytes(size, '\0');
    uint32_t x = 12345;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return bytes;
}

// A compressed file whose header promises size bytes.
std::string WithHeaderSize(std::string compressed, uint32_t size)
{
    for (int i = 0; i < 4; ++i)
        compressed[10 + i] = static_cast<char>(size >> (8 * i));
    return compressed;
}

uint32_t HeaderSize(const std::string& compressed)
{
    uint32_t size = 0;
    for (int i = 3; i >= 0; --i)
        size = (size << 8) | static_cast<unsigned char>(compressed[10 + i]);
    return size;
}

std::string AviDelay()
{
    char value[64] = "";
    GetPrivateProfileStringA("Dictionary", "FrenchAviDelay", "<missing>", value, sizeof value,
                             "win.ini");
    return value;
}

using Names = std::vector<std::string>;

// folder\name for each name, sorted like the search results they are
// compared with after sorting.
Names Within(const std::string& folder, const Names& names)
{
    Names paths;
    for (const std::string& name : names)
        paths.push_back(folder + "\\" + name);
    return paths;
}

// Entries from..to of the texts, sorted: a search gives no order.
Names Sorted(const Names& texts, size_t from, size_t to)
{
    Names part(texts.begin() + from, texts.begin() + to);
    std::sort(part.begin(), part.end());
    return part;
}

TEST(RunInstallScript, PerformsEveryCommandOfAMedium)
{
    ScriptFolders folders;
    const std::string medium = folders.medium, install = folders.install;
    WriteFileBytes(medium + "\\text.tx_", Fixture("text.tx_"));
    WriteFileBytes(medium + "\\binary.bi_", Fixture("binary.bi_"));
    WriteFileBytes(medium + "\\empty.tx_", Fixture("empty.tx_"));
    const std::string plain = std::string("plain\0data\r\n\xFF", 13);
    WriteFileBytes(medium + "\\plain.dat", plain);
    const std::string big = PseudoRandomBytes(5 * 1024 * 1024 / 2 + 7);  // several blocks
    WriteFileBytes(medium + "\\big.dat", big);
    WriteFileBytes(medium + "\\notes.txt", "notes");
    WriteFileBytes(medium + "\\CAPS.TXT", "caps");
    WriteFileBytes(medium + "\\README", "no dot");
    WriteFileBytes(medium + "\\hidden.txt", "hidden");
    SetFileAttributesA((medium + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(medium + "\\sons");
    MakeFolder(medium + "\\sons\\inner");
    WriteFileBytes(medium + "\\sons\\a.wav", "new a");
    WriteFileBytes(medium + "\\sons\\b.wav", "new b");
    WriteFileBytes(medium + "\\sons\\inner\\c.wav", "inner c");

    WriteFileBytes(install + "\\readonly.dat", "old");
    SetFileAttributesA((install + "\\readonly.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    MakeFolder(install + "\\sounds");
    WriteFileBytes(install + "\\sounds\\a.wav", "old a");
    WriteFileBytes(install + "\\sounds\\b.wav", "old b");
    SetFileAttributesA((install + "\\sounds\\b.wav").c_str(), FILE_ATTRIBUTE_READONLY);

    WritePrivateProfileStringA("Dictionary", "FrenchAviDelay", "before", "win.ini");
    std::string before = CurrentFolder();
    ScriptWindow window;

    RunScript(medium, install,
              "title Mon dictionnaire\n"
              "# copy text.tx_ commented.txt\n"
              "mkdir sub\r\n"
              "MKDIRS x\n"
              "mkdir sub\\two\n"
              "mkdir none\\deeper\n"
              "mkdir txt\n"
              "mkdir all\n"
              "mkdir upper\n"
              "mkdir sounds\n"
              "Mkdir\tx tabbed\n"
              "iconname Mon Dico\n"
              "icongroup Groupe Dico\n"
              "iconexe dico.exe\n"
              "display lisez.txt\n"
              "mkwlist\n"
              "avidelay 10\n"
              "AVIDELAY 250\n"
              "copy   text.tx_    sub\\text.txt   ignored\n"
              "Copy binary.bi_ sub\\two\\binary.bin\n"
              "copy empty.tx_ empty.txt\n"
              "copy plain.dat plain.dat\n"
              "copy big.dat big.dat\n"
              "copy plain.dat readonly.dat\n"
              "copy plain.dat none\\plain.dat\n"
              "copy\ttext.tx_ tab.txt\n"
              "xcopy *.tx? txt\n"
              "xcopy *.* all\n"
              "xcopy *.TXT upper\n"
              "sndcopy sons sounds\n" +
                  std::string(99, 'z') + "mkdir split\n");

    // Directories: one level at a time, prefixes and tabs as written.
    EXPECT_EQ(FolderNames(install), (Names{"all", "big.dat", "empty.txt", "plain.dat", "readonly.dat",
                                           "sounds", "split", "sub", "tabbed", "txt", "upper", "x"}));
    // Copies: expanded byte for byte, plain files unchanged.
    EXPECT_EQ(Contents(install + "\\sub\\text.txt"), Fixture("text.txt"));
    EXPECT_EQ(Contents(install + "\\sub\\two\\binary.bin"), Fixture("binary.bin"));
    EXPECT_EQ(Contents(install + "\\empty.txt"), "");
    EXPECT_EQ(Contents(install + "\\plain.dat"), plain);
    EXPECT_TRUE(Contents(install + "\\big.dat") == big);
    EXPECT_EQ(Contents(install + "\\readonly.dat"), "old");
    // Patterns: case ignored, hidden files and names without a dot included,
    // folders skipped; copies are raw.
    EXPECT_EQ(FolderNames(install + "\\txt"),
              (Names{"CAPS.TXT", "empty.tx_", "hidden.txt", "notes.txt", "text.tx_"}));
    EXPECT_EQ(Contents(install + "\\txt\\text.tx_"), Fixture("text.tx_"));
    EXPECT_EQ(FolderNames(install + "\\all"),
              (Names{"CAPS.TXT", "README", "big.dat", "binary.bi_", "empty.tx_", "hidden.txt",
                     "install.inf", "notes.txt", "plain.dat", "text.tx_"}));
    EXPECT_EQ(FolderNames(install + "\\upper"), (Names{"CAPS.TXT", "hidden.txt", "notes.txt"}));
    EXPECT_EQ(FolderNames(install + "\\sounds"), (Names{"a.wav", "b.wav"}));
    EXPECT_EQ(Contents(install + "\\sounds\\a.wav"), "new a");
    EXPECT_EQ(Contents(install + "\\sounds\\b.wav"), "old b");

    EXPECT_EQ(AviDelay(), "250");
    EXPECT_STREQ(setup.installPrefix, (install + "\\").c_str());
    EXPECT_STREQ(setup.iconName, "Mon Dico");
    EXPECT_STREQ(setup.iconGroup, "Groupe Dico");
    EXPECT_STREQ(setup.iconExe, "dico.exe");
    EXPECT_STREQ(setup.displayFile, "lisez.txt");
    EXPECT_EQ(setup.createShortcut, 1);
    EXPECT_EQ(setup.buildWordLists, 1);
    EXPECT_STREQ(setup.title, "");
    EXPECT_EQ(CurrentFolder(), before);

    // Each destination was shown before it was written, in the order of the
    // lines (a search's own order within a pattern); the last one stays.
    std::vector<std::string> texts = ShownTexts();
    ASSERT_EQ(texts.size(), 7u + 5 + 10 + 3 + 2);
    EXPECT_EQ(Names(texts.begin(), texts.begin() + 7),
              (Names{install + "\\sub\\text.txt", install + "\\sub\\two\\binary.bin",
                     install + "\\empty.txt", install + "\\plain.dat", install + "\\big.dat",
                     install + "\\readonly.dat", install + "\\none\\plain.dat"}));
    EXPECT_EQ(Sorted(texts, 7, 12),
              Within(install + "\\txt", FolderNames(install + "\\txt")));
    EXPECT_EQ(Sorted(texts, 12, 22),
              Within(install + "\\all", FolderNames(install + "\\all")));
    EXPECT_EQ(Sorted(texts, 22, 25),
              Within(install + "\\upper", FolderNames(install + "\\upper")));
    EXPECT_EQ(Sorted(texts, 25, texts.size()),
              Within(install + "\\sounds", FolderNames(install + "\\sounds")));
    for (const Shown& s : shown) {
        std::string before = s.text == install + "\\readonly.dat"    ? "old"
                             : s.text == install + "\\sounds\\a.wav" ? "old a"
                             : s.text == install + "\\sounds\\b.wav" ? "old b"
                                                                     : "<none>";
        EXPECT_EQ(s.contentThen, before) << s.text;
    }
    EXPECT_EQ(window.FieldText(), texts.back());
}

TEST(RunInstallScript, FailedCopyLeavesTheDestinationAsItWas)
{
    struct Case {
        const char* name;
        const char* source;          // in the medium; "sons" is a folder
        const char* destinationWas;  // nullptr: no destination before
    } cases[] = {
        {"source missing, destination kept", "missing.tx_", "kept"},
        {"source missing, nothing created", "missing.tx_", nullptr},
        {"source is a folder", "sons", "kept"},
        {"truncated, destination kept", "truncated.bi_", "kept"},
        {"truncated, nothing created", "truncated.bi_", nullptr},
        // Only the one byte of a compressed empty tail is cut; more output
        // than the header promises is a corrupt source.
        {"two bytes past its header, destination kept", "long2.tx_", "kept"},
        {"far past its header, nothing created", "long.tx_", nullptr},
    };
    ScriptWindow window;
    for (const Case& c : cases) {
        ScriptFolders folders;
        const std::string medium = folders.medium, install = folders.install;
        MakeFolder(medium + "\\sons");
        WriteFileBytes(medium + "\\truncated.bi_", Fixture("truncated.bi_"));
        const std::string text = Fixture("text.tx_");
        WriteFileBytes(medium + "\\long2.tx_", WithHeaderSize(text, HeaderSize(text) - 2));
        WriteFileBytes(medium + "\\long.tx_", WithHeaderSize(text, 100));
        if (c.destinationWas)
            WriteFileBytes(install + "\\out.dat", c.destinationWas);

        RunScript(medium, install, std::string("copy ") + c.source + " out.dat\n");

        EXPECT_EQ(FolderNames(install), c.destinationWas ? Names{"out.dat"} : Names{}) << c.name;
        EXPECT_EQ(Contents(install + "\\out.dat"), c.destinationWas ? c.destinationWas : "<none>")
            << c.name;
        EXPECT_EQ(ShownTexts(), Names{install + "\\out.dat"}) << c.name;
        shown.clear();
    }
}

TEST(RunInstallScript, CopiesPathsOfUpTo259Characters)
{
    ScriptWindow window;
    ScratchFolder scratch;
    // install.inf must stay reachable: the depth of the source is in the
    // copy line's own subfolder.
    std::string medium = MakeDeepFolder(scratch.path(), 180);
    std::string install = MakeDeepFolder(scratch.path(), 257);
    std::string sub(259 - 181 - 1 - 8, 's');
    MakeFolder(medium + "\\" + sub);
    ASSERT_EQ((medium + "\\" + sub + "\\text.tx_").size(), 259u);
    ASSERT_TRUE(PathExists(medium + "\\" + sub));
    ASSERT_TRUE(PathExists(install));
    WriteFileBytes(medium + "\\" + sub + "\\text.tx_", Fixture("text.tx_"));
    WriteFileBytes(medium + "\\" + sub + "\\text2.tx_", Fixture("text.tx_"));
    WriteFileBytes(medium + "\\b.tx_", Fixture("text.tx_"));

    RunScript(medium, install,
              "copy " + sub + "\\text.tx_ a\n"    // both 259
              "copy " + sub + "\\text2.tx_ c\n"   // source 260: skipped
              "copy b.tx_ bc\n");                 // destination 260: skipped, not cut to "b"

    EXPECT_EQ((install + "\\a").size(), 259u);
    EXPECT_EQ(Contents(install + "\\a"), Fixture("text.txt"));
    EXPECT_EQ(FolderNames(install), Names{"a"});
    EXPECT_EQ(ShownTexts(), Names{install + "\\a"});
}

TEST(RunInstallScript, XCopyReadsFoundFilesFromThePatternsFolder)
{
    ScriptWindow window;
    ScriptFolders folders;
    const std::string medium = folders.medium, install = folders.install;
    MakeFolder(install + "\\doc");
    MakeFolder(medium + "\\docs");
    WriteFileBytes(medium + "\\a.txt", "root a");
    WriteFileBytes(medium + "\\docs\\a.txt", "docs a");
    WriteFileBytes(medium + "\\docs\\b.txt", "docs b");

    RunScript(medium, install, "xcopy docs\\*.txt doc\n");

    EXPECT_EQ(FolderNames(install + "\\doc"), (Names{"a.txt", "b.txt"}));
    EXPECT_EQ(Contents(install + "\\doc\\a.txt"), "docs a");
    EXPECT_EQ(Contents(install + "\\doc\\b.txt"), "docs b");
}

TEST(RunInstallScript, PatternsAndSubdirectoriesThatFindNothingCopyNothing)
{
    ScriptWindow window;
    ScriptFolders folders;
    const std::string medium = folders.medium, install = folders.install;
    MakeFolder(install + "\\snd");
    MakeFolder(medium + "\\empty");
    WriteFileBytes(medium + "\\a.wav", "medium's own file");
    std::string before = CurrentFolder();

    RunScript(medium, install,
              "sndcopy nosuch snd\n"     // can't be entered: skipped
              "sndcopy empty snd\n"
              "xcopy *.none snd\n"
              "xcopy nosuch\\*.* snd\n");

    EXPECT_EQ(FolderNames(install + "\\snd"), Names{});
    EXPECT_EQ(ShownTexts(), Names{});
    EXPECT_EQ(CurrentFolder(), before);
}

TEST(RunInstallScript, IgnoresLinesWithoutTheirArguments)
{
    ScriptWindow window;
    ScriptFolders folders;
    const std::string medium = folders.medium, install = folders.install;
    MakeFolder(medium + "\\sons");
    WriteFileBytes(medium + "\\a.txt", "a");
    WriteFileBytes(medium + "\\sons\\a.wav", "a");
    WritePrivateProfileStringA("Dictionary", "FrenchAviDelay", "kept", "win.ini");

    RunScript(medium, install,
              "iconname\n"
              "icongroup\n"
              "iconexe\tdico.exe\n"
              "display\n"
              "mkdir\n"
              "avidelay\n"
              "copy a.txt\n"
              "xcopy *.txt\n"
              "sndcopy sons\n"
              "copy\n");

    EXPECT_EQ(setup.createShortcut, 0);
    EXPECT_STREQ(setup.iconName, "");
    EXPECT_STREQ(setup.iconGroup, "");
    EXPECT_STREQ(setup.iconExe, "");
    EXPECT_STREQ(setup.displayFile, "");
    EXPECT_EQ(AviDelay(), "kept");
    EXPECT_EQ(FolderNames(install), Names{});
    EXPECT_EQ(ShownTexts(), Names{});
}

TEST(RunInstallScript, SkipsCommandsWhosePathsPass259Characters)
{
    ScriptWindow window;
    ScratchFolder scratch;
    std::string medium = scratch / "medium";
    MakeFolder(medium);
    WriteFileBytes(medium + "\\a.txt", "a");
    WriteFileBytes(medium + "\\longer-name.txt", "long");
    std::string install = MakeDeepFolder(scratch.path(), 250);
    ASSERT_TRUE(PathExists(install));

    RunScript(medium, install,
              "mkdir abcdefghijk\n"  // 262: skipped, not cut to "abcdefgh"
              "mkdir d\n"
              "xcopy *.txt d\n");    // d\a.txt fits, d\longer-name.txt does not

    EXPECT_EQ(FolderNames(install), Names{"d"});
    EXPECT_EQ(FolderNames(install + "\\d"), Names{"a.txt"});
    EXPECT_EQ(ShownTexts(), Names{install + "\\d\\a.txt"});
}

TEST(RunInstallScript, CopyFindsTheCompressedNameAsTheLzOpenDoesAtAnyPathLength)
{
    const std::string text = Fixture("text.txt"), binary = Fixture("binary.bin");
    const std::string compressedText = Fixture("text.tx_");
    struct Case {
        const char* source;   // as the copy line names it
        const char* stored;   // the file on the medium
        std::string bytes;    // stored there
        std::string installed;
        std::string lzCopyAdds = "";  // what the platform's LZ copy gives past it
    } cases[] = {
        {"dico.exe", "dico.ex_", Fixture("text.tx_"), text},
        {"a.md", "a.md_", Fixture("binary.bi_"), binary},
        {"x", "x._", Fixture("text.tx_"), text},
        // The first dot of the last path element starts the extension.
        {"a.b.cde", "a.b.cd_", Fixture("text.tx_"), text},
        {"a.b.c", "a.b._", Fixture("text.tx_"), text},
        {"s.d\\file", "s.d\\file._", Fixture("binary.bi_"), binary},
        // '/' ends a path element as '\' does.
        {"v1.0/readme", "v1.0\\readme._", Fixture("binary.bi_"), binary},
        // One byte past the promised size is cut.
        {"over.txt", "over.tx_", WithHeaderSize(compressedText, HeaderSize(compressedText) - 1),
         text.substr(0, text.size() - 1), text.substr(text.size() - 1)},
        // A file stored raw under the compressed name is copied as it is.
        {"raw.dat", "raw.da_", "raw bytes", "raw bytes"},
        // The named file first.
        {"both.txt", "both.txt", "named", "named"},
        // As for the LZ open, whatever can't be opened as named: a folder.
        {"sons", "sons._", Fixture("text.tx_"), text},
    };
    ScriptWindow window;
    ScratchFolder scratch;
    // Beside a short medium path, one past the 127 characters that the
    // library's own open takes.
    for (size_t depth : {size_t(0), size_t(150)}) {
        const std::string medium =
            depth == 0 ? scratch / "short" : MakeDeepFolder(scratch.path(), depth);
        const std::string install = scratch / (depth == 0 ? "in-short" : "in-deep");
        MakeFolder(medium);
        MakeFolder(install);
        MakeFolder(medium + "\\s.d");
        MakeFolder(medium + "\\v1.0");
        MakeFolder(medium + "\\sons");
        WriteFileBytes(medium + "\\both.tx_", Fixture("text.tx_"));
        std::string script;
        for (size_t i = 0; i < std::size(cases); ++i) {
            WriteFileBytes(medium + "\\" + cases[i].stored, cases[i].bytes);
            script += std::string("copy ") + cases[i].source + " out" + std::to_string(i) + "\n";
        }

        RunScript(medium, install, script);

        for (size_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[i];
            const std::string path = medium + "\\" + c.source;
            EXPECT_TRUE(Contents(install + "\\out" + std::to_string(i)) == c.installed)
                << c.source << " at " << path.size() << " characters";
            // The platform's LZ open finds the same file, and its copy gives the
            // same bytes. setup.exe reads '/' as '\' before it makes the name.
            if (path.size() < 128 && !strchr(c.source, '/')) {
                OFSTRUCT opened = {}, created = {};
                INT handle = LZOpenFileA(const_cast<char*>(path.c_str()), &opened, OF_READ);
                ASSERT_GE(handle, 0) << c.source;
                const std::string copied = install + "\\lz" + std::to_string(i);
                INT output = LZOpenFileA(const_cast<char*>(copied.c_str()), &created, OF_CREATE);
                ASSERT_GE(output, 0) << copied;
                LZCopy(handle, output);
                LZClose(output);
                LZClose(handle);
                const std::string found = opened.szPathName;
                EXPECT_TRUE(found.size() >= strlen(c.stored) &&
                            lstrcmpiA(found.c_str() + found.size() - strlen(c.stored), c.stored) == 0)
                    << c.source << ": the LZ open found " << found;
                EXPECT_TRUE(Contents(copied) == c.installed + c.lzCopyAdds) << c.source << ": the LZ copy differs";
            }
        }
        EXPECT_EQ(FolderNames(medium).size(), std::size(cases) + 3) << "the medium is as it was";
    }
}

TEST(LzCopy, ExpandsWhatTheLzModuleCompressesWholeAtEverySmallSize)
{
    // Spaces, as the window starts, a run, a repeat, then bytes that do not repeat.
    const std::string pattern = "    aaaaaaaaaaaaaaaaaaaa le dico, le dico " + PseudoRandomBytes(40);
    ScratchFolder scratch;
    const std::string compressed = scratch / "file.tx_", copied = scratch / "file.txt";
    for (size_t size = 0; size <= 70; ++size) {
        WriteFileBytes(compressed, LzCompressBytes(pattern.substr(0, size), 't'));
        OFSTRUCT opened = {}, created = {};
        const INT input = LZOpenFileA(const_cast<char*>(compressed.c_str()), &opened, OF_READ);
        const INT output = LZOpenFileA(const_cast<char*>(copied.c_str()), &created, OF_CREATE);
        ASSERT_TRUE(input >= 0 && output >= 0) << size;
        EXPECT_GE(LZCopy(input, output), 0) << size;
        LZClose(output);
        LZClose(input);
        EXPECT_TRUE(Contents(copied) == pattern.substr(0, size)) << size << " bytes: " << Contents(copied).size();
    }
}

TEST(RunInstallScript, HiddenAndSystemDestinationsAreRefusedAndNewFilesTakeTheSourcesAttributes)
{
    // Windows' own copies refuse an existing hidden or system destination
    // (CopyFileA and CreateFile with CREATE_ALWAYS fail with access denied);
    // Wine's replace it, so the refusal is checked on our copies alone. A new
    // or plain destination ends as CopyFileA leaves its twin. Read-only
    // destinations: as root the platform writes through them (the read-only
    // fault tests cover them).
    const DWORD kAbsent = INVALID_FILE_ATTRIBUTES;
    struct Case {
        const char* name;
        DWORD source;       // attributes of the medium's file
        DWORD destination;  // of the file already installed, or kAbsent
        bool replaced;
    } cases[] = {
        {"new from a plain file", FILE_ATTRIBUTE_NORMAL, kAbsent, true},
        {"new from a read-only file", FILE_ATTRIBUTE_READONLY, kAbsent, true},
        {"new from a hidden file", FILE_ATTRIBUTE_HIDDEN, kAbsent, true},
        {"over a plain file", FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_NORMAL, true},
        {"over a hidden file", FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_HIDDEN, false},
        {"over a system file", FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_SYSTEM, false},
        {"over a hidden system file", FILE_ATTRIBUTE_HIDDEN,
         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false},
    };
    ScriptWindow window;
    for (const Case& c : cases) {
        ScriptFolders folders;
        const std::string medium = folders.medium, install = folders.install;
        const std::string twins = folders.scratch / "twins";
        MakeFolder(twins);
        MakeFolder(install + "\\x");
        WriteFileBytes(medium + "\\a.dat", "new");
        const std::string copied = install + "\\a.dat", xcopied = install + "\\x\\a.dat";
        const std::string twin = twins + "\\a.dat";
        if (c.destination != kAbsent) {
            for (const std::string& file : {copied, xcopied, twin}) {
                WriteFileBytes(file, "old");
                ASSERT_TRUE(SetFileAttributesA(file.c_str(), c.destination)) << c.name;
            }
        }
        SetFileAttributesA((medium + "\\a.dat").c_str(), c.source);

        RunScript(medium, install, "copy a.dat a.dat\nxcopy a.dat x\n");

        const std::string source = medium + "\\a.dat";
        const DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (c.replaced) {
            // The LZ library creates a plain file; CopyFileA gives a new
            // file the source's attributes.
            EXPECT_EQ(Contents(copied), "new") << c.name;
            EXPECT_EQ(GetFileAttributesA(copied.c_str()) & kKept, 0u) << c.name;
            EXPECT_EQ(Contents(xcopied), "new") << c.name;
            if (c.destination == kAbsent) {
                // The source's attributes, as CopyFileA gives them, but for
                // the read-only mark, which would keep the next
                // installation from replacing the file.
                ASSERT_TRUE(CopyFileA(source.c_str(), twin.c_str(), FALSE)) << c.name;
                EXPECT_EQ(GetFileAttributesA(xcopied.c_str()) & kKept,
                          GetFileAttributesA(twin.c_str()) & kKept & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))
                    << c.name;
            } else {
                EXPECT_EQ(GetFileAttributesA(xcopied.c_str()) & kKept, 0u) << c.name;
            }
        } else {
            for (const std::string& file : {copied, xcopied}) {
                EXPECT_EQ(Contents(file), "old") << c.name << ": " << file;
                EXPECT_EQ(GetFileAttributesA(file.c_str()) & kKept, c.destination)
                    << c.name << ": " << file;
            }
        }
        EXPECT_EQ(FolderNames(install), (Names{"a.dat", "x"})) << c.name << ": no temporary left";
        EXPECT_EQ(FolderNames(install + "\\x"), Names{"a.dat"}) << c.name << ": no temporary left";
        for (const std::string& file : {copied, xcopied, twin, source})
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(RunInstallScript, DriveRootsGetNoSecondSeparator)
{
    ScriptWindow window;
    ScriptFolders folders;
    const std::string medium = folders.medium, install = folders.install;
    WriteFileBytes(medium + "\\text.tx_", Fixture("text.tx_"));
    WriteFileBytes(medium + "\\notes.txt", "notes");
    WriteFileBytes(medium + "\\install.inf",
               "mkdir sub\n"
               "copy text.tx_ sub\\text.txt\n"
               "xcopy *.txt sub\n");
    MappedDrive mediumDrive('M', medium);
    MappedDrive installDrive('N', install);
    ASSERT_TRUE(mediumDrive.mapped());
    ASSERT_TRUE(installDrive.mapped());

    ResetSetupState();
    CopyText(setup.sourceDir, sizeof setup.sourceDir, "M:\\");
    CopyText(setup.installDir, sizeof setup.installDir, "N:\\");
    RunInstallScript();

    EXPECT_STREQ(setup.installPrefix, "N:\\");
    EXPECT_EQ(ShownTexts(), (Names{"N:\\sub\\text.txt", "N:\\sub\\notes.txt"}));
    EXPECT_EQ(Contents(install + "\\sub\\text.txt"), Fixture("text.txt"));
    EXPECT_EQ(Contents(install + "\\sub\\notes.txt"), "notes");

    // A field holding the drive alone names its root, wherever the drive's
    // current directory is.
    char saved[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryA("N:\\sub"));
    // Typed past the recording of shown destinations, which reads files.
    CallWindowProcA(editProc, windowGlobals.directoryField, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("N:"));
    EXPECT_EQ(ValidateInstallDir(windowGlobals.directoryField), 0);
    EXPECT_STREQ(setup.installDir, "N:\\");
    SetCurrentDirectoryA(saved);
}

// Installing into the medium's own folder: a copy onto its own source is
// skipped for that reason, and the source stays as it was, compressed or not.
TEST(RunInstallScript, ACopyOntoItsOwnSourceLeavesItAsItWas)
{
    ScriptWindow window;
    ScriptFolders folders;
    const std::string medium = folders.medium;
    const std::string compressed = Fixture("text.tx_");
    WriteFileBytes(medium + "\\big.tx_", compressed);
    WriteFileBytes(medium + "\\fin.txt", "the end");
    MakeFolder(medium + "\\aide");
    WriteFileBytes(medium + "\\aide\\a.txt", "help");
    const std::string log = folders.scratch / "setup.log";
    ASSERT_TRUE(OpenRunLog(log.c_str()));

    RunScript(medium, medium, "copy big.tx_ big.tx_\ncopy fin.txt FIN.TXT\nxcopy aide\\*.txt aide\n");
    CloseRunLog();

    EXPECT_EQ(Contents(medium + "\\big.tx_"), compressed);
    EXPECT_EQ(Contents(medium + "\\fin.txt"), "the end");
    EXPECT_EQ(Contents(medium + "\\aide\\a.txt"), "help");
    EXPECT_EQ(FolderNames(medium), (Names{"aide", "big.tx_", "fin.txt", "install.inf"}));
    const std::string written = ReadFileBytes(log);
    size_t sameFile = 0;
    for (size_t at = 0; (at = written.find("(source and destination are the same file)", at)) != std::string::npos;
         ++at)
        ++sameFile;
    EXPECT_EQ(sameFile, 3u) << written;
}

}  // namespace
