#pragma once
// A recording start-up shortcut for tests, so that no test writes into a real autostart
// folder.

#include "platform/StartupShortcut.h"

#include <string>
#include <vector>

class FakeStartupShortcut final : public StartupShortcut {
public:
    FakeStartupShortcut() = default;
    FakeStartupShortcut(const FakeStartupShortcut&) = delete;
    FakeStartupShortcut& operator=(const FakeStartupShortcut&) = delete;

    std::string path() const override { return "/autostart/Chimly.desktop"; }
    bool exists() const override { return present; }
    Status place() override {
        calls.push_back("place");
        present = present || placing.ok();
        return placing;
    }
    void remove() override {
        calls.push_back("remove");
        present = false;
    }

    // "place" / "remove", in the order asked.
    std::vector<std::string> calls;
    bool present = false;
    // What place() answers; a failure places nothing.
    Status placing;
};
