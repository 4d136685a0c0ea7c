#pragma once
// The one place the installer's platform code takes the Windows headers from.
// In the test build (NOVLA_FAULTS) it also puts the fault seam over the Win32
// calls that can fail; the release build sees the plain headers only.
//
// Failures in common/: each helper reports a failed call in its result
// (false, null, an empty text) and shows nothing; the caller decides what
// the user must know. Closing a handle that was only read from, or a
// search, is not examined: nothing it held can be lost.
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
// A call through a pointer (a COM method, a function looked up at run time)
// that the test build can fail like a guarded Win32 call, by the name given
// (for instance "IPersistFile::Save"), with the failure value given.
#define GUARDED_CALL(name, failure, call) (FaultHit(name) ? (failure) : (call))
#else
#define GUARDED_CALL(name, failure, call) (call)
#endif
#define GUARDED_COM(name, call) GUARDED_CALL(name, (HRESULT)E_FAIL, call)
