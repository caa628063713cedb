// Globals of the evaluation that make and unmake read.
#include "engine/eval_work_area.h"

int32_t tempoBase = 0;
