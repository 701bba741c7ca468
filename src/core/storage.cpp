#include "core/storage.hpp"

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/codepage.hpp"
#include "core/texts.hpp"

namespace ph {
namespace {

[[noreturn]] void report_to_stderr_and_exit(std::int64_t bytes_asked) {
    std::fprintf(stderr, "%s\n", to_utf8(format_storage_failure(bytes_asked)).c_str());
    std::exit(255);
}

StorageFailureHook failure_hook = report_to_stderr_and_exit;
StorageAllocator allocator = std::malloc;

}  // namespace

StorageFailureHook set_storage_failure_hook(StorageFailureHook hook) noexcept {
    StorageFailureHook previous = failure_hook;
    failure_hook = hook ? hook : report_to_stderr_and_exit;
    return previous;
}

StorageAllocator set_storage_allocator(StorageAllocator replacement) noexcept {
    StorageAllocator previous = allocator;
    allocator = replacement ? replacement : std::malloc;
    return previous;
}

char* allocate_text_bytes(std::int64_t size) {
    const std::int64_t asked = size + 1;
    void* bytes = nullptr;
    // A text's size must fit its int32_t positions.
    if (size >= 0 && size < std::numeric_limits<std::int32_t>::max())
        bytes = allocator(static_cast<std::size_t>(asked));
    if (!bytes) {
        failure_hook(asked);
        std::abort();  // the hook promised not to return
    }
    return static_cast<char*>(bytes);
}

std::string format_storage_failure(std::int64_t bytes_asked) {
    std::string message(texts::storage_failure.bytes());
    const std::size_t number = message.find("%d");
    if (number != std::string::npos) message.replace(number, 2, std::to_string(bytes_asked));
    return message;
}

void free_text_bytes(char* bytes) noexcept { std::free(bytes); }

}  // namespace ph
