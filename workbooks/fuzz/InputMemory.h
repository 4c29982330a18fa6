// The memory one input of a fuzz target takes: the most the process held, while the input was
// worked on, above what it held when the input began. Under the address sanitizer the heap itself
// is counted, every allocation and release through the sanitizer's hooks, since its quarantine
// keeps released memory resident; elsewhere the kernel's high-water mark of the resident set,
// which it resets on request. So the fuzz build and the replay tests of every build both hold an
// input to what it may take.
#pragma once

namespace workbooks::fuzz {

class InputMemory {
public:
    // Begins measuring.
    InputMemory();
    // Megabytes held above the start at the most; -1 when the system does not say.
    double peakMegabytes() const;

private:
    double start_ = -1;
};

} // namespace workbooks::fuzz
