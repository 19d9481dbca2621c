// Test support: a fixture whose tests each run in a fresh, empty current folder of their own
// (the translation files, for one, are looked for in the current folder).
#pragma once

#include "test/temp_folder.h"

#include <gtest/gtest.h>

namespace kq::test {

class InTempFolder : public ::testing::Test {
protected:
    void SetUp() override { folder_.Enter(); }

    TempFolder folder_;
};

} // namespace kq::test
