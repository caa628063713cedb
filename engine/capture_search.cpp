// The exchange search on one square: the recaptures on the square of the
// last move, cheapest attacker first, standing pat at every step. The
// node's currentPiece marks how far its side list has been tried.
#include "engine/attacks.h"
#include "engine/eval_work_area.h"
#include "engine/make_move.h"
#include "engine/search.h"

int SearchCaptures(SearchNode *node, int beta, int alpha, Move *bestOut) {
    Position *position = node->position;
    int standPat = node->score;
    if (alpha < standPat) {
        if (standPat >= beta)
            return standPat;
        alpha = standPat;
    }
    int square = ToSquare(node->lastMove);
    if (square == NO_SQUARE)
        return alpha;
    if (tempoBase + alpha - standPat - BoardAt(position, square)->squareValue > 29)
        return alpha;
    for (PieceRecord *man = node->currentPiece->next; man != &position->emptyRecord;
         man = man->next) {
        if (!ManAttacksSquare(position, man, man->square, square))
            continue;
        node->currentPiece = man;
        Move capture = MakeMoveCode(man->square, square);
        SearchNode child;
        child.pv[0] = child.pv[1] = MOVE_NONE;
        MakeMove(node, capture, &child);
        // A final child's score is its own side's view, as every child score.
        int score = (child.castleFlags & SCORE_FINAL)
                        ? -child.score
                        : -SearchCaptures(&child, -alpha, -beta, nullptr);
        UnmakeMove(&child);
        if (score > alpha) {
            if (bestOut)
                *bestOut = capture;
            if (score >= beta)
                return score;
            alpha = score;
        }
    }
    return alpha;
}
