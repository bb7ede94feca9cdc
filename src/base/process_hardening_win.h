// What every program of ours does before any other code of its own runs: the
// DLL search kept to the system folder, so that no DLL left in the program's
// folder or the working directory (a downloads folder, the game folder) is
// loaded in place of a system one, and the heap made to end the process when
// it finds itself corrupted. Linked in as an object (the constructor that
// calls it would be dropped from a static library), it runs as a constructor
// of priority 101: before the C++ objects' constructors and before the stack
// protector's own start-up, which loads the cryptographic provider.
#pragma once

namespace kolt {

// Limits the search of LoadLibrary by name to the system folder (and folders
// added with AddDllDirectory) with SetDefaultDllDirectories, looked up at run
// time as Windows 7 has it only with its update KB2533623; without it, takes
// at least the working directory out of the search (SetDllDirectoryW(L"")).
// Then loads from the system folder, and keeps, the system DLLs that the
// system's own DLLs would later load by bare name (the list and who asks for
// each: process_hardening_win.cpp). Also turns heap termination on
// corruption on. Safe to call more than once.
void HardenProcess();

}  // namespace kolt
