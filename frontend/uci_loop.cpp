// The main thread's loop: one input line at a time, split into words,
// checked against the command table's word counts, then handed to its
// handler. Lines of any length and any number of words are taken whole.
#include "frontend/uci_loop.h"

#include <cstring>
#include <iostream>

#include "frontend/handlers.h"
#include "frontend/options.h"
#include "frontend/output.h"

#ifdef VLM_W32
static const char *const ID_NAME_LINE = "id name Velmorat 11.1 (Win32) UCI";
#else
static const char *const ID_NAME_LINE = "id name Velmorat 11.1 UCI";
#endif

static const CommandEntry uciCommandTable[] = {
    {"uci", 1, 1, HandleUci},
    {"debug", 1, 2, nullptr},
    {"isready", 1, 1, HandleIsReady},
    // Up to five words, but a string option's value may hold blanks: the
    // handler checks the upper bound.
    {"setoption", 3, -1, HandleSetOption},
    {"ucinewgame", 1, 1, HandleUciNewGame},
    {"position", 2, -1, HandlePosition},
    {"quit", 1, 1, HandleQuit},
    {"go", 1, -1, HandleGo},
    {"stop", 1, 1, HandleStop},
    {"ponderhit", 1, 1, HandlePonderHit},
    {nullptr, 0, 0, nullptr},
};

int SplitWords(char *line, std::vector<char *> *words) {
    int count = 0;
    char *cursor = line;
    for (;;) {
        while (*cursor == ' ')
            cursor++;
        if (*cursor == '\0')
            return count;
        words->push_back(cursor);
        count++;
        while (*cursor != ' ' && *cursor != '\0')
            cursor++;
        if (*cursor == '\0')
            return count;
        *cursor++ = '\0';
    }
}

const char *LineFromWord(const char *line, char *const *words, int index) {
    // The copy keeps the line's offsets; only its blanks became NULs.
    return line + strspn(line, " ") + (words[index] - words[0]);
}

void CutAtNewline(char *line) {
    if (char *feed = strchr(line, '\n'))
        *feed = '\0';
}

bool HandleUci(const char *, char **, int, const char *) {
    PrintLine("%s", ID_NAME_LINE);
    PrintLine("id author The Velmorat team");
    PrintLine("id copyright 2026 The Velmorat team");
    PrintOptions();
    PrintLine("uciok");
    return true;
}

bool HandleQuit(const char *, char **, int, const char *) {
    return false;
}

bool RunCommandLine(const std::string &text) {
    std::string line = text;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    CutAtNewline(line.data());
    line.resize(strlen(line.c_str()));

    std::string copy = line;
    std::vector<char *> words;
    int nWords = SplitWords(copy.data(), &words);
    if (nWords == 0)
        return true;

    const CommandEntry *entry = uciCommandTable;
    while (entry->name && strcmp(entry->name, words[0]) != 0)
        entry++;
    if (!entry->name) {
        ReportError("Unknown command", words[0]);
        return true;
    }
    if (!entry->handler)
        return true;
    if (nWords < entry->minWords) {
        ReportError("too few parameters", line.c_str());
        return true;
    }
    if (entry->maxWords != -1 && nWords > entry->maxWords) {
        ReportError("too many parameters", line.c_str());
        return true;
    }
    words.push_back(nullptr);
    return entry->handler(line.c_str(), words.data(), nWords, words[0]);
}

void RunUciLoop() {
    // Every line is flushed as it is printed. Tied to the output, each read
    // would first flush it and so queue behind the search's bursts of
    // lines for the output lock, and "stop" would be read late.
    std::cin.tie(nullptr);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!RunCommandLine(line))
            return;
    }
}
