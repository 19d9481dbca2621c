// Test support: each test runs in a fresh, empty current folder of its own (translation files are
// looked for in the current folder), removed afterwards with the previous folder restored.
#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace kq::test {

class InFreshFolder : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
        folder_ = std::filesystem::temp_directory_path() /
                  ("kq-lang-" + std::string(run.current_test_info()->test_suite_name()) + "-" +
                   std::to_string(run.random_seed()));
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }

    std::filesystem::path previous_;
    std::filesystem::path folder_;
};

} // namespace kq::test
