// The question of a first start, before the program touches any pin: does the
// relay board connected to the outputs switch its relays on at a high level or
// at a low one? A board of the second kind turns every relay on, the heater's
// included, when its inputs are driven low, which is what "every output off"
// means to the pins unless the program knows. GUI thread only.
#pragma once

namespace flextor {

enum class RelayBoardAnswer {
    kNone,  // the box was closed without an answer
    kHigh,  // the relays switch on at 3.3 V
    kLow,   // the relays switch on at 0 V
};

// Shows the modal question and waits, however long, for the answer. A
// termination signal closes it unanswered (the event loop's CloseModalBoxes).
RelayBoardAnswer AskRelayBoard();

}  // namespace flextor
