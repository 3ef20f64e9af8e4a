// The flat entry point of QeloAutoShutDown.
#include <cstdlib>

#include "outside/auto_shutdown.h"
#include "outside/qelo_log.h"
#include "shutdown/power_off.h"

int QeloShutDown(int mode) {
  try {
    if (mode != 0) {
      QeloLogTextW(u"QeloAutoShutDown: unknown shut-down mode; the computer stays on.");
      return 0;
    }
    if (const char* command = std::getenv(qelo::outside::kShutdownCommandVariable))
      return qelo::outside::RunShutdownCommand(command) ? 1 : 0;
    return qelo::outside::RequestPowerOff() ? 1 : 0;
  } catch (...) {
    return 0;
  }
}
