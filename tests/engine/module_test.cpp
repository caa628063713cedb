// The module as the program binds it: loaded from its file, entered
// through EngineInit with a callback record of our own.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "engine/engine_api.h"

namespace {

struct LoadedModule {
    void *handle = nullptr;
    EngineOps ops;
};

LoadedModule &Module() {
    static LoadedModule module = [] {
        LoadedModule loaded;
        loaded.handle = dlopen(VLM_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        memset(&loaded.ops, 0, sizeof loaded.ops);
        if (loaded.handle) {
            auto init = reinterpret_cast<EngineInitFunction>(dlsym(loaded.handle, "EngineInit"));
            FrontEndCallbacks callbacks;
            memset(&callbacks, 0, sizeof callbacks);
            if (init)
                init(&callbacks, &loaded.ops);
        }
        return loaded;
    }();
    return module;
}

TEST(Module, FillsEveryOperation) {
    LoadedModule &module = Module();
    ASSERT_NE(module.handle, nullptr) << dlerror();
    void *const *slots = reinterpret_cast<void *const *>(&module.ops);
    for (int i = 0; i < 15; i++)
        EXPECT_NE(slots[i], nullptr) << "slot " << i;
}

TEST(Module, ExportsEngineInitOnly) {
    LoadedModule &module = Module();
    ASSERT_NE(module.handle, nullptr);
    for (const char *name : {"settings", "defaultSettings", "stopSearch", "_Z13ApplySettingsPK14EngineSettings",
                             "_Z14StartThreadsi"}) {
        EXPECT_EQ(dlsym(module.handle, name), nullptr) << name;
    }
}

TEST(Module, SettingsDefaultsAndRoundTrip) {
    EngineOps &ops = Module().ops;
    ASSERT_NE(ops.getSettings, nullptr);
    EngineSettings defaults;
    ops.getSettings(&defaults);
    EXPECT_EQ(defaults.setupFlag, 1);
    EXPECT_EQ(defaults.Threads, 0);
    EXPECT_EQ(defaults.rootScoreFloor, -9999);
    EXPECT_EQ(defaults.Null_move_reduction_depth, 4);
    EXPECT_EQ(defaults.Minimum_threat_value_pct, 100);
    EXPECT_EQ(defaults.Passed_pawn_value_pct, 100);
    EXPECT_EQ(defaults.Depth_limit, 60);

    // Before init: no thread exists yet, so a thread-count change is safe.
    EngineSettings changed;
    int32_t *fields = reinterpret_cast<int32_t *>(&changed);
    for (int i = 0; i < 26; i++)
        fields[i] = 1000 + i;
    changed.Use_threat_detection = 0;
    ops.setSettings(&changed);
    EngineSettings back;
    ops.getSettings(&back);
    const int32_t *backFields = reinterpret_cast<const int32_t *>(&back);
    for (int i = 0; i < 26; i++) {
        if (i == 9)
            EXPECT_EQ(backFields[i], 1) << "threat detection is forced on";
        else
            EXPECT_EQ(backFields[i], 1000 + i) << "field " << i;
    }
    ops.setSettings(&defaults);
}

TEST(Module, StopWithoutClearStopStaysStopped) {
    EngineOps &ops = Module().ops;
    EXPECT_EQ(ops.stop(), 1);
    EXPECT_EQ(ops.clearStop(), 0);
}

}  // namespace
