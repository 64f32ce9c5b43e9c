#pragma once

#include <cstdint>

// Set when the wizard enters the face choice going forward; the scene browser clears it at its next
// update and opens its dialog for loading a picture from the computer.
extern uint8_t LoadFromPcRequest;
