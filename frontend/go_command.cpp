// "go" keywords. Clocks and increments become whole seconds; "depth",
// "movetime" and "infinite" choose the limit kind, the later one winning,
// and keep their own values so clock keywords never overwrite them.
// Every value is held to a range the time allocation's 32-bit sums take.
#include "frontend/go_command.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "frontend/control_thread.h"
#include "frontend/output.h"

constexpr int64_t MAX_CLOCK_SECONDS = 2000000;
constexpr int64_t MAX_MOVE_TIME_MS = 700000000;
constexpr int64_t MAX_DEPTH = 1000;
constexpr int64_t MAX_MOVES_TO_GO = 1000;
constexpr int INFINITE_LIMIT = 60;

static int64_t Clamp(int64_t value, int64_t lo, int64_t hi) {
    return value < lo ? lo : value > hi ? hi : value;
}

// Milliseconds to whole seconds, truncated; negative reads as 0.
static int SecondsOf(int64_t ms) {
    return int(Clamp(ms / 1000, 0, MAX_CLOCK_SECONDS));
}

struct GoValues {
    int64_t depth = 0;
    int64_t moveTimeMs = 0;
};

// A keyword's value; false (after the error line) when it is missing.
static bool TakeValue(const char *line, char *const *words, int nWords, int *i, int64_t *value) {
    if (*i + 1 >= nWords) {
        ReportError("missing argument", line);
        return false;
    }
    *value = strtoll(words[++*i], nullptr, 10);
    return true;
}

static bool IsValueKeyword(const char *word) {
    static const char *const keywords[] = {"wtime", "btime",     "winc",     "binc",
                                           "depth", "movestogo", "movetime", nullptr};
    for (int k = 0; keywords[k]; k++) {
        if (!strcmp(word, keywords[k]))
            return true;
    }
    return false;
}

static void ApplyValue(const char *word, int64_t value, ThinkRequest *request, GoValues *values) {
    if (!strcmp(word, "wtime"))
        request->wtime = SecondsOf(value);
    else if (!strcmp(word, "btime"))
        request->btime = SecondsOf(value);
    else if (!strcmp(word, "winc"))
        request->winc = SecondsOf(value);
    else if (!strcmp(word, "binc"))
        request->binc = SecondsOf(value);
    else if (!strcmp(word, "movestogo"))
        request->movesToGo = int(Clamp(value, 0, MAX_MOVES_TO_GO));
    else if (!strcmp(word, "depth")) {
        request->kind = LIMIT_DEPTH;
        values->depth = Clamp(value, 1, MAX_DEPTH);
    } else if (!strcmp(word, "movetime")) {
        request->kind = LIMIT_MOVE_TIME;
        values->moveTimeMs = Clamp(value, 1, MAX_MOVE_TIME_MS);
    }
}

static void ReportUnsupported(const char *line, const char *word, int nWords, int *i) {
    bool takesValue = strcmp(word, "searchmoves") != 0;
    if (takesValue && *i + 1 >= nWords) {
        ReportError("missing argument", line);
        return;
    }
    char message[40];
    strcpy(message, "unsupported option ");
    strcat(message, word);
    ReportError(message, line);
    if (takesValue)
        ++*i;
}

ThinkRequest ParseGoCommand(const char *line, char *const *words, int nWords) {
    ThinkRequest request = {MODE_NORMAL, LIMIT_CLOCK, 0, 0, 0, 0, 0, 0};
    GoValues values;
    for (int i = 1; i < nWords; i++) {
        const char *word = words[i];
        int64_t value;
        if (IsValueKeyword(word)) {
            if (TakeValue(line, words, nWords, &i, &value))
                ApplyValue(word, value, &request, &values);
        } else if (!strcmp(word, "infinite")) {
            request.mode = MODE_INFINITE;
            request.kind = LIMIT_INFINITE;
        } else if (!strcmp(word, "ponder")) {
            request.mode = MODE_PONDER;
        } else if (!strcmp(word, "mate") || !strcmp(word, "nodes") ||
                   !strcmp(word, "searchmoves")) {
            ReportUnsupported(line, word, nWords, &i);
        }
    }
    if (request.kind == LIMIT_DEPTH)
        request.wtime = request.btime = int(values.depth);
    else if (request.kind == LIMIT_MOVE_TIME)
        request.wtime = request.btime = int(values.moveTimeMs);
    else if (request.kind == LIMIT_INFINITE)
        request.wtime = request.btime = INFINITE_LIMIT;
    return request;
}
