#pragma once
// The code pages the character walks must handle, and a model of those walks
// that works on whole characters (a text cut into its characters first), so
// that a walk that splits a double-byte character disagrees with it. Shared
// by the host tests and the path-walk fuzzer. Test code.
#include <stdint.h>

#include <string>
#include <vector>

#include "common/path_walk.h"

namespace model {

struct CodePage {
    unsigned number;
    uint8_t leadBytes[2 * LEAD_BYTE_PAIRS];  // as CPINFO.LeadByte
};

// The single-byte case and the four double-byte ANSI code pages of East
// Asian Windows, with the lead-byte ranges those systems report.
const CodePage kCodePages[] = {
    {1252, {0}},
    {932, {0x81, 0x9F, 0xE0, 0xFC, 0}},
    {936, {0x81, 0xFE, 0}},
    {949, {0x81, 0xFE, 0}},
    {950, {0x81, 0xFE, 0}},
};

inline bool IsLead(const CodePage& cp, uint8_t b)
{
    for (int i = 0; i < 2 * LEAD_BYTE_PAIRS && cp.leadBytes[i] != 0; i += 2)
        if (b >= cp.leadBytes[i] && b <= cp.leadBytes[i + 1])
            return true;
    return false;
}

// text cut into its characters: a lead byte takes the next byte with it,
// except the terminator.
inline std::vector<std::string> Chars(const CodePage& cp, const std::string& text)
{
    std::vector<std::string> chars;
    for (size_t i = 0; i < text.size();) {
        size_t size = IsLead(cp, (uint8_t)text[i]) && i + 1 < text.size() ? 2 : 1;
        chars.push_back(text.substr(i, size));
        i += size;
    }
    return chars;
}

inline std::string Folded(std::string c)
{
    if (c.size() == 1 && c[0] >= 'a' && c[0] <= 'z')
        c[0] = (char)(c[0] - 'a' + 'A');
    return c;
}

inline bool SameChars(const std::vector<std::string>& a, size_t at, const std::vector<std::string>& b)
{
    if (at + b.size() > a.size())
        return false;
    for (size_t i = 0; i < b.size(); ++i)
        if (Folded(a[at + i]) != Folded(b[i]))
            return false;
    return true;
}

inline bool Same(const CodePage& cp, const std::string& a, const std::string& b)
{
    return Chars(cp, a).size() == Chars(cp, b).size() && SameChars(Chars(cp, a), 0, Chars(cp, b));
}

inline bool Contains(const CodePage& cp, const std::string& text, const std::string& needle)
{
    std::vector<std::string> t = Chars(cp, text), n = Chars(cp, needle);
    for (size_t at = 0; at <= t.size(); ++at)
        if (SameChars(t, at, n))
            return true;
    return false;
}

inline bool EndsWithSeparator(const CodePage& cp, const std::string& text)
{
    std::vector<std::string> t = Chars(cp, text);
    return !t.empty() && t.back() == "\\";
}

inline std::string Capitalized(const CodePage& cp, const std::string& text)
{
    std::vector<std::string> t = Chars(cp, text);
    std::string out;
    bool upper = true;
    for (std::string c : t) {
        if (c.size() == 1 && upper && c[0] >= 'a' && c[0] <= 'z')
            c[0] = (char)(c[0] - 'a' + 'A');
        else if (c.size() == 1 && !upper && c[0] >= 'A' && c[0] <= 'Z')
            c[0] = (char)(c[0] - 'A' + 'a');
        // After a separator the next character is capitalised and consumed.
        upper = !upper && (c == " " || c == "\\");
        out += c;
    }
    return out;
}

// The rest of path below folder, as PathBelowFolder defines it; false when
// path is not at or below folder.
inline bool Below(const CodePage& cp, const std::string& path, std::string folder, std::string* rest)
{
    std::vector<std::string> f = Chars(cp, folder);
    bool root = f.size() == 3 && f[1] == ":" && f[2] == "\\" && f[0].size() == 1;
    if (!root && !f.empty() && f.back() == "\\")
        f.pop_back();
    std::vector<std::string> p = Chars(cp, path);
    if (f.empty() || !SameChars(p, 0, f))
        return false;
    size_t at = f.size();
    if (!root && at < p.size() && p[at] != "\\")
        return false;
    if (!root && at < p.size())
        ++at;
    rest->clear();
    for (size_t i = at; i < p.size(); ++i)
        *rest += p[i];
    return true;
}

}  // namespace model

#include <string.h>

#include "common/path_text.h"

namespace model {

// Every walk of common/path_walk.h on a and b under the code page set now
// (cp), against the model: the first disagreement, named; empty when none.
inline std::string Disagreement(const CodePage& cp, const std::string& a, const std::string& b)
{
    const char* pa = a.c_str();
    const char* pb = b.c_str();
    if (SameTextNoCase(pa, pb) != Same(cp, a, b))
        return "SameTextNoCase";
    if (ContainsTextNoCase(pa, pb) != Contains(cp, a, b))
        return "ContainsTextNoCase";
    if (::EndsWithSeparator(pa) != EndsWithSeparator(cp, a))
        return "EndsWithSeparator";
    std::vector<char> caps(a.begin(), a.end());
    caps.push_back('\0');
    CapitalizePath(caps.data());
    if (std::string(caps.data()) != Capitalized(cp, a))
        return "CapitalizePath";
    std::string rest;
    const char* below = PathBelowFolder(pa, pb);
    if ((below != nullptr) != Below(cp, a, b, &rest) || (below != nullptr && rest != below))
        return "PathBelowFolder";
    char joined[PATH_CAPACITY];
    if (a.size() + b.size() + 1 < sizeof joined && JoinPath(joined, sizeof joined, pa, pb) &&
        std::string(joined) != a + (a.empty() || EndsWithSeparator(cp, a) ? "" : "\\") + b)
        return "JoinPath";
    return "";
}

}  // namespace model
