// The browser of the resource benchmark's searches (named by openurl.ini):
// takes the address on its command line and ends at once, so that a soak of
// searches opens nothing.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
