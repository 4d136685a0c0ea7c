#pragma once
// Whole-file reads and writes, and the parts of a path, for the packer.
#include <stdint.h>

#include <string>
#include <vector>

// Reads the whole file. False with a reason in error when it cannot.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* data, std::string* error);

// Writes data as the whole file, unless the file already holds exactly these
// bytes (so a build that produced the same output rebuilds nothing). Writes
// to a temporary name first and renames it, so a failed write leaves no half
// file behind. False with a reason in error when it cannot.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& data, std::string* error);
bool WriteWholeFile(const std::string& path, const std::string& text, std::string* error);

// The folder of a path ("." for a bare name) and its last part.
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);
