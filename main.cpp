// pairs: lists every pair of whole numbers (i, j) with 0 <= i <= j < 3.

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <unistd.h>

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
  // stdio sizes its own buffer from the destination's block size, and has
  // none at all where memory is short: a line could then leave in several
  // writes, and lines from concurrent runs into one file could interleave.
  // A buffer of its own makes each line's flush one write(2) everywhere.
  static char outputBuffer[BUFSIZ];
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  printNumbers(3);
  // Every line was flushed, so a failed write has already marked the stream.
  // Some file systems (NFS, FUSE) report a lost write only when the file is
  // closed, so standard output is closed here and that result counts too.
  // Closing the descriptor, not the FILE, is safe: the flushes at exit find
  // every buffer empty and make no further call on it.
  const bool written = std::cout.good() && close(STDOUT_FILENO) == 0;
  return written ? EXIT_SUCCESS : EXIT_FAILURE;
}
