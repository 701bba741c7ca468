// The toolkit comes up once per process, as at the program's start.
#include <gtest/gtest.h>

#include "app/shell.hpp"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    ph::app::start_toolkit();
    const int result = RUN_ALL_TESTS();
    ph::app::orderly_end();
    return result;
}
