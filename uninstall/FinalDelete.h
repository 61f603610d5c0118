#pragma once
// The last step: a hidden command interpreter that deletes what is left of the
// installation folder, the remover's own file included, once the remover has ended.

#include <string>

// The command line: it waits until its input ends (when the remover's process
// is gone and with it the pipe's other end), lets a moment pass for Windows to
// release the remover's file, then deletes every file left below the folder and
// removes the emptied folders. The folder is quoted: a path with blanks stays
// one argument.
std::wstring FinalDeleteCommand(const std::wstring& interpreter, const std::wstring& folder);

// Starts that command hidden. Nothing is started (false) when "ComSpec" is not
// set or the path holds a character the interpreter would rewrite.
bool StartFinalDelete(const std::wstring& folder);
