#pragma once
// Bounded text and path building shared by every part of the installer and by
// the host tools. No Windows header: this builds natively too.
//
// Every routine takes the capacity of its output in bytes, terminator
// included, and never writes beyond it. A result that would not fit is not
// cut: the routine reports false and leaves the output empty, so a caller can
// never go on with a shortened path that names some other place.
#include <stddef.h>

enum { PATH_CAPACITY = 260, KEY_CAPACITY = 256 };

// Copies src into out. False (out empty) when src does not fit.
bool CopyText(char* out, size_t capacity, const char* src);

// Appends src to the text already in out. False (out unchanged) when the
// result would not fit.
bool AppendText(char* out, size_t capacity, const char* src);

// Length of text, counting at most limit bytes: a text with no terminator in
// its first limit bytes reads as limit long, and nothing from text[limit] on
// is ever looked at.
size_t TextLength(const char* text, size_t limit);

// Formats into out. The format knows exactly these conversions: %s, %.*s (the
// precision an int argument; a negative one means the whole text), %d, %u and
// %%. Anything else after a '%', or a '%' that ends the format, is refused.
// False (out empty) when the result would not fit or the format is refused.
bool FormatText(char* out, size_t capacity, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// Joins folder and name with exactly one backslash between them: a folder
// whose last character is a backslash (common/path_walk.h) gets no second
// one. Nothing else is normalised. An empty folder yields the name alone
// (nothing before the output is ever looked at). False (out empty) when the result would not fit.
bool JoinPath(char* out, size_t capacity, const char* folder, const char* name);
