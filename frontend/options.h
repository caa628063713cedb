// The UCI option table: 31 rows of names, types, defaults and ranges.
// Values stay text and are converted where they are used.
#pragma once

#include <cstdint>
#include <string>

struct Option {
    const char *name;
    bool visible;  // printed by "uci"
    const char *defaultValue;
    const char *type;   // "spin", "check" or "string"
    const char *range;  // "" when the option has none
    std::string value;  // current value
};

constexpr int N_OPTIONS = 31;

extern char threadsDefaultText[20];
extern char threadsRangeText[32];

// Case-insensitive lookup; null when the name is unknown.
Option *FindOption(const char *name);
bool EqualsNoCase(const char *a, const char *b);
// Replaces the named option's value; false when the name is unknown.
bool SetOptionValue(const char *name, const char *value);
// Every option's current value becomes a copy of its default.
void ResetOptions();
// "option name ..." lines for the visible rows, in table order.
void PrintOptions();

// Current value of a row known to exist.
const char *OptionText(const char *name);
// The value read as a decimal number (non-numeric text reads as 0).
int64_t OptionNumber(const char *name);
// A check option is on when its value is "true" in any case.
bool OptionIsOn(const char *name);
// Parses a whole decimal number; false for anything else.
[[nodiscard]] bool ParseInt64(const char *text, int64_t *out);
// OptionNumber held to lo..hi, for values that would do harm outside.
int64_t ClampedOptionNumber(const char *name, int64_t lo, int64_t hi);
