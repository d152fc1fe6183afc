#pragma once
// What a function that can fail returns: success, or the reason as a text for the user.

#include <string>

struct [[nodiscard]] Status {
    bool ok = true;
    std::string error;

    static Status failure(std::string why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};
