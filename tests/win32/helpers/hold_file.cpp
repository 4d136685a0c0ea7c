// Test helper: opens the file named by the first argument, creating it when
// missing, without sharing it with anyone, then waits until the event named
// by the second argument is set (or 60 s pass). Tests use it to have a target
// file in use by another process.
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    HANDLE done = CreateEventA(NULL, TRUE, FALSE, argv[2]);
    // Tell the test the file is held: it waits for this line.
    printf("held\n");
    fflush(stdout);
    WaitForSingleObject(done, 60000);
    CloseHandle(file);
    CloseHandle(done);
    return 0;
}
