#pragma once
// The product's names that the uninstaller checks an installation record
// against: its name, its program group and the names of its files and
// shortcut files. The uninstaller is itself a file of the product, so it
// cannot link the generated file table (which holds its own stored size);
// `novlapack names` writes these from the same manifest instead.
// Portable: no Windows header.

struct ProductNames {
    const char* name;                // "Tessaronix"
    const char* programGroup;        // "NOVLA\Tessaronix", below a Programs folder
    const char* const* fileNames;    // the distinct fileName of every row
    unsigned fileNameCount;
    const char* const* linkNames;    // "<shortcutName>.lnk" of every row with a shortcut
    unsigned linkNameCount;
};

extern const ProductNames g_productNames;
