// Connects the library's own windows to the document: the print job's
// notices then come in the library's message box and PrintDoc asks through
// the print dialog "Nyomtat". A program calls this once at start; without it
// the document reports through the program's message box and prints with its
// stored settings.
#pragma once

namespace printlib {

void installLibraryWindows();
// Undoes installLibraryWindows (tests that run the document alone).
void uninstallLibraryWindows();

} // namespace printlib
