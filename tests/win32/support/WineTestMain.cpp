#include <ole2.h>

#include <gtest/gtest.h>

// The tests' thread is the apartment of every page they make.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return FAILED(OleInitialize(nullptr)) ? 2 : RUN_ALL_TESTS();
}
