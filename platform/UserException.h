// The user-exception failure: raised by an instrument operation whose driver call failed. It carries no
// data; the catcher reads the instrument's last status.
#pragma once

#include <exception>

class CUserException : public std::exception {
public:
    const char* what() const noexcept override { return "user exception"; }
};

[[noreturn]] inline void AfxThrowUserException() {
    throw CUserException();
}
