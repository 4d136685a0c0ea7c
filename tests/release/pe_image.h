// A small reader of a built Windows executable, for the tests that read the
// release installer back: the file header, the optional header, the section
// table, the import directory and the resource tree. Every read is checked
// against the file's size; a malformed image reads as absent, never outside
// the bytes.
#pragma once

#include <stdint.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace pe {

struct Section {
    std::string name;
    uint32_t virtualAddress = 0;
    uint32_t rawOffset = 0;
    uint32_t rawSize = 0;
};

// A resource's type and name: a number, or (for a named one) its text.
struct ResourceKey {
    uint32_t id = 0;
    std::string name;
};

class Image {
public:
    explicit Image(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        Parse();
    }

    bool valid() const { return valid_; }
    uint16_t machine() const { return U16(nt_ + 4); }
    uint32_t timeDateStamp() const { return U32(nt_ + 8); }
    uint32_t symbolTable() const { return U32(nt_ + 12); }
    uint32_t symbolCount() const { return U32(nt_ + 16); }
    uint16_t characteristics() const { return U16(nt_ + 22); }
    uint16_t magic() const { return U16(optional_); }
    uint16_t osVersionMajor() const { return U16(optional_ + 40); }
    uint16_t osVersionMinor() const { return U16(optional_ + 42); }
    uint16_t subsystemVersionMajor() const { return U16(optional_ + 48); }
    uint16_t subsystemVersionMinor() const { return U16(optional_ + 50); }
    uint16_t subsystem() const { return U16(optional_ + 68); }
    const std::vector<Section>& sections() const { return sections_; }

    // Data directory `index`: its RVA and size. The directories follow 96
    // bytes of optional header in a PE32 image, 112 in a PE32+ one (the
    // 64-bit twin's).
    uint32_t DirectoryRva(int index) const { return U32(Directories() + 8 * index); }
    uint32_t DirectorySize(int index) const { return U32(Directories() + 4 + 8 * index); }

    // The names of the DLLs the import directory names, as written.
    std::vector<std::string> ImportedLibraries() const
    {
        std::vector<std::string> names;
        size_t at = Offset(DirectoryRva(1));
        for (; at != 0 && Has(at, 20) && U32(at + 12) != 0; at += 20)
            names.push_back(CString(Offset(U32(at + 12))));
        return names;
    }

    // Every function the import directory names, with its DLL: by name, or
    // "#N" for one imported by ordinal N. Each DLL's names come from its
    // lookup table, or from its address table when it has none.
    std::vector<std::pair<std::string, std::string>> ImportedFunctions() const
    {
        std::vector<std::pair<std::string, std::string>> functions;
        const bool wide = magic() == 0x020B;
        const size_t slot = wide ? 8 : 4;
        size_t at = Offset(DirectoryRva(1));
        for (; at != 0 && Has(at, 20) && U32(at + 12) != 0; at += 20) {
            std::string library = CString(Offset(U32(at + 12)));
            size_t thunk = Offset(U32(at) != 0 ? U32(at) : U32(at + 16));
            for (; thunk != 0 && Has(thunk, slot); thunk += slot) {
                uint32_t low = U32(thunk), high = wide ? U32(thunk + 4) : 0;
                bool byOrdinal = wide ? (high & 0x80000000u) != 0 : (low & 0x80000000u) != 0;
                if (low == 0 && high == 0)
                    break;
                if (byOrdinal) {
                    functions.emplace_back(library, "#" + std::to_string(low & 0xFFFF));
                } else {
                    size_t name = Offset(low & 0x7FFFFFFFu);
                    functions.emplace_back(library, name != 0 ? CString(name + 2) : "");
                }
            }
        }
        return functions;
    }

    // The bytes of the resource of `type` and `name` (first language), or
    // false when the image has none.
    bool Resource(const ResourceKey& type, const ResourceKey& name, std::string* data) const
    {
        size_t at;
        uint32_t size;
        if (!ResourceSpan(type, name, &at, &size))
            return false;
        data->assign(bytes_.begin() + at, bytes_.begin() + at + size);
        return true;
    }

    // Where in the file the bytes of that resource lie.
    bool ResourceSpan(const ResourceKey& type, const ResourceKey& name, size_t* at, uint32_t* size) const
    {
        size_t root = Offset(DirectoryRva(2));
        if (root == 0)
            return false;
        size_t level = Find(root, root, type);
        level = level ? Find(root, level, name) : 0;
        if (level == 0 || !Has(level, 16) || U16(level + 12) + U16(level + 14) == 0)
            return false;
        uint32_t leaf = U32(level + 16 + 4);
        if (leaf & 0x80000000u)
            return false;
        size_t entry = root + leaf;
        if (!Has(entry, 16))
            return false;
        *at = Offset(U32(entry));
        *size = U32(entry + 4);
        return *at != 0 && Has(*at, *size);
    }

    size_t fileSize() const { return bytes_.size(); }
    const std::vector<char>& bytes() const { return bytes_; }
    uint16_t dllCharacteristics() const { return U16(optional_ + 70); }
    // Where the checksum field lies in the file, and its value.
    size_t checkSumOffset() const { return optional_ + 64; }
    uint32_t checkSum() const { return U32(checkSumOffset()); }
    // Where the entry of data directory `index` lies in the file.
    size_t DirectoryEntryOffset(int index) const { return Directories() + 8 * index; }

    // The checksum as the system computes it (CheckSumMappedFile): the
    // file's 16-bit words added with the carries folded back in, the
    // checksum field counted as zero, plus the file's length.
    uint32_t ComputedCheckSum() const
    {
        uint32_t sum = 0;
        for (size_t at = 0; at < bytes_.size(); at += 2) {
            if (at == checkSumOffset() || at == checkSumOffset() + 2)
                continue;
            sum += at + 1 < bytes_.size() ? U16(at) : uint8_t(bytes_[at]);
            sum = (sum & 0xFFFF) + (sum >> 16);
        }
        return ((sum & 0xFFFF) + (sum >> 16)) + (uint32_t)bytes_.size();
    }

    // The time stamp of the root of the resource tree.
    uint32_t ResourceTimeDateStamp() const
    {
        size_t root = Offset(DirectoryRva(2));
        return root ? U32(root + 4) : 0xFFFFFFFFu;
    }

private:
    size_t Directories() const { return optional_ + (magic() == 0x020B ? 112 : 96); }
    bool Has(size_t at, size_t count) const { return at <= bytes_.size() && count <= bytes_.size() - at; }
    uint16_t U16(size_t at) const
    {
        return Has(at, 2) ? (uint16_t)(uint8_t(bytes_[at]) | uint8_t(bytes_[at + 1]) << 8) : 0;
    }
    uint32_t U32(size_t at) const { return Has(at, 4) ? (uint32_t)U16(at) | (uint32_t)U16(at + 2) << 16 : 0; }

    std::string CString(size_t at) const
    {
        std::string text;
        while (at != 0 && at < bytes_.size() && bytes_[at] != '\0')
            text += bytes_[at++];
        return text;
    }

    // The file offset of an RVA, or 0 when no section holds it.
    size_t Offset(uint32_t rva) const
    {
        for (const Section& s : sections_) {
            if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize)
                return s.rawOffset + (rva - s.virtualAddress);
        }
        return 0;
    }

    // The entry of directory `dir` that matches `key`: the offset of its
    // subdirectory, or 0.
    size_t Find(size_t root, size_t dir, const ResourceKey& key) const
    {
        if (!Has(dir, 16))
            return 0;
        unsigned count = U16(dir + 12) + U16(dir + 14);
        for (unsigned i = 0; i < count; ++i) {
            size_t entry = dir + 16 + 8 * (size_t)i;
            uint32_t name = U32(entry), target = U32(entry + 4);
            bool matches = false;
            if (name & 0x80000000u) {
                size_t text = root + (name & 0x7FFFFFFFu);
                std::string ascii;
                for (unsigned c = 0, length = U16(text); c < length && Has(text + 2 + 2 * c, 2); ++c)
                    ascii += (char)U16(text + 2 + 2 * c);
                matches = !key.name.empty() && ascii == key.name;
            } else {
                matches = key.name.empty() && name == key.id;
            }
            if (matches && (target & 0x80000000u))
                return root + (target & 0x7FFFFFFFu);
        }
        return 0;
    }

    void Parse()
    {
        if (!Has(0, 64) || bytes_[0] != 'M' || bytes_[1] != 'Z')
            return;
        nt_ = U32(60);
        if (!Has(nt_, 24) || U32(nt_) != 0x00004550u)  // "PE\0\0"
            return;
        uint16_t sectionCount = U16(nt_ + 6);
        uint16_t optionalSize = U16(nt_ + 20);
        optional_ = nt_ + 24;
        if (optionalSize < 96 + 8 * 16 || !Has(optional_, optionalSize))
            return;
        size_t table = optional_ + optionalSize;
        for (uint16_t i = 0; i < sectionCount; ++i) {
            size_t at = table + 40 * (size_t)i;
            if (!Has(at, 40))
                return;
            Section s;
            for (int c = 0; c < 8 && bytes_[at + c] != '\0'; ++c)
                s.name += bytes_[at + c];
            s.virtualAddress = U32(at + 12);
            s.rawSize = U32(at + 16);
            s.rawOffset = U32(at + 20);
            if (!Has(s.rawOffset, s.rawSize))
                return;
            sections_.push_back(s);
        }
        valid_ = true;
    }

    std::vector<char> bytes_;
    size_t nt_ = 0;
    size_t optional_ = 0;
    std::vector<Section> sections_;
    bool valid_ = false;
};

// A version resource (VS_VERSIONINFO) read back: its fixed numbers and the
// strings of its first string table. Each block is a length, a value
// length, a type (1: the value is text), a UTF-16 key and the value, each
// part on a 4-byte boundary, then the block's children.
struct VersionInfo {
    uint32_t fileVersion[2] = {};     // dwFileVersionMS, LS
    uint32_t productVersion[2] = {};  // dwProductVersionMS, LS
    std::string table;                // the string table's key: language and code page
    std::vector<std::pair<std::string, std::string>> strings;  // in order, ASCII
    uint32_t translation = 0;         // VarFileInfo's first language and code page
};

namespace version_detail {
struct Block {
    std::string key;
    size_t value = 0, valueBytes = 0, children = 0, end = 0;
};
inline uint16_t U16(const std::string& d, size_t at) { return uint16_t(uint8_t(d[at]) | uint8_t(d[at + 1]) << 8); }
inline size_t Align4(size_t at) { return (at + 3) & ~size_t(3); }
// The block at `at`, which must end by `limit`.
inline bool Read(const std::string& d, size_t at, size_t limit, Block* b)
{
    if (at + 6 > limit || U16(d, at) < 6 || at + U16(d, at) > limit)
        return false;
    b->end = at + U16(d, at);
    b->valueBytes = U16(d, at + 4) == 1 ? 2 * size_t(U16(d, at + 2)) : U16(d, at + 2);
    b->key.clear();
    size_t p = at + 6;
    for (; p + 2 <= b->end && U16(d, p) != 0; p += 2)
        b->key += (char)U16(d, p);
    b->value = Align4(p + 2);
    if (p + 2 > b->end || b->value + b->valueBytes > b->end)
        return false;
    b->children = Align4(b->value + b->valueBytes);
    return true;
}
inline std::string Text(const std::string& d, const Block& b)
{
    std::string text;
    for (size_t p = b.value; p + 2 <= b.value + b.valueBytes && U16(d, p) != 0; p += 2)
        text += (char)U16(d, p);
    return text;
}
}  // namespace version_detail

// False when the bytes are not a whole version resource.
inline bool ReadVersionInfo(const std::string& d, VersionInfo* info)
{
    using namespace version_detail;
    Block root;
    if (!Read(d, 0, d.size(), &root) || root.key != "VS_VERSION_INFO" || root.valueBytes != 52 ||
        U16(d, root.value) != 0x04BD || U16(d, root.value + 2) != 0xFEEF)  // VS_FIXEDFILEINFO's signature
        return false;
    auto u32 = [&](size_t at) { return uint32_t(U16(d, at)) | uint32_t(U16(d, at + 2)) << 16; };
    info->fileVersion[0] = u32(root.value + 8);
    info->fileVersion[1] = u32(root.value + 12);
    info->productVersion[0] = u32(root.value + 16);
    info->productVersion[1] = u32(root.value + 20);
    for (size_t at = root.children; at < root.end; ) {
        Block part, table, value;
        if (!Read(d, at, root.end, &part))
            return false;
        if (part.key == "StringFileInfo" && info->table.empty()) {
            if (!Read(d, part.children, part.end, &table))
                return false;
            info->table = table.key;
            for (size_t s = table.children; s < table.end; s = Align4(value.end)) {
                if (!Read(d, s, table.end, &value))
                    return false;
                info->strings.emplace_back(value.key, Text(d, value));
            }
        } else if (part.key == "VarFileInfo") {
            if (!Read(d, part.children, part.end, &value) || value.key != "Translation" || value.valueBytes < 4)
                return false;
            info->translation = u32(value.value);
        }
        at = Align4(part.end);
    }
    return true;
}

}  // namespace pe
