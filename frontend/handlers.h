// Handlers of the UCI commands that drive the engine.
#pragma once

bool HandleIsReady(const char *line, char **words, int nWords, const char *firstWord);
bool HandleSetOption(const char *line, char **words, int nWords, const char *firstWord);
bool HandleUciNewGame(const char *line, char **words, int nWords, const char *firstWord);
bool HandlePosition(const char *line, char **words, int nWords, const char *firstWord);
bool HandleGo(const char *line, char **words, int nWords, const char *firstWord);
bool HandleStop(const char *line, char **words, int nWords, const char *firstWord);
bool HandlePonderHit(const char *line, char **words, int nWords, const char *firstWord);
