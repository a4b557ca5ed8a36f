#pragma once

#include <cstdint>

namespace zuv::platform {

inline constexpr unsigned kSystemCommandMessage = 0x0112;      // WM_SYSCOMMAND
inline constexpr std::uintptr_t kScreenSaveCommand = 0xF140;   // SC_SCREENSAVE
inline constexpr std::uintptr_t kMonitorPowerCommand = 0xF170; // SC_MONITORPOWER

// Whether the main window answers a window message itself (with 1) instead of letting it take its
// ordinary course: the screen saver and monitor power-off commands while they are held off.
// The low four bits of the command are the system's own and are not compared.
inline bool SwallowsSystemCommand(unsigned message, std::uintptr_t wParam, bool heldOff)
{
    if (!heldOff || message != kSystemCommandMessage)
        return false;
    const std::uintptr_t command = wParam & 0xFFF0;
    return command == kScreenSaveCommand || command == kMonitorPowerCommand;
}

} // namespace zuv::platform
