#pragma once

// Code pages: which ANSI and OEM pages the system uses, OEM-to-ANSI conversion and the
// case-insensitive comparison of names.
//
// The stand-in derives the ANSI page from the locale variables (LC_ALL, then LC_CTYPE, then
// LANG): zh_CN gives 936, zh_TW and zh_HK 950, ja 932, anything else 1252. The variable KQ_ACP
// and SetAnsiCodePage (standin.h) override it. Its OEM page is 437 beside 1252 and the ANSI page
// itself beside the others.

#include <cstdint>
#include <string>

namespace kq {

std::uint32_t GetACP();
std::uint32_t GetOEMCP();

// Converts text from the OEM code page to the ANSI code page, byte count kept. The stand-in
// maps CP437 to CP1252 by table; characters without an exact CP1252 equivalent (box drawing,
// Greek, mathematical signs) become '?'. Where OEM and ANSI pages are the same the text is
// returned unchanged.
std::string OemToAnsi(const std::string& text);

// Compares two names ignoring case: <0, 0 or >0. Windows uses the user's locale; the stand-in
// folds the ASCII letters only and compares the bytes.
int CompareStringIgnoreCase(const std::string& a, const std::string& b);

} // namespace kq
