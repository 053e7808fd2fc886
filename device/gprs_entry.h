// The "GPRS" dial-up entry on the card's GSM modem, in the default phone book.
#pragma once

// 1 when the card's GSM modem is a dial-up device and the entry "GPRS" exists on it or has
// just been created; 0 otherwise. Shows nothing.
int EnsureGprsEntry();

// Deletes the entry "GPRS" from the default phone book; whether it was there is not asked.
void DeleteGprsEntry();
