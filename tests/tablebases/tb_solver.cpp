// Test-side endgame solver. Positions are nodes of a graph over every
// placement of the kings and men (pawns on ranks 2-7) and the side to move,
// plus kpkp's e.p. positions; moves are generated here, not by the engine.
// The retrograde pass settles nodes in order of plies, so a win is the
// shortest mate and a loss the longest defence.
#include "tests/tablebases/tb_solver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct EndingShape {
    const char *name;
    int nMen;
    int type[2];
    bool white[2];
};

const EndingShape shapes[SOLVER_ENDINGS] = {
    {"kqk", 1, {MAN_QUEEN, 0}, {true, false}},  {"krk", 1, {MAN_ROOK, 0}, {true, false}},
    {"kbk", 1, {MAN_BISHOP, 0}, {true, false}}, {"knk", 1, {MAN_KNIGHT, 0}, {true, false}},
    {"kpk", 1, {MAN_PAWN, 0}, {true, false}},   {"kpkp", 2, {MAN_PAWN, MAN_PAWN}, {true, false}},
};

constexpr int EP_NODES = 2 * 64 * 64 * 16;  // side, kings, pushed file, capturer left/right

struct SolvedTable {
    bool solved = false;
    int64_t nNormal = 0;
    int64_t nNodes = 0;
    std::vector<int16_t> value;
};

SolvedTable tables[SOLVER_ENDINGS];

int File(int s) {
    return s & 7;
}
int Rank(int s) {
    return s >> 3;
}
bool OnBoard(int file, int rank) {
    return file >= 0 && file < 8 && rank >= 0 && rank < 8;
}
int Distance(int a, int b) {
    int df = abs(File(a) - File(b)), dr = abs(Rank(a) - Rank(b));
    return df > dr ? df : dr;
}

// Board of letters: upper case white, lower case black, 0 empty.
struct Board {
    char square[64];
};

const char LETTERS[] = "QRBNP";

char LetterOf(const SolverMan &man) {
    char c = LETTERS[man.type];
    return man.white ? c : static_cast<char>(c - 'A' + 'a');
}

Board BoardOfPosition(const SolverPosition &p) {
    Board board;
    memset(board.square, 0, sizeof board.square);
    board.square[p.whiteKing] = 'K';
    board.square[p.blackKing] = 'k';
    for (int i = 0; i < p.nMen; i++)
        board.square[p.men[i].square] = LetterOf(p.men[i]);
    return board;
}

bool IsWhite(char c) {
    return c >= 'A' && c <= 'Z';
}

const int KING_STEPS[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
const int KNIGHT_STEPS[8][2] = {{1, 2},   {2, 1},   {2, -1}, {1, -2},
                                {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
// Rook directions first, then bishop directions.
const int RAYS[8][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 1}, {-1, 1}, {-1, -1}, {1, -1}};

// Whether the man of the kind on from attacks square, over board.
bool ManAttacks(const Board &board, int type, bool white, int from, int square) {
    int df = File(square) - File(from), dr = Rank(square) - Rank(from);
    int adf = abs(df), adr = abs(dr);
    switch (type) {
        case MAN_PAWN:
            return adf == 1 && dr == (white ? 1 : -1);
        case MAN_KNIGHT:
            return (adf == 1 && adr == 2) || (adf == 2 && adr == 1);
        case MAN_ROOK:
            if (adf != 0 && adr != 0)
                return false;
            break;
        case MAN_BISHOP:
            if (adf != adr)
                return false;
            break;
        default:
            if (adf != 0 && adr != 0 && adf != adr)
                return false;
            break;
    }
    if (adf == 0 && adr == 0)
        return false;
    int step = (dr > 0 ? 8 : dr < 0 ? -8 : 0) + (df > 0 ? 1 : df < 0 ? -1 : 0);
    for (int s = from + step; s != square; s += step) {
        if (board.square[s] != 0)
            return false;
    }
    return true;
}

bool SquareAttacked(const SolverPosition &p, const Board &board, int square, bool byWhite) {
    if (Distance(byWhite ? p.whiteKing : p.blackKing, square) == 1)
        return true;
    for (int i = 0; i < p.nMen; i++) {
        const SolverMan &m = p.men[i];
        if (m.white == byWhite && m.square != square &&
            ManAttacks(board, m.type, m.white, m.square, square))
            return true;
    }
    return false;
}

// The side not to move is not in check, and kings do not share a square.
bool PositionIsLegal(const SolverPosition &p, const Board &board) {
    bool whiteNotToMove = !p.whiteToMove;
    int king = whiteNotToMove ? p.whiteKing : p.blackKing;
    return !SquareAttacked(p, board, king, !whiteNotToMove);
}

bool SideInCheck(const SolverPosition &p, const Board &board, bool white) {
    return SquareAttacked(p, board, white ? p.whiteKing : p.blackKing, !white);
}

int PawnStep(bool white) {
    return white ? 8 : -8;
}
int PawnStartRank(bool white) {
    return white ? 1 : 6;
}
int DoublePushRank(bool white) {
    return white ? 3 : 4;
}  // where a double push lands

// The man of the side to move that could take en passant on the pushed
// pawn's file, or -1.
int EpCapturer(const SolverPosition &p, int pushedSquare) {
    for (int i = 0; i < p.nMen; i++) {
        const SolverMan &m = p.men[i];
        if (m.type == MAN_PAWN && m.white == p.whiteToMove &&
            Rank(m.square) == Rank(pushedSquare) && abs(File(m.square) - File(pushedSquare)) == 1)
            return i;
    }
    return -1;
}

void RemoveMan(SolverPosition *p, int index) {
    for (int i = index; i + 1 < p->nMen; i++)
        p->men[i] = p->men[i + 1];
    p->nMen--;
}

// Adds the move to list when it leaves the mover's king safe.
void AddIfLegal(const SolverPosition &before, const Board &boardBefore, int from, int to,
                int promotion, const SolverPosition &after, std::vector<SolverMove> *list) {
    // The board after the move, from the board before it.
    Board board = boardBefore;
    if (after.nMen < before.nMen && before.epSquare == to)
        board.square[to - PawnStep(before.whiteToMove)] = 0;
    char mover = board.square[from];
    board.square[from] = 0;
    board.square[to] = promotion < 0 ? mover : LetterOf({promotion, before.whiteToMove, to});
    if (!PositionIsLegal(after, board))
        return;
    list->push_back({from, to, promotion, after});
}

// The position after a man (king: index -1) goes from..to, taking what
// stands on to (or the e.p. pawn).
SolverPosition MovedPosition(const SolverPosition &p, int index, int to, bool epCapture) {
    SolverPosition after = p;
    after.whiteToMove = !p.whiteToMove;
    after.epSquare = -1;
    int taken = epCapture ? to - PawnStep(p.whiteToMove) : to;
    for (int i = 0; i < after.nMen; i++) {
        if (after.men[i].square == taken && after.men[i].white != p.whiteToMove) {
            RemoveMan(&after, i);
            if (i < index)
                index--;
            break;
        }
    }
    if (index < 0)
        (p.whiteToMove ? after.whiteKing : after.blackKing) = to;
    else
        after.men[index].square = to;
    return after;
}

void GeneratePawnMoves(const SolverPosition &p, const Board &board, int index,
                       std::vector<SolverMove> *list) {
    const SolverMan &man = p.men[index];
    int from = man.square, step = PawnStep(man.white);
    int lastRank = man.white ? 7 : 0;
    int targets[4], nTargets = 0;
    int one = from + step;
    if (board.square[one] == 0) {
        targets[nTargets++] = one;
        int two = one + step;
        if (Rank(from) == PawnStartRank(man.white) && board.square[two] == 0)
            targets[nTargets++] = two;
    }
    for (int df = -1; df <= 1; df += 2) {
        if (File(from) + df < 0 || File(from) + df > 7)
            continue;
        int to = one + df;
        char c = board.square[to];
        if ((c != 0 && IsWhite(c) != man.white && c != 'K' && c != 'k') || to == p.epSquare)
            targets[nTargets++] = to;
    }
    for (int t = 0; t < nTargets; t++) {
        int to = targets[t];
        SolverPosition after = MovedPosition(p, index, to, to == p.epSquare);
        if (Rank(to) == lastRank) {
            for (int type = MAN_QUEEN; type <= MAN_KNIGHT; type++) {
                SolverPosition promoted = after;
                for (int i = 0; i < promoted.nMen; i++) {
                    if (promoted.men[i].square == to)
                        promoted.men[i].type = type;
                }
                AddIfLegal(p, board, from, to, type, promoted, list);
            }
            continue;
        }
        // The e.p. right exists only when a pawn can use it.
        if (abs(to - from) == 16 && EpCapturer(after, to) >= 0)
            after.epSquare = from + step;
        AddIfLegal(p, board, from, to, -1, after, list);
    }
}

void GeneratePieceMoves(const SolverPosition &p, const Board &board, int index, int from, int type,
                        std::vector<SolverMove> *list) {
    bool white = p.whiteToMove;
    auto tryTarget = [&](int to) {
        char c = board.square[to];
        if (c == 'K' || c == 'k' || (c != 0 && IsWhite(c) == white))
            return false;
        AddIfLegal(p, board, from, to, -1, MovedPosition(p, index, to, false), list);
        return c == 0;
    };
    int f = File(from), r = Rank(from);
    if (type < 0 || type == MAN_KNIGHT) {
        const int(*steps)[2] = type < 0 ? KING_STEPS : KNIGHT_STEPS;
        for (int i = 0; i < 8; i++) {
            int ff = f + steps[i][0], rr = r + steps[i][1];
            if (OnBoard(ff, rr))
                tryTarget(rr * 8 + ff);
        }
        return;
    }
    int firstRay = type == MAN_BISHOP ? 4 : 0, lastRay = type == MAN_ROOK ? 4 : 8;
    for (int d = firstRay; d < lastRay; d++) {
        for (int ff = f + RAYS[d][0], rr = r + RAYS[d][1]; OnBoard(ff, rr);
             ff += RAYS[d][0], rr += RAYS[d][1]) {
            if (!tryTarget(rr * 8 + ff))
                break;
        }
    }
}

void GenerateLegalMoves(const SolverPosition &p, std::vector<SolverMove> *out) {
    std::vector<SolverMove> &list = *out;
    list.clear();
    Board board = BoardOfPosition(p);
    GeneratePieceMoves(p, board, -1, p.whiteToMove ? p.whiteKing : p.blackKing, -1, &list);
    for (int i = 0; i < p.nMen; i++) {
        if (p.men[i].white != p.whiteToMove)
            continue;
        if (p.men[i].type == MAN_PAWN)
            GeneratePawnMoves(p, board, i, &list);
        else
            GeneratePieceMoves(p, board, i, p.men[i].square, p.men[i].type, &list);
    }
}

// Predecessors: positions from which one legal move that neither captures
// nor promotes leads to p, e.p. right included.
bool EpVersion(const SolverPosition &q, SolverPosition *withEp);

void AddPredecessor(const SolverPosition &q, std::vector<SolverPosition> *out) {
    Board board = BoardOfPosition(q);
    if (!PositionIsLegal(q, board))
        return;
    out->push_back(q);
    SolverPosition withEp;
    if (EpVersion(q, &withEp))
        out->push_back(withEp);
}

void GeneratePredecessors(const SolverPosition &p, std::vector<SolverPosition> *out) {
    out->clear();
    bool mover = !p.whiteToMove;
    Board board = BoardOfPosition(p);
    if (p.epSquare >= 0) {
        // Only the double push itself leads here.
        SolverPosition q = p;
        q.whiteToMove = mover;
        q.epSquare = -1;
        for (int i = 0; i < q.nMen; i++) {
            if (q.men[i].square == p.epSquare + PawnStep(mover))
                q.men[i].square = p.epSquare - PawnStep(mover);
        }
        AddPredecessor(q, out);
        return;
    }
    auto addFrom = [&](int index, int origin) {
        SolverPosition q = p;
        q.whiteToMove = mover;
        if (index < 0)
            (mover ? q.whiteKing : q.blackKing) = origin;
        else
            q.men[index].square = origin;
        AddPredecessor(q, out);
    };
    for (int index = -1; index < p.nMen; index++) {
        int from = index < 0 ? (mover ? p.whiteKing : p.blackKing) : p.men[index].square;
        if (index >= 0 && p.men[index].white != mover)
            continue;
        int type = index < 0 ? -1 : p.men[index].type;
        int f = File(from), r = Rank(from);
        if (type == MAN_PAWN) {
            int back = from - PawnStep(mover);
            if (board.square[back] != 0 || Rank(back) == (mover ? 0 : 7))
                continue;
            addFrom(index, back);
            int back2 = back - PawnStep(mover);
            // A double push next to a pawn that can take e.p. leads to the
            // e.p. position instead.
            if (Rank(from) == DoublePushRank(mover) && board.square[back2] == 0 &&
                EpCapturer(p, from) < 0)
                addFrom(index, back2);
        } else if (type < 0 || type == MAN_KNIGHT) {
            const int(*steps)[2] = type < 0 ? KING_STEPS : KNIGHT_STEPS;
            for (int i = 0; i < 8; i++) {
                int ff = f + steps[i][0], rr = r + steps[i][1];
                if (OnBoard(ff, rr) && board.square[rr * 8 + ff] == 0)
                    addFrom(index, rr * 8 + ff);
            }
        } else {
            int firstRay = type == MAN_BISHOP ? 4 : 0, lastRay = type == MAN_ROOK ? 4 : 8;
            for (int d = firstRay; d < lastRay; d++) {
                for (int ff = f + RAYS[d][0], rr = r + RAYS[d][1];
                     OnBoard(ff, rr) && board.square[rr * 8 + ff] == 0;
                     ff += RAYS[d][0], rr += RAYS[d][1])
                    addFrom(index, rr * 8 + ff);
            }
        }
    }
}

// q with the right to take e.p. on the pawn the other side just pushed
// two squares, when that could have happened and a pawn can take.
bool EpVersion(const SolverPosition &q, SolverPosition *withEp) {
    bool pusher = !q.whiteToMove;
    for (int i = 0; i < q.nMen; i++) {
        const SolverMan &m = q.men[i];
        if (m.type != MAN_PAWN || m.white != pusher || Rank(m.square) != DoublePushRank(pusher))
            continue;
        if (EpCapturer(q, m.square) < 0)
            continue;
        int passed = m.square - PawnStep(pusher), origin = passed - PawnStep(pusher);
        Board board = BoardOfPosition(q);
        if (board.square[passed] != 0 || board.square[origin] != 0)
            continue;
        SolverPosition before = q;
        before.whiteToMove = pusher;
        before.men[i].square = origin;
        if (!PositionIsLegal(before, BoardOfPosition(before)))
            continue;
        *withEp = q;
        withEp->epSquare = passed;
        return true;
    }
    return false;
}

// Node numbering of the solver's graph (not the file numbering).
int SquareRange(int type) {
    return type == MAN_PAWN ? 48 : 64;
}
int SquareBase(int type) {
    return type == MAN_PAWN ? 8 : 0;
}

// Endings with pawns keep only positions with the white king on files
// a-d: the mirror image across the d/e line has the same value, and no
// position is its own image.
bool FoldsFiles(int ending) {
    return ending == SOLVER_KPK || ending == SOLVER_KPKP;
}

SolverPosition FileMirror(const SolverPosition &p) {
    SolverPosition m = p;
    m.whiteKing ^= 7;
    m.blackKing ^= 7;
    for (int i = 0; i < p.nMen; i++)
        m.men[i].square ^= 7;
    if (p.epSquare >= 0)
        m.epSquare ^= 7;
    return m;
}

int64_t NodeOf(int ending, const SolverPosition &position) {
    const EndingShape &shape = shapes[ending];
    bool fold = FoldsFiles(ending) && File(position.whiteKing) >= 4;
    const SolverPosition &p = fold ? FileMirror(position) : position;
    if (p.epSquare >= 0) {
        // Side to move, kings, file of the pushed pawn, capturer's side.
        int pushed = p.epSquare + PawnStep(!p.whiteToMove);
        int capturer = EpCapturer(p, pushed);
        int right = File(p.men[capturer].square) > File(pushed);
        int64_t k = ((int64_t(!p.whiteToMove) * 64 + p.whiteKing) * 64 + p.blackKing) * 16;
        return tables[ending].nNormal + k + File(pushed) * 2 + right;
    }
    int64_t n = (int64_t(!p.whiteToMove) * 64 + p.whiteKing) * 64 + p.blackKing;
    for (int i = 0; i < shape.nMen; i++)
        n = n * SquareRange(shape.type[i]) + p.men[i].square - SquareBase(shape.type[i]);
    return n;
}

// The position of a node; false when the node names no legal position.
bool PositionOfNode(int ending, int64_t node, SolverPosition *p) {
    const EndingShape &shape = shapes[ending];
    *p = SolverPosition();
    p->nMen = shape.nMen;
    for (int i = 0; i < shape.nMen; i++) {
        p->men[i].type = shape.type[i];
        p->men[i].white = shape.white[i];
    }
    if (node >= tables[ending].nNormal) {
        int64_t k = node - tables[ending].nNormal;
        int right = int(k % 2), file = int(k / 2 % 8);
        k /= 16;
        p->blackKing = int(k % 64);
        p->whiteKing = int(k / 64 % 64);
        p->whiteToMove = k / 4096 == 0;
        if (FoldsFiles(ending) && File(p->whiteKing) >= 4)
            return false;
        bool pusher = !p->whiteToMove;
        int pushed = DoublePushRank(pusher) * 8 + file;
        int capturerFile = file + (right ? 1 : -1);
        if (capturerFile < 0 || capturerFile > 7)
            return false;
        int pusherIndex = shape.white[0] == pusher ? 0 : 1;
        p->men[pusherIndex].square = pushed;
        p->men[1 - pusherIndex].square = DoublePushRank(pusher) * 8 + capturerFile;
        p->epSquare = pushed - PawnStep(pusher);
        int origin = p->epSquare - PawnStep(pusher);
        for (int king : {p->whiteKing, p->blackKing}) {
            if (king == pushed || king == p->men[1 - pusherIndex].square || king == p->epSquare ||
                king == origin)
                return false;
        }
        if (p->whiteKing == p->blackKing)
            return false;
        SolverPosition before = *p;
        before.whiteToMove = pusher;
        before.epSquare = -1;
        before.men[pusherIndex].square = origin;
        return PositionIsLegal(*p, BoardOfPosition(*p)) &&
               PositionIsLegal(before, BoardOfPosition(before));
    }
    for (int i = shape.nMen - 1; i >= 0; i--) {
        int range = SquareRange(shape.type[i]);
        p->men[i].square = int(node % range) + SquareBase(shape.type[i]);
        node /= range;
    }
    p->blackKing = int(node % 64);
    p->whiteKing = int(node / 64 % 64);
    p->whiteToMove = node / 4096 == 0;
    if (FoldsFiles(ending) && File(p->whiteKing) >= 4)
        return false;
    uint64_t used = (1ull << p->whiteKing) | (1ull << p->blackKing);
    if (p->whiteKing == p->blackKing)
        return false;
    for (int i = 0; i < shape.nMen; i++) {
        if (used & (1ull << p->men[i].square))
            return false;
        used |= 1ull << p->men[i].square;
    }
    return PositionIsLegal(*p, BoardOfPosition(*p));
}

// The solved ending and colours of a material, or -1.
int EndingOfMaterial(const SolverPosition &p, bool *swapped) {
    for (int e = 0; e < SOLVER_ENDINGS; e++) {
        const EndingShape &shape = shapes[e];
        if (shape.nMen != p.nMen || !tables[e].solved)
            continue;
        for (int swap = 0; swap < 2; swap++) {
            bool match = true;
            for (int i = 0; i < shape.nMen; i++) {
                bool found = false;
                for (int j = 0; j < p.nMen; j++)
                    found |= p.men[j].type == shape.type[i] &&
                             (p.men[j].white != swap) == shape.white[i];
                match &= found;
            }
            if (match) {
                *swapped = swap;
                return e;
            }
        }
    }
    return -1;
}

// p in the ending's own colours, men in the ending's order.
SolverPosition Canonical(int ending, const SolverPosition &p) {
    const EndingShape &shape = shapes[ending];
    SolverPosition c = p;
    for (int i = 0; i < shape.nMen; i++) {
        for (int j = 0; j < p.nMen; j++) {
            if (p.men[j].type == shape.type[i] && p.men[j].white == shape.white[i])
                c.men[i] = p.men[j];
        }
    }
    return c;
}

struct SolveState {
    std::vector<uint8_t> pending;  // in-table moves not yet known as lost for the mover
    std::vector<uint8_t> maxPly;   // longest defence so far
    std::vector<uint8_t> flags;
    std::vector<uint8_t> winPly;                 // shortest win queued so far, NO_PLY none
    std::vector<std::vector<uint32_t>> buckets;  // nodes to settle per ply, win bit 31
};
constexpr uint8_t HAS_WIN = 1, CANNOT_LOSE = 2, SETTLED = 4;
constexpr uint32_t WIN_BIT = 1u << 31;
constexpr uint8_t NO_PLY = 255;

// Queues a win unless a shorter one is queued already.
void PushWin(SolveState *state, int ply, int64_t node);

void Push(SolveState *state, int ply, int64_t node, bool win) {
    if (ply >= NO_PLY - 1) {
        fprintf(stderr, "tbgen: distance beyond the solver's range\n");
        abort();
    }
    if (int(state->buckets.size()) <= ply)
        state->buckets.resize(ply + 1);
    state->buckets[ply].push_back(uint32_t(node) | (win ? WIN_BIT : 0));
}

void PushWin(SolveState *state, int ply, int64_t node) {
    if (ply >= state->winPly[node])
        return;
    state->winPly[node] = uint8_t(ply);
    state->flags[node] |= HAS_WIN;
    Push(state, ply, node, true);
}

// The value of a move that leaves the ending, for the side then to move.
int16_t ConvertedValue(const SolverMove &move) {
    int16_t value = SolverValue(move.after);
    if (value == SOLVER_ILLEGAL && move.promotion >= 0)
        return -1;  // kpkp: the promoting side has won
    return value;
}

// First look at a node: in-table moves counted, leaving moves applied.
void SeedNode(int64_t node, const SolverPosition &p, SolveState *state) {
    static std::vector<SolverMove> moves;
    GenerateLegalMoves(p, &moves);
    int nIn = 0, bestWin = -1, longestLoss = 0;
    bool canDraw = false;
    for (const SolverMove &move : moves) {
        bool leaves = move.promotion >= 0 || move.after.nMen != p.nMen;
        if (!leaves) {
            nIn++;
            continue;
        }
        int16_t v = ConvertedValue(move);
        if (v == 0) {
            canDraw = true;
        } else if (v < 0) {
            int ply = -v;  // mated on ply -v - 1 after the move
            if (bestWin < 0 || ply < bestWin)
                bestWin = ply;
        } else if (v + 1 > longestLoss) {
            longestLoss = v + 1;
        }
    }
    state->pending[node] = uint8_t(nIn);
    state->maxPly[node] = uint8_t(longestLoss);
    if (bestWin >= 0) {
        PushWin(state, bestWin, node);
        return;
    }
    if (canDraw)
        state->flags[node] |= CANNOT_LOSE;
    if (nIn > 0 || canDraw)
        return;
    if (moves.empty() && !SideInCheck(p, BoardOfPosition(p), p.whiteToMove))
        return;  // stalemate
    Push(state, longestLoss, node, false);
}

void SettleNode(int ending, int64_t node, int ply, bool win, SolveState *state,
                std::vector<SolverPosition> *predecessors) {
    SolvedTable &table = tables[ending];
    state->flags[node] |= SETTLED;
    table.value[node] = int16_t(win ? ply : -(ply + 1));
    SolverPosition p;
    PositionOfNode(ending, node, &p);
    GeneratePredecessors(p, predecessors);
    for (const SolverPosition &q : *predecessors) {
        int64_t before = NodeOf(ending, q);
        uint8_t &flags = state->flags[before];
        if (flags & SETTLED)
            continue;
        if (!win) {
            PushWin(state, ply + 1, before);
            continue;
        }
        if (ply + 1 > state->maxPly[before])
            state->maxPly[before] = uint8_t(ply + 1);
        if (--state->pending[before] == 0 && !(flags & (HAS_WIN | CANNOT_LOSE)))
            Push(state, state->maxPly[before], before, false);
    }
}

void SolveEnding(int ending) {
    SolvedTable &table = tables[ending];
    if (table.solved)
        return;
    const EndingShape &shape = shapes[ending];
    table.nNormal = 2 * 64 * 64;
    for (int i = 0; i < shape.nMen; i++)
        table.nNormal *= SquareRange(shape.type[i]);
    table.nNodes = table.nNormal + (ending == SOLVER_KPKP ? EP_NODES : 0);
    table.value.assign(table.nNodes, SOLVER_ILLEGAL);
    SolveState state;
    state.pending.assign(table.nNodes, 0);
    state.maxPly.assign(table.nNodes, 0);
    state.flags.assign(table.nNodes, 0);
    state.winPly.assign(table.nNodes, NO_PLY);
    for (int64_t node = 0; node < table.nNodes; node++) {
        SolverPosition p;
        if (!PositionOfNode(ending, node, &p))
            continue;
        table.value[node] = 0;  // a draw unless settled below
        SeedNode(node, p, &state);
    }
    std::vector<SolverPosition> predecessors;
    for (size_t ply = 0; ply < state.buckets.size(); ply++) {
        // Settling may add to later buckets, never to this one.
        for (size_t i = 0; i < state.buckets[ply].size(); i++) {
            uint32_t entry = state.buckets[ply][i];
            int64_t node = entry & ~WIN_BIT;
            if (!(state.flags[node] & SETTLED))
                SettleNode(ending, node, int(ply), (entry & WIN_BIT) != 0, &state, &predecessors);
        }
        std::vector<uint32_t>().swap(state.buckets[ply]);
    }
    table.solved = true;
}

}  // namespace

int MovesToMate(int16_t value) {
    return value > 0 ? (value + 1) / 2 : (-value - 1) / 2;
}
bool ValueIsWin(int16_t value) {
    return value > 0;
}
bool ValueIsLoss(int16_t value) {
    return value < 0 && value != SOLVER_ILLEGAL;
}

const char *SolverEndingName(int ending) {
    return shapes[ending].name;
}

int SolverEndingMan(int ending) {
    return shapes[ending].type[0];
}

bool SolverEndingIsSolved(int ending) {
    return tables[ending].solved;
}

void SolveEndings(bool withKpkp) {
    // kpk promotes into the piece endings, which must be solved first.
    for (int e = SOLVER_KQK; e <= SOLVER_KPK; e++)
        SolveEnding(e);
    if (withKpkp)
        SolveEnding(SOLVER_KPKP);
}

std::vector<SolverMove> SolverLegalMoves(const SolverPosition &p) {
    std::vector<SolverMove> list;
    GenerateLegalMoves(p, &list);
    return list;
}

SolverPosition ColourMirror(const SolverPosition &p) {
    SolverPosition m = p;
    m.whiteToMove = !p.whiteToMove;
    m.whiteKing = p.blackKing ^ 56;
    m.blackKing = p.whiteKing ^ 56;
    for (int i = 0; i < p.nMen; i++) {
        m.men[i].white = !p.men[i].white;
        m.men[i].square = p.men[i].square ^ 56;
    }
    m.epSquare = p.epSquare < 0 ? -1 : p.epSquare ^ 56;
    return m;
}

int16_t SolverValue(const SolverPosition &position) {
    if (position.nMen == 0)
        return 0;
    bool swapped = false;
    int ending = EndingOfMaterial(position, &swapped);
    if (ending < 0)
        return SOLVER_ILLEGAL;
    SolverPosition p = Canonical(ending, swapped ? ColourMirror(position) : position);
    int64_t node = NodeOf(ending, p);
    if (node < 0 || node >= tables[ending].nNodes)
        return SOLVER_ILLEGAL;
    return tables[ending].value[node];
}

void ForEachSolvedPosition(int ending,
                           void (*visit)(const SolverPosition &position, int16_t value,
                                         void *context),
                           void *context) {
    const SolvedTable &table = tables[ending];
    for (int64_t node = 0; node < table.nNodes; node++) {
        if (table.value[node] == SOLVER_ILLEGAL)
            continue;
        SolverPosition p;
        PositionOfNode(ending, node, &p);
        visit(p, table.value[node], context);
        if (FoldsFiles(ending))
            visit(FileMirror(p), table.value[node], context);
    }
}

int8_t SolverByte(int16_t value) {
    if (value == SOLVER_ILLEGAL || value == -1)
        return 127;
    if (value == 0)
        return 0;
    int n = MovesToMate(value);
    return int8_t(value > 0 ? 127 - n : n - 127);
}
