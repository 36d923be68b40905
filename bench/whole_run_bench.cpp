// The whole installation timed: setup.exe installs a medium under Wine with
// the progress display drawing for real, driven as a user would. Prints the
// wall time from Enter to the exit, the time the closing boxes stood open
// (answered at once, not counted), and setup.exe's peak working set.
//   whole_run_bench MEDIUM INSTALL-DIR            (an existing medium)
//   whole_run_bench --make RECORDS MEDIUM          (makes a one-language medium)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_clock.h"
#include "driver.h"
#include "realistic_words.h"

namespace {

int MakeMedium(uint32_t records, const std::string& medium)
{
    CreateDirectoryA(medium.c_str(), nullptr);
    WriteFileBytes(medium + "\\install.inf",
                   "title Grand dictionnaire\r\ndebug 1\r\nmkdir langue\r\n"
                   "copy langue.cf langue.cf\r\ncopy grand.wb langue\\grand.wb\r\nmkwlist\r\n");
    WriteFileBytes(medium + "\\langue.cf", "fr,xx,langue\\grand.tb,Fran\xE7" "ais\r\ngrand.wb\r\ngrand.tb\r\n");
    if (!WriteFromList((medium + "\\grand.wb").c_str(), records))
        return 1;
    std::printf("medium %s: one language, %u FROM records\n", medium.c_str(), records);
    return 0;
}

// The moment the main window stops being visible, watched from a thread of
// its own while the main one answers boxes: under Xvfb, with no window
// manager, Wine then waits 2 s for the window's withdrawal before the
// process may end, which no program under a desktop pays.
HWND watchedWindow = nullptr;
volatile double hiddenAt = 0;

DWORD WINAPI WatchMainWindow(LPVOID)
{
    while (IsWindowVisible(watchedWindow))
        Sleep(5);
    hiddenAt = Seconds();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--make")
        return MakeMedium(static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)), argv[3]);
    if (argc != 3) {
        std::fprintf(stderr, "usage: whole_run_bench MEDIUM INSTALL-DIR | --make RECORDS MEDIUM\n");
        return 2;
    }
    const std::string medium = argv[1], installDir = argv[2];
    RemoveTree(installDir);
    // The install directory may be one level below an existing one.
    const size_t slash = installDir.find_last_of('\\');
    if (slash != std::string::npos)
        CreateDirectoryA(installDir.substr(0, slash).c_str(), nullptr);

    SetupProcess setup(medium);
    HWND window = setup.WaitForWindow("Installation");
    if (!window || !TypeIntoField(setup, ControlById(window, kField), installDir)) {
        std::fprintf(stderr, "setup.exe did not come up\n");
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, setup.id());
    const double start = Seconds();
    PressKey(VK_RETURN);
    watchedWindow = window;
    HANDLE watcher = CreateThread(nullptr, 0, WatchMainWindow, nullptr, 0, nullptr);

    double boxesOpen = 0, firstBox = 0, lastBoxGone = start;
    SIZE_T peak = 0;
    int boxes = 0;
    for (;;) {
        MessageBoxInfo box = WaitForMessageBox(setup, 600000);
        if (!box.handle)
            break;
        const double shown = Seconds();
        if (boxes == 0)
            firstBox = shown;
        if (box.caption == "Error") {
            std::printf("setup.exe failed: %s\n", box.text.c_str());
            AnswerMessageBox(box);
            break;
        }
        PROCESS_MEMORY_COUNTERS memory = {};
        if (process && GetProcessMemoryInfo(process, &memory, sizeof memory) && memory.PeakWorkingSetSize > peak)
            peak = memory.PeakWorkingSetSize;
        ++boxes;
        AnswerMessageBox(box);
        WaitFor([&] { return !IsWindow(box.handle); });
        lastBoxGone = Seconds();
        boxesOpen += lastBoxGone - shown;
        if (setup.WaitForExit(0) != STILL_ACTIVE)
            break;
    }
    const DWORD code = setup.WaitForExit(600000);
    const double total = Seconds() - start;
    std::printf("exit code %lu, %d closing boxes\n", code, boxes);
    std::printf("whole run               %7.2f s (Enter to exit)\n", total);
    std::printf("without the open boxes  %7.2f s\n", total - boxesOpen);
    if (boxes > 0)
        std::printf("  Enter to first box    %7.2f s (copies, first language)\n", firstBox - start);
    if (watcher && WaitForSingleObject(watcher, 1000) == WAIT_OBJECT_0 && hiddenAt > start) {
        // Both moments are polled: the later one is the end of the run.
        const double end = hiddenAt > lastBoxGone ? hiddenAt : lastBoxGone;
        std::printf("  last box to hiding    %7.2f s (sort, shortcut)\n", end - lastBoxGone);
        std::printf("  hiding to exit        %7.2f s (Wine waiting for a window manager)\n",
                    total - (end - start));
        std::printf("without boxes and wait  %7.2f s\n", end - start - boxesOpen);
    }
    if (watcher)
        CloseHandle(watcher);
    std::printf("peak working set        %7.1f MB (at the last closing box)\n", peak / 1048576.0);
    if (process)
        CloseHandle(process);
    return static_cast<int>(code);
}
