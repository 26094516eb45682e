// The saver's entry. The puzzle window and the kit come with later work;
// for now the program only starts and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
