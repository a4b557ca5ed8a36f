// A second copy for the hand-over tests: hands its text to the receiver of the class and ends
// with exit code 1 when the running copy took it, else 0.
//   handover_sender CLASS TEXT TIMEOUT_MS
#include "app/handover.h"
#include "platform/handover_channel.h"

#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 4)
        return 2;
    return zuv::HandOverToRunningCopy(argv[2], std::atoi(argv[3]),
                                      zuv::platform::HandoverAddress(argv[1]))
               ? 1
               : 0;
}
