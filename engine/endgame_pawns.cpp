// The endgame pawn scan: per-file pawn records, pawn flag bytes with
// their control, span and exposure bits, the front-pawn runs in the pawn
// square tables and the rook open-file bonus. Writes stay on the board.
#include "engine/eval_terms.h"

// Lays v along the runs of one side's front pawns into the other side's
// pawn square table; the sign rules are those of AddFileRun.
static void LayFrontPawnRuns(Position *pos, int colour) {
    EvalWorkArea *area = &pos->evalArea;
    const int32_t *table = area->passedPawnTable;
    for (int i = 0; i < 8; i++) {
        if (PawnsOnFile(SideOf(pos, colour), i) == 0)
            continue;
        int c = PawnFile(area, colour, i).frontRank;
        int v = (table[colour > 0 ? c : 7 - c] * 53 + 32) >> 6;
        int nBelow = 0, which = 0;
        for (int g = i - 1; g <= i + 1; g++) {
            int rear = PawnFile(area, -colour, g).rearRank;
            if (colour > 0 ? rear > c : rear < c)
                nBelow++, which = g;
        }
        if (nBelow != 1)
            continue;
        int value = which == i ? -v : v;
        if (colour < 0)  // white's runs: second rank up to the rank below the pawn
            AddFileRun(pos, WHITE, c, which, value);
        else  // black's runs: from beyond the pawn, one rank further on the left file
            AddFileRun(pos, BLACK, which == i - 1 ? c + 1 : c, which, value);
    }
}

void ScanPawnFiles(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    for (int colour = -1; colour <= 1; colour += 2) {
        SideRecord *side = SideOf(pos, colour);
        for (int i = 0; i < 128; i++)
            side->eval.pawnFlags[i] = 0, side->pawnSquareTable[i] = 0;
    }
    ScanPawnLists(pos);
    LayFrontPawnRuns(pos, BLACK);
    LayFrontPawnRuns(pos, WHITE);
    area->rookOpenFileBonus = area->openFiles < 4 ? 9 : 0;
    MarkAttackSpans(pos, WHITE, 0);
    MarkAttackSpans(pos, BLACK, 0);
}
