// Test support: the message of the exception an action raises.
#pragma once

#include <string>

namespace kq::test {

// The message of the exception of class E (or derived from it) that action raises; when it
// raises none, a note that says so, which no expected message equals. Other exceptions pass
// through and fail the test.
//     EXPECT_EQ(RaisedMessage<EBadZipFile>([&] { zip.UnZip(); }), "Not a valid zip file!");
template <class E, class F>
std::string RaisedMessage(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    return "(no exception of the expected class)";
}

} // namespace kq::test
