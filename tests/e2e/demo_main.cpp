// The demo without a display: installs the sample medium (the current
// directory) with the real setup.exe as a user would, into the default
// directory; saves a screenshot of each look into the folder given as the
// first argument; prints the installed tree, dict.ini and the shortcut; and
// returns setup.exe's exit code.
#include <cstdio>
#include <string>

#include "driver.h"
#include "support/shortcuts.h"

namespace {

std::string out;

void Shot(const std::string& name)
{
    SaveBitmap(GrabScreen(), out + "\\" + name + ".bmp");
    std::printf("screenshot: %s\n", name.c_str());
}

// Texts of the program are Windows-1252; the terminal wants UTF-8.
std::string Utf8(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    int n = MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                static_cast<int>(wide.size()));
    std::string utf8(static_cast<size_t>(n) * 3 + 1, '\0');
    int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, &utf8[0], static_cast<int>(utf8.size()),
                                nullptr, nullptr);
    utf8.resize(static_cast<size_t>(m));
    return utf8;
}

void PrintTree(const std::string& folder, const std::string& indent)
{
    for (const std::string& name : FolderNames(folder)) {
        const std::string path = folder + "\\" + name;
        if (IsFolder(path)) {
            std::printf("%s%s\\\n", indent.c_str(), Utf8(name).c_str());
            PrintTree(path, indent + "    ");
        } else {
            std::printf("%s%-28s %10zu bytes\n", indent.c_str(), Utf8(name).c_str(), ReadFileBytes(path).size());
        }
    }
}

void PrintShortcut(const std::string& file)
{
    Shortcut link = ReadShortcut(file);
    if (!link.loaded) {
        std::printf("no shortcut at %s\n", Utf8(file).c_str());
        return;
    }
    std::printf("shortcut %s\n", Utf8(file).c_str());
    std::printf("    target:            %s\n", Utf8(link.target).c_str());
    std::printf("    arguments:         %s\n", Utf8(link.arguments).c_str());
    std::printf("    working directory: %s\n", Utf8(link.workingDirectory).c_str());
}

// The copy display lasts only while the script copies: as soon as the
// screen shows the "Installer" button gone, the program is held still (its
// thread suspended) for the time of one screenshot.
void CatchCopyDisplay(const SetupProcess& setup, HWND window)
{
    RECT button;
    GetWindowRect(ControlById(window, kInstall), &button);
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, setup.threadId());
    HDC screen = GetDC(nullptr);
    const COLORREF face = GetPixel(screen, button.left + 4, button.top + 4);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 10000 && IsWindow(window)) {
        // The button gone, and the gradient back where the chooser was
        // (the system erases with the class's grey before the paint).
        const COLORREF below = GetPixel(screen, 130, 300);
        const bool gradient = GetRValue(below) == 0 && GetGValue(below) == 0 && GetBValue(below) > 0;
        // Still the copy display: its label is hidden once the script is
        // done. (Asking for its text would wait for the busy program.)
        const bool copying = IsWindowVisible(ControlById(window, kMessage)) != FALSE;
        if (GetPixel(screen, button.left + 4, button.top + 4) != face && gradient && copying) {
            if (thread)
                SuspendThread(thread);
            Shot("3-copy-display");
            if (thread)
                ResumeThread(thread);
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    if (thread)
        CloseHandle(thread);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: demo_driver OUTPUT-FOLDER\n");
        return 2;
    }
    out = argv[1];
    char medium[MAX_PATH];
    GetCurrentDirectoryA(sizeof medium, medium);

    SetupProcess setup(medium);
    HWND window = setup.WaitForWindow("Installation");
    if (!window) {
        MessageBoxInfo box = WaitForMessageBox(setup, 2000);
        if (box.handle) {
            std::printf("setup.exe says: %s: %s\n", box.caption.c_str(), Utf8(box.text).c_str());
            AnswerMessageBox(box);
        }
        DWORD code = setup.WaitForExit();
        std::printf("setup.exe exit code: %lu\n", code);
        return static_cast<int>(code);
    }
    HWND field = ControlById(window, kField);
    WaitFor([&] { return !ControlText(field).empty(); });
    const std::string installDir = ControlText(field);
    Sleep(500);
    Shot("1-directory-entry");

    ClickControl(ControlById(window, kChange));
    WaitFor([&] { return IsWindowVisible(ControlById(window, kFolderList)) != FALSE; });
    Sleep(500);
    Shot("2-chooser");

    // Browsing changed the field: the default directory is typed back.
    TypeIntoField(setup, field, installDir);
    std::printf("installing into %s\n", Utf8(installDir).c_str());
    PressKey(VK_RETURN);
    CatchCopyDisplay(setup, window);

    int language = 0;
    for (;;) {
        MessageBoxInfo box = WaitForMessageBox(setup, 120000);
        if (!box.handle)
            break;
        if (box.caption == "Installation")
            Shot("4-progress-display-" + std::to_string(++language));
        std::printf("box \"%s\": %s\n", Utf8(box.caption).c_str(), Utf8(box.text).c_str());
        AnswerMessageBox(box);
        WaitFor([&] { return !IsWindow(box.handle); });
        if (setup.WaitForExit(0) != STILL_ACTIVE)
            break;
    }
    DWORD code = setup.WaitForExit(120000);

    std::printf("\ninstalled tree of %s:\n", Utf8(installDir).c_str());
    PrintTree(installDir, "    ");
    std::string catalogue = installDir + "\\dict.ini";
    if (PathExists(catalogue))
        std::printf("\n%s:\n%s\n", Utf8(catalogue).c_str(), Utf8(ReadFileBytes(catalogue)).c_str());
    PrintShortcut(ProgramMenuFolder() + "\\Dictionnaire\\Dictionnaire bilingue.lnk");
    std::printf("setup.exe exit code: %lu\n", code);
    return static_cast<int>(code);
}
