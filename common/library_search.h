#pragma once
// Where Windows may look for the libraries a program of ours loads.

// Restricts the library search to the System folder, so that a DLL planted
// beside the program (a download folder holds anything) never runs inside
// it. Call it first thing, before any call that may load a library.
// SetDefaultDllDirectories is looked up at run time, as Windows versions
// without the 2011 loader update lack it; there, SetDllDirectoryA("")
// takes the current folder out of the search (XP SP1 and later), and the
// system libraries that load by name later are loaded first by their full
// path in the System folder, as the program's own folder stays first in the
// search of these versions.
void RestrictLibrarySearch();
