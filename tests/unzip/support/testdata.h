// Test support: the third-party corpus, archives made by other people's tools with their
// expected listings. It lives outside the project: the folder named by the variable KQ_TESTDATA,
// else ../shared/testdata beside the clone (relative paths count from the project root, where
// the tests run). A clone with nothing beside it still passes: a test that needs the corpus
// starts with KQ_SKIP_WITHOUT_TESTDATA(), and the program says once, at its end, where it
// looked and how many tests it skipped.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <string>
#include <system_error>

namespace kq::test {

// What a skipped test reports; the closing count finds the tests skipped by it.
inline constexpr const char* kNeedsTestdata = "needs the third-party corpus (KQ_TESTDATA)";

// The corpus folder as the host names it. This is the one place that reads KQ_TESTDATA.
inline const std::string& TestdataFolder() {
    static const std::string folder = [] {
        const char* set = std::getenv("KQ_TESTDATA");
        std::string named = set != nullptr && *set != '\0' ? set : "../shared/testdata";
        while (named.size() > 1 && (named.back() == '/' || named.back() == '\\')) {
            named.pop_back();
        }
        return named;
    }();
    return folder;
}

// A file of the corpus as the host names it, for the standard library's streams and folders.
inline std::string TestdataFile(const std::string& path) {
    return TestdataFolder() + "/" + path;
}

// A file of the corpus as the engine is given it: a Windows path. The stand-in of the native
// build would place a path that starts with "\" under its own root, so there an absolute folder
// is given relative to the current folder instead.
inline std::string Testdata(const std::string& path) {
    std::string folder = TestdataFolder();
#ifndef _WIN32
    if (std::filesystem::path(folder).is_absolute()) {
        folder = std::filesystem::path(folder)
                     .lexically_relative(std::filesystem::current_path())
                     .generic_string();
    }
#endif
    std::string windows = folder + "/" + path;
    for (char& c : windows) {
        if (c == '/') {
            c = '\\';
        }
    }
    return windows;
}

inline bool TestdataPresent() {
    std::error_code ignored;
    return std::filesystem::is_regular_file(TestdataFile("MANIFEST.tsv"), ignored);
}

// After the last test: one line naming the folder and the variable when tests were skipped for
// want of the corpus. GoogleTest keeps every test's result, so they are counted from there.
class TestdataReport : public ::testing::Environment {
public:
    void TearDown() override {
        const int skipped = CountSkipped();
        if (skipped > 0) {
            std::cout << "third-party corpus not found at " << TestdataFolder()
                      << " (set KQ_TESTDATA): " << skipped << (skipped == 1 ? " test" : " tests")
                      << " skipped" << std::endl;
        }
    }

private:
    static int CountSkipped() {
        const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
        int skipped = 0;
        for (int s = 0; s < unit.total_test_suite_count(); ++s) {
            const ::testing::TestSuite& suite = *unit.GetTestSuite(s);
            for (int t = 0; t < suite.total_test_count(); ++t) {
                skipped += WasSkipped(*suite.GetTestInfo(t)->result());
            }
        }
        return skipped;
    }

    static bool WasSkipped(const ::testing::TestResult& result) {
        for (int p = 0; p < result.total_part_count(); ++p) {
            const ::testing::TestPartResult& part = result.GetTestPartResult(p);
            if (part.skipped() &&
                std::string(part.message()).find(kNeedsTestdata) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
};

// One per program, however many of its files include this (an inline variable is one object).
inline ::testing::Environment* const kTestdataReport =
    ::testing::AddGlobalTestEnvironment(new TestdataReport);

} // namespace kq::test

// Ends the test as skipped when the corpus is absent. A statement, safe before an "else".
#define KQ_SKIP_WITHOUT_TESTDATA()                                                                 \
    if (::kq::test::TestdataPresent()) {                                                           \
    } else                                                                                         \
        GTEST_SKIP() << ::kq::test::kNeedsTestdata
