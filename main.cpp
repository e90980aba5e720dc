// pairs: lists every pair of whole numbers (i, j) with 0 <= i <= j < 3.

#include <cstdlib>
#include <iostream>

// Writes each pair (i, j) with 0 <= i <= j < N as "i j", one per line, in
// ascending order. Each line is flushed so that a reader on a pipe gets it at
// once. A failed write is left in std::cout's state for the caller to judge.
void printNumbers(int N) {
  for (int i = 0; i < N; ++i) {
    for (int j = i; j < N; ++j) {
      std::cout << i << " " << j << std::endl;
    }
  }
}

int main() {
  printNumbers(3);
  // Every line was flushed, so any failed write has already marked the
  // stream; a lost listing must not be reported as success.
  return std::cout.good() ? EXIT_SUCCESS : EXIT_FAILURE;
}
