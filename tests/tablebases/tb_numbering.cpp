// The solver's own numbering of positions in the table files, built from
// its rules: king pairs in row-major order, per-kind square numberings
// beside the other king, offsets summed over the king pairs, the mirror
// frames and the flip for black to move. Also the files themselves.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/tablebases/tb_solver.h"
#include "tests/tablebases/tb_writer.h"

namespace {

int File(int s) {
    return s & 7;
}
int Rank(int s) {
    return s >> 3;
}
int Distance(int a, int b) {
    int df = abs(File(a) - File(b)), dr = abs(Rank(a) - Rank(b));
    return df > dr ? df : dr;
}

constexpr int NO_NUMBER = 255;
constexpr int PAWN_PAIRS = 1806, PAWNLESS_PAIRS = 462;
enum NumberingKind { KIND_PAWN, KIND_PAWN_UP, KIND_KNIGHT, KIND_BISHOP, KIND_ROOK, KIND_QUEEN };

struct Numbering {
    bool built = false;
    int pawnPair[64][64], pawnlessPair[64][64];
    uint8_t number[6][64][64];  // [kind][other king][square]
    int count[6][64];
    int64_t pawnOffset[6][PAWN_PAIRS], pawnlessOffset[6][PAWNLESS_PAIRS];
    int64_t pawnTotal[6], pawnlessTotal[6];
};
Numbering numbering;

bool InTriangle(int s) {
    return File(s) <= 3 && Rank(s) <= 3 && File(s) >= Rank(s);
}
bool OnDiagonal(int s) {
    return File(s) == Rank(s);
}
bool OnOrBelowDiagonal(int s) {
    return File(s) >= Rank(s);
}

bool SquareAllowed(int kind, int king, int s) {
    if (s == king)
        return false;
    int df = abs(File(s) - File(king)), dr = abs(Rank(s) - Rank(king));
    switch (kind) {
        case KIND_PAWN:
            return s >= 8 && s < 56;
        case KIND_PAWN_UP:
            if (s < 8 || s >= 56)
                return false;
            return !(king == s + 7 && File(s) != 0) && !(king == s + 9 && File(s) != 7);
        case KIND_KNIGHT:
            return !((df == 1 && dr == 2) || (df == 2 && dr == 1));
        case KIND_BISHOP:
            return !(df == 1 && dr == 1);
        case KIND_ROOK:
            return df + dr != 1;
        default:
            return Distance(s, king) > 1;
    }
}

// Usable squares for a man of the kind when the side to move's king
// stands on k and the other king on o.
int Usable(int kind, int k, int o) {
    return numbering.count[kind][o] - (numbering.number[kind][o][k] != NO_NUMBER);
}

void BuildNumbering() {
    Numbering &n = numbering;
    if (n.built)
        return;
    n.built = true;
    int nPawn = 0, nPawnless = 0;
    for (int k = 0; k < 64; k++) {
        for (int o = 0; o < 64; o++) {
            bool apart = Distance(k, o) > 1;
            n.pawnPair[k][o] = apart && File(k) <= 3 ? nPawn++ : -1;
            bool canonical = InTriangle(k) && (!OnDiagonal(k) || OnOrBelowDiagonal(o));
            n.pawnlessPair[k][o] = apart && canonical ? nPawnless++ : -1;
        }
    }
    for (int kind = 0; kind < 6; kind++) {
        for (int king = 0; king < 64; king++) {
            int next = 0;
            for (int s = 0; s < 64; s++)
                n.number[kind][king][s] = SquareAllowed(kind, king, s) ? next++ : NO_NUMBER;
            n.count[kind][king] = next;
        }
        int64_t pawnSum = 0, pawnlessSum = 0;
        for (int k = 0; k < 64; k++) {
            for (int o = 0; o < 64; o++) {
                if (n.pawnPair[k][o] >= 0) {
                    n.pawnOffset[kind][n.pawnPair[k][o]] = pawnSum;
                    pawnSum += Usable(kind, k, o);
                }
                if (n.pawnlessPair[k][o] >= 0) {
                    n.pawnlessOffset[kind][n.pawnlessPair[k][o]] = pawnlessSum;
                    pawnlessSum += Usable(kind, k, o);
                }
            }
        }
        n.pawnTotal[kind] = pawnSum;
        n.pawnlessTotal[kind] = pawnlessSum;
    }
}

int KindOfPiece(int type) {
    return KIND_QUEEN - type;
}  // queen 5 .. knight 2

// The man's number beside the other king o, one less when the side to
// move's king k stands on a numbered square below it.
int NumberBeside(int kind, int k, int o, int s) {
    int x = numbering.number[kind][o][s];
    if (x == NO_NUMBER)
        return -1;
    return x - (numbering.number[kind][o][k] != NO_NUMBER && k < s);
}

int64_t PawnlessNumber(int ending, const SolverPosition &p) {
    int kS = p.whiteToMove ? p.whiteKing : p.blackKing;
    int kO = p.whiteToMove ? p.blackKing : p.whiteKing;
    int man = p.men[0].square;
    int mask = (File(kS) >= 4 ? 7 : 0) | (Rank(kS) >= 4 ? 0x38 : 0);
    kS ^= mask, kO ^= mask, man ^= mask;
    if (!(InTriangle(kS) && (!OnDiagonal(kS) || OnOrBelowDiagonal(kO)))) {
        auto transpose = [](int s) { return File(s) * 8 + Rank(s); };
        kS = transpose(kS), kO = transpose(kO), man = transpose(man);
    }
    int kp = numbering.pawnlessPair[kS][kO];
    if (kp < 0)
        return -1;
    if (!p.whiteToMove)
        return int64_t(kp) * 62 + man - (kS < man) - (kO < man);
    int kind = KindOfPiece(SolverEndingMan(ending));
    int x = NumberBeside(kind, kS, kO, man);
    return x < 0 ? -1 : numbering.pawnlessOffset[kind][kp] + x;
}

int64_t KpkNumber(const SolverPosition &p) {
    int kS = p.whiteToMove ? p.whiteKing : p.blackKing;
    int mask = File(kS) >= 4 ? 7 : 0;
    // Black to move: the block is read upside down, so the pawn goes up.
    if (!p.whiteToMove)
        mask ^= 0x38;
    int w = p.whiteKing ^ mask, b = p.blackKing ^ mask, pawn = p.men[0].square ^ mask;
    int k = p.whiteToMove ? w : b, o = p.whiteToMove ? b : w;
    int kind = p.whiteToMove ? KIND_PAWN_UP : KIND_PAWN;
    int kp = numbering.pawnPair[k][o];
    int x = NumberBeside(kind, k, o, pawn);
    return kp < 0 || x < 0 ? -1 : numbering.pawnOffset[kind][kp] + x;
}

int64_t KpkpOrdinaryRange() {
    return numbering.pawnTotal[KIND_PAWN_UP] * 47;
}

int64_t KpkpNumber(const SolverPosition &p) {
    int kS = p.whiteToMove ? p.whiteKing : p.blackKing;
    int mask = File(kS) >= 4 ? 7 : 0;
    int w = p.whiteKing ^ mask, b = p.blackKing ^ mask;
    int wp = p.men[0].square ^ mask, bp = p.men[1].square ^ mask;
    if (p.epSquare >= 0) {
        int e = p.epSquare ^ mask;
        int capturer = p.whiteToMove ? wp : bp;
        bool towardsA = p.whiteToMove ? capturer + 7 == e : capturer - 9 == e;
        int d = towardsA ? File(capturer) - 1 : File(capturer) + 7;
        int kp = p.whiteToMove ? numbering.pawnPair[w][b] : numbering.pawnPair[b][w];
        return kp < 0 ? -1 : KpkpOrdinaryRange() + int64_t(kp) * 14 + d;
    }
    int kp, x, trailing;
    if (p.whiteToMove) {
        kp = numbering.pawnPair[w][b];
        x = NumberBeside(KIND_PAWN_UP, w, b, wp);
        trailing = bp - 8 - (wp < bp);
    } else {
        // The block (kings and black's pawn) upside down; white's pawn not.
        kp = numbering.pawnPair[b ^ 0x38][w ^ 0x38];
        x = NumberBeside(KIND_PAWN_UP, b ^ 0x38, w ^ 0x38, bp ^ 0x38);
        trailing = wp - 8 - (bp < wp);
    }
    if (kp < 0 || x < 0)
        return -1;
    return (numbering.pawnOffset[KIND_PAWN_UP][kp] + x) * 47 + trailing;
}

}  // namespace

int64_t SolverPositionNumber(int ending, const SolverPosition &position) {
    BuildNumbering();
    if (ending == SOLVER_KPKP)
        return KpkpNumber(position);
    if (ending == SOLVER_KPK)
        return KpkNumber(position);
    return PawnlessNumber(ending, position);
}

int64_t SolverStoredCount(int ending, int side) {
    BuildNumbering();
    if (ending == SOLVER_KPKP)
        return KpkpOrdinaryRange() + PAWN_PAIRS * 14;
    if (ending == SOLVER_KPK)
        return numbering.pawnTotal[side == 0 ? KIND_PAWN_UP : KIND_PAWN];
    if (side == 1)
        return PAWNLESS_PAIRS * 62;
    int64_t range = numbering.pawnlessTotal[KindOfPiece(SolverEndingMan(ending))];
    // The last six numbers of kqk and krk (kings d4 and h8, the piece on
    // a8..f8 giving check) are illegal and left out of the files.
    return ending == SOLVER_KQK || ending == SOLVER_KRK ? range - 6 : range;
}

namespace {

struct FileBytes {
    int ending;
    std::vector<int8_t> bytes[2];
    std::vector<bool> written[2];
    std::string conflict;
};

void StorePosition(const SolverPosition &p, int16_t value, void *context) {
    FileBytes *file = static_cast<FileBytes *>(context);
    int side = p.whiteToMove ? 0 : 1;
    int64_t number = SolverPositionNumber(file->ending, p);
    int8_t byte = SolverByte(value);
    if (number < 0 || number >= int64_t(file->bytes[side].size())) {
        file->conflict = "position numbered outside the file";
        return;
    }
    // Positions that the frames identify must agree.
    if (file->written[side][number] && file->bytes[side][number] != byte)
        file->conflict = "two values for one number";
    file->bytes[side][number] = byte;
    file->written[side][number] = true;
}

bool WriteBytes(const std::string &path, const void *data, size_t size, std::string *error) {
    std::FILE *out = fopen(path.c_str(), "wb");
    bool ok = out != nullptr && fwrite(data, 1, size, out) == size;
    if (out != nullptr)
        ok &= fclose(out) == 0;
    if (!ok)
        *error = "cannot write " + path;
    return ok;
}

}  // namespace

bool WriteSolvedTables(const std::string &directory, bool plain, bool compressed,
                       std::string *error) {
    for (int ending = 0; ending < SOLVER_ENDINGS; ending++) {
        if (!SolverEndingIsSolved(ending))
            continue;
        FileBytes file;
        file.ending = ending;
        for (int side = 0; side < 2; side++) {
            file.bytes[side].assign(SolverStoredCount(ending, side), 127);
            file.written[side].assign(file.bytes[side].size(), false);
        }
        ForEachSolvedPosition(ending, StorePosition, &file);
        if (!file.conflict.empty()) {
            *error = std::string(SolverEndingName(ending)) + ": " + file.conflict;
            return false;
        }
        for (int side = 0; side < 2; side++) {
            std::string path =
                directory + "/" + SolverEndingName(ending) + (side ? ".nbb" : ".nbw");
            const std::vector<int8_t> &bytes = file.bytes[side];
            if (plain && !WriteBytes(path, bytes.data(), bytes.size(), error))
                return false;
            if (!compressed)
                continue;
            std::vector<uint8_t> packed =
                EncodeCompressedTable(std::vector<uint8_t>(bytes.begin(), bytes.end()));
            if (!WriteBytes(path + ".emd", packed.data(), packed.size(), error))
                return false;
        }
    }
    return true;
}
