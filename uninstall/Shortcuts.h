#pragma once
// The client's shortcuts: the desktop shortcut and the start-menu folder.

// Unpins the client from the taskbar through its desktop shortcut, deletes that
// shortcut and the start-menu folder with everything in it. A shell folder the
// system does not give is skipped; nothing is ever built on an empty path.
void RemoveShortcuts();
