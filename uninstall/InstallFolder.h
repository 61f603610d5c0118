#pragma once
// Whether a folder may be deleted as the client's installation folder.

#include <string>

// True only for a folder that is recognisably the client's installation: it
// holds the client program "vorn.exe", and it is neither empty, a drive root or
// mounted volume, nor a well-known folder of the system or the user, nor a
// folder holding one. A remover copied to the desktop must never delete the
// desktop.
bool IsRemovableInstallFolder(const std::wstring& folder);
