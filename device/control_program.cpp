#include "device/control_program.h"

#include <windows.h>
#include <shlwapi.h>

#include "core/bounded_string.h"
#include "device/card_driver_contract.h"
#include "device/model_text.h"
#include "sys/globals.h"
#include "sys/module_instance.h"
#include "sys/process_launch.h"

unsigned long TellControlProgram(const char* argument) {
  char file[kTextBufferSize];
  char program[MAX_PATH];
  if (!FormatWithModel(card_driver::kControlProgram, file, sizeof file) ||
      !CopyText(program, sizeof program, setupContext.targetFolder) ||
      !PathAppendA(program, file)) {
    return ERROR_BUFFER_OVERFLOW;
  }
  return LaunchProcess(program, argument, SW_HIDE);
}
