#include "tool_shell.h"

#include "shell/fatal_error.h"
#include "shell/message_box.h"
#include "shell/progress_display.h"

std::vector<std::string> toolBoxTexts;

void FatalError(const char* message)
{
    throw ProductStop{message};
}

void ShowMessageBox(BoxOwner, const char* text, const char*, BoxIcon)
{
    toolBoxTexts.emplace_back(text);
}

void BeginLanguageDisplay(const char*) {}
void DrawProgressStep(int, const char*) {}
void StatusLine(const char*, int, int) {}
void StatusDone() {}
void PlaceCounterField() {}
void DrawCounter(int32_t) {}
void EndLanguageDisplay() {}
