// The spelling of each file-type stem during one registration pass.
//
// Registering a stem writes its description with the stem in capitals, and
// the capitals stay: every later use of that stem in the same pass (the rest
// of that registration, further extensions of the stem) is spelled in
// capitals too. Each stem therefore has one shared, changeable text per pass.
#pragma once

#include "install/FileTypeCatalogue.h"

class StemSpellings {
public:
    // The pass's text of a catalogue stem: the same buffer for every use of
    // the same stem (compared without regard to case), as spelled so far.
    // Null when the pass already holds kMaxStems other stems.
    char* For(const char* stem);

    int Count() const { return m_count; }

    static constexpr int kMaxStems = 96;
    static constexpr int kStemLimit = 8;  // the catalogue's stems have at most four letters

private:
    char m_texts[kMaxStems][kStemLimit] = {};
    int m_count = 0;
};

// Turns a stem's ASCII letters into capitals in place.
void CapitaliseStem(char* stem);
