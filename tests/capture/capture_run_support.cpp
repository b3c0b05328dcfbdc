// Helpers of the capture tool's end-to-end tests.
#include "capture_run_support.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

pid_t StartTool(const std::vector<std::string> &arguments, const std::string &tempDir,
                const std::string &errorsPath) {
    std::vector<std::string> words = {CAPTURE_TOOL};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = {"TMPDIR=" + tempDir};
    for (char **entry = environ; *entry != nullptr; ++entry)
        if (std::string(*entry).rfind("TMPDIR=", 0) != 0)
            environment.push_back(*entry);
    std::vector<char *> envp;
    for (std::string &entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int WaitTool(pid_t pid) {
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) < 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ToolRun RunTool(const std::vector<std::string> &arguments, const std::string &tempDir) {
    std::string errorsPath = tempDir + "/../capture-errors-" + std::to_string(getpid()) + ".txt";
    ToolRun run;
    run.status = WaitTool(StartTool(arguments, tempDir, errorsPath));
    run.errors = ReadBytes(errorsPath);
    std::filesystem::remove(errorsPath);
    return run;
}

std::vector<ManifestEntry> ReadManifest(const std::string &path) {
    std::vector<ManifestEntry> entries;
    FILE *file = fopen(path.c_str(), "r");
    if (file == nullptr)
        return entries;
    ManifestEntry entry{};
    while (fscanf(file, "%" SCNd64 " %" SCNx32 " %" SCNx32, &entry.frame, &entry.crc,
                  &entry.blocks) == 3)
        entries.push_back(entry);
    fclose(file);
    return entries;
}

int64_t FirstFrameWith(const std::vector<ManifestEntry> &manifest, uint32_t bits) {
    for (const ManifestEntry &entry : manifest)
        if ((entry.blocks & bits) == bits)
            return entry.frame;
    return -1;
}

Image ReadPng(const std::string &path) {
    Image image;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return image;
    png.format = PNG_FORMAT_RGB;
    image.rgb.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
        image.rgb.clear();
        return image;
    }
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    return image;
}

std::string ReadBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string MakeTempDirectory(const char *tag) {
    std::string pattern = std::string("/tmp/") + tag + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return mkdtemp(name.data()) ? std::string(name.data()) : std::string();
}

size_t EntriesIn(const std::string &directory) {
    return std::distance(std::filesystem::directory_iterator(directory), {});
}
