#pragma once
// The system's ANSI code page, for the character walks of common/path_walk.h.
// Platform code.

// Gives the walks of common/path_walk.h the lead bytes of the system's ANSI
// code page. Called first thing by each program's entry; when the system
// does not answer, the walks stay single-byte.
void LoadCodePageRules();
