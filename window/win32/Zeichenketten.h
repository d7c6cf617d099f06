// UTF-8 and UTF-16 at the seam between the program and Windows: the behaviour's texts are
// UTF-8, the window system's wide strings UTF-16.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

inline std::wstring Breit(std::string_view Text) {
    const int Laenge = static_cast<int>(Text.size());
    std::wstring Ergebnis(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, Text.data(), Laenge, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, Text.data(), Laenge, Ergebnis.data(),
                        static_cast<int>(Ergebnis.size()));
    return Ergebnis;
}

inline std::string Schmal(std::wstring_view Text) {
    const int Laenge = static_cast<int>(Text.size());
    std::string Ergebnis(static_cast<std::size_t>(WideCharToMultiByte(
                             CP_UTF8, 0, Text.data(), Laenge, nullptr, 0, nullptr, nullptr)),
                         '\0');
    WideCharToMultiByte(CP_UTF8, 0, Text.data(), Laenge, Ergebnis.data(),
                        static_cast<int>(Ergebnis.size()), nullptr, nullptr);
    return Ergebnis;
}
