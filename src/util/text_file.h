#pragma once
// Whole text files in the program's one file format: CP932 with CR LF line ends.

#include <optional>
#include <string>
#include <vector>

namespace orv {

class IFiles;
class ITextCodec;

// Reads a CP932 text file into UTF-8 lines (CR LF, LF or CR ends); nullopt when it cannot be read.
std::optional<std::vector<std::string>> ReadTextLines(IFiles& files, const ITextCodec& codec,
                                                      const std::string& path);
// Encodes UTF-8 lines as CP932, each ended by CR LF.
std::string EncodeLines(const ITextCodec& codec, const std::vector<std::string>& lines);
// Writes UTF-8 lines as a CP932 file with CR LF ends, replacing the file atomically.
bool WriteTextLines(IFiles& files, const ITextCodec& codec, const std::string& path,
                    const std::vector<std::string>& lines, std::string* error = nullptr);

// Folder part of a Windows path, with its trailing backslash ("C:\a\b.exe" -> "C:\a\").
std::string ExtractFilePath(const std::string& path);
// File name part of a Windows path ("C:\a\b.exe" -> "b.exe").
std::string ExtractFileName(const std::string& path);
// The path with its extension replaced ("C:\a\b.exe", ".ini" -> "C:\a\b.ini").
std::string ChangeFileExt(const std::string& path, const std::string& ext);

}  // namespace orv
