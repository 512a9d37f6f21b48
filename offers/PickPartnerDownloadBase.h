// The download base for one partner installer, chosen afresh for each offer.
#pragma once

#include <string>

// Reseeds from the millisecond tick count and returns the main or the
// alternative base ("http://" + host + "/google/"); the installer's file name
// is appended to it directly.
std::string PickPartnerDownloadBase();
