// Registry keys and texts both families' clean-ups use ("%s" is the model name).
#pragma once

// Texts formed from the model name are at most this long.
constexpr unsigned kTraceTextSize = 255;

// HKEY_CURRENT_USER: the start-menu order of the maker's program group.
constexpr char kStartMenuOrderKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Programs"
    "\\Xelta";
// The maker's key, deleted only when no other product of the maker is left under it.
constexpr char kMakerKey[] = "Software\\Xelta";
// The card's smart card reader names, under the smart card service's reader list.
constexpr char kSmartCardReadersKey[] = "SOFTWARE\\Microsoft\\Cryptography\\Calais\\Readers";
constexpr char kSmartCardReaderName[] = "xelta %s";
// The product's name as device descriptions and the card modem's name hold it.
constexpr char kProductText[] = "Xelta %s";
