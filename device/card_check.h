// The card check: whether the Z614 card is inserted and working, told from the traces its
// drivers leave, and the 9x family's management device through which its driver answers.
#pragma once
#include <windows.h>

#include <cstdint>

// Five bits: 1 the modem function registered, 2 the modem active, 4 the network function
// registered, 8 the network active, 16 the "GPRS" dial-up entry ready. On the 9x family bits
// 0 and 1 come from the bus device, bits 2 and 3 from the management driver, each pair
// together.
using CardState = uint32_t;

inline bool IsCardFullyPresent(CardState s) { return s == 31; }
inline bool HasAllDeviceBits(CardState s) { return (s & 15) == 15; }
inline bool IsCardActive(CardState s) { return (s & 10) == 10; }
inline bool IsCardGone(CardState s) { return (s & 10) == 0; }

// Folds the traces into a CardState; never fails. errorCode is set to 0 (see card_check.cpp).
CardState CheckCard(int32_t* errorCode);

// The management driver's handle: invalid except within one card check. Opening it loads the
// 9x management driver, closing it (delete-on-close) unloads it again.
extern HANDLE managementDevice;

// Opens the management device and asks its status: 0 the driver answered that there is no
// card (handle left open), 1 no device or no answer (handle invalid), 2 a card is present
// (handle left open, value set to the reply's third word).
int QueryManagementDevice(uint32_t* value);
// Closes the management handle and marks it invalid. Returns 0.
int CloseManagementDevice();
// One overlapped request on the management handle, waited for without limit when pending.
// 0 when served, non-zero on failure.
int ManagementRequest(uint32_t code, void* input, uint32_t inputSize, void* output,
                      uint32_t outputSize);
