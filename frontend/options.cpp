// The option table. Every row is visible; the Threads row's default and
// range point at texts that main fills from the processor count before
// the table is first read.
#include "frontend/options.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "frontend/output.h"

char threadsDefaultText[20];
char threadsRangeText[32];

static Option optionTable[N_OPTIONS + 1] = {
    {"Hash", true, "16", "spin", "min 4 max 4096", {}},
    {"Ponder", true, "false", "check", "", {}},
    {"OwnBook", true, "true", "check", "", {}},
    {"MultiPV", true, "1", "spin", "min 1 max 50", {}},
    {"Book_file", true, "lm11.bin", "string", "", {}},
    {"Book_selectivity", true, "5", "spin", "min 0 max 30", {}},
    {"Contempt", true, "0", "spin", "min -500 max 500", {}},
    {"Depth_limit", true, "60", "spin", "min 3 max 60", {}},
    {"Use_tablebases", true, "true", "check", "", {}},
    {"NalimovPath", true, "C:\\TBs", "string", "", {}},
    {"NalimovCache", true, "1", "spin", "min 1 max 4", {}},
    {"Null_move_reduction_(depth)", true, "4", "spin", "min 0 max 10", {}},
    {"Use_half_ply_heuristic", true, "true", "check", "", {}},
    {"Use_threat_detection", true, "true", "check", "", {}},
    {"Use_history_pruning", true, "true", "check", "", {}},
    {"Advanced_contempt", true, "true", "check", "", {}},
    {"Identify_drawish_positions", true, "true", "check", "", {}},
    {"Minimum_threat_value_(pct)", true, "100", "spin", "min 30 max 300", {}},
    {"Bad_move_threshold_(pct)", true, "100", "spin", "min 30 max 300", {}},
    {"Score_drop_threshold_(pct)", true, "100", "spin", "min 30 max 300", {}},
    {"Pawn_value_(pct)", true, "100", "spin", "min 30 max 300", {}},
    {"Pieces_value_(pct)", true, "100", "spin", "min 30 max 300", {}},
    {"King_safety_value_(pct)", true, "100", "spin", "min 30 max 300", {}},
    {"No_progress_penalty_(pct)", true, "100", "spin", "min 30 max 300", {}},
    {"Space_value_(pct)", true, "100", "spin", "min 30 max 300", {}},
    {"Mobility_value_(pct)", true, "100", "spin", "min 30 max 300", {}},
    {"Pawn_structure_value_(pct)", true, "100", "spin", "min 30 max 300", {}},
    {"Endgame_king_position_(pct)", true, "100", "spin", "min 30 max 300", {}},
    {"Passed_pawn_value_(pct)", true, "100", "spin", "min 30 max 300", {}},
    {"Clear_hash", true, "false", "check", "", {}},
    {"Threads", true, threadsDefaultText, "spin", threadsRangeText, {}},
    {nullptr, false, nullptr, nullptr, nullptr, {}},
};

bool EqualsNoCase(const char *a, const char *b) {
    for (; *a && *b; a++, b++) {
        if (tolower(static_cast<unsigned char>(*a)) != tolower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

Option *FindOption(const char *name) {
    for (Option *row = optionTable; row->name; row++) {
        if (EqualsNoCase(row->name, name))
            return row;
    }
    return nullptr;
}

bool SetOptionValue(const char *name, const char *value) {
    Option *row = FindOption(name);
    if (!row)
        return false;
    row->value = value;
    return true;
}

void ResetOptions() {
    for (Option *row = optionTable; row->name; row++)
        row->value = row->defaultValue;
}

void PrintOptions() {
    for (const Option *row = optionTable; row->name; row++) {
        if (!row->visible)
            continue;
        if (row->range && row->range[0])
            PrintLine("option name %s type %s default %s %s", row->name, row->type,
                      row->value.c_str(), row->range);
        else
            PrintLine("option name %s type %s default %s", row->name, row->type,
                      row->value.c_str());
    }
}

const char *OptionText(const char *name) {
    const Option *row = FindOption(name);
    FRONTEND_CHECK(row != nullptr);
    return row->value.c_str();
}

int64_t OptionNumber(const char *name) {
    // Leading digits count, as the runtime's decimal conversion reads
    // them; out-of-range text saturates and the users clamp.
    return strtoll(OptionText(name), nullptr, 10);
}

bool OptionIsOn(const char *name) {
    return EqualsNoCase(OptionText(name), "true");
}

bool ParseInt64(const char *text, int64_t *out) {
    char *end = nullptr;
    errno = 0;
    long long number = strtoll(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE)
        return false;
    *out = number;
    return true;
}

int64_t ClampedOptionNumber(const char *name, int64_t lo, int64_t hi) {
    int64_t number = OptionNumber(name);
    return number < lo ? lo : number > hi ? hi : number;
}
