// The game: one main Position and root node per copy of the core, the
// record of moves since set-up and the key history. The root has no
// parent after set-up and after every game move; the history never runs
// past its slots and the record never past its entries.
#include "engine/game.h"

#include <cstring>

#include "engine/board.h"
#include "engine/legal_moves.h"
#include "engine/make_move.h"
#include "engine/module_state.h"
#include "engine/stopwatch.h"

Position mainPosition;
SearchNode rootNode;
GameRecord gameRecord;
HashKey gameHistory[GAME_HISTORY_SLOTS];
int32_t nGameHistory = 0;

static int InitMainPosition() {
    InitWorkAreas(&mainPosition);
    InitRootNode(&rootNode, &mainPosition);
    return 0;
}
static int mainPositionReady = InitMainPosition();

void RecordHistoryKey(const HashKey *key, int i) {
    if (i < 0) {
        nGameHistory = i + 1;
        return;
    }
    if (i >= GAME_HISTORY_SLOTS) {
        memmove(&gameHistory[0], &gameHistory[1], sizeof gameHistory[0] * (GAME_HISTORY_SLOTS - 1));
        i = GAME_HISTORY_SLOTS - 1;
    }
    gameHistory[i] = *key;
    nGameHistory = i + 1;
}

int NewGame(const char *fen) {
    if (ParseSetupText(fen, &gameRecord) != 0)
        return -1;
    StopwatchStop(&whiteStopwatch);
    StopwatchStop(&blackStopwatch);
    whiteStopwatch.elapsedMs = 0;
    blackStopwatch.elapsedMs = 0;
    return 0;
}

int SetGamePosition(const char *fen) {
    (void)mainPositionReady;
    int result = NewGame(fen);
    if (result != 0)
        return result;
    return ParseFen(&rootNode, &gameRecord);
}

// The child's node state becomes the root's; the root keeps its own
// candidate stack (empty) and has no parent.
static void CopyChildIntoRoot(const SearchNode *child, SearchNode *root) {
    size_t start = offsetof(SearchNode, castleFlags);
    memcpy(reinterpret_cast<char *>(root) + start, reinterpret_cast<const char *>(child) + start,
           sizeof(SearchNode) - start);
    root->parent = nullptr;
    root->ply = 0;
    ResetMoveList(root);
}

int ApplyMove(Move move) {
    SearchNode *root = &rootNode;
    if (!root->sideRecord || !MoveIsLegal(root, move))
        return -1;
    SearchNode child;
    child.pv[0] = MOVE_NONE;
    child.position = root->position;
    Stopwatch *moverClock = root->side == WHITE ? &whiteStopwatch : &blackStopwatch;
    StopwatchStop(moverClock);
    MakeMove(root, move, &child);
    UpdateNodeAfterMove(&child);
    FixCastlingRights(&child);
    if (gameRecord.plyCount < GAME_RECORD_ENTRIES) {
        gameRecord.entries[gameRecord.plyCount] = {moverClock->elapsedMs, move};
        gameRecord.plyCount++;
    }
    gameRecord.replayCount = gameRecord.plyCount;
    CopyChildIntoRoot(&child, root);
    RecordHistoryKey(&root->key, root->halfMoves);
    StopwatchStart(root->side == WHITE ? &whiteStopwatch : &blackStopwatch);
    if (root->side == WHITE)
        moveNumber++;
    return 0;
}

int PlayGameMove(Move move, int promotionLetter) {
    const PieceRecord *man = BoardAt(&mainPosition, MoveFrom(move));
    int to = int8_t(MoveTo(move));
    // Only a plain last-rank square takes a letter; encoded moves stay.
    if (man->kind == KIND_PAWN && to >= 0) {
        int offset = promotionLetter == 'R'   ? 0x10
                     : promotionLetter == 'B' ? 0x20
                     : promotionLetter == 'N' ? 0x30
                                              : 0;
        if (to >= 0x70)
            to += offset;
        else if (to < 0x10)
            to -= offset;
        move = MakeMoveCode(MoveFrom(move), to & 0xFF);
    }
    return ApplyMove(move);
}
