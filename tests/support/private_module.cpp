// Private module copies for tests: the copy is unlinked once loaded.
#include "tests/support/private_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <fstream>
#include <string>

EngineOps LoadPrivateModule(const FrontEndCallbacks &callbacks, const char *tag) {
    EngineOps ops = {};
    std::string path = std::string("/tmp/vlm_test_") + tag + "_" + std::to_string(getpid()) + ".so";
    {
        std::ifstream in(VLM_MODULE_PATH, std::ios::binary);
        std::ofstream out(path, std::ios::binary);
        out << in.rdbuf();
    }
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    unlink(path.c_str());
    if (!handle)
        return ops;
    auto init = reinterpret_cast<EngineInitFunction>(dlsym(handle, "EngineInit"));
    FrontEndCallbacks copy = callbacks;  // EngineInit takes a mutable record
    if (init)
        init(&copy, &ops);
    return ops;
}

EngineOps LoadStartedPrivateModule(const FrontEndCallbacks &callbacks, const char *tag,
                                   int64_t hashBytes) {
    EngineOps ops = LoadPrivateModule(callbacks, tag);
    if (ops.init)
        ops.init(hashBytes, 0);
    return ops;
}

void SetModuleThreads(const EngineOps &ops, int nThreads) {
    EngineSettings settings;
    ops.getSettings(&settings);
    settings.Threads = nThreads;
    ops.setSettings(&settings);
}
