// Where new texts get their bytes, and what happens when there are none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ph {

// Called with the number of bytes asked for (the text's size plus one) when
// storage for a new text cannot be had. It must not return: it ends the
// process, or throws (tests do). If it returns anyway the process aborts.
using StorageFailureHook = void (*)(std::int64_t bytes_asked);

// Allocates `bytes` bytes or returns nullptr. Freed with free_text_bytes.
using StorageAllocator = void* (*)(std::size_t bytes);

// Each returns the hook or allocator it replaces. The defaults: a hook that
// writes "分配 N 字节内存失败!" to stderr and exits with code 255; std::malloc.
StorageFailureHook set_storage_failure_hook(StorageFailureHook hook) noexcept;
StorageAllocator set_storage_allocator(StorageAllocator allocator) noexcept;

// Storage for a text of `size` bytes plus its terminating zero. Never returns
// nullptr: a failure goes to the hook. Sizes past int32_t are failures too.
// The allocator's blocks are released with std::free.
char* allocate_text_bytes(std::int64_t size);
void free_text_bytes(char* bytes) noexcept;

// The storage-failure message, "分配 %d 字节内存失败!" with the number of
// bytes asked for in decimal, in the program's code page.
std::string format_storage_failure(std::int64_t bytes_asked);

}  // namespace ph
