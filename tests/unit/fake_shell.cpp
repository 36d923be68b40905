#include "fake_shell.h"

#include "shell/fatal_error.h"
#include "shell/progress_display.h"
#include "shell/setup_state.h"

FakeShell fakeShell;

void ResetFakeShell()
{
    fakeShell = FakeShell{};
    ResetSetupState();
}

std::string FatalMessageOf(const std::function<void()>& run)
{
    try {
        run();
    } catch (const FatalErrorExit& exit) {
        return exit.message;
    }
    return "";
}

void FatalError(const char* message)
{
    throw FatalErrorExit{message};
}

void ShowMessageBox(BoxOwner owner, const char* text, const char* caption, BoxIcon icon)
{
    fakeShell.boxes.push_back({owner, text, caption, icon});
}

void BeginLanguageDisplay(const char* languageName)
{
    fakeShell.progress.push_back(std::string("Begin ") + languageName);
}

void DrawProgressStep(int fillEdge, const char* text)
{
    fakeShell.progress.push_back("Step " + std::to_string(fillEdge) + " " + text);
}

void StatusLine(const char* text, int left, int right)
{
    fakeShell.progress.push_back("Status " + std::string(text) + " " + std::to_string(left) +
                                 " " + std::to_string(right));
}

void StatusDone()
{
    fakeShell.progress.push_back("Done");
}

void PlaceCounterField()
{
    fakeShell.progress.push_back("Counter");
}

void DrawCounter(int32_t value)
{
    fakeShell.counters.push_back(value);
}

void EndLanguageDisplay()
{
    fakeShell.progress.push_back("End");
}
