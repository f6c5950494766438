#pragma once
// The inputs of the benchmarks, built the same way on every run, and a started page on fake
// ports to run them on.

#include "common/Text.h"
#include "page/Varkel1Page.h"
#include "support/Fakes.h"
#include "support/MemoryTables.h"

#include <cstddef>
#include <memory>

namespace varkel::bench {

// Free command-line text of the kind txtAdditional holds: switches with and without values,
// quoted paths with blanks, both prefixes; cut to exactly `length` units.
Text AdditionalText(std::size_t length);

// `tokens` switches separated by single blanks, each with a short value.
Text TokenText(int tokens);

// `rows` arguments the page does not know ("/U<n>" = "<n>", marker 0), so that all of them go
// to txtAdditional and come back out of the tokenizer.
MemoryInputTable UnknownArguments(int rows);

class StartedPage {
public:
    StartedPage();
    Varkel1Page& operator*() { return *page_; }
    Varkel1Page* operator->() { return page_.get(); }
    testing::FakePlatform& Fake() { return fake_; }

private:
    testing::FakePlatform fake_;
    std::unique_ptr<Varkel1Page> page_;
};

} // namespace varkel::bench
