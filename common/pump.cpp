#include "common/pump.h"

void PumpMessagesFor(HWND window, DWORD milliseconds)
{
#ifdef NOVLA_FAULTS
    // A sweep of the test build runs without the pauses (NOVLA_FAULT_PACE).
    milliseconds = FaultPacedDelay(milliseconds);
#endif
    DWORD start = GetTickCount();
    DWORD now;
    do {
        // The time is read before the peek, so the pass that first sees the
        // deadline still handles one message.
        now = GetTickCount();
        MSG message;
        if (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        // Unsigned difference: correct across the wrap of the tick count.
    } while (now - start < milliseconds);
}
