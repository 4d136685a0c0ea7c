#include "cleanup/single_cleanup.h"

#include "common/path_text.h"
#include "common/single_run.h"
#include "common/win32.h"
#include "record/product_names.h"
#include "resources/resource_ids.h"

bool ClaimCleanupRun()
{
    if (ClaimProductRun(g_productNames.name))
        return true;
    char text[KEY_CAPACITY];
    if (!FormatText(text, sizeof text,
                    "Setup or the removal of NOVLA %s is already running. Nothing was removed.\r\n\r\n"
                    "Remove NOVLA %s again once it has ended.",
                    g_productNames.name, g_productNames.name))
        CopyText(text, sizeof text, SETUP_TITLE);
    MessageBoxA(NULL, text, SETUP_TITLE, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    return false;
}
