// The ROM search: lists every device on the bus, one device per pass, by
// walking the 64 bits of the codes and remembering where they part.
//
// Thread: the sensor polling thread.
#pragma once

#include <cstdint>

#include "platform/onewire/link.h"
#include "platform/onewire/rom_code.h"

namespace flextor::onewire {

// The state carried from one pass of a search to the next.
struct SearchState {
    int32_t LastDiscrepancy = 0;  // bit 1..64 where the 0 branch was last taken; 0 none
    uint8_t LastDeviceFlag = 0;   // 1 once the last device was found
    uint8_t ROM_NO[8] = {};       // the code being assembled
};

// A search gives up after this many passes in a row whose code is not a device:
// a bus held low reads as a code of zeros, and would otherwise be walked through
// every one of its 2^64 phantom branches.
inline constexpr int kMaxDroppedCodesInARow = 8;

// Runs a complete search, slot by slot. Its waits follow LinkOptions like every
// other wait of the link: sleeping in the port's wait costs no time, since it
// ends as the echo arrives, while polling without sleeps would hold a core for
// the whole search and starve the rest of the program. Codes that are all zero
// or fail their CRC are skipped. Any error
// ends the search and the devices found so far are the result; after the last
// device LastError() is 7.
SearchResult Search(OWire& link);

}  // namespace flextor::onewire
