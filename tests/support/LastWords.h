#pragma once

// The last words of a test program that a sanitizer ends: what it was doing (a seed, a game,
// a call), so that the run can be repeated. AddressSanitizer and ThreadSanitizer call their
// death callback; GCC's UndefinedBehaviorSanitizer calls none, so LastWords.cpp asks it to
// abort instead, and the abort handler speaks.

namespace testsupport {

using LastWords = void (*)();

// `say` runs once, on the thread that dies; it should only format and write.
void InstallLastWords(LastWords say);

}  // namespace testsupport
