// Recogniser of king-and-pawn endings (with or without a bishop of the
// wrong colour) that the stronger side cannot win.
#pragma once

#include "engine/position.h"

// May set WHITE_CANNOT_WIN or BLACK_CANNOT_WIN in node.castleFlags.
void FlagDrawnPawnEndings(SearchNode *node);
