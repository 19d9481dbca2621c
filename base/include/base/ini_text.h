// INI text: the lines of profile files and of translation files, read and written.
//
// A file is a sequence of lines; each line is one of
//   [name]       opens the section "name"; what follows belongs to it until the next one
//   key=value    an entry of the open section: the key is the text before the first "=", the
//                value everything after it (further "=" included)
//   ;text        a comment, where the reader knows comments
//   anything else, an empty line included.
// Section names and keys compare without regard to ASCII case (SameName); nothing is converted,
// so names beyond ASCII compare byte for byte. No reader here takes quotes in a value for
// anything but bytes of the value.
//
// The files this system writes are in one form, the system's profile writer's: "[name]" and
// "key=value" lines ending in CR LF, no blanks around a name or before a value.
//
// The readers of this system differ in the details, on purpose: each follows the program whose
// files it reads (the system's profile functions, or the translation files' editors). TRules
// names every difference, and the three rule sets below say why each reader has its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kq::ini {

enum class TLineEnds {
    Any,      // CR, LF or CR LF; a NUL byte ends the text
    LineFeed, // LF, a CR before it dropped; a lone CR is a byte of the line
    CrLf,     // CR LF only: the writer's form, which a lone CR or LF breaks
};

enum class TTrim {
    None,     // every byte belongs to the key or the value
    Blanks,   // spaces and tabs around lines, names and before values (not after them)
    Controls, // every byte up to the blank, control bytes included, around lines, names, values
};

enum class TSectionEnd {
    LastByte,     // "[" first and "]" last: the name is everything between
    LastBracket,  // "[" first and a "]" anywhere after: the name ends at the last "]"
    FirstBracket, // "[" first: the name ends at the first "]"; without one the line is Unclosed
};

struct TRules {
    TLineEnds lineEnds;
    TTrim trim;
    TSectionEnd sectionEnd;
    bool comments; // a line beginning with ";" is a comment
    bool bareKeys; // a line without "=" is a key with an empty value
};

// Translation files are edited by people in any editor: any line end is one, and blanks around
// "=" may be part of a translated text, so nothing is trimmed. A line without "=" names a key
// (lists of names are written that way).
inline constexpr TRules kTranslationFile{TLineEnds::Any, TTrim::None, TSectionEnd::LastByte, true,
                                         true};
// The system's profile writer (WritePrivateProfileString), as the stand-in emulates it: it must
// write every line back, so a line it does not understand is kept as it is (a ";" line too), and
// a value keeps its trailing blanks, which the writer writes.
inline constexpr TRules kProfileWriter{TLineEnds::LineFeed, TTrim::Blanks, TSectionEnd::LastBracket,
                                       false, false};
// The system's profile reader (GetPrivateProfileString), as the uninstaller reads its log: it
// trims every byte up to the blank around names and values, and a "[" line without "]" ends the
// section before it and opens none.
inline constexpr TRules kProfileReader{TLineEnds::LineFeed, TTrim::Controls,
                                       TSectionEnd::FirstBracket, false, false};

enum class TLineKind {
    Empty, // nothing but what the rules trim
    Comment,
    Section,  // name is the section's
    Unclosed, // a section line without its "]" (TSectionEnd::FirstBracket only)
    Entry,    // name is the key, value the value
    Other,    // name is the line without what the rules trim
};

struct TLine {
    TLineKind kind = TLineKind::Empty;
    std::string_view name;
    std::string_view value;
};

// The lines of text, views into it, without their line ends.
std::vector<std::string_view> SplitLines(std::string_view text, TLineEnds lineEnds);
TLine ReadLine(std::string_view line, const TRules& rules);

bool IsBlank(char c); // a space or a tab
bool SameName(std::string_view a, std::string_view b);
// The name in the form that compares equal for every spelling SameName takes for the same.
std::string FoldedName(std::string_view name);

inline constexpr std::string_view kLineEnd = "\r\n";
std::string SectionLine(std::string_view name);                      // "[name]" CR LF
std::string EntryLine(std::string_view key, std::string_view value); // "key=value" CR LF

// True when text holds a CR, an LF or a NUL, which no line of a profile file can.
bool BreaksLines(std::string_view text);
// False for what the profile writer of both platforms refuses, although Windows would write it:
// text a reader would take for other lines, sections or keys than the ones written (a line
// break anywhere, "]" in the section, "=" in the key, a key beginning with "[").
bool IsWritable(std::string_view section, std::string_view key, std::string_view value);

} // namespace kq::ini
