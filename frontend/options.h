// The UCI option table.
#pragma once

#include <string>

struct OptionRow {
    const char *name;
    const char *type;
    const char *defaultValue;
    const char *range;  // null or "" when the option has none
    bool visible;
    std::string value;  // current value, kept as text
};

extern char threadsDefaultText[20];
extern char threadsRangeText[32];

// Every option's current value becomes a copy of its default.
void ResetOptions();
// "option name ..." lines for the visible rows, in table order.
void PrintOptions();
