#pragma once
// Deleting a folder tree without ever following a link out of it.

#include <string>

// Deletes everything below folder that can be deleted, depth-first, then the
// folder itself. Read-only, hidden and system attributes do not stop it. Files
// in use stay (and so do the folders holding them); failures are ignored.
// Links (junctions, symbolic links) are removed themselves and never entered:
// what they point to is left untouched.
void DeleteFolderTree(const std::wstring& folder);

// Whether any link or other reparse point lies below folder (at any depth,
// links themselves not entered).
bool HoldsLinks(const std::wstring& folder);
