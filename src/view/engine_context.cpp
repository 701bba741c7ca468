#include "view/engine_context.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

extern char** environ;

namespace ph::view {

pid_t start_sandbox_check() {
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
    return spawned == 0 ? pid : -1;
}

bool sandbox_check_passed(pid_t check) {
    if (check < 0) return false;
    int status = 0;
    pid_t waited = 0;
    do waited = waitpid(check, &status, 0);
    while (waited < 0 && errno == EINTR);
    return waited == check && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

namespace {

// The engine and its processes use the GL driver, which otherwise keeps a
// shader cache in the home folder. The page view never draws with the GPU,
// so the engine need not prepare sharing GPU buffers either: preparing
// brings the GL driver up in our process while the context is made, the
// slowest step before the window can show. Set before the engine starts
// anything; what the user set stays.
WebKitWebContext* new_context_that_keeps_nothing() {
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
    setenv("MESA_GLSL_CACHE_DISABLE", "true", 0);
    setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", 0);
    return webkit_web_context_new_ephemeral();
}

}  // namespace

// The engine takes the sandbox setting only while it has started nothing
// but the context's own helpers, that is right after the context is made.
EngineContext::EngineContext(pid_t started_sandbox_check) : context_(glib::adopt(new_context_that_keeps_nothing())) {
    sandboxed_ = sandbox_check_passed(started_sandbox_check);
    if (sandboxed_)
        webkit_web_context_set_sandbox_enabled(context_.get(), TRUE);
    else
        std::fputs("pricehistory: the web page sandbox cannot run here; pages run without it\n", stderr);
}

}  // namespace ph::view
