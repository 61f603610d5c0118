#include "uninstall/Uninstaller.h"

#include "uninstall/ClientProcesses.h"
#include "uninstall/FinalDelete.h"
#include "uninstall/FolderTree.h"
#include "uninstall/InstallFolder.h"
#include "uninstall/ProductTexts.h"
#include "uninstall/ProgramPaths.h"
#include "uninstall/RegistryCleanup.h"
#include "uninstall/Shortcuts.h"

#include <windows.h>

#include <string>

namespace {

// How long terminated clients get to end before their files are deleted.
constexpr DWORD kClientExitWaitMs = 5000;

// The one question of the remover. True when the user agrees to close the clients.
bool AskToCloseClients()
{
    const std::wstring question = std::wstring(L"<") + product::kCaption + product::kCloseQuestionRunning +
                                  product::kCaption + product::kCloseQuestionEnd;
    return MessageBoxW(nullptr, question.c_str(), product::kCaption, MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

// Leaves the installation folder, so that this process does not hold it open
// while it is being deleted.
void LeaveFolder()
{
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        SetCurrentDirectoryW(system);
}

void RemoveInstallFolder(const std::wstring& folder)
{
    if (!IsRemovableInstallFolder(folder))
        return;
    LeaveFolder();
    // This program's own file is still in use and stays; so may files of
    // clients that could not be closed.
    DeleteFolderTree(folder);
    // The interpreter's recursive delete would follow a link out of the
    // folder; a link that could not be removed keeps it from running at all.
    if (!HoldsLinks(folder))
        StartFinalDelete(folder);
}

} // namespace

void RunRemoval()
{
    const std::wstring removerPath = OwnProgramPath();
    MarkCompatibilityHandled(removerPath);

    const std::vector<DWORD> clients = FindClientProcesses();
    if (!clients.empty()) {
        if (!AskToCloseClients())
            return;
        TerminateClients(clients, kClientExitWaitMs);
    }

    DeleteUninstallEntry();
    DeleteLocalDumpsKey();
    DeleteBrowserEmulationValue();
    DeleteUserSettings();
    RemoveShortcuts();
    RemoveInstallFolder(FolderOf(removerPath));
}
