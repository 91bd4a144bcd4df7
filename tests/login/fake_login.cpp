// Stand-ins for the login library, one behaviour per build:
//   FAKE_REFUSE          refuses the login; the name traces the calls made
//   FAKE_NO_LENGTH       lacks GetLoggedUserNameLength
//   FAKE_NEGATIVE_LENGTH reports a negative name length

#include <cstring>
#include <string>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::string trace;
}

FAKE_EXPORT bool StartLogin(const char* applicationName, const char* logFileName) {
    trace = std::string("StartLogin(") + applicationName + "," + logFileName + ")";
    return false;
}

#ifndef FAKE_NO_LENGTH
FAKE_EXPORT int GetLoggedUserNameLength() {
#ifdef FAKE_NEGATIVE_LENGTH
    return -1;
#else
    trace += ";GetLoggedUserNameLength";
    return static_cast<int>(trace.size());
#endif
}
#endif

FAKE_EXPORT void GetLoggedUser(char* buffer) {
    std::memcpy(buffer, trace.c_str(), trace.size() + 1);
}
