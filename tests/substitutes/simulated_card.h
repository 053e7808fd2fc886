// The card simulator's own key: "GsmModem", the name the substitute dial-up library lists the
// card's modem under, while the card is in; "RebindTo", written by a test, the device that
// library puts every written entry on instead of the one asked for.
#pragma once
constexpr char kSimulatorKey[] = "Software\\Z614CardSimulator";
// The device tree the configuration manager knows while the card is in: under "Children" one
// value per parent device, named by its instance ID, the children's IDs its REG_MULTI_SZ data.
constexpr char kSimulatorChildrenKey[] = "Software\\Z614CardSimulator\\Children";
