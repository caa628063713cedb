// The types both sides of the module boundary share: moves, the settings
// block, the operation table the module fills and the callbacks the
// program lends it. Slot and field order are fixed.
#pragma once

#include <cstdint>

typedef uint16_t Move;  // from square in the low byte, to square in the high byte

constexpr Move MOVE_NONE = 0x0C0C;
constexpr int NO_SQUARE = 12;

inline int MoveFrom(Move move) { return move & 0xFF; }
inline int MoveTo(Move move) { return move >> 8; }
inline Move MakeMoveCode(int from, int to) { return Move(from | (to << 8)); }

// 26 signed 32-bit fields exchanged by copy. Where a UCI option feeds a
// field, the field bears the option's name.
struct EngineSettings {
    int32_t reservedSetting;
    int32_t randomizeOpening;
    int32_t setupFlag;
    int32_t Threads;
    int32_t Contempt;
    int32_t rootScoreFloor;
    int32_t Clear_hash;
    int32_t Null_move_reduction_depth;
    int32_t Use_half_ply_heuristic;
    int32_t Use_threat_detection;
    int32_t Use_history_pruning;
    int32_t Advanced_contempt;
    int32_t Identify_drawish_positions;
    int32_t Minimum_threat_value_pct;
    int32_t Bad_move_threshold_pct;
    int32_t Score_drop_threshold_pct;
    int32_t Pawn_value_pct;
    int32_t Pieces_value_pct;
    int32_t King_safety_value_pct;
    int32_t No_progress_penalty_pct;
    int32_t Space_value_pct;
    int32_t Mobility_value_pct;
    int32_t Pawn_structure_value_pct;
    int32_t Endgame_king_position_pct;
    int32_t Passed_pawn_value_pct;
    int32_t Depth_limit;
};
static_assert(sizeof(EngineSettings) == 104, "settings block is 26 int32 fields");

// The program's callbacks, as the module sees them.
struct FrontEndCallbacks {
    void *reserved0;
    void *reserved1;
    void (*setTimer)(int ms);
    void (*reportPv)(int lineIndex, int depth, int score, int elapsedMs, const Move *pv,
                     int lowerBound);
    void (*reportCurrentMove)(int depth, Move move, int flags);
    void (*reportNodes)(int64_t nodes);
    int (*probeTablebase)(const int8_t *board, int side, int epSquare, int *score);
    void *reserved2;
};
static_assert(sizeof(FrontEndCallbacks) == 8 * sizeof(void *), "eight slots");

// The module's operations, in slot order. Hash sizes travel in 64 bits.
struct EngineOps {
    void (*setSettings)(const EngineSettings *in);
    void (*getSettings)(EngineSettings *out);
    void (*clearHash)();
    int64_t (*init)(int64_t hashBytes, int maxTablebaseMen);
    void (*freeHash)();
    int (*setPosition)(const char *fen);
    int (*playMove)(Move move, int promotionLetter);
    void (*setLimits)(int kind, int limit1, int limit2, int limit3, int limit4);
    void (*setTablebaseMen)(int maxTablebaseMen);  // after each registration
    void (*setMoveNumber)(int n);
    int (*clearStop)();
    void (*go)(int nLines, int waitForStop);
    void (*ponderHit)();
    int (*stop)();
    void (*timerExpired)();
};
static_assert(sizeof(EngineOps) == 15 * sizeof(void *), "fifteen slots");

typedef void (*EngineInitFunction)(FrontEndCallbacks *callbacks, EngineOps *ops);

#define VLM_EXPORT extern "C" __attribute__((visibility("default")))
