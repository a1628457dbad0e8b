// Windows path rules for the simulated machine: backslashes, drive letters,
// names compared without regard to letter case.
#pragma once

#include <string>
#include <string_view>

namespace tw::sim {

// Upper case for the letters Windows folds in file names and most names we
// compare (ASCII and Latin-1).
char16_t FoldCase(char16_t unit);
std::u16string FoldCase(std::u16string_view text);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
bool ContainsNoCase(std::u16string_view haystack, std::u16string_view needle);
bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix);

// "C:\a\b" for any of "C:/a//b\", "c:\a\.\b", "C:\a\x\..\b" (case kept).
// A drive root keeps its backslash: "C:\".
std::u16string NormalizePath(std::u16string_view path);

// A full path: "X:\..." (or "X:" for a drive's root).
bool IsAbsolutePath(std::u16string_view path);

// Resolves `path` against the folder `current` as Windows does for a process
// whose current folder that is: absolute paths stand, "\x" is on the current
// drive, "X:" is the root of drive X, everything else is relative.
std::u16string ResolvePath(std::u16string_view current, std::u16string_view path);

// The folder part ("C:\a" for "C:\a\b"; "C:\" for "C:\b"); empty for a root.
std::u16string ParentPath(std::u16string_view normalizedPath);
// The last component ("b" for "C:\a\b").
std::u16string_view FileName(std::u16string_view normalizedPath);
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name);

// Whether the last component carries an extension ("Install.exe" does,
// "package" does not).
bool HasExtension(std::u16string_view path);

// u"..." to and from UTF-8, re-exported for the sim's traces.
std::string Utf8(std::u16string_view text);

}  // namespace tw::sim
