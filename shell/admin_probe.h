#pragma once
// The administrator probe of both programs: whether this user may make and
// delete keys below HKEY_LOCAL_MACHINE, asked by doing it. Platform code.

// Creates the test key (ADMIN_TEST_KEY) below the maker's key and deletes it
// again through its parent, then removes each of the maker's keys that the
// creation had to make, so that the probe leaves the registry as it found
// it. False when the test key cannot be created. *deleted (when given) says
// whether the test key was deleted again.
bool ProbeAdminKey(bool* deleted);
