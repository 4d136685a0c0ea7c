#pragma once
// NOVLA_ASSERT(condition): an invariant the code relies on, stated where it
// holds. Checked in the host, fuzz and test builds (NOVLA_CHECKS), where a
// broken one stops the program at once (a trap, which the tests and the
// fuzzers report with its place); compiled out of the release, which keeps
// handling every input soundly without it. Never a check of input: input is
// refused by the code itself, in every build.
#if defined(NOVLA_CHECKS)
#define NOVLA_ASSERT(condition) ((condition) ? (void)0 : __builtin_trap())
#else
#define NOVLA_ASSERT(condition) ((void)0)
#endif
