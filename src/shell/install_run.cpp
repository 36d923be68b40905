// The installation run: validation of the install directory, the looks of
// the window while it installs, and the order of the installing steps.
#include "shell/install_run.h"

#include <direct.h>
#include <io.h>

#include <initializer_list>

#include "catalogue/catalogue.h"
#include "script/install_script.h"
#include "script/shortcut.h"
#include "shell/main_window.h"
#include "shell/message_box.h"
#include "shell/setup_state.h"
#include "shell/window_globals.h"
#include "wordlist/language_list.h"

int ValidateInstallDir(HWND directoryField)
{
    // A longer text would be cut to another name: never install there.
    const bool fits = GetWindowTextLengthA(directoryField) < kPathSize;
    GetWindowTextA(directoryField, setup.installDir, kPathSize);
    if (fits) {
        if (_access(setup.installDir, 0) == 0)
            return 0;
        if (_mkdir(setup.installDir) == 0)
            return 0;
    }
    ShowMessageBox(BoxOwner::MainWindow, "Invalid Directory", "Error", BoxIcon::Error);
    return -1;
}

void ShowCopyDisplay()
{
    // The directory chooser may have enlarged the frame.
    MoveWindow(mainControls.frameBox, 110, 138, 440, 110, TRUE);
    for (HWND control : {mainControls.driveList, mainControls.folderList,
                         mainControls.installButton, mainControls.changeButton,
                         mainControls.driveLabel, mainControls.folderLabel})
        ShowWindow(control, SW_HIDE);
    SetWindowTextA(mainControls.messageLabel, "Copie des fichiers...");
    // The message loop waits until the run is over: paint now.
    UpdateWindow(windowGlobals.mainWindow);
}

void HideCopyDisplay()
{
    for (HWND control : {mainControls.cancelButton, mainControls.messageLabel,
                         mainControls.frameBox, windowGlobals.directoryField})
        ShowWindow(control, SW_HIDE);
}

void InstallRun(int notificationCode)
{
    if (notificationCode != 0)
        return;
    if (ValidateInstallDir(windowGlobals.directoryField) != 0)
        return;

    ShowCopyDisplay();

    RunInstallScript();

    HideCopyDisplay();
    // Every later step names its files relative to the install directory.
    SetCurrentDirectoryA(setup.installDir);
    UpdateWindow(windowGlobals.mainWindow);

    if (setup.buildWordLists == 1)
        ProcessLanguageList();

    // A catalogue the script copied or an earlier installation left is
    // kept sorted too, whether or not word lists were built.
    const int32_t languageLines = CountLanguageEntries();
    if (languageLines > 1)
        SortLanguageSection(languageLines);

    if (setup.createShortcut == 1)
        CreateProgramShortcut();

    // The window's destruction ends the message loop with exit code 0.
    DestroyWindow(windowGlobals.mainWindow);
}
