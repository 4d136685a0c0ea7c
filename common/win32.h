#pragma once
// The one place the installer's platform code takes the Windows headers from.
// In the test build (NOVLA_FAULTS) it also puts the fault seam over the Win32
// calls that can fail; the release build sees the plain headers only.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#ifdef NOVLA_FAULTS
#include "common/fault_seam.h"
// A COM method call that the test build can fail like a guarded Win32
// call, by the name given (for instance "IPersistFile::Save").
#define GUARDED_COM(name, call) (FaultHit(name) ? (HRESULT)E_FAIL : (call))
#else
#define GUARDED_COM(name, call) (call)
#endif
