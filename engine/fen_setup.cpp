// FEN set-up. Text is checked completely before anything is built: eight
// ranks of eight squares, known letters, one king a side, no pawn on the
// first or last rank, men that fit the 33 records. An en-passant square no
// double step can explain is dropped, since unmaking it would lose a pawn.
#include "engine/fen_setup.h"

#include <cstring>

#include "engine/board.h"
#include "engine/debug_check.h"
#include "engine/game.h"
#include "engine/module_state.h"

const char START_POSITION_TEXT[] = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR W KQkq -";

static bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
static bool EndsField(char c) {
    return c == '\0' || IsBlank(c);
}
static const char *SkipBlanks(const char *p) {
    while (IsBlank(*p))
        p++;
    return p;
}
static bool IsLowerCase(char c) {
    return c >= 'a' && c <= 'z';
}

// The board field as letters per 0x88 square (0 for empty).
struct BoardLetters {
    char squares[128];
};

// Men of one colour fit the records: a king, and pawns plus pieces beyond
// the starting one queen, two rooks, two bishops, two knights at most 8.
static bool MenFitRecords(const int counts[128], const char *letters) {
    const int starting[6] = {1, 1, 2, 2, 2, 8};  // K Q R B N P
    if (counts[uint8_t(letters[0])] != 1)
        return false;
    int pawnRecords = counts[uint8_t(letters[5])];
    for (int i = 1; i < 5; i++) {
        int extra = counts[uint8_t(letters[i])] - starting[i];
        if (extra > 0)
            pawnRecords += extra;
    }
    return pawnRecords <= 8;
}

static bool ReadBoardField(const char *text, BoardLetters *board) {
    memset(board, 0, sizeof *board);
    int counts[128] = {};
    int rank = 7, file = 0;
    for (const char *p = text; *p; p++) {
        char c = *p;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f')
            continue;
        if (c == '/') {
            if (file != 8 || rank == 0)
                return false;
            rank--;
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 8)
                return false;
        } else if (c != '\0' && strchr("KQRBNPkqrbnp", c)) {
            if (file >= 8)
                return false;
            if ((c == 'P' || c == 'p') && (rank == 0 || rank == 7))
                return false;
            board->squares[MakeSquare(file, rank)] = c;
            counts[uint8_t(c)]++;
            file++;
        } else {
            return false;
        }
    }
    return rank == 0 && file == 8 && MenFitRecords(counts, "KQRBNP") &&
           MenFitRecords(counts, "kqrbnp");
}

// A double step of the opponent explains the square: it stands on the
// sixth (third) rank seen from the side to move, empty, with the empty
// square it was crossed from behind it and the enemy pawn in front.
static bool EpSquareIsPlausible(const BoardLetters *board, int side, int ep) {
    if (ep == NO_SQUARE)
        return true;
    int rank = side == WHITE ? 5 : 2;
    char enemyPawn = side == WHITE ? 'p' : 'P';
    int pawnSquare = ep - 16 * side;
    int origin = ep + 16 * side;
    return RankOf(ep) == rank && board->squares[ep] == 0 && board->squares[origin] == 0 &&
           board->squares[pawnSquare] == enemyPawn;
}

struct SetupFields {
    int32_t side;
    int32_t castling;
    int32_t epSquare;
};

// Side, castling and en-passant fields after the board field; p points at
// the side field. Fields after the en-passant field are not read.
static bool ReadSetupFields(const char *p, SetupFields *fields) {
    if (*p == '\0')
        return false;
    char letter = *p >= 'a' && *p <= 'z' ? char(*p - 32) : *p;
    if (letter != 'W' && letter != 'B')
        return false;
    fields->side = letter == 'W' ? WHITE : BLACK;
    if (!EndsField(*++p))
        return false;
    p = SkipBlanks(p);
    if (*p == '\0')
        return true;
    fields->castling = 0;
    if (*p == '-') {
        p++;
    } else if (strncmp(p, "nil", 3) == 0) {
        p += 3;
    } else {
        for (; !EndsField(*p); p++) {
            const char *rights = "KQkq";
            const int bits[4] = {CASTLE_WHITE_KING_SIDE, CASTLE_WHITE_QUEEN_SIDE,
                                 CASTLE_BLACK_KING_SIDE, CASTLE_BLACK_QUEEN_SIDE};
            const char *found = strchr(rights, *p);
            if (!found)
                return false;
            fields->castling |= bits[found - rights];
        }
    }
    if (!EndsField(*p))
        return false;
    p = SkipBlanks(p);
    if (*p == '\0')
        return true;
    if (*p == '-') {
        p++;
    } else if (strncmp(p, "nil", 3) == 0) {
        p += 3;
    } else {
        // Off the board fails; so does anything but a file letter and a rank digit.
        if (p[0] < 'a' || p[0] > 'h' || p[1] < '1' || p[1] > '8')
            return false;
        fields->epSquare = (p[1] - '1') * 16 + (p[0] - 'a');
        p += 2;
    }
    return EndsField(*p);
}

int ParseSetupText(const char *fen, GameRecord *game) {
    const char *text = SkipBlanks(fen ? fen : START_POSITION_TEXT);
    size_t length = strnlen(text, FEN_TEXT_SIZE);
    if (length >= size_t(FEN_TEXT_SIZE))
        return -1;
    // The board field ends at the first blank.
    size_t boardLength = 0;
    while (boardLength < length && !IsBlank(text[boardLength]))
        boardLength++;
    char boardText[FEN_TEXT_SIZE];
    memcpy(boardText, text, boardLength);
    boardText[boardLength] = '\0';
    SetupFields fields = {WHITE, CASTLE_ALL, NO_SQUARE};
    BoardLetters board;
    if (!ReadSetupFields(SkipBlanks(text + boardLength), &fields) ||
        !ReadBoardField(boardText, &board))
        return -1;
    if (!EpSquareIsPlausible(&board, fields.side, fields.epSquare))
        fields.epSquare = NO_SQUARE;
    memcpy(game->setupText, boardText, boardLength + 1);
    game->setupSide = fields.side;
    game->setupCastling = fields.castling;
    game->setupEpSquare = fields.epSquare;
    game->setupHalfMoves = 0;
    game->setupMoveNumber = fen ? 21 : 1;
    game->replayCount = 0;
    return 0;
}

// The record for a letter: the first free one of that letter, else a free
// pawn record of the colour turned into the piece.
static PieceRecord *TakeRecord(Position *position, char letter, int colour) {
    for (PieceRecord &man : position->men) {
        if (man.colour == 0 && man.letter == letter)
            return &man;
    }
    if (letter == 'K' || letter == 'k')
        return nullptr;
    char pawnLetter = colour == WHITE ? 'P' : 'p';
    PieceKindRecord *kind = FindPieceKind(position, letter, colour);
    for (PieceRecord &man : position->men) {
        if (man.colour == 0 && man.letter == pawnLetter && kind) {
            SetPieceKind(&man, kind);
            return &man;
        }
    }
    return nullptr;
}

static void PlaceMen(Position *position, const BoardLetters *board, SearchNode *root) {
    for (int rank = 7; rank >= 0; rank--) {
        for (int file = 0; file < 8; file++) {
            int square = MakeSquare(file, rank);
            char letter = board->squares[square];
            if (!letter)
                continue;
            int colour = IsLowerCase(letter) ? BLACK : WHITE;
            PieceRecord *man = TakeRecord(position, letter, colour);
            DEBUG_CHECK(man != nullptr);  // the board field was checked to fit
            man->colour = colour;
            man->square = square;
            BoardAt(position, square) = man;
            XorKey(&root->key, &man->keyTable[square]);
        }
    }
}

static void AppendToList(Position *position, SideRecord *side, PieceRecord *man) {
    man->prev = side->head.prev == &position->emptyRecord ? &side->head : side->head.prev;
    man->next = &position->emptyRecord;
    man->prev->next = man;
    side->head.prev = man;
}

// White takes records 17..32 in order, black 15 down to 0: both lists run
// pawns, knights, bishops, rooks, queen, king.
static void BuildLists(Position *position) {
    for (int i = SEPARATOR_RECORD + 1; i < N_MEN_RECORDS; i++) {
        if (position->men[i].colour != 0)
            AppendToList(position, &position->whiteSide, &position->men[i]);
    }
    for (int i = SEPARATOR_RECORD - 1; i >= 0; i--) {
        if (position->men[i].colour != 0)
            AppendToList(position, &position->blackSide, &position->men[i]);
    }
}

static void CountMen(Position *position) {
    position->pieceMaterial = -2 * position->kinds[WHITE_KING].value;
    position->menCount = 0;
    for (PieceKindRecord &kind : position->kinds)
        kind.count = 0;
    for (SideRecord *side : {&position->whiteSide, &position->blackSide}) {
        for (int file = 0; file < 8; file++)
            PawnsOnFile(side, file) = 0;
        for (PieceRecord *man = side->head.next; man != &position->emptyRecord; man = man->next) {
            man->kindRecord->count++;
            position->menCount++;
            if (man->kind == KIND_PAWN)
                PawnsOnFile(side, FileOf(man->square))++;
            else
                position->pieceMaterial += man->value;
        }
    }
}

int CannotWinFlagOfMaterial(const PieceKindRecord *kinds, int colour) {
    int pawn = colour == WHITE ? WHITE_PAWN : BLACK_PAWN;
    int rook = colour == WHITE ? WHITE_ROOK : BLACK_ROOK;
    int queen = colour == WHITE ? WHITE_QUEEN : BLACK_QUEEN;
    int bishops = kinds[colour == WHITE ? WHITE_BISHOP : BLACK_BISHOP].count;
    int knights = kinds[colour == WHITE ? WHITE_KNIGHT : BLACK_KNIGHT].count;
    if (kinds[pawn].count + kinds[rook].count + kinds[queen].count != 0)
        return 0;
    if ((bishops == 0 && knights < 3) || bishops + knights < 2)
        return colour == WHITE ? WHITE_CANNOT_WIN : BLACK_CANNOT_WIN;
    return 0;
}

static void InitSideFlags(SideRecord *white, SideRecord *black) {
    bool flagsOn = settings.setupFlag != 0;
    white->clearMask = ~0x1000;
    black->clearMask = ~0x2000;
    white->cannotWinFlag = flagsOn ? WHITE_CANNOT_WIN : 0;
    black->cannotWinFlag = flagsOn ? BLACK_CANNOT_WIN : 0;
}

static void SetRootFields(SearchNode *root, const GameRecord *game, Position *position) {
    root->side = game->setupSide;
    if (root->side == BLACK)
        root->key.lock32 ^= KEY_BLACK_TO_MOVE;
    moveNumber = game->setupMoveNumber;
    root->opponent = -root->side;
    root->sideRecord = position->sideByColour[root->side + 1];
    root->halfMoves = game->setupHalfMoves;
    root->castleFlags |= game->setupCastling;
    if (BoardAt(position, SQUARE_E1)->code != WHITE_KING)
        root->castleFlags &= ~(CASTLE_WHITE_KING_SIDE | CASTLE_WHITE_QUEEN_SIDE);
    if (BoardAt(position, SQUARE_E8)->code != BLACK_KING)
        root->castleFlags &= ~(CASTLE_BLACK_KING_SIDE | CASTLE_BLACK_QUEEN_SIDE);
    root->epSquare = game->setupEpSquare;
    if (root->epSquare != NO_SQUARE)
        root->nodeFlags |= NODE_EP_SQUARE;
}

int ParseFen(SearchNode *root, GameRecord *game) {
    Position *position = root->position;
    BoardLetters board;
    if (!ReadBoardField(game->setupText, &board))
        return -1;
    if (!EpSquareIsPlausible(&board, game->setupSide, game->setupEpSquare))
        game->setupEpSquare = NO_SQUARE;
    // Steps 1-4: root flags, side records, board and men start afresh.
    root->castleFlags = 0;
    root->nodeFlags = 0;
    root->lastMove = MOVE_NONE;
    root->reversals = 0;
    root->key = {0, 0};
    ResetKinds(position);
    WirePosition(position);
    ClearBoard(position);
    InitSideFlags(&position->whiteSide, &position->blackSide);
    // Steps 5-9: men, root fields, lists.
    PlaceMen(position, &board, root);
    SetRootFields(root, game, position);
    BuildLists(position);
    // Step 11: the rest of the root.
    root->parent = nullptr;
    ResetMoveList(root);
    root->capturedPiece = &position->emptyRecord;
    root->attackedPiece = nullptr;
    root->threatMove = MOVE_NONE;
    root->attackSquares = MOVE_NONE;
    root->savedSquareValue = 0;
    root->score = 0;
    root->pv[0] = MOVE_NONE;
    root->futilityGap = -SCORE_MATE;
    RecordHistoryKey(&root->key, root->halfMoves);
    game->plyCount = 0;
    // Steps 13-14: counts and the cannot-win flags.
    CountMen(position);
    root->castleFlags &= ~(WHITE_CANNOT_WIN | BLACK_CANNOT_WIN);
    root->castleFlags |= CannotWinFlagOfMaterial(position->kinds, WHITE);
    root->castleFlags |= CannotWinFlagOfMaterial(position->kinds, BLACK);
    return 0;
}
