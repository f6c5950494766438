#include <ole2.h>

#include <gtest/gtest.h>

// The tests' thread is the apartment of every page they make. The control's call trace is on
// (read once by the control), for the tests that follow a container's calls.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    SetEnvironmentVariableW(L"VARKEL_TRACE", L"1");
    return FAILED(OleInitialize(nullptr)) ? 2 : RUN_ALL_TESTS();
}
