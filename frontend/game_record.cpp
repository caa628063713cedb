// The program's game. It changes only on the main thread while the
// control thread is idle; the reporting threads read it during a search.
// One lock covers both, and readers that play a line do so by make and
// unmake, which leave the position exactly as it was.
#include "frontend/game_record.h"

#include <cstddef>
#include <cstring>
#include <mutex>
#include <string>

#include "engine/attacks.h"
#include "engine/board.h"
#include "engine/fen_setup.h"
#include "engine/game.h"
#include "engine/hash_keys.h"
#include "engine/legal_moves.h"
#include "engine/make_move.h"
#include "engine/move_gen.h"
#include "engine/position.h"
#include "engine/stopwatch.h"
#include "engine/transposition_table.h"
#include "frontend/control_thread.h"
#include "frontend/engine_link.h"
#include "frontend/engine_start.h"
#include "frontend/handlers.h"
#include "frontend/move_text.h"
#include "frontend/output.h"

int gameState = GAME_ON;

static Position gamePosition;
static SearchNode gameNode;
static GameRecord gameSetup;
static GameRecordEntry entries[GAME_RECORD_ENTRIES];
static int plyCount = 0;
// Set-up is tried here first, so a rejected text leaves the game alone.
static Position trialPosition;
static SearchNode trialNode;
static GameRecord trialSetup;

// Taken by search threads formatting a line (under the engine's splitLock
// at times) and by the main thread while the engine is idle. Under it the
// engine's set-up operations run and lines are printed; nothing under it
// waits for the control thread or the search.
static std::mutex &GameLock() {
    static std::mutex *lock = new std::mutex;  // search threads outlive main
    return *lock;
}

// ---- legality ----

static bool KingIsAttacked(const Position *position, int colour) {
    const PieceRecord *king = position->kingByColour[colour + 1];
    return FindAttackerOfSquare(king->square, position->sideByColour[1 - colour]) != NO_SQUARE;
}

// The generator works on a copy, so the node's own stack is untouched.
static int LegalMovesAt(const SearchNode *node, Move moves[MAX_LEGAL_MOVES]) {
    SearchNode scan = *node;
    return GenerateLegalMoves(&scan, moves);
}

// Plays move from node into child when it is legal there; false (and the
// position untouched) otherwise.
static bool TryLegalMove(const SearchNode *node, Move move, SearchNode *child) {
    Move moves[MAX_LEGAL_MOVES];
    int nMoves = LegalMovesAt(node, moves);
    int i = 0;
    while (i < nMoves && moves[i] != move)
        i++;
    if (i == nMoves)
        return false;
    SearchNode *parent = const_cast<SearchNode *>(node);
    MakeMove(parent, move, child);
    UpdateNodeAfterMove(child);
    FixCastlingRights(child);
    return true;
}

// The first legal move at node that accept takes, in generator order.
template <typename Accept>
static Move FirstLegalMove(const SearchNode *node, Accept accept) {
    Move moves[MAX_LEGAL_MOVES];
    int nMoves = LegalMovesAt(node, moves);
    for (int i = 0; i < nMoves; i++) {
        if (accept(moves[i]))
            return moves[i];
    }
    return MOVE_NONE;
}

// ---- set-up ----

// Beyond what the FEN set-up checks: one king a side, and the side that
// has just moved not in check; anything else would let the generator
// capture a king.
static bool PositionIsPlayable(SearchNode *node) {
    Position *position = node->position;
    int nKings[3] = {0, 0, 0};
    for (int square = 0; square < 0x78; square++) {
        const PieceRecord *man = BoardAt(position, square);
        if (SquareIsOnBoard(square) && PieceIsMan(man) && man->kind == KIND_KING)
            nKings[man->colour + 1]++;
    }
    return nKings[0] == 1 && nKings[2] == 1 && !KingIsAttacked(position, node->opponent);
}

// The core's set-up of fenText into node and its Position.
static bool SetUpNode(const char *fenText, SearchNode *node, GameRecord *setup) {
    if (ParseSetupText(fenText, setup) != 0)
        return false;
    if (ParseFen(node, setup) != 0)
        return false;
    return PositionIsPlayable(node);
}

void InitGameRecord() {
    EnsureHashKeys();
    InitWorkAreas(&gamePosition);
    InitRootNode(&gameNode, &gamePosition);
    InitWorkAreas(&trialPosition);
    InitRootNode(&trialNode, &trialPosition);
    (void)SetUpGame(START_FEN);
}

bool SetUpGame(const char *fenText) {
    std::lock_guard<std::mutex> guard(GameLock());
    if (!SetUpNode(fenText, &trialNode, &trialSetup))
        return false;
    engineOps.setPosition(fenText);
    bool ok = SetUpNode(fenText, &gameNode, &gameSetup);
    FRONTEND_CHECK(ok);
    StopwatchReset(&whiteStopwatch);
    StopwatchReset(&blackStopwatch);
    plyCount = 0;
    gameState = GAME_ON;
    return true;
}

// ---- moves of the game ----

// A game move becomes the game node; the root keeps its own links.
static void TakeNodeState(SearchNode *root, const SearchNode *child) {
    SearchNode *parent = root->parent;
    size_t start = offsetof(SearchNode, castleFlags);
    memcpy(reinterpret_cast<char *>(root) + start, reinterpret_cast<const char *>(child) + start,
           sizeof(SearchNode) - start);
    root->parent = parent;
    ResetMoveList(root);
}

static Stopwatch *ClockOf(int side) {
    return side == WHITE ? &whiteStopwatch : &blackStopwatch;
}

int RecordGameMove(Move move, bool isLast) {
    StopwatchStop(ClockOf(gameNode.side));
    SearchNode child;
    bool legal = TryLegalMove(&gameNode, move, &child);
    FRONTEND_CHECK(legal);
    // Plies past the list's room are played but not listed.
    if (plyCount < GAME_RECORD_ENTRIES)
        entries[plyCount] = {StopwatchElapsed(ClockOf(gameNode.side)), move};
    plyCount++;
    TakeNodeState(&gameNode, &child);
    RecordHistoryKey(&gameNode.key, gameNode.halfMoves);
    int result = GAME_GOES_ON;
    if (isLast) {
        SearchNode last = gameNode;
        ResetMoveList(&last);
        result = ClassifyGameEnd(&last);
    }
    StopwatchStart(ClockOf(gameNode.side));
    return result;
}

int ClassifyGameEnd(SearchNode *node) {
    // The node's cannot-win flags are only ever added, by captures and
    // also by a hundred quiet plies: the men on the board decide here.
    const PieceKindRecord *kinds = node->position->kinds;
    if (CannotWinFlagOfMaterial(kinds, WHITE) && CannotWinFlagOfMaterial(kinds, BLACK)) {
        gameState = GAME_DRAWN;
        return GAME_INSUFFICIENT_MATERIAL;
    }
    // Pinning the game history marks a third occurrence of a position.
    gameState = GAME_ON;
    PrepareHash(&hashTable, 1);
    HashEntry *entry = ProbeHash(&hashTable, &node->key);
    const uint16_t thrice = HASH_SEEN_THRICE | HASH_SEEN_TWICE | HASH_ON_PATH;
    bool repeated = entry && (HashLoad(entry->flags) & thrice) == thrice;
    UnpinHistoryEntries(&hashTable);
    if (node->reversals > 5 || repeated) {
        gameState = GAME_DRAWN;
        return GAME_REPETITION;
    }
    if (entry && HashEntryHoldsKey(entry, &node->key))
        HashStore(entry->flags, uint16_t(HashLoad(entry->flags) & ~HASH_OWNER_MASK));
    if (node->halfMoves > 99) {
        gameState = GAME_DRAWN;
        return GAME_FIFTY_MOVES;
    }
    if (FirstLegalMove(node, [](Move) { return true; }) != MOVE_NONE)
        return plyCount > GAME_PLY_LIMIT ? GAME_LIST_OVERFLOW : GAME_GOES_ON;
    if (KingIsAttacked(node->position, node->side)) {
        gameState = node->side == WHITE ? GAME_WHITE_MATED : GAME_BLACK_MATED;
        return GAME_CHECKMATE;
    }
    gameState = GAME_DRAWN;
    return GAME_STALEMATE;
}

Move ParseMoveText(const char *text) {
    return FirstLegalMove(&gameNode,
                          [text](Move move) { return MatchMoveText(&gameNode, move, text); });
}

static const char *ResultToken(int code) {
    if (code == GAME_CHECKMATE)
        return gameState == GAME_WHITE_MATED ? "0-1" : "1-0";
    return code == GAME_LIST_OVERFLOW ? "*" : "1/2-1/2";
}

static const char *ReasonText(int code) {
    switch (code) {
        case GAME_CHECKMATE:
            return "checkmate";
        case GAME_STALEMATE:
            return "stalemate";
        case GAME_REPETITION:
            return "draw by repetition";
        case GAME_INSUFFICIENT_MATERIAL:
            return "draw due to insufficient material";
        case GAME_FIFTY_MOVES:
            return "draw due to 50-move rule";
        default:
            return "move list overflow";
    }
}

bool PlayGameMove(const char *text, bool isLast) {
    std::lock_guard<std::mutex> guard(GameLock());
    Move move = ParseMoveText(text);
    if (MoveTo(move) == NO_SQUARE || gameState != GAME_ON)
        return false;
    engineOps.playMove(move, ' ');
    int code = RecordGameMove(move, isLast);
    if (code != GAME_GOES_ON)
        PrintLine("info string result %s %s", ResultToken(code), ReasonText(code));
    return true;
}

// ---- read access ----

int GameSideToMove() {
    std::lock_guard<std::mutex> guard(GameLock());
    return gameNode.side;
}

void GameKey(uint32_t *lock32, uint16_t *lock16) {
    std::lock_guard<std::mutex> guard(GameLock());
    *lock32 = gameNode.key.lock32;
    *lock16 = gameNode.key.lock16;
}

bool GameMoveIsLegal(Move move) {
    std::lock_guard<std::mutex> guard(GameLock());
    return FirstLegalMove(&gameNode, [move](Move m) { return m == move; }) != MOVE_NONE;
}

Move FirstLegalGameMove() {
    std::lock_guard<std::mutex> guard(GameLock());
    return FirstLegalMove(&gameNode, [](Move) { return true; });
}

int FormatGameLine(const Move *line, int maxMoves, char *text, size_t size) {
    std::lock_guard<std::mutex> guard(GameLock());
    constexpr int MAX_LINE = 32;
    SearchNode nodes[MAX_LINE + 1];
    nodes[0] = gameNode;
    ResetMoveList(&nodes[0]);
    size_t used = 0;
    text[0] = '\0';
    int nMoves = 0;
    while (nMoves < maxMoves && nMoves < MAX_LINE && used + MOVE_TEXT_BYTES + 1 < size) {
        Move move = line[nMoves];
        char letter = BoardAt(&gamePosition, MoveFrom(move))->letter;
        if (!TryLegalMove(&nodes[nMoves], move, &nodes[nMoves + 1]))
            break;
        text[used++] = ' ';
        FormatMove(text + used, move, letter);
        used += strlen(text + used);
        nMoves++;
    }
    for (int i = nMoves; i > 0; i--)
        UnmakeMove(&nodes[i]);
    return nMoves;
}

// ---- "position" ----

bool HandlePosition(const char *line, char **words, int nWords, const char *) {
    // Up to six FEN fields, ending early at "moves".
    std::string fenText = START_FEN;
    int next = 2;
    if (!strcmp(words[1], "fen")) {
        fenText.clear();
        for (; next < nWords && next < 8 && strcmp(words[next], "moves") != 0; next++) {
            if (!fenText.empty())
                fenText += ' ';
            fenText += words[next];
        }
    }
    EnsureEngineStarted(line);
    StopEngineSearch();
    PostCommand("waitforidle");
    // A rejected position keeps the previous game, and its moves belong to
    // no game the record holds: none of them is played.
    if (!SetUpGame(fenText.c_str())) {
        PrintLine("info string Illegal position");
        return true;
    }
    if (next >= nWords || strcmp(words[next], "moves") != 0)
        return true;
    for (int i = next + 1; i < nWords; i++) {
        if (!PlayGameMove(words[i], i == nWords - 1)) {
            PrintLine("Illegal move: %s", words[i]);
            break;
        }
    }
    return true;
}
