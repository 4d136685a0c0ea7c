// The product record and file table of Tessaronix 5.00.
#include "payload/product.h"

const ProductInfo g_productInfo = {
    "Tessaronix", "5.00", "NOVLA\\Tessaronix", "NOVLA", "http://www.novla.com/support.html",
    {2007, 7, 5, 20, 5, 0, 0, 0},
};

const PayloadTable g_payloadTable = {
    {
        {"TSXCleanup.exe", 0x0102, "CLEANUP_98", "Remove", 73728, 42777},
        {"TSXCleanup.exe", 0x0202, "CLEANUP_XP", "-", 100352, 61547},
        {"Tessaronix.exe", 0x0101, "PROGRAM_98", "Tessaronix", 385024, 178539},
        {"Tessaronix.exe", 0x0201, "PROGRAM_XP", "-", 458752, 215320},
        {"Tessaronix.chm", 0x0301, "PROGRAMHLP", "Tessaronix Help", 63952, 57306},
        {"Catalyne.exe", 0x0101, "INDEXER_98", "Catalyne", 307200, 144070},
        {"Catalyne.exe", 0x0201, "INDEXER_XP", "-", 364544, 175178},
        {"Catalyne.chm", 0x0301, "INDEXERHLP", "Catalyne Help", 57654, 50972},
        {"Upkeep.exe", 0x0301, "UPDATER", "Update", 57344, 29813},
        {"Go Novla.url", 0x0301, "WEBLINK", "Go Novla", 47, 0},
        {"Ordering.txt", 0x0301, "ORDER", "-", 1993, 755},
        {"Registering.txt", 0x0301, "REGINFO", "-", 942, 551},
        {"TSXCtxMenu.dll", 0x0304, "CONTEXT", "-", 32768, 11414},
    },
    13,
    7,
};
