// Module state and the defaults of the settings block. Fields that one
// thread writes while others poll are atomics.
#include "engine/module_state.h"

FrontEndCallbacks frontEnd;

const EngineSettings defaultSettings = {
    0,      // reservedSetting
    0,      // randomizeOpening
    1,      // setupFlag
    0,      // Threads: 0 means the processor count
    0,      // Contempt
    -9999,  // rootScoreFloor
    0,      // Clear_hash
    4,      // Null_move_reduction_depth
    1,      // Use_half_ply_heuristic
    1,      // Use_threat_detection
    1,      // Use_history_pruning
    1,      // Advanced_contempt
    1,      // Identify_drawish_positions
    100,    // Minimum_threat_value_pct
    100,    // Bad_move_threshold_pct
    100,    // Score_drop_threshold_pct
    100,    // Pawn_value_pct
    100,    // Pieces_value_pct
    100,    // King_safety_value_pct
    100,    // No_progress_penalty_pct
    100,    // Space_value_pct
    100,    // Mobility_value_pct
    100,    // Pawn_structure_value_pct
    100,    // Endgame_king_position_pct
    100,    // Passed_pawn_value_pct
    60,     // Depth_limit
};

EngineSettings settings = defaultSettings;

std::atomic<ReportPvHook> reportPvHook{nullptr};
std::atomic<ReportCurrentMoveHook> reportCurrentMoveHook{nullptr};
std::atomic<ProbeTablebaseHook> probeTablebaseHook{nullptr};
ArmTimersHook armTimers = nullptr;

std::atomic<int32_t> stopSearch{0};
std::atomic<int32_t> searchState{0};
std::atomic<int32_t> iterationDone{0};
std::atomic<int32_t> readyToMove{0};

CriticalSection timerArmLock;
int32_t timersArmable = 0;
CriticalSection searchStateLock;
int32_t ponderHitPending = 0;

int32_t timeControlKind = 0;
int32_t limitValues[4] = {0, 0, 0, 0};
int32_t moveNumber = 0;
int32_t rootSide = 1;
int32_t maxTablebaseMen = 0;

// Both under searchStateLock.
static bool stopHeld = false;
static bool stopWaiting = false;

void HoldStop() {
    EnterCriticalSection(&searchStateLock);
    stopSearch = 0;
    stopHeld = true;
    stopWaiting = false;
    LeaveCriticalSection(&searchStateLock);
}

void RequestStop() {
    EnterCriticalSection(&searchStateLock);
    if (stopHeld)
        stopWaiting = true;
    else
        stopSearch = 1;
    LeaveCriticalSection(&searchStateLock);
}

void ReleaseStop() {
    EnterCriticalSection(&searchStateLock);
    stopHeld = false;
    if (stopWaiting)
        stopSearch = 1;
    stopWaiting = false;
    LeaveCriticalSection(&searchStateLock);
}

void ResetModuleState(const FrontEndCallbacks *callbacks) {
    frontEnd = *callbacks;
    settings = defaultSettings;
}

void ApplySettings(const EngineSettings *in) {
    settings = *in;
    settings.Use_threat_detection = 1;
}
