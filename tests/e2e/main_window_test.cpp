// The main window of the real program: its controls, the directory chooser,
// the commands it takes and ignores, and the ways to leave it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"
#include "support/drives.h"

namespace {

const char kSetupFile[] = "title Mon dictionnaire\r\ndir c:\\dico\r\n";

std::string LastName(const std::string& path)
{
    return path.substr(path.find_last_of('\\') + 1);
}

std::vector<std::string> Sorted(std::vector<std::string> items)
{
    std::sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    return items;
}

bool Contains(const std::vector<std::string>& items, const std::string& item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

void MakeFolderWith(const std::string& path, DWORD attributes)
{
    ASSERT_TRUE(MakeFolder(path)) << path;
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
    ASSERT_TRUE(GetFileAttributesA(path.c_str()) & attributes) << path << " kept no attribute";
}

TEST(MainWindow, ControlsAsTheTableSays)
{
    SetupOnMedium setup(kSetupFile);
    ASSERT_NE(setup.window, nullptr);

    const LONG child = WS_CHILD, shown = WS_CHILD | WS_VISIBLE;
    const LONG list = WS_CHILD | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT;
    struct Expected {
        int id;
        const char* className;
        const char* text;
        LONG style;
        LONG exStyle;
        RECT rect;  // x, y, x + width, y + height
    } table[] = {
        {kFrame, "Static", "", shown | WS_BORDER | 0x16, 0, {110, 138, 550, 248}},
        {kField, "Edit", "c:\\dico", shown | WS_BORDER | ES_LEFT, WS_EX_CLIENTEDGE,
         {120, 170, 540, 195}},
        {kDriveList, "ListBox", "", list, WS_EX_CLIENTEDGE, {120, 280, 270, 380}},
        {kFolderList, "ListBox", "", list, WS_EX_CLIENTEDGE, {280, 280, 540, 460}},
        {kInstall, "Button", "Installer", shown | BS_PUSHBUTTON, 0, {120, 205, 220, 235}},
        {kCancel, "Button", "Annuler", shown | BS_PUSHBUTTON, 0, {440, 205, 540, 235}},
        {kChange, "Button", "Changer de r\xE9pertoire", shown | BS_PUSHBUTTON, 0,
         {230, 205, 430, 235}},
        {kMessage, "Static", "Installer dans le r\xE9pertoire :", shown | SS_LEFT, 0,
         {120, 148, 540, 170}},
        {kDriveLabel, "Static", "Lecteur :", child | SS_LEFT, 0, {120, 260, 270, 280}},
        {kFolderLabel, "Static", "R\xE9pertoire :", child | SS_LEFT, 0, {280, 260, 540, 280}},
    };

    std::vector<int> childOrder;
    for (HWND c = GetWindow(setup.window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        childOrder.push_back(GetDlgCtrlID(c));
    std::vector<int> creationOrder;
    for (const Expected& row : table)
        creationOrder.push_back(row.id);
    EXPECT_EQ(childOrder, creationOrder) << "controls made in another order";

    for (const Expected& row : table) {
        SCOPED_TRACE("control " + std::to_string(row.id));
        ControlInfo c = ReadControl(setup.control(row.id));
        ASSERT_NE(c.handle, nullptr);
        EXPECT_TRUE(SameTextIgnoringCase(c.className, row.className)) << c.className;
        EXPECT_EQ(c.text, row.text);
        // A list box shows its scroll bar, and sets WS_VSCROLL, only when
        // its items overflow; the chooser test sees it appear.
        const LONG systemOwned = row.className == std::string("ListBox") ? WS_VSCROLL : 0;
        EXPECT_EQ(c.style & ~systemOwned, row.style & ~systemOwned) << std::hex << c.style;
        EXPECT_EQ(c.exStyle, row.exStyle) << std::hex << c.exStyle;
        EXPECT_EQ(c.visible, (row.style & WS_VISIBLE) != 0);
        EXPECT_TRUE(c.enabled);
        EXPECT_EQ(c.font, nullptr) << "a font was set";
        EXPECT_EQ(c.rect.left, row.rect.left);
        EXPECT_EQ(c.rect.top, row.rect.top);
        EXPECT_EQ(c.rect.right, row.rect.right);
        if (systemOwned) {
            // The system trims a list box to whole items.
            EXPECT_LE(c.rect.bottom, row.rect.bottom);
            EXPECT_GT(c.rect.bottom, row.rect.bottom - 20);
        } else {
            EXPECT_EQ(c.rect.bottom, row.rect.bottom);
        }
    }

    ASSERT_TRUE(WaitFor([&] { return ControlText(setup.control(kField)) == "c:\\dico"; }));
    Pixels shot = GrabScreen();
    SaveArtefact(shot, "look-directory-entry");
    // The frame's border shows; inside it, between the controls, the
    // gradient does.
    for (int y : {150, 200, 240})
        EXPECT_FALSE(ShowsGradient(shot, 110, y)) << "frame border at y " << y;
    for (int x : {130, 300, 500})
        EXPECT_FALSE(ShowsGradient(shot, x, 138)) << "frame border at x " << x;
    EXPECT_TRUE(ShowsGradient(shot, 115, 200));
    EXPECT_TRUE(ShowsGradient(shot, 300, 242));
    EXPECT_TRUE(ShowsGradient(shot, 300, 260)) << "the hidden chooser shows";
    EXPECT_FALSE(ShowsGradient(shot, 170, 220)) << "no Installer button";

    ClickControl(setup.control(kCancel));
    EXPECT_EQ(setup.process.WaitForExit(), 0u);
}

TEST(MainWindow, FieldStartsWithTheDirKeyOrTheRootOfC)
{
    struct Case {
        const char* setupFile;
        const char* field;
    } cases[] = {
        {"title T\r\ndir d:\\dicos\\fr\r\n", "d:\\dicos\\fr"},
        {"title T\r\n", "c:\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setupFile);
        SetupOnMedium setup(c.setupFile);
        ASSERT_NE(setup.window, nullptr);
        EXPECT_EQ(ControlText(setup.control(kField)), c.field);
        PostMessageA(setup.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(setup.process.WaitForExit(), 0u);
    }
}

// Browsing with the chooser: drives, folders entered at one click, what the
// folder list leaves out, and a drive that cannot be entered.
TEST(DirectoryChooser, BrowsesDrivesAndFolders)
{
    ScratchFolder tree("C:\\", "chooser");
    const std::vector<std::string> visible = {
        "alpha", "beta", "f01", "f02", "f03", "f04", "f05", "f06", "f07", "f08", "readonly", "system"};
    for (const std::string& name : visible)
        ASSERT_TRUE(MakeFolder(tree / name)) << name;
    SetFileAttributesA((tree / "readonly").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((tree / "system").c_str(), FILE_ATTRIBUTE_SYSTEM);
    MakeFolderWith(tree / "secret", FILE_ATTRIBUTE_HIDDEN);
    WriteFileBytes(tree / "file.txt", "not a folder");
    DriveWithoutMedium noMedium;
    ASSERT_TRUE(noMedium.made()) << "no drive without a medium could be made";

    SetupOnMedium setup(kSetupFile);
    ASSERT_NE(setup.window, nullptr);
    HWND field = setup.control(kField);
    HWND folders = setup.control(kFolderList);
    HWND drives = setup.control(kDriveList);

    ClickControl(setup.control(kChange));
    ASSERT_TRUE(WaitFor([&] { return !ControlText(field).empty() &&
                                     ControlText(field) != "c:\\dico"; }));
    EXPECT_FALSE(ReadControl(setup.control(kChange)).enabled);
    for (int id : {kDriveList, kFolderList, kDriveLabel, kFolderLabel})
        EXPECT_TRUE(ReadControl(setup.control(id)).visible) << id;
    ControlInfo frame = ReadControl(setup.control(kFrame));
    EXPECT_EQ(frame.rect.left, 110);
    EXPECT_EQ(frame.rect.top, 138);
    EXPECT_EQ(frame.rect.right, 550);
    EXPECT_EQ(frame.rect.bottom, 458);

    EXPECT_EQ(ListItems(drives), Sorted(LogicalDriveStrings()));
    EXPECT_TRUE(Contains(ListItems(drives), noMedium.root()));
    EXPECT_TRUE(SameTextIgnoringCase(ControlText(field), "c:\\")) << ControlText(field);
    EXPECT_TRUE(Contains(ListItems(folders), LastName(tree.path())));

    Pixels shot = GrabScreen();
    SaveArtefact(shot, "look-chooser");
    EXPECT_TRUE(ShowsGradient(shot, 115, 400)) << "the frame draws nothing inside";
    EXPECT_TRUE(ShowsGradient(shot, 300, 247)) << "the small frame's lower edge stayed";
    EXPECT_TRUE(ShowsGradient(shot, 275, 300)) << "between the lists";
    EXPECT_FALSE(ShowsGradient(shot, 110, 400)) << "the grown frame's border";
    EXPECT_FALSE(ShowsGradient(shot, 300, 457)) << "the grown frame's lower edge";

    // A click enters the folder; "." is left out from now on, ".." stays.
    ClickListItem(folders, LastName(tree.path()));
    ASSERT_TRUE(WaitFor([&] { return SameTextIgnoringCase(ControlText(field), tree.path()); }))
        << ControlText(field);
    std::vector<std::string> expected = visible;
    expected.push_back("..");
    ASSERT_TRUE(WaitFor([&] { return Sorted(ListItems(folders)) == Sorted(expected); }))
        << "hidden folders, files and \".\" stay out";
    EXPECT_TRUE(GetWindowLongA(folders, GWL_STYLE) & WS_VSCROLL) << "no scroll bar";

    ClickListItem(folders, "alpha");
    ASSERT_TRUE(WaitFor([&] { return SameTextIgnoringCase(ControlText(field), tree / "alpha"); }))
        << ControlText(field);
    EXPECT_EQ(ListItems(folders), std::vector<std::string>{".."});

    ClickListItem(folders, "..");
    ASSERT_TRUE(WaitFor([&] { return SameTextIgnoringCase(ControlText(field), tree.path()); }))
        << ControlText(field);
    EXPECT_EQ(Sorted(ListItems(folders)), Sorted(expected));

    // A drive that cannot be entered: the directory stays, the field shows
    // it again over what was typed, and the list is refilled with ".".
    ASSERT_TRUE(TypeIntoField(setup.process, field, "c:\\typed"));
    ClickListItem(drives, noMedium.root());
    ASSERT_TRUE(WaitFor([&] { return SameTextIgnoringCase(ControlText(field), tree.path()); }))
        << ControlText(field);
    expected.push_back(".");
    ASSERT_TRUE(WaitFor([&] { return Sorted(ListItems(folders)) == Sorted(expected); }));

    ClickListItem(drives, "C:\\");
    ASSERT_TRUE(WaitFor([&] { return SameTextIgnoringCase(ControlText(field), "C:\\"); }))
        << ControlText(field);
    EXPECT_TRUE(Contains(ListItems(folders), LastName(tree.path())));

    EXPECT_FALSE(ReadControl(setup.control(kChange)).enabled) << "enabled again";
    ClickControl(setup.control(kCancel));
    EXPECT_EQ(setup.process.WaitForExit(), 0u);
}

TEST(DirectoryChooser, ShowsALongDirectoryWholeAndInstallsThere)
{
    ScratchFolder tree("C:\\", "long");
    const std::string name50(50, 'n');
    std::string path = tree.path();
    for (char c : {'a', 'b', 'c', 'd'}) {
        path += "\\" + std::string(1, c) + name50.substr(1);
        ASSERT_TRUE(MakeFolder(path)) << path;
    }
    ASSERT_GE(path.size(), 200u);

    SetupOnMedium setup(kSetupFile);
    ASSERT_NE(setup.window, nullptr);
    HWND field = setup.control(kField);
    HWND folders = setup.control(kFolderList);
    ClickControl(setup.control(kChange));
    ASSERT_TRUE(WaitFor([&] { return Contains(ListItems(folders), LastName(tree.path())); }));

    std::string at = tree.path();
    ClickListItem(folders, LastName(at));
    for (char c : {'a', 'b', 'c', 'd'}) {
        ASSERT_TRUE(WaitFor([&] { return SameTextIgnoringCase(ControlText(field), at); }))
            << ControlText(field);
        std::string next = std::string(1, c) + name50.substr(1);
        at += "\\" + next;
        ClickListItem(folders, next);
    }
    ASSERT_TRUE(WaitFor([&] { return SameTextIgnoringCase(ControlText(field), path); }))
        << "field: " << ControlText(field);

    ClickControl(setup.control(kInstall));
    EXPECT_EQ(setup.process.WaitForExit(), 0u);
}

// Commands with another notification code than the one an id acts on, and
// unknown ids, change nothing.
TEST(MainWindow, IgnoresCommandsWithOtherNotificationCodes)
{
    ScratchFolder target("C:\\", "ignored");
    SetupOnMedium setup(kSetupFile);
    ASSERT_NE(setup.window, nullptr);
    const std::string newFolder = target / "new";
    ASSERT_TRUE(TypeIntoField(setup.process, setup.control(kField), newFolder));

    struct Command {
        int id;
        int code;
    } commands[] = {
        {kInstall, 1},           {kInstall, BN_DOUBLECLICKED}, {kInstall, EN_CHANGE},
        {kCancel, 1},            {kCancel, BN_DOUBLECLICKED},  {kChange, 1},
        {kDriveList, LBN_DBLCLK}, {kFolderList, LBN_DBLCLK},   {kFolderList, LBN_SETFOCUS},
        {kField, 0},             {kFrame, 0},                  {999, 0},
    };
    for (const Command& command : commands) {
        SCOPED_TRACE("id " + std::to_string(command.id) + " code " + std::to_string(command.code));
        ASSERT_TRUE(SendCommand(setup.window, command.id, command.code));
        EXPECT_TRUE(IsWindow(setup.window));
        EXPECT_EQ(setup.process.FindWindowOfClass("#32770"), nullptr) << "a box came";
        EXPECT_FALSE(PathExists(newFolder));
        EXPECT_TRUE(ReadControl(setup.control(kChange)).enabled);
        EXPECT_FALSE(ReadControl(setup.control(kDriveList)).visible);
        EXPECT_EQ(ReadControl(setup.control(kMessage)).text, "Installer dans le r\xE9pertoire :");
        EXPECT_EQ(ControlText(setup.control(kField)), newFolder);
    }
    EXPECT_EQ(setup.process.WaitForExit(0), STILL_ACTIVE);

    // The same id with code 0 installs.
    PostMessageA(setup.window, WM_COMMAND, MAKEWPARAM(kInstall, 0), 0);
    EXPECT_EQ(setup.process.WaitForExit(), 0u);
    EXPECT_TRUE(PathExists(newFolder));
}

TEST(MainWindow, EndsWithCodeZeroOnCancelAndOnACloseRequest)
{
    struct Way {
        const char* name;
        void (*leave)(const SetupOnMedium&);
    } ways[] = {
        {"Annuler", [](const SetupOnMedium& s) { ClickControl(s.control(kCancel)); }},
        {"WM_CLOSE", [](const SetupOnMedium& s) { PostMessageA(s.window, WM_CLOSE, 0, 0); }},
        {"Alt+F4",
         [](const SetupOnMedium& s) {
             ClickAt(POINT{800, 600});  // the user's click makes the window active
             ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == s.window; }));
             // Wine matches its modifier keys to the X server's, which never
             // saw the injected Alt: done between Alt and F4, that leaves a
             // plain F4. The user presses again, as after a missed key.
             for (int press = 0; press < 3 && IsWindow(s.window); ++press) {
                 PressKey(VK_F4, {VK_MENU});
                 WaitFor([&] { return !IsWindow(s.window); }, 5000);
             }
         }},
        {"Annuler with the chooser open",
         [](const SetupOnMedium& s) {
             ClickControl(s.control(kChange));
             ASSERT_TRUE(WaitFor([&] { return ReadControl(s.control(kDriveList)).visible; }));
             ClickControl(s.control(kCancel));
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        SetupOnMedium setup(kSetupFile);
        ASSERT_NE(setup.window, nullptr);
        way.leave(setup);
        EXPECT_EQ(setup.process.WaitForExit(), 0u);
        EXPECT_FALSE(PathExists("c:\\dico")) << "nothing is installed";
    }
}

}  // namespace
