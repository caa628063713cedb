// Move text. Output is coordinate text with lower-case promotion letters,
// which every client accepts; input is matched against a move the
// generator produced, so text never builds a move by itself.
#include "frontend/move_text.h"

#include <cctype>
#include <cstring>

#include "engine/position.h"

constexpr int MAX_MOVE_TEXT = 19;

// The letter of an under-promotion byte; a plain move has none.
static char UnderPromotionLetter(int toByte) {
    if (toByte >= 0xF0 || (toByte >= 0x80 && toByte < 0x90))
        return 'r';
    if (toByte >= 0xE0 || (toByte >= 0x90 && toByte < 0xA0))
        return 'b';
    return 'n';
}

void FormatMove(char *out, Move move, char pieceLetter) {
    int from = MoveFrom(move);
    int toByte = MoveTo(move);
    int to = RealSquare(toByte);
    out[0] = char('a' + (from & 7));
    out[1] = char('1' + ((from >> 4) & 7));
    out[2] = char('a' + (to & 7));
    out[3] = char('1' + ((to >> 4) & 7));
    out[4] = '\0';
    out[5] = '\0';
    if (toByte >= 0x80)
        out[4] = UnderPromotionLetter(toByte);
    else if ((pieceLetter == 'P' && toByte >= 0x70) || (pieceLetter == 'p' && toByte < 0x10))
        out[4] = 'q';
}

// Checks a final promotion letter against the move's to byte.
static bool PromotionFits(char letter, int toByte) {
    switch (toupper(static_cast<unsigned char>(letter))) {
        case 'Q':
            return toByte < 0x80;
        case 'R':
            return (toByte >= 0x80 && toByte <= 0x8F) || toByte >= 0xF0;
        case 'B':
            return (toByte >= 0x90 && toByte <= 0x9F) || (toByte >= 0xE0 && toByte <= 0xEF);
        default:
            return (toByte >= 0xA0 && toByte <= 0xAF) || (toByte >= 0xD0 && toByte <= 0xDF);
    }
}

static bool IsPromotionLetter(char c) {
    return c != '\0' && strchr("QRBNqrbn", c) != nullptr;
}

static bool MatchCastling(const PieceRecord *mover, Move move, const char *text, bool *named) {
    int delta = MoveTo(move) - MoveFrom(move);
    *named = true;
    if (!strcmp(text, "O-O") || !strcmp(text, "0-0"))
        return mover->kind == KIND_KING && delta == 2;
    if (!strcmp(text, "O-O-O") || !strcmp(text, "0-0-0"))
        return mover->kind == KIND_KING && delta == -2;
    *named = false;
    return false;
}

bool MatchMoveText(const SearchNode *node, Move move, const char *text) {
    size_t length = strlen(text);
    if (length == 0 || length > MAX_MOVE_TEXT)
        return false;
    char copy[MAX_MOVE_TEXT + 1];
    memcpy(copy, text, length + 1);
    if (strchr("+#!", copy[length - 1]))
        copy[--length] = '\0';
    const PieceRecord *mover = BoardAt(node->position, MoveFrom(move));
    bool named;
    bool castles = MatchCastling(mover, move, copy, &named);
    if (named)
        return castles;

    int toByte = MoveTo(move);
    int end = int(length);  // characters still to read are copy[0..end)
    if (end > 0 && IsPromotionLetter(copy[end - 1])) {
        if (!PromotionFits(copy[end - 1], toByte))
            return false;
        end--;
    }
    int to = RealSquare(toByte);
    if (end < 2 || copy[end - 2] != 'a' + (to & 7) || copy[end - 1] != '1' + (to >> 4))
        return false;
    end -= 2;
    if (end > 1 && (copy[end - 1] == '-' || copy[end - 1] == 'x'))
        end--;
    int from = MoveFrom(move);
    if (end > 0 && copy[end - 1] >= '1' && copy[end - 1] <= '8') {
        if (copy[end - 1] != '1' + (from >> 4))
            return false;
        end--;
    }
    if (end > 0 && copy[end - 1] >= 'a' && copy[end - 1] <= 'h') {
        if (copy[end - 1] != 'a' + (from & 7))
            return false;
        end--;
    }
    if (end == 0)
        return true;
    if (mover->kind == KIND_PAWN || end != 1)
        return false;
    return copy[0] == toupper(static_cast<unsigned char>(mover->letter));
}
