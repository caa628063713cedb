// The UCI command loop and the command table.
#pragma once

#include <string>
#include <vector>

// A handler gets the whole line, its words and their count; false ends
// the loop.
typedef bool (*CommandHandler)(const char *line, char **words, int nWords, const char *firstWord);

struct CommandEntry {
    const char *name;
    int minWords;
    int maxWords;            // -1: no upper limit
    CommandHandler handler;  // null: accepted and ignored
};

// Reads and runs commands until "quit" or the end of input.
void RunUciLoop();
// Runs one input line (without its line feed) through the command table;
// returns false when the loop should end.
bool RunCommandLine(const std::string &line);
// Splits line in place at blanks (spaces only) and appends the word starts.
int SplitWords(char *line, std::vector<char *> *words);
// The text of line from word index to its end, blanks included; words
// come from SplitWords on a copy of line.
const char *LineFromWord(const char *line, char *const *words, int index);
// Replaces the first line feed by NUL.
void CutAtNewline(char *line);

bool HandleUci(const char *line, char **words, int nWords, const char *firstWord);
bool HandleQuit(const char *line, char **words, int nWords, const char *firstWord);
