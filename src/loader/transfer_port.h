#pragma once

namespace molvane {

class CartController;

enum class PortChoice { Ready, NoPorts, NoneOpened, ReopenFailed };

// Finds the port a transfer runs on. With no current port every listed port is opened in turn and
// the last that opens becomes current. A known port is reopened when it is closed, or always when
// `reopenKnown` is set (the display is reached afresh for a bitmap upload).
PortChoice ChooseTransferPort(CartController& controller, bool reopenKnown);

// The message for a choice that failed; empty for Ready.
const char* PortChoiceMessage(PortChoice choice);

}  // namespace molvane
