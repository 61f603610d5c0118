#pragma once
// The system's and the user's well-known folders.

#include <string>
#include <vector>

// A shell folder (a CSIDL_ value) as it exists now, never created; empty when
// the system has none.
std::wstring ShellFolder(int csidl);

// Every well-known folder of the system and of the current user that no
// remover may ever delete (Windows, Program Files, the profile, desktop,
// documents, downloads...), normalized. A folder that holds one of them is
// just as untouchable.
std::vector<std::wstring> ProtectedFolders();
