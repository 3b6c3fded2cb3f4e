/* An empty program that, like every window program, imports user32: under Wine loading user32
   alone costs more than everything else a reminder start does, so this baseline shows how much
   of the tool's start is its own work. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  return GetSystemMetrics(SM_CMONITORS) < 0;
}
