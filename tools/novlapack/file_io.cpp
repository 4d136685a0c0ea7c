// Whole-file reads and writes, and the parts of a path, for the packer.
#include "file_io.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* data, std::string* error)
{
    data->clear();
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        *error = path + ": " + strerror(errno);
        return false;
    }
    uint8_t block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0)
        data->insert(data->end(), block, block + got);
    bool failed = ferror(file) != 0;
    fclose(file);
    if (failed) {
        *error = path + ": read error";
        return false;
    }
    return true;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& data, std::string* error)
{
    std::vector<uint8_t> present;
    std::string ignored;
    if (ReadWholeFile(path, &present, &ignored) && present == data)
        return true;
    std::string temporary = path + ".part";
    FILE* file = fopen(temporary.c_str(), "wb");
    if (!file) {
        *error = path + ": " + strerror(errno);
        return false;
    }
    bool ok = data.empty() || fwrite(data.data(), 1, data.size(), file) == data.size();
    ok = (fclose(file) == 0) && ok;
    if (ok && rename(temporary.c_str(), path.c_str()) != 0)
        ok = false;
    if (!ok) {
        *error = path + ": " + strerror(errno);
        remove(temporary.c_str());
    }
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& text, std::string* error)
{
    return WriteWholeFile(path, std::vector<uint8_t>(text.begin(), text.end()), error);
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
