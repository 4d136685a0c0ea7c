#include "common/code_page.h"

#include "common/path_walk.h"
#include "common/win32.h"

// CPINFO.LeadByte holds the pairs in the layout SetLeadByteRanges reads.
static_assert(sizeof(((CPINFO*)0)->LeadByte) == 2 * LEAD_BYTE_PAIRS, "lead-byte pairs");

void LoadCodePageRules()
{
    CPINFO info;
    if (GetCPInfo(CP_ACP, &info))
        SetLeadByteRanges(info.LeadByte);
}
