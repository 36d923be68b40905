// Times one language build on a generated FROM list, through the real
// BuildReverseList. The progress display is reached through linker wrappers
// (see CMakeLists.txt) that time each phase and, with a window, call the real
// drawing; without a window they draw nothing, which gives the pure cost.
//
//   reverse_list_bench RECORDS window|nowindow [verbose]
//
// Run in an empty folder: it writes langue\bench.wb and langue\bench.to.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/screen_drawing.h"
#include "app/window_globals.h"
#include "bench_clock.h"
#include "realistic_words.h"
#include "shell/collation.h"
#include "shell/message_box.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "wordlist/reverse_list.h"
#include "wordlist/word_list.h"

namespace {

bool drawing = false;
std::vector<std::pair<std::string, double>> marks;
double counterSeconds = 0;
long counterCalls = 0;

void Mark(const std::string& what) { marks.emplace_back(what, Seconds()); }

LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        PaintBackground(dc, client);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void OpenWindow()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = BenchWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "InstallationBench";
    RegisterClassExA(&windowClass);
    windowGlobals.instance = instance;
    windowGlobals.mainWindow = CreateWindowExA(0, "InstallationBench", "bench", WS_POPUP | WS_VISIBLE, 0, 0,
                                               GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                               nullptr, nullptr, instance, nullptr);
    windowGlobals.headingFont = CreateHeadingFont();
    windowGlobals.waitCursor = LoadCursorA(nullptr, IDC_WAIT);
    UpdateWindow(windowGlobals.mainWindow);
}

}  // namespace

// The wrapped progress display and closing box.
extern "C" {
void __real__Z20BeginLanguageDisplayPKc(const char*);
void __real__Z16DrawProgressStepiPKc(int, const char*);
void __real__Z10StatusLinePKcii(const char*, int, int);
void __real__Z10StatusDonev();
void __real__Z17PlaceCounterFieldv();
void __real__Z11DrawCounteri(int32_t);
void __real__Z18EndLanguageDisplayv();

void __wrap__Z20BeginLanguageDisplayPKc(const char* name)
{
    Mark("begin");
    if (drawing)
        __real__Z20BeginLanguageDisplayPKc(name);
}
void __wrap__Z16DrawProgressStepiPKc(int edge, const char* text)
{
    if (drawing)
        __real__Z16DrawProgressStepiPKc(edge, text);
    Mark(std::string("bar ") + text);
}
void __wrap__Z10StatusLinePKcii(const char* text, int left, int right)
{
    if (drawing)
        __real__Z10StatusLinePKcii(text, left, right);
}
void __wrap__Z10StatusDonev()
{
    Mark("done");
    if (drawing)
        __real__Z10StatusDonev();
}
void __wrap__Z17PlaceCounterFieldv()
{
    Mark("phase");
    if (drawing)
        __real__Z17PlaceCounterFieldv();
}
void __wrap__Z11DrawCounteri(int32_t value)
{
    ++counterCalls;
    if (!drawing)
        return;
    double start = Seconds();
    __real__Z11DrawCounteri(value);
    counterSeconds += Seconds() - start;
}
void __wrap__Z18EndLanguageDisplayv()
{
    if (drawing)
        __real__Z18EndLanguageDisplayv();
    Mark("end");
}
void __wrap__Z14ShowMessageBox8BoxOwnerPKcS1_7BoxIcon(BoxOwner, const char*, const char*, BoxIcon)
{
    // The closing box waits for the user; the bench does not.
}
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: reverse_list_bench RECORDS window|nowindow [verbose]\n");
        return 2;
    }
    const uint32_t records = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10));
    drawing = std::strcmp(argv[2], "window") == 0;
    const bool verbose = argc > 3 && std::strcmp(argv[3], "verbose") == 0;

    CreateDirectoryA("langue", nullptr);
    double start = Seconds();
    if (!WriteFromList("langue\\bench.wb", records)) {
        std::fprintf(stderr, "cannot write langue\\bench.wb\n");
        return 1;
    }
    std::printf("%u FROM records generated in %.2f s\n", records, Seconds() - start);

    ResetSetupState();
    setup.verbose = verbose ? 1 : 0;
    if (drawing)
        OpenWindow();
    if (!SetFrenchCollation())
        std::printf("warning: no French collation, the byte fallback sorts\n");

    LanguageEntry entry = {};
    CopyText(entry.languageName, sizeof entry.languageName, "Fran\xE7" "ais");
    CopyText(entry.fromListName, sizeof entry.fromListName, "bench.wb");
    CopyText(entry.toListName, sizeof entry.toListName, "bench.to");
    PROCESS_MEMORY_COUNTERS before = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);

    BuildReverseList(entry);

    // Phases: from each counted phase's start to its "done".
    static const char* const names[] = {"load FROM", "invert, write TEMP", "load TEMP", "sort", "merge, write TO"};
    double begin = marks.front().second, end = marks.back().second;
    std::printf("mode %s%s\n", drawing ? "window" : "no window", verbose ? ", verbose" : "");
    int phase = 0;
    double phaseStart = 0;
    for (size_t i = 0; i < marks.size(); ++i) {
        if (marks[i].first == "phase")
            phaseStart = marks[i].second;
        if (marks[i].first == "done" && phase < 5)
            std::printf("  %-20s %7.3f s\n", names[phase++], marks[i].second - phaseStart);
    }
    std::printf("  %-20s %7.3f s\n", "whole build", end - begin);
    std::printf("  counters drawn       %ld calls, %.3f s drawing (%.1f%% of the build, %.1f us a call)\n",
                counterCalls, counterSeconds, 100.0 * counterSeconds / (end - begin),
                drawing && counterCalls ? 1e6 * counterSeconds / counterCalls : 0.0);

    PROCESS_MEMORY_COUNTERS memory = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("  peak working set     %.1f MB (%.1f MB before the build)\n",
                memory.PeakWorkingSetSize / 1048576.0, before.PeakWorkingSetSize / 1048576.0);

    FILE* to = std::fopen("langue\\bench.to", "rb");
    if (to) {
        std::fseek(to, 0, SEEK_END);
        std::printf("  TO list              %ld records\n", std::ftell(to) / 84);
        std::fclose(to);
    }
    if (drawing)
        DestroyWindow(windowGlobals.mainWindow);
    return 0;
}
