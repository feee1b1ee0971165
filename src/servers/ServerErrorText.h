#pragma once

#include <QString>

namespace vq {

class Error;

// What a server said, as the server windows show it: "description (error 0x80040403)". The
// number is hexadecimal, the form in which the server library's numbers are documented.
QString serverErrorText(const Error& error);

}  // namespace vq
