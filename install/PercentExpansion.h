// Expansion of %NAME% parts in the settings-folder option (portable: the
// environment is reached through the lookup).
#pragma once

#include <functional>
#include <string>

// Gives the value of the named variable and true, or false when it is unset.
using VariableLookup = std::function<bool(const std::string& name, std::string* value)>;

// Copies the text, replacing each %NAME% by the variable's value; an unset
// variable drops the whole %NAME% and, when given, clears *allSet. A name
// without a closing percent sign runs to the end of the text.
std::string ExpandPercentText(const std::string& text, const VariableLookup& lookup,
                              bool* allSet = nullptr);
