#pragma once
// The whole removal, in order: mark the remover for the compatibility
// assistant, close running clients after asking, delete the registry entries,
// the shortcuts and the installation folder.

// Runs the removal once. Returns when this process has nothing left to do; the
// final deletion of the remover's own file runs on after it has ended.
void RunRemoval();
