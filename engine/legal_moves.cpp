// Legal moves by make, test, unmake over the generator's moves: castling
// already avoids attacked squares on the way, so only the king's square
// after the move is tested.
#include "engine/legal_moves.h"

#include "engine/attacks.h"
#include "engine/make_move.h"
#include "engine/move_gen.h"

bool MoverKingIsAttacked(const SearchNode *child) {
    const PieceRecord *king = child->position->kingByColour[child->opponent + 1];
    return FindAttackerOfSquare(king->square, child->sideRecord) != NO_SQUARE;
}

int GenerateLegalMoves(SearchNode *node, Move moves[MAX_LEGAL_MOVES]) {
    ResetMoveList(node);
    int nMoves = 0;
    Move move;
    SearchNode child;
    while (NextMove(node, &move) != MOVE_NONE) {
        MakeMove(node, move, &child);
        bool legal = !MoverKingIsAttacked(&child);
        UnmakeMove(&child);
        if (legal && nMoves < MAX_LEGAL_MOVES)
            moves[nMoves++] = move;
    }
    ResetMoveList(node);
    return nMoves;
}

bool MoveIsLegal(SearchNode *node, Move move) {
    Move moves[MAX_LEGAL_MOVES];
    int nMoves = GenerateLegalMoves(node, moves);
    for (int i = 0; i < nMoves; i++) {
        if (moves[i] == move)
            return true;
    }
    return false;
}
