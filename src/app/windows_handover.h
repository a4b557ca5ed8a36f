#pragma once

#include <string>

namespace zuv {

// The class of the running copy's window that second copies look for.
inline constexpr char kHandoverWindowClass[] = "TZUVMainForm";

// Sender on Windows: finds the running copy's window of `className`, asks whether it takes files
// and, when it does, hands the command line over through the shared block, which lives until the
// reply. True when the running copy took the files; false when there is no such window, it said
// no or did not answer within `timeoutMs`, or the block could not be made.
bool HandOverToWindow(const std::string& className, const std::string& commandLine, int timeoutMs);

} // namespace zuv
