#include "FilterReport.h"

#include <strsafe.h>

unsigned CacheUsePercent(const WriteFilterDevice& device)
{
    if (device.CacheFull())
        return 100;
    // In doubles, since blocks times 100 overflows 32 bits: the product is
    // exact there, and a quotient below 100 by at least 1/blocksTotal never
    // rounds up to the next whole number.
    double use = (double)device.status.blocksInUse * 100.0 / (double)device.status.blocksTotal;
    return (unsigned)use;
}

bool FormatFilterReport(PanelState state, const WriteFilterDevice& device, wchar_t* text,
                        size_t size)
{
    if (!HasFigures(state))
        return SUCCEEDED(StringCchPrintfW(text, size, L"state=%s\r\n", StatusLine(state)));
    const WriteFilterStatus& status = device.status;
    return SUCCEEDED(StringCchPrintfW(text, size,
                                      L"state=%s\r\n"
                                      L"blocksInUse=%lu\r\n"
                                      L"blocksTotal=%lu\r\n"
                                      L"mode=%u\r\n"
                                      L"entriesFlushed=%lu\r\n"
                                      L"cacheUsePercent=%u\r\n",
                                      StatusLine(state), (unsigned long)status.blocksInUse,
                                      (unsigned long)status.blocksTotal, (unsigned)status.mode,
                                      (unsigned long)status.entriesFlushed,
                                      CacheUsePercent(device)));
}
