// The card modem's entries in the remote access service's list of TAPI modems (NT family).
#pragma once

// Removes from "SOFTWARE\Microsoft\Ras\Tapi Devices\Unimodem" the entries of every modem whose
// friendly name contains modemText (without regard to case), leaving the other modems' entries
// as they were. Returns the number of entries removed.
int RemoveTapiModemEntries(const char* modemText);
