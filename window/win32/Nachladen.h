// Functions that older Windows lack are looked up at run time, so that the program still starts
// there and imports no more than the system's core DLLs.
#pragma once

#include "Zeichenketten.h"

// The function of that name in a loaded DLL, null where the DLL or the function is missing.
template <typename Funktion> Funktion Dll_Funktion(HMODULE Modul, const char* Name) {
    const FARPROC Adresse = Modul != nullptr ? GetProcAddress(Modul, Name) : nullptr;
    return reinterpret_cast<Funktion>(reinterpret_cast<void (*)()>(Adresse));
}
