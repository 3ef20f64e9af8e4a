// How QeloAutoShutDown switches the computer off: through logind over the
// system D-Bus, or through a replacement command that tests choose.
#pragma once

#include <string>

namespace qelo::outside {

// Names the replacement command; when set, logind is never asked.
inline constexpr const char* kShutdownCommandVariable = "QELO_SHUTDOWN_COMMAND";

// Both log what happened through QeloLog and say whether it worked.
bool RequestPowerOff();
bool RunShutdownCommand(const std::string& commandLine);

}  // namespace qelo::outside
