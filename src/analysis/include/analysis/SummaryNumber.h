#pragma once

#include <string>

// A number of a stroke summary as text: up to three decimals with "." as the
// decimal mark whatever the locale, trailing zeros dropped ("123.45", "180",
// "-0.1"); empty for a value that is no finite number. Loads are recorded to
// a hundredth, so three decimals keep every recorded digit and round away the
// float's binary tail (123.45f is 123.449997...).
std::string summaryNumber(double value);
