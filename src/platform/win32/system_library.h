#pragma once

// Where libraries come from. The installer is run from download folders, where a web page may
// have left a DLL named like one of Windows': a library loaded by bare name would be looked up
// in the program's own folder first. So the program file imports only DLLs that Windows maps
// from its system folder whatever the search order (the KnownDLLs, and comctl32 through the
// manifest), restricts the search first thing, and loads every other library by full path.
#include <windows.h>

namespace vuni {

// Limits the search for libraries loaded by name to the system folder
// (SetDefaultDllDirectories, Windows 8, and Vista and 7 with the update that added it); where
// that call is missing, takes at least the current folder out of the search (SetDllDirectory
// with an empty text). Then loads from the system folder the theme library that Windows' own
// DLLs load later by bare name, so that they find it loaded. Called first thing in WinMain,
// before anything loads a library.
void RestrictLibrarySearch();

// A library by its full path (Windows-1252), its own dependencies looked up in its folder
// before any other (a search every version of Windows knows); nullptr when it cannot be loaded.
inline HMODULE LoadLibraryAt(const char* path) {
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// A library of Windows by file name ("winmm": LoadLibraryEx adds ".dll" to a name without an
// extension), loaded by full path from the system folder, and so its dependencies from there
// too; nullptr when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* fileName);

} // namespace vuni
