#pragma once

namespace kq {

// Restricts the folders Windows searches for DLLs loaded later to the system folder, so a DLL
// planted beside the program (a downloads folder) is never loaded. Falls back to removing the
// current folder from the search where the restriction is not available. Call it first thing
// at start-up. The stand-in has nothing to harden and returns true.
bool HardenDllSearch();

} // namespace kq
