#pragma once

// The C entry points of the login library (libLogin.so), called in this order
// by the login step:
//   StartLogin(application, logFile)  true when the user is logged in
//   GetLoggedUserNameLength()         length of the name in bytes, no terminator
//   GetLoggedUser(buffer)             fills buffer (length + 1 bytes) with the
//                                     name and a terminating zero
// Strings are zero-terminated UTF-8.
extern "C" {
using StartLoginFunction = bool (*)(const char* applicationName, const char* logFileName);
using GetLoggedUserNameLengthFunction = int (*)();
using GetLoggedUserFunction = void (*)(char* buffer);
}

namespace login {
inline constexpr char LibraryFileName[] = "libLogin.so";
inline constexpr char StartLoginName[] = "StartLogin";
inline constexpr char GetLoggedUserNameLengthName[] = "GetLoggedUserNameLength";
inline constexpr char GetLoggedUserName[] = "GetLoggedUser";
} // namespace login
