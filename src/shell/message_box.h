// Message boxes other than the fatal one. Portable interface; the Windows
// build shows real boxes, the native test build records them.
#pragma once

enum class BoxIcon { None, Error, Warning };
enum class BoxOwner { None, MainWindow };

void ShowMessageBox(BoxOwner owner, const char* text, const char* caption, BoxIcon icon);
