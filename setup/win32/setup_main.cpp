// The installer's entry. Installing comes with the installer's own work;
// for now the program only starts and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
