#pragma once
// The lines of the adapter list on the page "Verbindung", from the system's adapters.
#include "ui/AdapterEntry.h"
#include "ui/ConnectionSettings.h"

#include <vector>

// The adapters present, each with its state and Wi-Fi network, and the chosen one at the end
// where it is not present (it stays chosen, listed as not connected).
std::vector<ADAPTERENTRY> ListAdapterEntries(const CONNECTIONSETTINGS& chosen);
