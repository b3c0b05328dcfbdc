#include "module_fixture.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

int RunCommand(const std::string &command) {
    int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string MakeTempDir() {
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/module_test.XXXXXX";
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    return pattern;
}

uint32_t Raw16(const std::vector<uint8_t> &b, size_t at) {
    return at + 2 <= b.size() ? b[at] | b[at + 1] << 8 : 0xffffffffu;
}

uint32_t Raw32(const std::vector<uint8_t> &b, size_t at) {
    return at + 4 <= b.size() ? Raw16(b, at) | Raw16(b, at + 2) << 16 : 0xffffffffu;
}

namespace {

GeneratedModule *Generate() {
    auto *m = new GeneratedModule;
    m->directory = MakeTempDir();
    m->path = m->directory + "/music.xm";
    if (RunCommand(std::string(MAKE_MODULE_PATH) + " '" + m->path + "'") != 0) {
        throw std::runtime_error("make_module failed");
    }
    std::ifstream in(m->path, std::ios::binary);
    m->bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    m->context = xmp_create_context();
    if (xmp_load_module_from_memory(m->context, m->bytes.data(),
                                    static_cast<long>(m->bytes.size())) != 0) {
        throw std::runtime_error("libxmp refuses the generated module");
    }
    xmp_get_module_info(m->context, &m->info);
    std::remove(m->path.c_str());
    RunCommand("rmdir '" + m->directory + "'");
    return m;
}

} // namespace

const GeneratedModule &Generated() {
    static GeneratedModule *module = Generate();
    return *module;
}
