#include "platform/onewire/rom_search.h"

#include <algorithm>

namespace flextor::onewire {
namespace {

constexpr uint8_t kSearchROM = 0xF0;

// The branch to take where two devices part (bit and complement both 0).
int DiscrepancyDirection(const SearchState& state, int position, int byte, uint8_t mask) {
    if (position < state.LastDiscrepancy) {
        return (state.ROM_NO[byte] & mask) != 0 ? 1 : 0;
    }
    return position == state.LastDiscrepancy ? 1 : 0;
}

// One bit position: reads the bit and its complement, picks the direction and
// writes it. False when a slot failed or no device answered.
bool SearchBit(OWire& link, SearchState& state, int position, int& last_zero) {
    const int byte = (position - 1) / 8;
    const uint8_t mask = static_cast<uint8_t>(1 << ((position - 1) % 8));
    int bit = link.ReadBit(true, true, true);
    if (LastError() != kErrNone) {
        return false;
    }
    int complement = link.ReadBit(true, true, true);
    if (LastError() != kErrNone) {
        return false;
    }
    if (bit == 1 && complement == 1) {
        SetLastError(kErrSearchNoDevice);
        return false;
    }
    int direction = bit;
    if (bit == complement) {
        direction = DiscrepancyDirection(state, position, byte, mask);
        if (direction == 0) {
            last_zero = position;
        }
    }
    if (direction) {
        state.ROM_NO[byte] |= mask;
    } else {
        state.ROM_NO[byte] &= static_cast<uint8_t>(~mask);
    }
    link.WriteBit(direction, true, true);
    return true;
}

// Starts a pass: reset and the Search ROM command. False ends the search.
bool StartPass(OWire& link, const SearchState& state) {
    link.CheckPort();
    if (LastError() != kErrNone) {
        return false;
    }
    if (state.LastDeviceFlag) {
        SetLastError(kErrSearchDone);
        return false;
    }
    link.Flush();
    if (!link.Reset() || LastError() != kErrNone) {
        return false;
    }
    return link.WriteBytes(kSearchROM);
}

// One pass: the next device's code, or false when the search ends here.
bool SearchPass(OWire& link, SearchState& state, RomCode& rom) {
    if (!StartPass(link, state)) {
        return false;
    }
    int last_zero = 0;
    for (int position = 1; position <= 64; ++position) {
        if (!SearchBit(link, state, position, last_zero)) {
            return false;
        }
    }
    state.LastDiscrepancy = last_zero;
    if (last_zero == 0) {
        state.LastDeviceFlag = 1;
    }
    std::copy(std::begin(state.ROM_NO), std::end(state.ROM_NO), rom.begin());
    return true;
}

}  // namespace

SearchResult Search(OWire& link) {
    SetLastError(kErrNone);
    SearchState state;
    SearchResult result;
    RomCode rom{};
    int dropped_in_a_row = 0;
    while (dropped_in_a_row < kMaxDroppedCodesInARow && SearchPass(link, state, rom)) {
        if (IsDeviceCode(rom)) {
            result.push_back(rom);
            dropped_in_a_row = 0;
        } else {
            ++dropped_in_a_row;
        }
    }
    return result;
}

}  // namespace flextor::onewire
