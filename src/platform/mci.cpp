// MCI music commands. Stand-in until the decoder lands: accepts every command.
#include "platform/mmsystem.h"

uint32_t mciSendString(const char* command, char* returnBuffer, uint32_t returnLength,
                       HWND callback) {
  (void)command;
  (void)callback;
  if (returnBuffer && returnLength) returnBuffer[0] = '\0';
  return 0;
}
