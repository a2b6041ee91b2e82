#pragma once

namespace marbleye::win32 {

// One level of undo: the picture is written to "~mbundo.tmp" in the Windows
// folder before an operation changes it. A file that cannot be written
// leaves no undo; the operation goes on.
void SaveUndo();
// Undo: the picture of the file, at 24 bits with its former depth shown.
void RestoreUndo();
// Forgets the undo (every load, undo itself, exit).
void DeleteUndo();

}  // namespace marbleye::win32
