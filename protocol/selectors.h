#pragma once
#include <cstdint>

// What the host asks of the module's entry point in each call.
enum Selector : int16_t {
    SelectorAbout = 0,
    SelectorParameters = 1,
    SelectorPrepare = 2,
    SelectorStart = 3,
    SelectorContinue = 4,
    SelectorFinish = 5,
};
