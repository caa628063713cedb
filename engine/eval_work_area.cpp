// Globals of the evaluation that make, unmake and the search read.
#include "engine/eval_work_area.h"

std::atomic<int32_t> tempoBase{0};
std::atomic<int32_t> evalNoise{0};
std::atomic<int32_t> evalMargin{10};
