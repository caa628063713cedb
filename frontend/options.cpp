// The option table. Values are text, converted where they are used.
#include "frontend/options.h"

#include "frontend/output.h"

char threadsDefaultText[20];
char threadsRangeText[32];

static OptionRow optionTable[] = {
    {nullptr, nullptr, nullptr, nullptr, false, std::string()},
};

void ResetOptions() {
    for (OptionRow *row = optionTable; row->name; row++)
        row->value = row->defaultValue;
}

void PrintOptions() {
    for (const OptionRow *row = optionTable; row->name; row++) {
        if (!row->visible)
            continue;
        if (row->range && row->range[0])
            PrintLine("option name %s type %s default %s %s", row->name, row->type,
                      row->value.c_str(), row->range);
        else
            PrintLine("option name %s type %s default %s", row->name, row->type,
                      row->value.c_str());
    }
}
