#pragma once
// Paths of the running program and of folders, in the forms the remover compares.

#include <string>

// Full path of this program as Windows loaded it; empty when it cannot be read whole.
std::wstring OwnProgramPath();

// The folder part of a path, without the trailing backslash; empty when the
// path has no folder part.
std::wstring FolderOf(const std::wstring& path);

// The folder as one absolute path with long names and no trailing backslash
// (a drive root keeps its backslash: "C:\"); empty when it cannot be made one.
std::wstring NormalizedFolder(const std::wstring& folder);

// Whether both name the same folder, or inner lies somewhere below outer.
// Both must be normalized.
bool IsSameOrInside(const std::wstring& inner, const std::wstring& outer);
