/* Lists the printers Wine knows. Wine copies the CUPS queues and the default printer into its
   prefix only when a process loads winspool.drv, so the print tests run this once after the
   PDF printer was added. Exit code 0 when at least one printer is listed. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(void) {
  DWORD needed = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, NULL, 4, NULL, 0, &needed, &count);
  BYTE* buffer = needed ? (BYTE*)malloc(needed) : NULL;
  if (!buffer || !EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, NULL, 4, buffer,
                                needed, &needed, &count)) {
    free(buffer);
    printf("no printers\n");
    return 1;
  }
  const PRINTER_INFO_4A* info = (const PRINTER_INFO_4A*)buffer;
  for (DWORD i = 0; i < count; ++i) printf("%s\n", info[i].pPrinterName);
  char device[260] = "";
  GetProfileStringA("Windows", "Device", "", device, sizeof device);
  printf("default: %s\n", device);
  free(buffer);
  return count > 0 ? 0 : 1;
}
