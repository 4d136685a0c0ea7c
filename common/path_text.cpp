#include "common/path_text.h"

#include <stdarg.h>
#include <string.h>

#include "common/check.h"
#include "common/path_walk.h"

bool CopyText(char* out, size_t capacity, const char* src)
{
    if (capacity == 0)
        return false;
    size_t length = strlen(src);
    if (length >= capacity) {
        out[0] = '\0';
        return false;
    }
    memcpy(out, src, length + 1);
    return true;
}

size_t TextLength(const char* text, size_t limit)
{
    size_t length = 0;
    while (length < limit && text[length] != '\0')
        ++length;
    return length;
}

bool AppendText(char* out, size_t capacity, const char* src)
{
    size_t used = TextLength(out, capacity);
    size_t length = strlen(src);
    if (used >= capacity || length >= capacity - used)
        return false;
    memcpy(out + used, src, length + 1);
    return true;
}

bool FormatText(char* out, size_t capacity, const char* format, ...)
{
    if (capacity == 0)
        return false;
    va_list args;
    va_start(args, format);
    size_t used = 0;
    bool fits = true;
    for (const char* f = format; *f != '\0'; ++f) {
        // Each turn appends one piece: a plain character, a '%' or the
        // text of one conversion.
        const char* piece = f;
        size_t length = 1;
        char digits[11];  // "-2147483648" at the longest
        if (*f == '%') {
            ++f;
            size_t limit = (size_t)-1;
            if (f[0] == '.' && f[1] == '*' && f[2] == 's') {
                int precision = va_arg(args, int);
                if (precision >= 0)
                    limit = (size_t)precision;
                f += 2;
            }
            if (*f == 's') {
                // A precision bounds the read too: the argument need not be
                // terminated within it.
                piece = va_arg(args, const char*);
                length = TextLength(piece, limit);
            } else if (*f == 'd' || *f == 'u') {
                unsigned magnitude;
                bool negative = false;
                if (*f == 'd') {
                    int value = va_arg(args, int);
                    negative = value < 0;
                    // Negated in unsigned arithmetic, so the most negative
                    // int has a magnitude too.
                    magnitude = negative ? 0u - (unsigned)value : (unsigned)value;
                } else {
                    magnitude = va_arg(args, unsigned);
                }
                char* p = digits + sizeof digits;
                do {
                    *--p = (char)('0' + magnitude % 10);
                    magnitude /= 10;
                } while (magnitude != 0);
                if (negative)
                    *--p = '-';
                piece = p;
                length = (size_t)(digits + sizeof digits - p);
            } else if (*f != '%') {
                // An unknown conversion, or a '%' that ends the format.
                fits = false;
                break;
            }
        }
        if (length >= capacity - used) {
            fits = false;
            break;
        }
        memcpy(out + used, piece, length);
        used += length;
    }
    va_end(args);
    if (!fits) {
        out[0] = '\0';
        return false;
    }
    // The test before each piece kept room for the terminator.
    NOVLA_ASSERT(used < capacity);
    out[used] = '\0';
    return true;
}

bool JoinPath(char* out, size_t capacity, const char* folder, const char* name)
{
    size_t folderLength = strlen(folder);
    size_t nameSize = strlen(name) + 1;  // with its terminator
    // The separator is added only after a folder that does not already end
    // in one; an empty folder has no last character to look at.
    size_t separator = (folderLength > 0 && !EndsWithSeparator(folder)) ? 1 : 0;
    if (folderLength + separator + nameSize > capacity) {
        if (capacity > 0)
            out[0] = '\0';
        return false;
    }
    // memmove: a caller may join a buffer onto itself.
    memmove(out, folder, folderLength);
    if (separator)
        out[folderLength] = '\\';
    memmove(out + folderLength + separator, name, nameSize);
    return true;
}
