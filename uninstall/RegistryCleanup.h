#pragma once
// The remover's registry work. Every failure is ignored: a value or key that is
// not there needs no removing.

#include <string>

// Records the remover (by its full path) as handled by the Program Compatibility
// Assistant, so that it asks the user nothing after the remover ends. Only an
// existing key is written; it is never created.
void MarkCompatibilityHandled(const std::wstring& removerPath);

// Deletes the client's installed-programs entry (HKLM, the 32-bit view this
// program sees by default, where the 32-bit installer wrote it).
void DeleteUninstallEntry();

// Deletes the client's Windows Error Reporting key (LocalDumps\vorn.exe, HKLM)
// in both registry views, as the installer writes it on 64-bit Windows, and the
// LocalDumps key itself where the installer made that one and nothing else has
// been put into it since.
void DeleteLocalDumpsKey();

// Deletes the client's own browser-emulation value for the current user and
// nothing else under that key.
void DeleteBrowserEmulationValue();

// Deletes the client's own settings key of the current user, with everything in it.
void DeleteUserSettings();
