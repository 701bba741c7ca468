#include "view/engine_context.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

extern char** environ;

namespace ph::view {

bool sandbox_can_run() {
    char* const argv[] = {const_cast<char*>("bwrap"), const_cast<char*>("--ro-bind"), const_cast<char*>("/"),
                          const_cast<char*>("/"),     const_cast<char*>("--unshare-all"),
                          const_cast<char*>("--die-with-parent"), const_cast<char*>("/bin/true"), nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "bwrap", &quiet, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

namespace {

// The engine and its processes use the GL driver, which otherwise keeps a
// shader cache in the home folder. Set before the engine starts anything.
WebKitWebContext* new_context_that_keeps_nothing() {
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    setenv("MESA_GLSL_CACHE_DISABLE", "true", 0);
    return webkit_web_context_new_ephemeral();
}

}  // namespace

EngineContext::EngineContext() : context_(glib::adopt(new_context_that_keeps_nothing())) {
    sandboxed_ = sandbox_can_run();
    if (sandboxed_)
        webkit_web_context_set_sandbox_enabled(context_.get(), TRUE);
    else
        std::fputs("pricehistory: the web page sandbox cannot run here; pages run without it\n", stderr);
}

}  // namespace ph::view
