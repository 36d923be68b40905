#include "wordlist/reverse_list.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/window_globals.h"
#include "shell/collation.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "support/files.h"
#include "support/pixels.h"
#include "support/word_lists.h"
#include "test_main_window.h"

namespace {

// A fresh install folder with langue\ in it, current for the object's
// lifetime.
struct InstallFolder {
    ScratchFolder folder;
    ScopedCurrentFolder current{folder.path()};
    InstallFolder() { MakeFolder("langue"); }
};

void WriteFromList(const std::vector<KeyValue>& records)
{
    WriteFileBytes("langue\\from.wb", ListBytes(records));
}

std::vector<KeyValue> ReadToList()
{
    return ParseRecords(ReadFileBytes("langue\\to.wb"));
}

// The boxes shown on this thread: read when they become active, then closed
// with their OK button.
struct SeenBox {
    std::string caption, text;
    HWND owner;
    bool iconShown;
};
std::vector<SeenBox> seenBoxes;
HHOOK boxHook;

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM lParam)
{
    SeenBox& box = *reinterpret_cast<SeenBox*>(lParam);
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0)
        return TRUE;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        box.iconShown = box.iconShown || IsWindowVisible(child);
        return TRUE;
    }
    char text[512] = "";
    GetWindowTextA(child, text, sizeof text);
    if (text[0] != '\0')
        box.text = text;
    return TRUE;
}

LRESULT CALLBACK BoxWatcher(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[16] = "";
        GetClassNameA(window, className, sizeof className);
        if (std::strcmp(className, "#32770") == 0) {
            SeenBox box{};
            char caption[128] = "";
            GetWindowTextA(window, caption, sizeof caption);
            box.caption = caption;
            box.owner = GetWindow(window, GW_OWNER);
            EnumChildWindows(window, ReadBoxChild, reinterpret_cast<LPARAM>(&box));
            seenBoxes.push_back(box);
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

class BoxCloser {
public:
    BoxCloser()
    {
        seenBoxes.clear();
        boxHook = SetWindowsHookExA(WH_CBT, BoxWatcher, nullptr, GetCurrentThreadId());
    }
    ~BoxCloser() { UnhookWindowsHookEx(boxHook); }
};

int CountOf(const Pixels& p, RECT r, uint32_t colour)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += p.at(x, y) == colour;
    return n;
}

LanguageEntry Entry()
{
    LanguageEntry entry = {};
    CopyText(entry.languageName, sizeof entry.languageName, "Anglais");
    CopyText(entry.fromListName, sizeof entry.fromListName, "from.wb");
    CopyText(entry.toListName, sizeof entry.toListName, "to.wb");
    return entry;
}

TEST(BuildReverseList, SortsTheToListInFrenchOrder)
{
    ASSERT_TRUE(SetFrenchCollation());
    ResetSetupState();
    setup.verbose = 0;
    InstallFolder dir;
    TestMainWindow window;
    WriteFromList({{"un", "coop,co-op,leau"}, {"deux", "l'eau, Chat,c\xF4t\xE9"},
                   {"trois", "chat,cote,\xE9t\xE9,f,c\xF4te,etre"}, {"quatre", "cot\xE9,chat,zoo"}});
    BoxCloser closer;
    BuildReverseList(Entry());
    const std::vector<KeyValue> expected = {
        {"Chat", "deux"}, {"chat", "trois, quatre"}, {"co-op", "un"}, {"coop", "un"},
        {"cote", "trois"}, {"c\xF4te", "trois"}, {"cot\xE9", "quatre"}, {"c\xF4t\xE9", "deux"},
        {"\xE9t\xE9", "trois"}, {"etre", "trois"}, {"f", "trois"}, {"l'eau", "deux"},
        {"leau", "un"}, {"zoo", "quatre"},
    };
    EXPECT_EQ(ReadToList(), expected);
    EXPECT_FALSE(PathExists("langue\\temp.wb"));
}

TEST(BuildReverseList, DrawsItsProgressAndEndsWithTheBox)
{
    struct Case {
        int verbose;
        const char* displayText;  // null: no display file
        std::string boxText;
    } cases[] = {
        {1, nullptr, "Installation termin\xE9" "e   "},
        {0, "Merci d'avoir install\xE9 le dictionnaire.", "Merci d'avoir install\xE9 le dictionnaire."},
    };
    for (const Case& c : cases) {
        SetFrenchCollation();
        ResetSetupState();
        setup.verbose = c.verbose;
        InstallFolder dir;
        if (c.displayText) {
            WriteFileBytes("fin.txt", c.displayText);
            CopyText(setup.displayFile, sizeof setup.displayFile, "fin.txt");
        }
        std::vector<KeyValue> from;
        for (int i = 0; i < 300; ++i)
            from.emplace_back("mot" + std::to_string(i), "a" + std::to_string(i % 50) + ", b" + std::to_string(i));
        WriteFromList(from);
        TestMainWindow window;
        {
            BoxCloser closer;
            BuildReverseList(Entry());
            ASSERT_EQ(seenBoxes.size(), 1u);
            EXPECT_EQ(seenBoxes[0].caption, "Installation");
            EXPECT_EQ(seenBoxes[0].text, c.boxText);
            EXPECT_EQ(seenBoxes[0].owner, window.handle());
            EXPECT_FALSE(seenBoxes[0].iconShown);
        }
        EXPECT_EQ(ReadToList().size(), 350u);

        Pixels p = GrabWindow(window.handle());
        const uint32_t white = Rgb(255, 255, 255), green = Rgb(0, 128, 0);
        // Heading, and the bar full at 100%.
        EXPECT_GT(CountOf(p, RECT{30, 98, 480, 140}, Rgb(230, 230, 230)), 100);
        EXPECT_EQ(p.at(31, 157), green);
        EXPECT_EQ(p.at(378, 172), green);
        EXPECT_EQ(p.at(100, 165), green);
        // Status rows 25 apart from y 170 (the first one partly under the
        // bar): label and "Done." in white with verbose, nothing without.
        for (int row = 0; row < 6; ++row) {
            const int top = std::max(170 + 25 * row, 176);
            const int labels = CountOf(p, RECT{30, top, 200, 170 + 25 * row + 20}, white);
            const int done = CountOf(p, RECT{300, top, 480, 170 + 25 * row + 20}, white);
            if (c.verbose && row < 5) {
                EXPECT_GT(labels, 30) << "row " << row;
                EXPECT_GT(done, 10) << "row " << row;
            } else {
                EXPECT_EQ(labels, 0) << "row " << row << " verbose " << c.verbose;
                EXPECT_EQ(done, 0) << "row " << row << " verbose " << c.verbose;
            }
        }
        EXPECT_EQ(setup.statusY, c.verbose ? 295 : 170);
        EXPECT_EQ(setup.headingY, 150);
        EXPECT_EQ(setup.progressY, 205);
    }
}

}  // namespace
