// Module loading with dlopen; the program's own directory comes first so
// that the module beside it wins over any other copy.
#include "platform/module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <vector>

std::string ProgramDirectory() {
    std::vector<char> path(4096);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0)
            return "";
        if (size_t(n) < path.size()) {
            std::string text(path.data(), size_t(n));
            size_t slash = text.rfind('/');
            return slash == std::string::npos ? "" : text.substr(0, slash + 1);
        }
        path.resize(path.size() * 2);
    }
}

void *LoadModule(const char *fileName) {
    std::string directory = ProgramDirectory();
    if (!directory.empty()) {
        std::string fullPath = directory + fileName;
        if (void *module = dlopen(fullPath.c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
    }
    return dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
}

void *BindSymbol(void *module, const char *name) { return dlsym(module, name); }
