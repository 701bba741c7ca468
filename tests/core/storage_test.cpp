#include "core/storage.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/codepage.hpp"
#include "core/link_check.hpp"
#include "core/text.hpp"
#include "core/texts.hpp"

namespace ph {
namespace {

// The hook under test throws this so the test can see what was asked for.
struct StorageRefused {
    std::int64_t bytes_asked;
};

void* refuse(std::size_t) { return nullptr; }
[[noreturn]] void throw_refusal(std::int64_t bytes_asked) { throw StorageRefused{bytes_asked}; }

// Makes every allocation fail while it lives.
class RefusedStorage : public testing::Test {
protected:
    void SetUp() override {
        previous_allocator_ = set_storage_allocator(refuse);
        previous_hook_ = set_storage_failure_hook(throw_refusal);
    }
    void TearDown() override {
        set_storage_allocator(previous_allocator_);
        set_storage_failure_hook(previous_hook_);
    }

    template <typename Make>
    static std::int64_t bytes_asked_by(Make make) {
        try {
            make();
        } catch (const StorageRefused& refused) {
            return refused.bytes_asked;
        }
        return -1;
    }

private:
    StorageAllocator previous_allocator_ = nullptr;
    StorageFailureHook previous_hook_ = nullptr;
};

TEST_F(RefusedStorage, HookReceivesSizePlusOne) {
    const Text link = Text::constant("https://a");
    EXPECT_EQ(bytes_asked_by([&] { text_slice(link, 1, 5); }), 6);
    EXPECT_EQ(bytes_asked_by([&] { make_history_address(link); }),
              texts::query_prefix.bytes().size() + link.bytes().size() + 1);
    EXPECT_EQ(bytes_asked_by([] { text_join(Text()); }), 1);  // even an empty join is stored
    EXPECT_EQ(bytes_asked_by([] { text_from_utf8("abc"); }), 4);
}

TEST_F(RefusedStorage, OperationsThatMakeNoTextNeedNoStorage) {
    const Text link = Text::constant("ftp://a");
    EXPECT_EQ(bytes_asked_by([&] { text_slice(link, 0, 5); }), -1);  // absent result
    EXPECT_EQ(bytes_asked_by([] { text_from_utf8(""); }), -1);
}

TEST(StorageFailureMessage, NamesTheBytesAskedFor) {
    // "分配 17 字节内存失败!"
    EXPECT_EQ(to_utf8(format_storage_failure(17)),
              "\xE5\x88\x86\xE9\x85\x8D 17 \xE5\xAD\x97\xE8\x8A\x82\xE5\x86\x85\xE5\xAD\x98"
              "\xE5\xA4\xB1\xE8\xB4\xA5!");
}

TEST(StorageFailureDeathTest, DefaultHookReportsAndExitsWith255) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            set_storage_allocator(refuse);
            text_join(Text::constant("0123456789abcdef"));
        },
        testing::ExitedWithCode(255), "\xE5\x88\x86\xE9\x85\x8D 17 ");
}

}  // namespace
}  // namespace ph
