// Engine start and settings. The settings block starts as the module's
// own defaults, so a block sent before the first start never carries
// zeros. Sizes are 64-bit byte counts; the hash request is held to
// 1..4096 MB so that request plus the program's own megabyte always fits.
#include "frontend/engine_start.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "engine/transposition_table.h"
#include "frontend/control_thread.h"
#include "frontend/engine_link.h"
#include "frontend/game_record.h"
#include "frontend/opening_book.h"
#include "frontend/options.h"
#include "frontend/output.h"
#include "frontend/search_output.h"
#include "frontend/tablebase_setup.h"
#include "frontend/uci_loop.h"
#include "tablebases/block_cache.h"
#include "tablebases/tablebase_probe.h"

EngineSettings engineSettings;
int64_t hashSizeKb = 0;
int maxTablebasePieces = 0;

constexpr int64_t MIN_HASH_MB = 4;
constexpr int32_t MIN_DEPTH_LIMIT = 1;

static int32_t OptionInt32(const char *name) {
    return int32_t(ClampedOptionNumber(name, INT32_MIN, INT32_MAX));
}

static int32_t OptionFlag(const char *name) {
    return OptionIsOn(name) ? 1 : 0;
}

void ApplySettings() {
    EngineSettings *s = &engineSettings;
    s->Threads = OptionInt32("Threads");
    s->Contempt = OptionInt32("Contempt");
    s->Clear_hash = OptionFlag("Clear_hash");
    s->Null_move_reduction_depth = OptionInt32("Null_move_reduction_(depth)");
    s->Use_half_ply_heuristic = OptionFlag("Use_half_ply_heuristic");
    s->Use_threat_detection = 1;  // the search always probes threats
    s->Use_history_pruning = OptionFlag("Use_history_pruning");
    s->Advanced_contempt = OptionFlag("Advanced_contempt");
    s->Identify_drawish_positions = OptionFlag("Identify_drawish_positions");
    s->Minimum_threat_value_pct = OptionInt32("Minimum_threat_value_(pct)");
    s->Bad_move_threshold_pct = OptionInt32("Bad_move_threshold_(pct)");
    s->Score_drop_threshold_pct = OptionInt32("Score_drop_threshold_(pct)");
    s->Pawn_value_pct = OptionInt32("Pawn_value_(pct)");
    s->Pieces_value_pct = OptionInt32("Pieces_value_(pct)");
    s->King_safety_value_pct = OptionInt32("King_safety_value_(pct)");
    s->No_progress_penalty_pct = OptionInt32("No_progress_penalty_(pct)");
    s->Space_value_pct = OptionInt32("Space_value_(pct)");
    s->Mobility_value_pct = OptionInt32("Mobility_value_(pct)");
    s->Pawn_structure_value_pct = OptionInt32("Pawn_structure_value_(pct)");
    s->Endgame_king_position_pct = OptionInt32("Endgame_king_position_(pct)");
    s->Passed_pawn_value_pct = OptionInt32("Passed_pawn_value_(pct)");
    // A depth limit below one would end every search without a move.
    s->Depth_limit = int32_t(ClampedOptionNumber("Depth_limit", MIN_DEPTH_LIMIT, INT32_MAX));
    engineOps.setSettings(s);
}

int64_t HashMegabytes() {
    int64_t megabytes;
    if (!ParseInt64(OptionText("Hash"), &megabytes) || megabytes <= 0)
        return MIN_HASH_MB;
    return megabytes > MAX_HASH_MB ? MAX_HASH_MB : megabytes;
}

// With Use_tablebases off the module makes no probes at all.
static int TablebaseMenLimit() {
    return OptionIsOn("Use_tablebases") ? maxTablebasePieces : 0;
}

void ResizeHash(int64_t bytes) {
    // The trial allocation finds out how much this process can have.
    int64_t reached = AllocateHashTable(&hashTable, bytes + MEGABYTE);
    ReleaseHashTable(&hashTable);
    (void)AllocateHashTable(&hashTable, MEGABYTE);
    // The module reads 0 as its 500 MiB default: never send it.
    int64_t moduleBytes = reached - MEGABYTE;
    if (moduleBytes < MEGABYTE)
        moduleBytes = MEGABYTE;
    engineOps.init(moduleBytes, TablebaseMenLimit());
    hashSizeKb = moduleBytes / 1024;
    if (moduleBytes < bytes - MEGABYTE)
        ReportError("Hash size was reduced", "");
}

// The book named by Book_file; a failed open turns OwnBook off.
static void OpenBookFile() {
    if (OpenBook(&book, OptionText("Book_file")))
        return;
    PrintLine("%s", strerror(errno));
    SetOptionValue("OwnBook", "false");
}

// The module probes only up to the men limit it was last given: a
// registration or the on/off switch must reach it, not only a new hash.
static void SendTablebaseSwitch() {
    SetTablebaseProbing(OptionIsOn("Use_tablebases"));
    if (engineOps.setTablebaseMen)
        engineOps.setTablebaseMen(TablebaseMenLimit());
}

static void RegisterTablebaseOptions() {
    maxTablebasePieces = SetUpTablebases(
        OptionText("NalimovPath"),
        ClampedOptionNumber("NalimovCache", MIN_CACHE_MEGABYTES, MAX_CACHE_MEGABYTES));
}

void ConfigureEngine() {
    if (OptionIsOn("OwnBook"))
        OpenBookFile();
    engineOps.getSettings(&engineSettings);
    if (OptionIsOn("Use_tablebases"))
        RegisterTablebaseOptions();
    SendTablebaseSwitch();
    tbHits = 0;
    ResizeHash(HashMegabytes() * MEGABYTE);
    ApplySettings();
}

bool StartEngine() {
    ConfigureEngine();
    // Both games start from the start position until a "position" comes.
    InitGameRecord();
    return StartControlThread();
}

void EnsureEngineStarted(const char *line) {
    if (engineStarted)
        return;
    if (!StartEngine())
        ReportError("Engine initialization failed", line);
    engineStarted = true;
}

// A new Hash value reaches the tables only once the engine runs, and
// only when it names a usable size that differs from the current one.
static void ChangeHashSize() {
    int64_t megabytes;
    if (!ParseInt64(OptionText("Hash"), &megabytes) || megabytes <= 3)
        return;
    if (megabytes > MAX_HASH_MB)
        megabytes = MAX_HASH_MB;
    if (megabytes * 1024 == hashSizeKb)
        return;
    ReleaseHashTable(&hashTable);
    engineOps.freeHash();
    ResizeHash(megabytes * MEGABYTE);
}

// The value of "setoption name ID value X": one word, or for a string
// option the rest of the line, less trailing blanks and carriage returns,
// since paths may hold blanks. False for a line of any other shape, with
// the error line when it has too many words.
static bool ReadSetOptionValue(const char *line, char **words, int nWords, std::string *value) {
    bool shaped = nWords >= 5 && strcmp(words[1], "name") == 0 && strcmp(words[3], "value") == 0;
    const Option *option = shaped ? FindOption(words[2]) : nullptr;
    if (option && strcmp(option->type, "string") == 0) {
        *value = LineFromWord(line, words, 4);
        value->erase(value->find_last_not_of(" \r") + 1);
        return true;
    }
    if (nWords > 5) {
        ReportError("too many parameters", line);
        return false;
    }
    if (!shaped)
        return false;
    *value = words[4];
    return true;
}

bool HandleSetOption(const char *line, char **words, int nWords, const char *) {
    std::string value;
    if (!ReadSetOptionValue(line, words, nWords, &value))
        return true;
    const char *name = words[2];
    // The control thread reads options while it searches: end the search
    // and wait for idle before any value changes.
    if (engineStarted) {
        StopEngineSearch();
        PostCommand("waitforidle");
    }
    SetOptionValue(name, value.c_str());
    if (engineStarted && EqualsNoCase(name, "Hash"))
        ChangeHashSize();
    if (EqualsNoCase(name, "Book_file") && OptionIsOn("OwnBook"))
        OpenBookFile();
    if (EqualsNoCase(name, "Use_tablebases") || EqualsNoCase(name, "NalimovPath") ||
        EqualsNoCase(name, "NalimovCache")) {
        if (OptionIsOn("Use_tablebases"))
            RegisterTablebaseOptions();
        SendTablebaseSwitch();
    }
    tbHits = 0;
    ApplySettings();
    return true;
}
